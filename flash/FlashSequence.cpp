#include "flash/FlashSequence.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <optional>

#include "flash/FirmwareImage.h"
#include "flash/FlashTexts.h"
#include "flash/PageWriteCommand.h"

namespace {

// The box for a check the run stops at, or nothing when it goes on. A HEX
// path stops the run without a word.
struct RefusalBox {
  const char* text;
  const char* caption;
  MessageIcon icon;
};

std::optional<RefusalBox> RefusalBoxOf(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Accepted: return std::nullopt;
    case CheckVerdict::HexFile: return std::nullopt;
    case CheckVerdict::NotBinFile: return RefusalBox{kNoBinFileText, kErrorMessageCaption, MessageIcon::Information};
    case CheckVerdict::OpenFailed: return RefusalBox{kOpenFileErrorText, kErrorCaption, MessageIcon::None};
    case CheckVerdict::Empty: return RefusalBox{kEmptyFileText, kErrorCaption, MessageIcon::None};
    case CheckVerdict::TooLarge: return RefusalBox{kFileTooLargeText, kErrorCaption, MessageIcon::None};
    case CheckVerdict::ReadFailed: return RefusalBox{kReadFileErrorText, kErrorCaption, MessageIcon::None};
    case CheckVerdict::Mismatch: return RefusalBox{kMismatchText, kMismatchCaption, MessageIcon::Stop};
  }
  return RefusalBox{kReadFileErrorText, kErrorCaption, MessageIcon::None};
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
  FirmwareImage image;
  const FirmwareCheck check = CheckFirmware(image, filePath, file_, rowText);
  if (check.verdict != CheckVerdict::Accepted) {
    if (const std::optional<RefusalBox> box = RefusalBoxOf(check.verdict)) {
      reporter_.ShowMessage(box->text, box->caption, box->icon);
    }
    return;
  }
  WritePages(channel, image, check, mode);
}

void FlashSequence::WritePages(DriveCommandChannel& channel, const FirmwareImage& image, const FirmwareCheck& check,
                               TransportMode mode) {
  assert(check.verdict == CheckVerdict::Accepted);
  ChecksumLog log;
  log.AddFirmwareLine(check.checksum);
  reporter_.SetLog(log.Text());
  reporter_.ShowMessage(kFlashNowText, kStatusCaption, MessageIcon::Information);

  // From here on nothing stops the run: a refused page is counted and the
  // next one follows as usual.
  int refusedPages = 0;
  for (int page = 1; page <= kPageCount; ++page) {
    const std::uint16_t pageChecksum = check.PageChecksum(page);
    if (!channel.WritePage(BuildPageWriteCommand(page, pageChecksum, check.checksum), image)) ++refusedPages;
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
