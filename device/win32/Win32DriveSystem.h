#pragma once
// The drives of this machine as Windows reports them.
#include "device/windows-rules/DriveSystem.h"

class Win32DriveSystem final : public DriveSystem {
 public:
  DriveStrings LogicalDriveStrings() override;
  unsigned DriveType(const std::string& root) override;
  std::unique_ptr<DriveHandle> OpenDrive(const std::string& devicePath, DriveSharing sharing) override;
};
