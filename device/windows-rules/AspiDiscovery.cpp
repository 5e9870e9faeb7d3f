#include <algorithm>

#include "device/core/ScsiCommands.h"
#include "device/windows-rules/DriveDiscovery.h"
#include "device/windows-rules/DrivePaths.h"

void ScanAspiDevices(AspiTransport& transport, DriveTable& table, InquiryOutcomeObserver& observer) {
  std::size_t row = 0;
  const std::uint8_t hostAdapters = transport.HostAdapterCount();
  for (std::uint8_t hostAdapter = 0; hostAdapter < hostAdapters; ++hostAdapter) {
    for (std::uint8_t target = 0; target < kTargetsPerHostAdapter; ++target) {
      AspiTarget device(transport, hostAdapter, target);
      const InquiryAnswer answer = InquireIdentity(device);
      observer.InquiryAnswered(answer.outcome);
      const bool cdRom = answer.outcome.IsGood() && answer.DeviceType() == kPeripheralTypeCdRom;
      if (!cdRom || row == table.size()) continue;
      DriveEntry& entry = table[row++];
      entry.hostAdapter = hostAdapter;
      entry.target = target;
      SetIdentity(entry, answer.identity);
    }
  }
}

void ListAspiDrives(DriveSystem& system, AspiTransport* transport, DriveTable& table, DriveListView& list,
                    InquiryOutcomeObserver& observer) {
  if (!transport) return;
  ScanAspiDevices(*transport, table, observer);

  std::size_t row = 0;
  for (const char letter : DriveLetters(system.LogicalDriveStrings())) {
    if (row == table.size()) break;
    const char upper = UpperDriveLetter(letter);
    const std::string root = RootText(upper);
    if (system.DriveType(root) != kDriveTypeCdRom) continue;
    // Paired purely by order: the k-th CD-ROM letter is taken to be the k-th
    // device of the scan.
    DriveEntry& entry = table[row];
    entry.driveLetter = upper;
    std::fill(entry.identity + kPairedIdentityLength, std::end(entry.identity), '\0');  // 36 become 28
    list.InsertRow(static_cast<int>(row), DriveRowText(root, IdentityOf(entry)));
    ++row;
  }
}
