#pragma once
// What a flash run shows on comboflash's outputs: the announcement, each
// page's checksum line with what became of its command (on a terminal a
// progress bar, and a line only for a page not written), and the run's
// verdict.
#include <ostream>
#include <string>

#include "device/core/ScsiPageChannel.h"
#include "flash/FirmwareCheck.h"
#include "flash/FlashObserver.h"

class FlashProgress final : public FlashObserver, public PageOutcomeObserver {
 public:
  // check: the accepted check whose image is written, for its page checksums.
  FlashProgress(std::ostream& out, bool terminal, const FirmwareCheck& check)
      : out_(out), terminal_(terminal), check_(check) {}

  void Announced(std::uint16_t imageChecksum) override;
  // Each page's line goes out with its command's outcome, from PageSent: the
  // engine's own word on the page adds nothing to it.
  void PageWritten(int, std::uint16_t, bool) override {}
  void Finished(int refusedPages) override;
  void PageSent(int page, const ScsiOutcome& outcome) override;

  bool Complete() const { return complete_; }
  // The run's last word: its verdict.
  const std::string& Verdict() const { return verdict_; }

 private:
  std::ostream& out_;
  bool terminal_;
  const FirmwareCheck& check_;
  int steps_ = 0;
  bool complete_ = false;
  std::string verdict_;
};
