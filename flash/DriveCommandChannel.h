#pragma once
// The one thing a flash run needs of a transport.
#include "flash/FirmwareImage.h"
#include "flash/PageWriteCommand.h"

class DriveCommandChannel {
 public:
  // Sends the command with the page named in its byte 10 as data-out. Returns
  // whether the drive accepted the page; a transport that fails shows its own
  // boxes before returning.
  virtual bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) = 0;

 protected:
  ~DriveCommandChannel() = default;
};
