#pragma once
// A flash run kept as values, for flash --json: what became of each page and
// the run's verdict. Of the run it shows only the announcement, on a stream
// of its own, so that standard output carries nothing but the JSON.
#include <ostream>
#include <string>

#include "cli/RunJson.h"
#include "device/core/ScsiPageChannel.h"
#include "flash/FlashReporter.h"

class FlashRecord final : public FlashReporter, public PageOutcomeObserver {
 public:
  explicit FlashRecord(std::ostream& notices) : notices_(notices) {}

  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string&) override {}
  void SetStatus(const std::string&) override {}
  void StepProgress() override {}
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
