#include "testing/drive/EmulatedPassThroughDrive.h"

#include <span>

#include "device/windows-rules/PassThroughRequests.h"

namespace {

constexpr IoControlResult kInvalidParameter{false, kErrorInvalidParameter};

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

DataDirection Direction(std::uint8_t dataIn) {
  if (dataIn == kScsiIoctlDataIn) return DataDirection::In;
  if (dataIn == kScsiIoctlDataOut) return DataDirection::Out;
  return DataDirection::None;
}

}  // namespace

IoControlResult EmulatedPassThroughDrive::IoControl(std::uint32_t code, void* input, std::uint32_t inputLength,
                                                    void* output, std::uint32_t outputLength) {
  calls_.push_back({code, inputLength, outputLength, input == output});
  if (drive_.Behaviour().systemCallError) return {false, *drive_.Behaviour().systemCallError};
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

IoControlResult EmulatedPassThroughDrive::PassThrough(void* block, std::uint32_t inputLength,
                                                      std::uint32_t outputLength) {
  auto& header = *static_cast<nt::SCSI_PASS_THROUGH*>(block);
  if (!HeaderIsSound(header, inputLength, outputLength)) return kInvalidParameter;
  // The data travels inside the block, after the header.
  if (header.DataBufferOffset < sizeof header ||
      !Inside(header.DataBufferOffset, header.DataTransferLength, outputLength)) {
    return kInvalidParameter;
  }
  auto* data = static_cast<std::uint8_t*>(block) + header.DataBufferOffset;
  header.ScsiStatus = drive_.Execute(std::span(header.Cdb, header.CdbLength), Direction(header.DataIn), data,
                                     header.DataTransferLength);
  return {true, 0};
}

IoControlResult EmulatedPassThroughDrive::PassThroughDirect(void* block, std::uint32_t inputLength,
                                                            std::uint32_t outputLength) {
  auto& header = *static_cast<nt::SCSI_PASS_THROUGH_DIRECT*>(block);
  if (!HeaderIsSound(header, inputLength, outputLength)) return kInvalidParameter;
  if (header.DataTransferLength != 0 && !header.DataBuffer) return kInvalidParameter;
  header.ScsiStatus = drive_.Execute(std::span(header.Cdb, header.CdbLength), Direction(header.DataIn),
                                     static_cast<std::uint8_t*>(header.DataBuffer), header.DataTransferLength);
  return {true, 0};
}
