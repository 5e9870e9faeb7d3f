#pragma once
// A DriveCommandChannel that keeps every command and where its page came
// from, and refuses the pages it is told to.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "flash/DriveCommandChannel.h"

struct ReceivedPage {
  PageWriteCommand command;
  std::size_t dataOffset;          // of the page's bytes within the image
  std::uint32_t dataSum;           // of the page's bytes, unreduced
  std::uint8_t firstByte;
};

class RecordingChannel final : public DriveCommandChannel {
 public:
  explicit RecordingChannel(std::set<int> refusedPages = {}) : refused_(std::move(refusedPages)) {}

  bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) override;

  const std::vector<ReceivedPage>& Pages() const { return pages_; }
  // Called with the page number as each command arrives, before it is answered.
  std::function<void(int page)> onWrite;

 private:
  std::set<int> refused_;
  std::vector<ReceivedPage> pages_;
};
