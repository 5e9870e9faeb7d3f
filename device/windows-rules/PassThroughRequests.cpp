#include "device/windows-rules/PassThroughRequests.h"

#include <algorithm>
#include <cstring>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiRequestRules.h"

namespace {

std::uint8_t DataInField(DataDirection direction) {
  switch (direction) {
    case DataDirection::In:
      return kScsiIoctlDataIn;
    case DataDirection::Out:
      return kScsiIoctlDataOut;
    case DataDirection::None:
      break;
  }
  return kScsiIoctlDataUnspecified;
}

// The fields both headers share, in the same places.
template <typename Header>
void FillHeader(Header& header, const ScsiRequest& request) {
  header.Length = sizeof(Header);
  header.TargetId = kPassThroughTargetId;
  header.CdbLength = request.cdb.length;
  header.SenseInfoLength = kSenseRequestLength;
  header.DataIn = DataInField(request.direction);
  header.DataTransferLength = static_cast<std::uint32_t>(TransferLength(request));
  header.TimeOutValue = static_cast<std::uint32_t>(request.timeout.count());
  const std::span<const std::uint8_t> cdb = request.cdb.View();
  std::copy(cdb.begin(), cdb.end(), header.Cdb);
}

}  // namespace

bool GoesBuffered(const ScsiRequest& request) {
  return request.direction != DataDirection::Out && TransferLength(request) <= kBufferedDataAreaLength;
}

void FillBufferedRequest(BufferedRequestBlock& block, const ScsiRequest& request) {
  std::memset(&block, 0, sizeof block);
  FillHeader(block.header, request);
  block.header.DataBufferOffset = offsetof(BufferedRequestBlock, data);
  block.header.SenseInfoOffset = offsetof(BufferedRequestBlock, sense);
}

void FillDirectRequest(DirectRequestBlock& block, const ScsiRequest& request) {
  std::memset(&block, 0, sizeof block);
  FillHeader(block.header, request);
  // The system only reads a data-out buffer.
  block.header.DataBuffer = request.direction == DataDirection::In
                                ? static_cast<void*>(request.dataIn.data())
                                : static_cast<void*>(const_cast<std::uint8_t*>(request.dataOut.data()));
  block.header.SenseInfoOffset = offsetof(DirectRequestBlock, sense);
}
