#pragma once
// Finding the optical drives of a Linux machine and asking one for its
// identity: the drive nodes come from sysfs, the identity from INQUIRY over
// SG_IO. Roots are parameters so that tests can use fixture trees.
#include <chrono>
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
  Exclusive,  // read-write, and the drive held under every node: for writing firmware
};

int OpenFlags(DriveAccess access);

// How long the kernel may wait for the identity inquiry before it gives up
// and aborts it. A drive answers an INQUIRY at once, even while a disc spins
// up; one that does not is not going to, and list and check must not sit on
// it. The kernel allows a drive's INQUIRY about as long when it scans a bus.
// (Page writes keep their long time-out: a page must not be cut short.)
inline constexpr std::chrono::seconds kLinuxInquiryTimeout{20};

struct DriveProbe {
  enum class Failure {
    None,
    Open,        // failedPath could not be opened: openError holds the errno
    Locked,      // failedPath is locked by another program
    NoSysfs,     // the drive's other nodes cannot be found, so it cannot be held
    NotScsi,     // the node is no SCSI device
    Inquiry,     // inquiry holds what became of the INQUIRY
    NotOptical,  // a SCSI device of another kind
  };
  Failure failure = Failure::Open;
  int openError = 0;
  std::string failedPath;  // the node that was refused: the one named, or another of the same drive
  NodeStatus::Kind failedKind = NodeStatus::Kind::Other;
  ScsiOutcome inquiry;
  std::uint8_t peripheralType = 0;
  std::string identity;  // 36 characters once the drive answered
  std::unique_ptr<DeviceNode> node;  // the node named, still open when failure is None
  std::vector<std::unique_ptr<DeviceNode>> held;  // the drive's other nodes, held with it

  std::string Vendor() const { return identity.substr(0, 8); }
  std::string Product() const { return identity.substr(8, 16); }
  std::string Revision() const { return identity.substr(24, 4); }
};

// Judges what devicePath is from sysfs, opens it for access and asks it for
// its identity by INQUIRY. For Exclusive access every node of the same drive
// is opened exclusively and locked first, so that nothing is sent to a drive
// that something else holds by another name.
DriveProbe ProbeDrive(DeviceNodes& nodes, const std::filesystem::path& sysfsRoot,
                      const std::filesystem::path& devRoot, const std::string& devicePath, DriveAccess access);
