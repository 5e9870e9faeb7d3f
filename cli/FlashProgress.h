#pragma once
// What a flash run shows on comboflash's outputs: the engine's announcement,
// each page's log line with what became of it (on a terminal a progress bar,
// and a line only for a page not written), and the run's verdict.
#include <optional>
#include <ostream>
#include <string>

#include "device/core/ScsiPageChannel.h"
#include "flash/FlashReporter.h"

class FlashProgress final : public FlashReporter, public PageOutcomeObserver {
 public:
  FlashProgress(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string& text) override { log_ = text; }
  void SetStatus(const std::string&) override {}
  void StepProgress() override;
  void PageSent(int page, const ScsiOutcome& outcome) override;

  bool Complete() const { return complete_; }
  int PagesNotWritten() const { return pagesNotWritten_; }
  // The run's last word: its verdict.
  const std::string& Verdict() const { return verdict_; }

 private:
  std::string LastLogLine() const;

  std::ostream& out_;
  bool terminal_;
  std::string log_;
  std::optional<ScsiOutcome> lastOutcome_;
  int steps_ = 0;
  int pagesNotWritten_ = 0;
  bool complete_ = false;
  std::string verdict_;
};
