#pragma once
// A flash run's drive channel over any back end: each page goes out as the
// page-write request with the page's own bytes, and its outcome goes to the
// front end, which alone decides what the user is shown of it.
#include "device/core/ScsiRequest.h"
#include "flash/DriveCommandChannel.h"

class PageOutcomeObserver {
 public:
  // Once for every page that was sent, before the run goes on.
  virtual void PageSent(int page, const ScsiOutcome& outcome) = 0;

 protected:
  ~PageOutcomeObserver() = default;
};

class ScsiPageChannel final : public DriveCommandChannel {
 public:
  ScsiPageChannel(ScsiTransport& transport, PageOutcomeObserver& observer)
      : transport_(transport), observer_(observer) {}

  // True when the drive accepted the page. A page number outside
  // 1..kPageCount is refused before anything is sent, and not observed.
  bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) override;

 private:
  ScsiTransport& transport_;
  PageOutcomeObserver& observer_;
};
