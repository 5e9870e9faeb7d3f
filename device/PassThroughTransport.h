#pragma once
// Drive access through the system's SCSI pass-through requests on an open
// drive handle. It neither opens nor closes the handle, and keeps no state
// between calls.
#include <cstdint>
#include <span>
#include <string>

#include "device/DriveHandle.h"
#include "flash/FlashConstants.h"
#include "flash/MessageSink.h"
#include "flash/PageWriteCommand.h"

inline constexpr const char* kPassThroughErrorCaption = "Status Error Message";
inline constexpr const char* kCommandNotCompleteText = "Command Not Complete!";
inline constexpr const char* kCommandNotCompleteCaption = "Satus Message";

// "Error code:%d" with a system error code.
std::string PassThroughErrorText(std::uint32_t error);

class PassThroughTransport {
 public:
  // sink shows the boxes, owned by the main dialog.
  explicit PassThroughTransport(MessageSink& sink) : sink_(sink) {}

  // The drive's identity (36 characters), or an empty text when the request
  // failed (after an "Error code:%d" box) or the drive refused it (no box).
  std::string InquireIdentity(DriveHandle& drive);

  // Sends the command with the image's page named in its byte 10 as data-out.
  // True when the drive accepted the page. A page number outside
  // 1..kPageCount is refused before anything is sent.
  bool WritePage(DriveHandle& drive, const PageWriteCommand& command,
                 std::span<const std::uint8_t, kImageSize> image);

 private:
  MessageSink& sink_;
};
