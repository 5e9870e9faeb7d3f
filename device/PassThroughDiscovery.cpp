#include "device/DriveDiscovery.h"
#include "device/DriveTexts.h"

void ListPassThroughDrives(DriveSystem& system, PassThroughTransport& transport, DriveListView& list) {
  int item = 0;
  for (const char letter : DriveLetters(system.LogicalDriveStrings())) {
    // Every root is opened before its type is known: hard disks are opened too.
    const std::unique_ptr<DriveHandle> drive = system.OpenDrive(DevicePath(letter), DriveSharing::ReadWrite);
    if (!drive) continue;
    const std::string root = RootText(letter);
    if (system.DriveType(root) != kDriveTypeCdRom) continue;
    list.InsertRow(item++, DriveRowText(root, transport.InquireIdentity(*drive)));
  }
}
