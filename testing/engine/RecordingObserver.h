#pragma once
// A FlashObserver that writes down what a run told it, in order.
#include <cstdint>
#include <optional>
#include <vector>

#include "flash/FlashObserver.h"

struct ObservedPage {
  int page;
  std::uint16_t checksum;
  bool accepted;
};

class RecordingObserver final : public FlashObserver {
 public:
  void Announced(std::uint16_t imageChecksum) override;
  void PageWritten(int page, std::uint16_t pageChecksum, bool accepted) override;
  void Finished(int refusedPages) override;

  // How many events came in, of any kind: where a command falls among them.
  std::size_t Events() const { return events_; }
  std::optional<std::uint16_t> AnnouncedChecksum() const { return announced_; }
  const std::vector<ObservedPage>& Pages() const { return pages_; }
  std::optional<int> RefusedPages() const { return refusedPages_; }
  // The event number of the announcement and of the summary.
  std::size_t AnnouncedAt() const { return announcedAt_; }
  std::size_t FinishedAt() const { return finishedAt_; }

 private:
  std::size_t events_ = 0;
  std::optional<std::uint16_t> announced_;
  std::size_t announcedAt_ = 0;
  std::vector<ObservedPage> pages_;
  std::optional<int> refusedPages_;
  std::size_t finishedAt_ = 0;
};
