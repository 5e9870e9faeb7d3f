#pragma once
// A throw-away tree standing in for /sys and its power supplies: block
// devices and device numbers as links into a devices tree, as the kernel lays
// them out.
#include <filesystem>
#include <string>
#include <vector>

#include "device/linux/DeviceNodes.h"

class EmulatedDrive;
class EmulatedSgNodes;

// A device node as sysfs names it.
struct SysfsNode {
  std::string name;  // sr0, sg0, vda
  NodeStatus::Kind kind = NodeStatus::Kind::Block;
  unsigned major = 0;
  unsigned minor = 0;
};

class SysfsFixture {
 public:
  SysfsFixture();
  ~SysfsFixture();
  SysfsFixture(const SysfsFixture&) = delete;
  SysfsFixture& operator=(const SysfsFixture&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path PowerSupplyRoot() const { return root_ / "class" / "power_supply"; }

  // class/block/name -> devices/devicePath/block/name
  void AddBlock(const std::string& name, const std::string& devicePath);
  // devices/devicePath as a SCSI device of the given peripheral type with
  // its nodes (block ones below block/, generic ones below scsi_generic/),
  // each found by its number under dev/.
  void AddScsiDevice(const std::string& devicePath, int type, const std::vector<SysfsNode>& nodes);
  // A node of a device on another bus (subsystem, e.g. virtio), or, with no
  // parent, of a virtual device such as /dev/null.
  void AddOtherDevice(const std::string& devicePath, const std::string& subsystem, const SysfsNode& node);
  // class/power_supply/name with the given attribute files; empty values are left out.
  void AddPowerSupply(const std::string& name, const std::string& type, const std::string& status,
                      const std::string& capacity, const std::string& online = "", const std::string& scope = "");

 private:
  void AddNumber(const SysfsNode& node, const std::filesystem::path& folder);

  std::filesystem::path root_;
};

// An optical drive as the kernel shows it: /dev/srN and /dev/sgN, both
// reaching drive, and the SCSI device at devicePath they belong to.
void AttachOpticalDrive(EmulatedSgNodes& kernel, SysfsFixture& sysfs, EmulatedDrive& drive, unsigned number,
                        const std::string& devicePath);
