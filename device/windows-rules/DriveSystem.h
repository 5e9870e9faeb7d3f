#pragma once
// The drives the system knows of: their roots, their types, and opening one.
#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "device/windows-rules/DriveHandle.h"

inline constexpr std::size_t kDriveStringsLength = 256;  // characters given to GetLogicalDriveStringsA
inline constexpr unsigned kDriveTypeCdRom = 5;           // DRIVE_CDROM

using DriveStrings = std::array<char, kDriveStringsLength>;

// Who else may use the drive while it is open.
enum class DriveSharing {
  ReadWrite,  // FILE_SHARE_READ | FILE_SHARE_WRITE: discovery
  Read,       // FILE_SHARE_READ: a flash run
};

class DriveSystem {
 public:
  virtual ~DriveSystem() = default;

  // GetLogicalDriveStringsA: "C:\", a terminator, "D:\", ..., an empty text.
  virtual DriveStrings LogicalDriveStrings() = 0;
  // GetDriveTypeA of a root such as "E:\".
  virtual unsigned DriveType(const std::string& root) = 0;
  // CreateFileA on a device path such as "\\.\E:", for reading and writing;
  // nothing when the system refuses.
  virtual std::unique_ptr<DriveHandle> OpenDrive(const std::string& devicePath, DriveSharing sharing) = 0;
};
