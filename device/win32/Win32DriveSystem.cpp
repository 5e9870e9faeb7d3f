#include "device/win32/Win32DriveSystem.h"

#include <windows.h>

#include "device/win32/Win32DriveHandle.h"

DriveStrings Win32DriveSystem::LogicalDriveStrings() {
  DriveStrings strings{};
  GetLogicalDriveStringsA(static_cast<DWORD>(strings.size()), strings.data());
  return strings;
}

unsigned Win32DriveSystem::DriveType(const std::string& root) { return GetDriveTypeA(root.c_str()); }

std::unique_ptr<DriveHandle> Win32DriveSystem::OpenDrive(const std::string& devicePath, DriveSharing sharing) {
  return Win32DriveHandle::Open(devicePath, sharing);
}
