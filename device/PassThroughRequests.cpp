#include "device/PassThroughRequests.h"

#include <algorithm>
#include <cstring>

#include "device/ScsiCommands.h"

void FillIdentityRequest(IdentityRequestBlock& block) {
  std::memset(&block, 0, sizeof block);
  nt::SCSI_PASS_THROUGH& header = block.header;
  header.Length = sizeof(nt::SCSI_PASS_THROUGH);
  header.TargetId = kPassThroughTargetId;
  header.CdbLength = kCommandLength;
  header.SenseInfoLength = kSenseRequestLength;
  header.DataIn = kScsiIoctlDataIn;
  header.DataTransferLength = kInquiryDataLength;
  header.TimeOutValue = kIdentityTimeOutSeconds;
  header.DataBufferOffset = offsetof(IdentityRequestBlock, data);
  header.SenseInfoOffset = offsetof(IdentityRequestBlock, sense);
  std::copy(kInquiryCommand.begin(), kInquiryCommand.end(), header.Cdb);
}

void FillPageWriteRequest(PageWriteRequestBlock& block, const PageWriteCommand& command,
                          const std::uint8_t* pageData) {
  std::memset(&block, 0, sizeof block);
  nt::SCSI_PASS_THROUGH_DIRECT& header = block.header;
  header.Length = sizeof(nt::SCSI_PASS_THROUGH_DIRECT);
  header.TargetId = kPassThroughTargetId;
  header.CdbLength = kCommandLength;
  header.SenseInfoLength = kSenseRequestLength;
  header.DataIn = kScsiIoctlDataOut;
  header.DataTransferLength = kPageSize;
  header.TimeOutValue = kPageWriteTimeOutSeconds;
  // The system only reads a data-out buffer.
  header.DataBuffer = const_cast<std::uint8_t*>(pageData);
  header.SenseInfoOffset = offsetof(PageWriteRequestBlock, sense);
  std::copy(command.bytes.begin(), command.bytes.end(), header.Cdb);
}
