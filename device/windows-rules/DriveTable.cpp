#include "device/windows-rules/DriveTable.h"

#include <algorithm>

#include "device/windows-rules/DrivePaths.h"

void ClearDriveTable(DriveTable& table) { table.fill(DriveEntry{}); }

std::string_view IdentityOf(const DriveEntry& entry) { return std::string_view(entry.identity); }

void SetIdentity(DriveEntry& entry, std::string_view identity) {
  const std::size_t length = std::min(identity.size(), kIdentityLength);
  std::fill(std::begin(entry.identity), std::end(entry.identity), '\0');
  std::copy_n(identity.begin(), length, entry.identity);
}

std::vector<DriveEntry> RowsForDrive(const DriveTable& table, char rowFirstCharacter) {
  const char letter = UpperDriveLetter(rowFirstCharacter);
  std::vector<DriveEntry> rows;
  if (letter == 0) return rows;  // unpaired rows hold 0: never a drive
  for (const DriveEntry& entry : table) {
    if (entry.driveLetter == letter) rows.push_back(entry);
  }
  return rows;
}
