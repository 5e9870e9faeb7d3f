#pragma once
// One flash run for one drive: checks the file against the drive, then writes
// every page and tells the user how it went.
#include <string>

#include "flash/DriveCommandChannel.h"
#include "flash/FirmwareFile.h"
#include "flash/FlashReporter.h"
#include "flash/TransportMode.h"

class FlashSequence {
 public:
  FlashSequence(FlashReporter& reporter, FirmwareFile& file) : reporter_(reporter), file_(file) {}

  // rowText is the selected drive-list row, taken by value: the run owns its copy.
  void Run(DriveCommandChannel& channel, std::string rowText, const std::string& filePath, TransportMode mode);

 private:
  FlashReporter& reporter_;
  FirmwareFile& file_;
};
