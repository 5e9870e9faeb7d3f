#pragma once
// A machine's drives for discovery: roots with a type, some that refuse to
// open, and emulated drives behind the CD-ROM ones.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/windows-rules/DriveSystem.h"
#include "testing/drive/EmulatedDrive.h"

inline constexpr unsigned kDriveTypeFixed = 3;  // DRIVE_FIXED

struct EmulatedRoot {
  char letter = 'C';
  unsigned type = kDriveTypeFixed;
  bool opens = true;
  EmulatedDrive* drive = nullptr;  // what answers requests on its handle; none: every request fails
  std::optional<std::uint32_t> callError = std::nullopt;  // every request on its handle fails with this error
};

class EmulatedDriveSystem final : public DriveSystem {
 public:
  explicit EmulatedDriveSystem(std::vector<EmulatedRoot> roots) : roots_(std::move(roots)) {}

  DriveStrings LogicalDriveStrings() override;
  unsigned DriveType(const std::string& root) override;
  std::unique_ptr<DriveHandle> OpenDrive(const std::string& devicePath, DriveSharing sharing) override;

  const std::vector<std::string>& OpenedPaths() const { return openedPaths_; }
  int HandlesOpen() const { return *handlesOpen_; }

 private:
  std::vector<EmulatedRoot> roots_;
  std::vector<std::string> openedPaths_;
  std::shared_ptr<int> handlesOpen_ = std::make_shared<int>(0);
};
