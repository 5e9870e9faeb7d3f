#pragma once
// Whether the machine runs on battery, from the power-supply class of sysfs.
#include <filesystem>
#include <optional>

inline constexpr int kLowBatteryPercent = 30;

// The charge of the machine's batteries in percent (the lowest one's) when it
// runs on them: no mains or USB supply online and a battery discharging.
// Nothing on mains power, or when nothing says otherwise. The batteries of
// devices (scope "Device": mice, keyboards, headsets) do not count.
std::optional<int> BatteryPercentOnBatteryPower(const std::filesystem::path& powerSupplyRoot);
