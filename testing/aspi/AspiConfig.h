#pragma once
// The configuration of our wnaspi32.dll, read from a small text file (format
// at the top of AspiConfig.cpp).
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testing/aspi/EmulatedAspiLayer.h"

inline constexpr const char* kAspiConfigVariable = "COMBOFLASH_ASPI_CONFIG";
inline constexpr const char* kAspiReportVariable = "COMBOFLASH_ASPI_REPORT";

struct AspiTargetConfig {
  std::uint8_t hostAdapter = 0;
  std::uint8_t target = 0;
  InquiryData inquiry;
  DriveBehaviour behaviour;
  AspiTargetCarrier carrier;
};

struct AspiConfig {
  std::uint8_t hostAdapters = 1;
  EmulatedAspiLayer::Completion completion = EmulatedAspiLayer::Completion::Immediate;
  std::chrono::milliseconds deferredBy{20};
  bool abortHonoured = true;
  std::optional<std::uint8_t> untouchedAnswer;
  std::vector<AspiTargetConfig> targets;
};

struct AspiConfigResult {
  std::optional<AspiConfig> config;
  std::string error;  // "line N: ..." when config is empty
};

AspiConfigResult ParseAspiConfig(const std::string& text);

// Sets the layer up as the configuration says.
void ApplyAspiConfig(const AspiConfig& config, EmulatedAspiLayer& layer);
