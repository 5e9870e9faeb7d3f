#include "testing/linux/SysfsFixture.h"

#include <fstream>
#include <random>

#include "testing/drive/ScsiWireValues.h"
#include "testing/linux/EmulatedSgNodes.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path) << text << '\n';
}

}  // namespace

SysfsFixture::SysfsFixture() {
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() /
          ("comboflash-sysfs-" + std::to_string(random()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(root_ / "class" / "block");
  std::filesystem::create_directories(root_ / "class" / "power_supply");
}

SysfsFixture::~SysfsFixture() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void SysfsFixture::AddBlock(const std::string& name, const std::string& devicePath) {
  const std::filesystem::path target = root_ / "devices" / devicePath / "block" / name;
  std::filesystem::create_directories(target);
  std::filesystem::create_directory_symlink(std::filesystem::path("../..") / "devices" / devicePath / "block" / name,
                                            root_ / "class" / "block" / name);
}

void SysfsFixture::AddNumber(const SysfsNode& node, const std::filesystem::path& folder) {
  const std::string number = std::to_string(node.major) + ":" + std::to_string(node.minor);
  std::filesystem::create_directories(folder);
  WriteFile(folder / "dev", number);
  const std::filesystem::path numbers = root_ / "dev" / (node.kind == NodeStatus::Kind::Block ? "block" : "char");
  std::filesystem::create_directories(numbers);
  std::filesystem::create_directory_symlink(std::filesystem::relative(folder, numbers), numbers / number);
}

void SysfsFixture::AddScsiDevice(const std::string& devicePath, int type, const std::vector<SysfsNode>& nodes) {
  const std::filesystem::path device = root_ / "devices" / devicePath;
  std::filesystem::create_directories(device);
  std::filesystem::create_directories(root_ / "bus" / "scsi");
  std::filesystem::create_directory_symlink(std::filesystem::relative(root_ / "bus" / "scsi", device),
                                            device / "subsystem");
  WriteFile(device / "type", std::to_string(type));
  for (const SysfsNode& node : nodes) {
    const bool block = node.kind == NodeStatus::Kind::Block;
    const std::filesystem::path folder = device / (block ? "block" : "scsi_generic") / node.name;
    AddNumber(node, folder);
    std::filesystem::create_directory_symlink(std::filesystem::relative(device, folder), folder / "device");
    if (block) {
      std::filesystem::create_directory_symlink(std::filesystem::relative(folder, root_ / "class" / "block"),
                                                root_ / "class" / "block" / node.name);
    }
  }
}

void SysfsFixture::AddOtherDevice(const std::string& devicePath, const std::string& subsystem, const SysfsNode& node) {
  const std::filesystem::path device = root_ / "devices" / devicePath;
  const std::filesystem::path folder = device / node.name;
  AddNumber(node, folder);
  if (subsystem.empty()) return;
  std::filesystem::create_directories(root_ / "bus" / subsystem);
  std::filesystem::create_directory_symlink(std::filesystem::relative(root_ / "bus" / subsystem, device),
                                            device / "subsystem");
  std::filesystem::create_directory_symlink(std::filesystem::relative(device, folder), folder / "device");
}

void AttachOpticalDrive(EmulatedSgNodes& kernel, SysfsFixture& sysfs, EmulatedDrive& drive, unsigned number,
                        const std::string& devicePath) {
  const std::string sr = "sr" + std::to_string(number);
  const std::string sg = "sg" + std::to_string(number);
  sysfs.AddScsiDevice(devicePath, scsi_wire::kPeripheralTypeCdRom,
                      {{sr, NodeStatus::Kind::Block, kSrMajor, number}, {sg, NodeStatus::Kind::Character, kSgMajor, number}});
  kernel.AddDrive("/dev/" + sr, drive, NodeStatus::Kind::Block, kSrMajor, number);
  kernel.AddDrive("/dev/" + sg, drive, NodeStatus::Kind::Character, kSgMajor, number);
}

void SysfsFixture::AddPowerSupply(const std::string& name, const std::string& type, const std::string& status,
                                  const std::string& capacity, const std::string& online, const std::string& scope) {
  const std::filesystem::path folder = PowerSupplyRoot() / name;
  std::filesystem::create_directories(folder);
  WriteFile(folder / "type", type);
  if (!status.empty()) WriteFile(folder / "status", status);
  if (!capacity.empty()) WriteFile(folder / "capacity", capacity);
  if (!online.empty()) WriteFile(folder / "online", online);
  if (!scope.empty()) WriteFile(folder / "scope", scope);
}
