#pragma once
// The Windows pass-through back end: SCSI commands as the system's
// pass-through requests on an open drive handle. It neither opens nor closes
// the handle, and keeps no state between calls. A request with no data for
// the drive whose answer fits the block goes buffered
// (IOCTL_SCSI_PASS_THROUGH, the INQUIRY), every other one direct
// (IOCTL_SCSI_PASS_THROUGH_DIRECT, the page write).
#include "device/core/ScsiRequest.h"
#include "device/windows-rules/DriveHandle.h"

class PassThroughTransport final : public ScsiTransport {
 public:
  explicit PassThroughTransport(DriveHandle& drive) : drive_(drive) {}

  // SystemError with the system's code when the call fails; ScsiStatus, with
  // the sense the drive gave, when the drive answers other than GOOD; Good
  // otherwise, with a buffered answer copied to the request's dataIn.
  ScsiOutcome Execute(const ScsiRequest& request) override;

 private:
  DriveHandle& drive_;
};
