#pragma once
// The drive behind a device node, as sysfs tells it: whatever name the user
// gives (sr0, /dev/sg0, /dev/cdrom), the device number leads to one SCSI
// device, its type, and every node that reaches it.
#include <filesystem>
#include <string>
#include <vector>

#include "device/linux/DeviceNodes.h"

struct DriveNodeName {
  std::string name;  // sr0, sg0: the node's name under the device root
  NodeStatus number;  // its kind and device number as sysfs gives them
};

struct NodeOwner {
  enum class Kind {
    ScsiDevice,  // a SCSI device: scsiType and nodes hold what it is and every node it has
    NotScsi,     // something else: no device node, a partition, a disk on another bus, a terminal
    NoDevice,    // sysfs knows no device by this number: the node outlived its device
    Unknown,     // sysfs cannot be read
  };
  Kind kind = Kind::Unknown;
  int scsiType = -1;
  std::vector<DriveNodeName> nodes;  // block nodes first, then the generic ones, each by name
};

NodeOwner FindNodeOwner(const std::filesystem::path& sysfsRoot, const NodeStatus& node);
