#include "device/core/ScsiCommands.h"
#include "device/windows-rules/DriveDiscovery.h"
#include "device/windows-rules/DrivePaths.h"
#include "device/windows-rules/PassThroughTransport.h"

void ListPassThroughDrives(DriveSystem& system, DriveListView& list, InquiryOutcomeObserver& observer) {
  int item = 0;
  for (const char letter : DriveLetters(system.LogicalDriveStrings())) {
    // Every root is opened before its type is known: hard disks are opened too.
    const std::unique_ptr<DriveHandle> drive = system.OpenDrive(DevicePath(letter), DriveSharing::ReadWrite);
    if (!drive) continue;
    const std::string root = RootText(letter);
    if (system.DriveType(root) != kDriveTypeCdRom) continue;
    PassThroughTransport transport(*drive);
    const InquiryAnswer answer = InquireIdentity(transport);
    observer.InquiryAnswered(answer.outcome);
    list.InsertRow(item++, DriveRowText(root, answer.identity));
  }
}
