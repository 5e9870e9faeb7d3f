#include "device/PassThroughTransport.h"

#include <cstdio>

#include "device/PageAddressing.h"
#include "device/PassThroughRequests.h"
#include "device/ScsiCommands.h"

std::string PassThroughErrorText(std::uint32_t error) {
  char text[32];
  std::snprintf(text, sizeof text, "Error code:%d", static_cast<int>(error));
  return text;
}

std::string PassThroughTransport::InquireIdentity(DriveHandle& drive) {
  IdentityRequestBlock block;
  FillIdentityRequest(block);
  const IoControlResult result =
      drive.IoControl(kIoctlScsiPassThrough, &block, kIdentityRequestInputLength, &block, kIdentityRequestOutputLength);
  if (!result.succeeded) {
    sink_.ShowMessage(PassThroughErrorText(result.error), kPassThroughErrorCaption, MessageIcon::Information);
    return {};
  }
  if (block.header.ScsiStatus != kScsiStatusGood) return {};
  return MakeDriveIdentity(block.data);
}

bool PassThroughTransport::WritePage(DriveHandle& drive, const PageWriteCommand& command,
                                     std::span<const std::uint8_t, kImageSize> image) {
  const std::optional<std::size_t> offset = PageDataOffset(command);
  if (!offset) return false;

  PageWriteRequestBlock block;
  FillPageWriteRequest(block, command, image.data() + *offset);
  const IoControlResult result = drive.IoControl(kIoctlScsiPassThroughDirect, &block, kPageWriteRequestInputLength,
                                                 &block, kPageWriteRequestOutputLength);
  if (!result.succeeded) {
    sink_.ShowMessage(PassThroughErrorText(result.error), kPassThroughErrorCaption, MessageIcon::Information);
  }
  const bool accepted = result.succeeded && block.header.ScsiStatus == kScsiStatusGood;
  if (!accepted) sink_.ShowMessage(kCommandNotCompleteText, kCommandNotCompleteCaption, MessageIcon::Information);
  return accepted;
}
