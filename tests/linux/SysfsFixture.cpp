#include "tests/linux/SysfsFixture.h"

#include <fstream>
#include <random>

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
