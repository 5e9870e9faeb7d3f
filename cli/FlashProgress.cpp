#include "cli/FlashProgress.h"

#include "cli/CliTexts.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"
#include "flash/FlashConstants.h"
#include "flash/FlashTexts.h"

using namespace cli_text;

namespace {

// The dialog's texts break lines as "\r\n"; a terminal wants "\n".
std::string WithUnixLineEnds(const std::string& text) {
  std::string unix;
  for (const char character : text) {
    if (character != '\r') unix += character;
  }
  return unix;
}

}  // namespace

void FlashProgress::ShowMessage(const std::string& text, const std::string&, MessageIcon) {
  if (text == kFlashNowText) {
    out_ << text << '\n';
    out_.flush();  // said before the first page goes out, however long it takes
    return;
  }
  complete_ = text == kFlashCompleteText || text == kFlashCompleteAspiText;
  verdict_ = WithUnixLineEnds(text);
}

std::string FlashProgress::LastLogLine() const {
  std::string line = log_;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  const std::size_t start = line.rfind('\n');
  return start == std::string::npos ? line : line.substr(start + 1);
}

void FlashProgress::PageSent(int, const ScsiOutcome& outcome) {
  lastOutcome_ = outcome;
  if (!outcome.IsGood()) ++pagesNotWritten_;
}

void FlashProgress::StepProgress() {
  ++steps_;
  const bool written = lastOutcome_ && lastOutcome_->IsGood();
  const std::string outcome = lastOutcome_ ? OutcomeText(*lastOutcome_) : std::string();
  lastOutcome_.reset();
  const std::string line = Fill(kPageLine, {LastLogLine(), outcome});
  if (!terminal_) {
    // Out before the next page is sent: a log kept through a pipe or a file
    // then shows how far the flash got, even if the machine stops.
    out_ << line;
    out_.flush();
    return;
  }
  if (!written) out_ << kClearLine << line;
  const std::string bar = std::string(static_cast<std::size_t>(steps_), kProgressDone) +
                          std::string(static_cast<std::size_t>(kPageCount - steps_), kProgressToDo);
  out_ << Fill(kProgressBar, {bar, std::to_string(steps_)});
  if (steps_ == kPageCount) out_ << '\n';
  out_.flush();
}
