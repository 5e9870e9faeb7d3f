#include "cli/FlashRecord.h"

#include <algorithm>

#include "flash/FlashConstants.h"
#include "flash/FlashTexts.h"

void FlashRecord::ShowMessage(const std::string& text, const std::string&, MessageIcon) {
  if (text == kFlashNowText) {
    notices_ << text << '\n';
    notices_.flush();
    return;
  }
  complete_ = text == kFlashCompleteText || text == kFlashCompleteAspiText;
  verdict_ = text;
  verdict_.erase(std::remove(verdict_.begin(), verdict_.end(), '\r'), verdict_.end());
}

void FlashRecord::PageSent(int page, const ScsiOutcome& outcome) {
  if (page >= 1 && page <= kPageCount) pages_[static_cast<std::size_t>(page - 1)] = outcome;
}
