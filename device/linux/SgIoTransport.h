#pragma once
// The Linux back end: one SG_IO request per command on an open device node.
#include <cstdint>

#include "device/core/ScsiRequest.h"
#include "device/linux/DeviceNodes.h"

// The driver status bit that only says sense data came with the status.
inline constexpr std::uint8_t kSgDriverSense = 0x08;
// Where the host status sits in a failed outcome's transportStatus.
inline constexpr unsigned kHostStatusShift = 16;

class SgIoTransport final : public ScsiTransport {
 public:
  explicit SgIoTransport(DeviceNode& node) : node_(node) {}

  // Good only when the ioctl succeeded and the SCSI, host and driver status
  // are all zero. A CHECK CONDITION keeps its sense, even though the kernel
  // marks it with the driver status kSgDriverSense; any other host or driver
  // status is the carrier's failure (host << 16 | driver).
  ScsiOutcome Execute(const ScsiRequest& request) override;

 private:
  DeviceNode& node_;
};
