#pragma once
// The one thing a flash run needs of a transport.
#include "flash/FirmwareImage.h"
#include "flash/PageWriteCommand.h"

class DriveCommandChannel {
 public:
  // Sends the command with the page named in its byte 10 as data-out. Returns
  // whether the drive accepted the page; what the user is shown of a failure
  // is the front end's to decide, before this returns.
  virtual bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) = 0;

 protected:
  ~DriveCommandChannel() = default;
};
