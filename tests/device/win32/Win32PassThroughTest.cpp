// The pass-through transport over the real CreateFileA and DeviceIoControl:
// a plain file takes no SCSI request, so every request fails as a drive's
// would when the system refuses it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "../DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "device/win32/Win32DriveSystem.h"
#include "device/windows-rules/DrivePaths.h"
#include "device/windows-rules/PassThroughTransport.h"

namespace {

class Win32PassThrough : public testing::Test {
 protected:
  void SetUp() override {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    path = std::string(directory) + "comboflash-not-a-drive-" + std::to_string(GetCurrentProcessId());
    std::ofstream(path) << "plain file";
    handle = system.OpenDrive(path, DriveSharing::ReadWrite);
    ASSERT_NE(handle, nullptr);
  }
  void TearDown() override {
    handle.reset();
    DeleteFileA(path.c_str());
  }

  std::string path;
  Win32DriveSystem system;
  std::unique_ptr<DriveHandle> handle;
};

TEST_F(Win32PassThrough, RefusedInquiryIsTheSystemsErrorWithNoIdentity) {
  PassThroughTransport transport(*handle);
  const InquiryAnswer answer = InquireIdentity(transport);
  EXPECT_EQ(answer.outcome.kind, OutcomeKind::SystemError);
  EXPECT_NE(answer.outcome.systemError, 0u);
  EXPECT_EQ(answer.identity, "");
}

TEST_F(Win32PassThrough, RefusedPageIsTheSystemsError) {
  const TestFirmware firmware;
  PassThroughTransport transport(*handle);
  const ScsiOutcome outcome = transport.Execute(MakePageWriteRequest(firmware.commands[0], firmware.image.PageData(1)));
  EXPECT_EQ(outcome.kind, OutcomeKind::SystemError);
  EXPECT_NE(outcome.systemError, 0u);
}

TEST(Win32DriveSystemTest, KnowsDriveCAndRefusesADriveThatIsNotThere) {
  Win32DriveSystem system;
  const std::vector<char> letters = DriveLetters(system.LogicalDriveStrings());
  EXPECT_NE(std::find(letters.begin(), letters.end(), 'C'), letters.end());
  EXPECT_EQ(system.DriveType("C:\\"), static_cast<unsigned>(DRIVE_FIXED));
  char missing = 'Q';
  while (std::find(letters.begin(), letters.end(), missing) != letters.end()) ++missing;
  EXPECT_EQ(system.OpenDrive(DevicePath(missing), DriveSharing::ReadWrite), nullptr);
}

}  // namespace
