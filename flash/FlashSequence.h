#pragma once
// One flash run for one drive: checks the file against the drive, then writes
// every page, telling the front end what happened as it goes.
#include <string>
#include <string_view>

#include "files/FirmwareFile.h"
#include "flash/DriveCommandChannel.h"
#include "flash/FirmwareCheck.h"
#include "flash/FirmwareImage.h"
#include "flash/FlashObserver.h"

class FlashSequence {
 public:
  FlashSequence(FlashObserver& observer, FirmwareFile& file) : observer_(observer), file_(file) {}

  // The whole run: the file's checks, then the pages when they pass. A
  // refused file ends the run before the observer hears anything; the
  // verdict says why.
  CheckVerdict Run(DriveCommandChannel& channel, std::string_view driveIdentity, const std::string& filePath);

  // The run from its announcement on, for an image that CheckFirmware has
  // accepted for this drive: a front end that checked the file already (to
  // ask the user) writes exactly the bytes it checked, without a second load.
  void WritePages(DriveCommandChannel& channel, const FirmwareImage& image, const FirmwareCheck& check);

 private:
  FlashObserver& observer_;
  FirmwareFile& file_;
};
