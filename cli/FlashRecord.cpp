#include "cli/FlashRecord.h"

#include "cli/CliTexts.h"
#include "cli/TextFill.h"
#include "flash/FlashConstants.h"

using namespace cli_text;

void FlashRecord::Announced(std::uint16_t) {
  notices_ << kFlashNow;
  notices_.flush();
}

void FlashRecord::Finished(int refusedPages) {
  complete_ = refusedPages == 0;
  verdict_ = complete_ ? std::string(kFlashComplete) : Fill(kFlashFailed, {std::to_string(refusedPages)});
}

void FlashRecord::PageSent(int page, const ScsiOutcome& outcome) {
  if (page >= 1 && page <= kPageCount) pages_[static_cast<std::size_t>(page - 1)] = outcome;
}
