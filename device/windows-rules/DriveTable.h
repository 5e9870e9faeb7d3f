#pragma once
// The ASPI-mode table that pairs drive letters with host adapter and target.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "device/core/DriveIdentity.h"

inline constexpr std::size_t kDriveTableRows = 16;
inline constexpr std::size_t kPairedIdentityLength = 28;  // vendor, product, revision

struct DriveEntry {
  char driveLetter = 0;  // upper case; 0 while no letter is paired
  std::uint8_t hostAdapter = 0;
  std::uint8_t target = 0;  // logical unit is always 0
  char identity[kIdentityLength + 1] = {};
};

using DriveTable = std::array<DriveEntry, kDriveTableRows>;

// Every row back to no letter, host adapter 0, target 0, empty identity.
void ClearDriveTable(DriveTable& table);

std::string_view IdentityOf(const DriveEntry& entry);
void SetIdentity(DriveEntry& entry, std::string_view identity);  // cut to kIdentityLength

// The Flash command's choice in ASPI mode: every row, in table order, whose
// letter is the upper-cased first character of the marked row.
std::vector<DriveEntry> RowsForDrive(const DriveTable& table, char rowFirstCharacter);
