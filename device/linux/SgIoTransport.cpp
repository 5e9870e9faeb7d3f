#include "device/linux/SgIoTransport.h"

#include <scsi/sg.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <span>

#include "device/core/ScsiRequestRules.h"

namespace {

constexpr int kSgInterfaceId = 'S';

int SgDirection(DataDirection direction) {
  switch (direction) {
    case DataDirection::None: return SG_DXFER_NONE;
    case DataDirection::In: return SG_DXFER_FROM_DEV;
    case DataDirection::Out: return SG_DXFER_TO_DEV;
  }
  return SG_DXFER_NONE;
}

// The kernel counts in milliseconds and takes 0 as its own default, so "no
// limit" becomes the longest wait it can be given.
unsigned SgTimeout(std::chrono::seconds timeout) {
  constexpr auto kLongest = std::numeric_limits<unsigned>::max();
  if (timeout == kNoTimeLimit) return kLongest;
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count();
  return milliseconds >= kLongest ? kLongest : static_cast<unsigned>(milliseconds);
}

}  // namespace

ScsiOutcome SgIoTransport::Execute(const ScsiRequest& request) {
  std::array<std::uint8_t, kMaxCdbLength> cdb = request.cdb.bytes;
  std::array<std::uint8_t, sizeof(SenseData::raw)> sense{};

  sg_io_hdr_t header{};
  header.interface_id = kSgInterfaceId;
  header.dxfer_direction = SgDirection(request.direction);
  header.cmd_len = request.cdb.length;
  header.cmdp = cdb.data();
  header.mx_sb_len = static_cast<unsigned char>(sense.size());
  header.sbp = sense.data();
  header.timeout = SgTimeout(request.timeout);
  if (request.direction == DataDirection::In) {
    header.dxferp = request.dataIn.data();
    header.dxfer_len = static_cast<unsigned>(request.dataIn.size());
  } else if (request.direction == DataDirection::Out) {
    // The kernel only reads a data-out buffer.
    header.dxferp = const_cast<std::uint8_t*>(request.dataOut.data());
    header.dxfer_len = static_cast<unsigned>(request.dataOut.size());
  }

  ScsiOutcome outcome;
  if (const int error = node_.Ioctl(SG_IO, &header); error != 0) {
    outcome.kind = OutcomeKind::SystemError;
    outcome.systemError = static_cast<std::uint32_t>(error);
    return outcome;
  }
  outcome.scsiStatus = header.status;
  outcome.transportStatus = std::uint32_t{header.host_status} << kHostStatusShift | header.driver_status;
  outcome.sense = DecodeSense(std::span(sense).first(std::min<std::size_t>(header.sb_len_wr, sense.size())));

  const bool carrierFailed = header.host_status != 0 || (header.driver_status & ~kSgDriverSense) != 0;
  if (carrierFailed) {
    outcome.kind = OutcomeKind::TransportStatus;
  } else if (header.status != 0) {
    outcome.kind = OutcomeKind::ScsiStatus;
  } else if (header.driver_status != 0) {
    outcome.kind = OutcomeKind::TransportStatus;  // sense flagged without a status to go with it
  } else {
    outcome.kind = OutcomeKind::Good;
  }
  return outcome;
}
