#pragma once
// A throw-away tree standing in for /sys and its power supplies: block
// devices as links into a devices tree, as the kernel lays them out.
#include <filesystem>
#include <string>

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
  // class/power_supply/name with the given attribute files; empty values are left out.
  void AddPowerSupply(const std::string& name, const std::string& type, const std::string& status,
                      const std::string& capacity, const std::string& online = "", const std::string& scope = "");

 private:
  std::filesystem::path root_;
};
