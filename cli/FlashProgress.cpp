#include "cli/FlashProgress.h"

#include "cli/CliTexts.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"
#include "flash/FlashConstants.h"

using namespace cli_text;

void FlashProgress::Announced(std::uint16_t) {
  out_ << kFlashNow;
  out_.flush();  // said before the first page goes out, however long it takes
}

void FlashProgress::Finished(int refusedPages) {
  complete_ = refusedPages == 0;
  verdict_ = complete_ ? std::string(kFlashComplete) : Fill(kFlashFailed, {std::to_string(refusedPages)});
}

void FlashProgress::PageSent(int page, const ScsiOutcome& outcome) {
  ++steps_;
  const std::string line =
      Fill(kPageOutcomeLine, {PageNumberText(page), ChecksumText(check_.PageChecksum(page)), OutcomeText(outcome)});
  if (!terminal_) {
    // Out before the next page is sent: a log kept through a pipe or a file
    // then shows how far the flash got, even if the machine stops.
    out_ << line;
    out_.flush();
    return;
  }
  if (!outcome.IsGood()) out_ << kClearLine << line;
  const std::string bar = std::string(static_cast<std::size_t>(steps_), kProgressDone) +
                          std::string(static_cast<std::size_t>(kPageCount - steps_), kProgressToDo);
  out_ << Fill(kProgressBar, {bar, std::to_string(steps_)});
  if (steps_ == kPageCount) out_ << '\n';
  out_.flush();
}
