// The pass-through transport over the real CreateFileA and DeviceIoControl:
// a plain file takes no SCSI request, so every request fails as a drive's
// would when the system refuses it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "../DeviceTestSupport.h"
#include "device/DriveTexts.h"
#include "device/PassThroughTransport.h"
#include "device/win32/Win32DriveSystem.h"
#include "testing/engine/RecordingReporter.h"

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
  RecordingReporter sink;
  PassThroughTransport transport{sink};
};

// "Error code:" and a system error code that is not 0.
bool IsErrorCodeText(const std::string& text) {
  return text.rfind("Error code:", 0) == 0 && text.size() > 11 && text.substr(11) != "0";
}

TEST_F(Win32PassThrough, RefusedInquiryGivesEmptyIdentityAfterTheSystemsErrorCode) {
  EXPECT_EQ(transport.InquireIdentity(*handle), "");
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_TRUE(IsErrorCodeText(sink.Messages()[0].text)) << sink.Messages()[0].text;
  EXPECT_EQ(sink.Messages()[0].caption, "Status Error Message");
}

TEST_F(Win32PassThrough, RefusedPageShowsTheErrorCodeThenCommandNotComplete) {
  const TestFirmware firmware;
  EXPECT_FALSE(transport.WritePage(*handle, firmware.commands[0], firmware.image.Bytes()));
  ASSERT_EQ(sink.Messages().size(), 2u);
  EXPECT_TRUE(IsErrorCodeText(sink.Messages()[0].text)) << sink.Messages()[0].text;
  EXPECT_EQ(sink.Messages()[1].text, "Command Not Complete!");
  EXPECT_EQ(sink.Messages()[1].caption, "Satus Message");
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
