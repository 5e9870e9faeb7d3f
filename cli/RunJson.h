#pragma once
// The one JSON object of check --json and flash --json, from the run's
// values: both use the same field names, and a field that does not apply to
// a run is null.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "device/core/ScsiRequest.h"
#include "device/linux/OpticalDrives.h"
#include "flash/FirmwareCheck.h"
#include "flash/FlashConstants.h"

using PageOutcomes = std::array<std::optional<ScsiOutcome>, kPageCount>;  // page 1 first; nothing: not sent

struct RunValues {
  std::optional<std::string> drive{};        // the device node, when one was named
  std::string file{};
  const DriveProbe* probe = nullptr;       // the drive's answer, when it was asked
  std::optional<std::string> identity{};     // the 24 characters looked for in the image
  bool accepted = false;                   // the file passed every check, the identity's included
  std::string_view verdict{};
  std::optional<std::string_view> reason{};  // why the file did not open
  std::string error{};                       // the refusal or failure in words; empty: none
  const FirmwareCheck* check = nullptr;    // its checksums, once the file loaded
  const PageOutcomes* pages = nullptr;     // flash: what became of each page
};

// The object and its line end.
std::string RunJson(const RunValues& values);
