#include "app/RunReport.h"

#include <array>
#include <cstdio>

#include "app/FrontEndTexts.h"

namespace {

struct RefusalBox {
  const char* text;
  const char* caption;
  MessageIcon icon;
};

}  // namespace

RunReport::RunReport(FlashReporter& reporter, TransportMode mode) : reporter_(reporter), mode_(mode) {
  log_.reserve(kLogBufferSize);
}

void RunReport::AppendLine(int length) {
  if (length > 0) log_.append(line_.data(), static_cast<std::size_t>(length));
}

void RunReport::Announced(std::uint16_t imageChecksum) {
  AppendLine(std::snprintf(line_.data(), line_.size(), kFirmwareChecksumFormat, unsigned{imageChecksum}));
  reporter_.SetLog(log_);
  reporter_.ShowMessage(kFlashNowText, kStatusCaption, MessageIcon::Information);
}

void RunReport::PageWritten(int page, std::uint16_t pageChecksum, bool /*accepted: the transport's boxes said it*/) {
  AppendLine(std::snprintf(line_.data(), line_.size(), kPageChecksumFormat, page, unsigned{pageChecksum}));
  reporter_.SetLog(log_);
  reporter_.StepProgress();
}

void RunReport::Finished(int refusedPages) {
  if (refusedPages == 0) {
    reporter_.ShowMessage(mode_ == TransportMode::Aspi ? kFlashCompleteAspiText : kFlashCompleteText, kStatusCaption,
                          MessageIcon::Information);
  } else {
    std::array<char, sizeof kFlashFailedFormat + 16> text{};
    std::snprintf(text.data(), text.size(), kFlashFailedFormat, refusedPages);
    reporter_.ShowMessage(text.data(), kStatusCaption, MessageIcon::Stop);
  }
  reporter_.SetStatus(kIdleStatusText);
}

void ShowRefusal(MessageSink& sink, CheckVerdict verdict) {
  const auto show = [&sink](RefusalBox box) { sink.ShowMessage(box.text, box.caption, box.icon); };
  switch (verdict) {
    case CheckVerdict::Accepted: return;
    case CheckVerdict::HexFile: return;  // the run ends without a word
    case CheckVerdict::NotBinFile: return show({kNoBinFileText, kErrorMessageCaption, MessageIcon::Information});
    case CheckVerdict::OpenFailed: return show({kOpenFileErrorText, kErrorCaption, MessageIcon::None});
    case CheckVerdict::Empty: return show({kEmptyFileText, kErrorCaption, MessageIcon::None});
    case CheckVerdict::TooLarge: return show({kFileTooLargeText, kErrorCaption, MessageIcon::None});
    case CheckVerdict::ReadFailed: return show({kReadFileErrorText, kErrorCaption, MessageIcon::None});
    case CheckVerdict::Mismatch: return show({kMismatchText, kMismatchCaption, MessageIcon::Stop});
  }
}
