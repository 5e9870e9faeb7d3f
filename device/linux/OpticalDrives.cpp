#include "device/linux/OpticalDrives.h"

#include <fcntl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <system_error>
#include <utility>

#include "device/core/ScsiCommands.h"
#include "device/linux/DriveNodes.h"
#include "device/linux/SgIoTransport.h"

namespace {

constexpr std::string_view kOpticalPrefix = "sr";

std::optional<unsigned> DriveNumber(std::string_view name) {
  if (!name.starts_with(kOpticalPrefix) || name.size() == kOpticalPrefix.size()) return std::nullopt;
  const std::string_view digits = name.substr(kOpticalPrefix.size());
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

}  // namespace

std::string BusOfSysfsPath(std::string_view devicePath) {
  // The first bridge on the way from the root decides: a drive in a USB
  // enclosure is a SCSI device below a USB interface.
  struct Marker {
    std::string_view component;
    std::string_view bus;
  };
  constexpr std::array<Marker, 4> kMarkers = {{{"/usb", "usb"}, {"/ata", "ata"}, {"/fw", "firewire"}, {"/virtio", "virtio"}}};
  std::size_t first = std::string_view::npos;
  std::string_view bus = "scsi";
  for (const Marker& marker : kMarkers) {
    const std::size_t at = devicePath.find(marker.component);
    if (at < first) {
      first = at;
      bus = marker.bus;
    }
  }
  return std::string(bus);
}

std::optional<std::vector<OpticalDriveNode>> FindOpticalDrives(const std::filesystem::path& sysfsRoot,
                                                               const std::filesystem::path& devRoot) {
  const std::filesystem::path blockClass = sysfsRoot / "class" / "block";
  std::error_code error;
  std::filesystem::directory_iterator entries(blockClass, error);
  if (error) return std::nullopt;

  std::vector<std::pair<unsigned, OpticalDriveNode>> found;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    const std::optional<unsigned> number = DriveNumber(name);
    if (!number) continue;
    const std::filesystem::path resolved = std::filesystem::canonical(entry.path(), error);
    const std::string sysfsPath = error ? entry.path().string() : resolved.string();
    found.push_back({*number, {name, (devRoot / name).string(), BusOfSysfsPath(sysfsPath)}});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<OpticalDriveNode> drives;
  for (auto& [number, drive] : found) drives.push_back(std::move(drive));
  return drives;
}

int OpenFlags(DriveAccess access) {
  // O_NONBLOCK lets a drive without a disc be opened at all, and makes a
  // node that is held refuse at once instead of waiting for it.
  switch (access) {
    case DriveAccess::Query: return O_RDONLY | O_NONBLOCK;
    case DriveAccess::Exclusive: return O_RDWR | O_NONBLOCK | O_EXCL;
  }
  return O_RDONLY | O_NONBLOCK;
}

namespace {

struct Target {
  std::string path;
  NodeStatus::Kind kind;
  bool named;  // the node the user named: the commands go through it
};

// Which nodes to open. A query opens only the node named. Writing holds the
// drive under every node that reaches it, and why that is enough:
//   - the block node (srN) opened with O_EXCL is refused while a disc from
//     it is mounted or another exclusive opener holds it;
//   - the SCSI generic node (sgN) opened with O_EXCL is refused while any
//     other program has it open, and refuses every open while we hold it;
//   - each is locked with flock(LOCK_EX), the lock that udev's probes and
//     the disk tools honour before they touch a whole block device, and that
//     comboflash's list and check take shared before they ask a drive.
// A second comboflash, by whichever name, needs the same nodes and so is
// refused at its first open, before anything is sent. Other programs keep
// what they may rightly do meanwhile: read sysfs, and open the block node
// without O_EXCL or a lock (the kernel offers no way to keep those out). A
// lock file keyed by the drive's SCSI address would add nothing the kernel
// does not already enforce, and would need a folder every user may write.
// Nodes are opened in one order, block first, so that of two flashes
// started at once one goes on, rather than each holding one node and both
// being refused.
std::vector<Target> TargetsOf(const NodeOwner& owner, const NodeStatus& named, const std::string& namedPath,
                              const std::filesystem::path& devRoot, DeviceNodes& nodes) {
  std::vector<Target> targets;
  bool namedFound = false;
  for (const DriveNodeName& node : owner.nodes) {
    if (node.number.SameDevice(named)) {
      targets.push_back({namedPath, node.number.kind, true});
      namedFound = true;
      continue;
    }
    // A node missing from the device root, or one there of another device,
    // is left out: nothing of this drive can be reached by that name.
    const std::string path = (devRoot / node.name).string();
    if (!nodes.Status(path).SameDevice(node.number)) continue;
    targets.push_back({path, node.number.kind, false});
  }
  if (!namedFound) targets.insert(targets.begin(), {namedPath, named.kind, true});
  return targets;
}

DriveProbe Refused(DriveProbe::Failure failure, const std::string& path, NodeStatus::Kind kind, int error = 0) {
  DriveProbe probe;
  probe.failure = failure;
  probe.failedPath = path;
  probe.failedKind = kind;
  probe.openError = error;
  return probe;
}

}  // namespace

DriveProbe ProbeDrive(DeviceNodes& nodes, const std::filesystem::path& sysfsRoot,
                      const std::filesystem::path& devRoot, const std::string& devicePath, DriveAccess access) {
  // What the node is comes first: a disk is refused as no optical drive
  // whether or not it is mounted.
  const NodeStatus named = nodes.Status(devicePath);
  if (named.error != 0) return Refused(DriveProbe::Failure::Open, devicePath, named.kind, named.error);
  const NodeOwner owner = FindNodeOwner(sysfsRoot, named);
  std::vector<Target> targets = {{devicePath, named.kind, true}};
  switch (owner.kind) {
    case NodeOwner::Kind::NotScsi: return Refused(DriveProbe::Failure::NotScsi, devicePath, named.kind);
    case NodeOwner::Kind::NoDevice: return Refused(DriveProbe::Failure::Open, devicePath, named.kind, ENODEV);
    case NodeOwner::Kind::Unknown:
      // Without sysfs a query still asks the node; writing cannot know
      // which other nodes to hold, so it does not go on.
      if (access == DriveAccess::Exclusive) return Refused(DriveProbe::Failure::NoSysfs, devicePath, named.kind);
      break;
    case NodeOwner::Kind::ScsiDevice:
      if (owner.scsiType != kPeripheralTypeCdRom) {
        DriveProbe probe = Refused(DriveProbe::Failure::NotOptical, devicePath, named.kind);
        probe.peripheralType = static_cast<std::uint8_t>(owner.scsiType);
        return probe;
      }
      if (access == DriveAccess::Exclusive) targets = TargetsOf(owner, named, devicePath, devRoot, nodes);
      break;
  }

  DriveProbe probe;
  const bool exclusive = access == DriveAccess::Exclusive;
  for (const Target& target : targets) {
    OpenedNode opened = nodes.Open(target.path, OpenFlags(access));
    if (!opened.node) return Refused(DriveProbe::Failure::Open, target.path, target.kind, opened.error);
    // Only a lock another program holds refuses; a node that takes no locks
    // at all is still held by its exclusive open.
    if (opened.node->Lock(exclusive) == EWOULDBLOCK) return Refused(DriveProbe::Failure::Locked, target.path, target.kind);
    if (target.named) {
      probe.node = std::move(opened.node);
    } else {
      probe.held.push_back(std::move(opened.node));
    }
  }

  SgIoTransport transport(*probe.node);
  InquiryAnswer answer = InquireIdentity(transport, kLinuxInquiryTimeout);
  probe.inquiry = answer.outcome;
  if (!probe.inquiry.IsGood()) {
    probe.failure = DriveProbe::Failure::Inquiry;
    probe.node.reset();
    probe.held.clear();
    return probe;
  }
  probe.peripheralType = answer.DeviceType();
  probe.identity = std::move(answer.identity);
  if (probe.peripheralType != kPeripheralTypeCdRom) {
    probe.failure = DriveProbe::Failure::NotOptical;
    probe.node.reset();
    probe.held.clear();
    return probe;
  }
  probe.failure = DriveProbe::Failure::None;
  return probe;
}
