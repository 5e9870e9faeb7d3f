#pragma once
// A flash run kept as values, for flash --json: what became of each page and
// the run's verdict. Of the run it shows only the announcement, on a stream
// of its own, so that standard output carries nothing but the JSON.
#include <ostream>
#include <string>

#include "cli/RunJson.h"
#include "device/core/ScsiPageChannel.h"
#include "flash/FlashObserver.h"

class FlashRecord final : public FlashObserver, public PageOutcomeObserver {
 public:
  explicit FlashRecord(std::ostream& notices) : notices_(notices) {}

  void Announced(std::uint16_t imageChecksum) override;
  // Each page is kept with its command's outcome, from PageSent.
  void PageWritten(int, std::uint16_t, bool) override {}
  void Finished(int refusedPages) override;
  void PageSent(int page, const ScsiOutcome& outcome) override;

  const PageOutcomes& Pages() const { return pages_; }
  bool Complete() const { return complete_; }
  // The run's last word, its lines ending in "\n".
  const std::string& Verdict() const { return verdict_; }

 private:
  std::ostream& notices_;
  PageOutcomes pages_{};
  bool complete_ = false;
  std::string verdict_;
};
