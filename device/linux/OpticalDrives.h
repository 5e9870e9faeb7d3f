#pragma once
// Finding the optical drives of a Linux machine and asking one for its
// identity: the drive nodes come from sysfs, the identity from INQUIRY over
// SG_IO. Roots are parameters so that tests can use fixture trees.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/core/ScsiRequest.h"
#include "device/linux/DeviceNodes.h"

struct OpticalDriveNode {
  std::string name;        // sr0
  std::string devicePath;  // the node under the device root: /dev/sr0
  std::string bus;         // usb, ata, firewire, scsi
};

// Every sr device named under sysfsRoot/class/block, in device order (sr2
// before sr10); nothing when that folder cannot be read.
std::optional<std::vector<OpticalDriveNode>> FindOpticalDrives(const std::filesystem::path& sysfsRoot,
                                                               const std::filesystem::path& devRoot);

// The bus a device sits on, judged from its resolved sysfs path.
std::string BusOfSysfsPath(std::string_view devicePath);

enum class DriveAccess {
  Query,      // read-only: enough for INQUIRY
  Exclusive,  // read-write and exclusive: for writing firmware
};

int OpenFlags(DriveAccess access);

struct DriveProbe {
  enum class Failure {
    None,
    Open,        // openError holds the errno
    Inquiry,     // inquiry holds what became of the INQUIRY
    NotOptical,  // it answered, but as another kind of device
  };
  Failure failure = Failure::Open;
  int openError = 0;
  ScsiOutcome inquiry;
  std::uint8_t peripheralType = 0;
  std::string identity;  // 36 characters once the drive answered
  std::unique_ptr<DeviceNode> node;  // still open when failure is None

  std::string Vendor() const { return identity.substr(0, 8); }
  std::string Product() const { return identity.substr(8, 16); }
  std::string Revision() const { return identity.substr(24, 4); }
};

// Opens devicePath for access and asks it for its identity by INQUIRY.
DriveProbe ProbeDrive(DeviceNodes& nodes, const std::string& devicePath, DriveAccess access);
