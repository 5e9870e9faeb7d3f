#include "cli/PowerSupply.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr std::string_view kDeviceScope = "Device";

std::string ReadWord(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string word;
  in >> word;
  return word;
}

}  // namespace

std::optional<int> BatteryPercentOnBatteryPower(const std::filesystem::path& powerSupplyRoot) {
  std::error_code error;
  std::filesystem::directory_iterator supplies(powerSupplyRoot, error);
  if (error) return std::nullopt;
  bool externalOnline = false;
  std::optional<int> lowest;
  for (const auto& supply : supplies) {
    // A wireless mouse's or a headset's own battery says nothing of what the
    // machine runs on.
    if (ReadWord(supply.path() / "scope") == kDeviceScope) continue;
    const std::string type = ReadWord(supply.path() / "type");
    if (type == "Battery") {
      if (ReadWord(supply.path() / "status") != "Discharging") continue;
      const std::string capacity = ReadWord(supply.path() / "capacity");
      if (capacity.empty() || !std::all_of(capacity.begin(), capacity.end(), ::isdigit) || capacity.size() > 3) continue;
      const int percent = std::stoi(capacity);
      lowest = lowest ? std::min(*lowest, percent) : percent;
    } else if (ReadWord(supply.path() / "online") == "1") {
      externalOnline = true;  // Mains, USB, ...
    }
  }
  if (externalOnline) return std::nullopt;
  return lowest;
}
