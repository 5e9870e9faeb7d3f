#pragma once
// One flash run for one drive: checks the file against the drive, then writes
// every page and tells the user how it went.
#include <string>

#include "files/FirmwareFile.h"
#include "flash/DriveCommandChannel.h"
#include "flash/FirmwareCheck.h"
#include "flash/FirmwareImage.h"
#include "flash/FlashReporter.h"
#include "flash/TransportMode.h"

class FlashSequence {
 public:
  FlashSequence(FlashReporter& reporter, FirmwareFile& file) : reporter_(reporter), file_(file) {}

  // The whole run: the file's checks, each refusal shown as its message, then
  // the pages. rowText is the selected drive-list row, taken by value: the run
  // owns its copy.
  void Run(DriveCommandChannel& channel, std::string rowText, const std::string& filePath, TransportMode mode);

  // The run from its first log line on, for an image that CheckFirmware has
  // accepted for this drive: a front end that checked the file already (to
  // ask the user) writes exactly the bytes it checked, without a second load.
  void WritePages(DriveCommandChannel& channel, const FirmwareImage& image, const FirmwareCheck& check,
                  TransportMode mode);

 private:
  FlashReporter& reporter_;
  FirmwareFile& file_;
};
