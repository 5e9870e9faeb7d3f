#pragma once
// What a flash run tells its front end while it writes, as values, in the
// order it happens. The front end alone decides the words, boxes and lines.
#include <cstdint>

class FlashObserver {
 public:
  // The image is accepted and nothing has been sent yet. The first page goes
  // out only when this returns, so the user can be told first.
  virtual void Announced(std::uint16_t imageChecksum) = 0;
  // Once per page, in page order, after the drive has answered its command:
  // the checksum the command carried, and whether the drive took the page.
  virtual void PageWritten(int page, std::uint16_t pageChecksum, bool accepted) = 0;
  // After the last page: how many pages the drive did not take.
  virtual void Finished(int refusedPages) = 0;

 protected:
  ~FlashObserver() = default;
};
