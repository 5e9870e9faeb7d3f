#include "flash/FlashSequence.h"

#include <array>
#include <cstdio>

#include "flash/FirmwareImage.h"
#include "flash/FlashTexts.h"
#include "flash/PageWriteCommand.h"

namespace {

// The box for a file that did not load, or nothing when it did.
const char* LoadFailureText(LoadResult result) {
  switch (result) {
    case LoadResult::Loaded: return nullptr;
    case LoadResult::OpenFailed: return kOpenFileErrorText;
    case LoadResult::Empty: return kEmptyFileText;
    case LoadResult::TooLarge: return kFileTooLargeText;
    case LoadResult::ReadFailed: return kReadFileErrorText;
  }
  return kReadFileErrorText;
}

// The checksum log of one run: its buffer is reserved once, so a page line
// never allocates.
class ChecksumLog {
 public:
  ChecksumLog() { text_.reserve(kLogBufferSize); }

  void AddFirmwareLine(std::uint16_t checksum) {
    Append(std::snprintf(line_.data(), line_.size(), kFirmwareChecksumFormat, unsigned{checksum}));
  }
  void AddPageLine(int page, std::uint16_t checksum) {
    Append(std::snprintf(line_.data(), line_.size(), kPageChecksumFormat, page, unsigned{checksum}));
  }
  const std::string& Text() const { return text_; }

 private:
  void Append(int length) {
    if (length > 0) text_.append(line_.data(), static_cast<std::size_t>(length));
  }

  std::string text_;
  std::array<char, kFirmwareChecksumLineLength + 1> line_{};
};
static_assert(kPageChecksumLineLength <= kFirmwareChecksumLineLength);

std::string FlashFailedText(int refusedPages) {
  std::array<char, sizeof kFlashFailedFormat + 16> text{};
  const int length = std::snprintf(text.data(), text.size(), kFlashFailedFormat, refusedPages);
  return std::string(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

void FlashSequence::Run(DriveCommandChannel& channel, std::string rowText, const std::string& filePath,
                        TransportMode mode) {
  switch (JudgeImagePath(filePath)) {
    case ImageFileKind::Hex:
      return;
    case ImageFileKind::Other:
      reporter_.ShowMessage(kNoBinFileText, kErrorMessageCaption, MessageIcon::Information);
      return;
    case ImageFileKind::Bin:
      break;
  }

  FirmwareImage image;
  if (const char* failure = LoadFailureText(image.LoadFromFile(filePath, file_))) {
    reporter_.ShowMessage(failure, kErrorCaption, MessageIcon::None);
    return;
  }
  const IdentityCheck identity = image.MatchesIdentity(rowText);
  if (!identity.matches) {
    reporter_.ShowMessage(kMismatchText, kMismatchCaption, MessageIcon::Stop);
    return;
  }

  ChecksumLog log;
  log.AddFirmwareLine(identity.checksum);
  reporter_.SetLog(log.Text());
  reporter_.ShowMessage(kFlashNowText, kStatusCaption, MessageIcon::Information);

  // From here on nothing stops the run: a refused page is counted and the
  // next one follows as usual.
  int refusedPages = 0;
  for (int page = 1; page <= kPageCount; ++page) {
    const std::uint16_t pageChecksum = image.PageChecksum(page);
    if (!channel.WritePage(BuildPageWriteCommand(page, pageChecksum, identity.checksum), image)) ++refusedPages;
    log.AddPageLine(page, pageChecksum);
    reporter_.SetLog(log.Text());
    reporter_.StepProgress();
  }

  if (refusedPages == 0) {
    const char* complete = mode == TransportMode::Aspi ? kFlashCompleteAspiText : kFlashCompleteText;
    reporter_.ShowMessage(complete, kStatusCaption, MessageIcon::Information);
  } else {
    reporter_.ShowMessage(FlashFailedText(refusedPages), kStatusCaption, MessageIcon::Stop);
  }
  reporter_.SetStatus(kIdleStatusText);
}
