#include "testing/drive/EmulatedPassThroughDrive.h"

#include <algorithm>
#include <span>

#include "device/windows-rules/PassThroughRequests.h"
#include "testing/drive/ScsiWireValues.h"

namespace {

constexpr IoControlResult kInvalidParameter{false, kErrorInvalidParameter};
constexpr IoControlResult kTimedOut{false, kErrorSemTimeout};
constexpr std::size_t kPageNumberAt = 10;  // of the vendor page write

bool Inside(std::uint64_t offset, std::uint64_t length, std::uint32_t blockLength) {
  return offset + length <= blockLength;
}

template <typename Header>
bool HeaderIsSound(const Header& header, std::uint32_t inputLength, std::uint32_t outputLength) {
  return inputLength >= sizeof(Header) && outputLength >= sizeof(Header) && header.Length == sizeof(Header) &&
         header.CdbLength <= sizeof header.Cdb &&
         Inside(header.SenseInfoOffset, header.SenseInfoLength, outputLength) &&
         (header.SenseInfoLength == 0 || header.SenseInfoOffset >= sizeof(Header));
}

// The drive's status, and as much of its sense as the block has room for;
// SenseInfoLength says on return how much that was.
template <typename Header>
void WriteAnswer(Header& header, const DriveAnswer& answer) {
  header.ScsiStatus = answer.status;
  const std::size_t given = std::min<std::size_t>(answer.sense.size(), header.SenseInfoLength);
  std::copy_n(answer.sense.begin(), given, reinterpret_cast<std::uint8_t*>(&header) + header.SenseInfoOffset);
  header.SenseInfoLength = static_cast<std::uint8_t>(given);
}

DataDirection Direction(std::uint8_t dataIn) {
  if (dataIn == kScsiIoctlDataIn) return DataDirection::In;
  if (dataIn == kScsiIoctlDataOut) return DataDirection::Out;
  return DataDirection::None;
}

}  // namespace

IoControlResult EmulatedPassThroughDrive::IoControl(std::uint32_t code, void* input, std::uint32_t inputLength,
                                                    void* output, std::uint32_t outputLength) {
  calls_.push_back({code, inputLength, outputLength, input == output});
  if (callError_) return {false, *callError_};
  // Both requests are METHOD_BUFFERED: the block goes in and comes back whole.
  if (input != output || !input) return kInvalidParameter;
  switch (code) {
    case kIoctlScsiPassThrough:
      return PassThrough(input, inputLength, outputLength);
    case kIoctlScsiPassThroughDirect:
      return PassThroughDirect(input, inputLength, outputLength);
    default:
      return {false, kErrorInvalidFunction};
  }
}

template <typename Header>
bool EmulatedPassThroughDrive::Unanswered(const Header& header) {
  if (!silentPage_ || header.CdbLength == 0) return false;
  const bool inquiry = header.Cdb[0] == scsi_wire::kInquiryOpcode;
  const bool pageWrite = header.Cdb[0] == scsi_wire::kPageWriteOpcode && header.CdbLength > kPageNumberAt;
  const int which = inquiry ? 0 : pageWrite ? header.Cdb[kPageNumberAt] : -1;
  if (which != *silentPage_) return false;
  waited_ = std::chrono::seconds(header.TimeOutValue);
  return true;
}

IoControlResult EmulatedPassThroughDrive::PassThrough(void* block, std::uint32_t inputLength,
                                                      std::uint32_t outputLength) {
  auto& header = *static_cast<nt::SCSI_PASS_THROUGH*>(block);
  if (!HeaderIsSound(header, inputLength, outputLength)) return kInvalidParameter;
  // The data travels inside the block, after the header.
  if (header.DataBufferOffset < sizeof header ||
      !Inside(header.DataBufferOffset, header.DataTransferLength, outputLength)) {
    return kInvalidParameter;
  }
  if (Unanswered(header)) return kTimedOut;
  auto* data = static_cast<std::uint8_t*>(block) + header.DataBufferOffset;
  WriteAnswer(header, drive_.Execute(std::span(header.Cdb, header.CdbLength), Direction(header.DataIn), data,
                                     header.DataTransferLength));
  return {true, 0};
}

IoControlResult EmulatedPassThroughDrive::PassThroughDirect(void* block, std::uint32_t inputLength,
                                                            std::uint32_t outputLength) {
  auto& header = *static_cast<nt::SCSI_PASS_THROUGH_DIRECT*>(block);
  if (!HeaderIsSound(header, inputLength, outputLength)) return kInvalidParameter;
  if (header.DataTransferLength != 0 && !header.DataBuffer) return kInvalidParameter;
  if (Unanswered(header)) return kTimedOut;
  WriteAnswer(header, drive_.Execute(std::span(header.Cdb, header.CdbLength), Direction(header.DataIn),
                                     static_cast<std::uint8_t*>(header.DataBuffer), header.DataTransferLength));
  return {true, 0};
}
