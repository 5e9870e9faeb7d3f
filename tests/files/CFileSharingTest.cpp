// While the firmware file is open, other programs may read it but not write
// it, and a file someone is writing cannot be opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "files/CFile.h"
#include "flash/FirmwareImage.h"
#include "testing/engine/TempFile.h"

namespace {

// Opens the file as another program would; true if the system allowed it.
bool OthersCanOpen(const std::string& path, DWORD access) {
  const HANDLE other = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  if (other == INVALID_HANDLE_VALUE) {
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    return false;
  }
  CloseHandle(other);
  return true;
}

TEST(CFileSharing, OthersMayReadButNotWriteWhileItIsOpen) {
  const TempFile temp(std::vector<std::uint8_t>(100, 0x42));
  CFile file;
  ASSERT_TRUE(file.Open(temp.Path()));

  EXPECT_TRUE(OthersCanOpen(temp.Path(), GENERIC_READ));
  EXPECT_FALSE(OthersCanOpen(temp.Path(), GENERIC_WRITE));
  EXPECT_FALSE(OthersCanOpen(temp.Path(), GENERIC_READ | GENERIC_WRITE));

  file.Close();
  EXPECT_TRUE(OthersCanOpen(temp.Path(), GENERIC_WRITE));
}

TEST(CFileSharing, FileOpenForWritingElsewhereCannotBeOpened) {
  const TempFile temp(std::vector<std::uint8_t>(100, 0x42));
  const HANDLE writer = CreateFileA(temp.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  CFile file;
  FirmwareImage image;

  EXPECT_EQ(image.LoadFromFile(temp.Path(), file), LoadResult::OpenFailed);
  EXPECT_FALSE(file.IsOpen());

  CloseHandle(writer);
  EXPECT_EQ(image.LoadFromFile(temp.Path(), file), LoadResult::Loaded);
}

TEST(CFileSharing, LoadingLetsGoOfTheFile) {
  const TempFile temp(std::vector<std::uint8_t>(100, 0x42));
  CFile file;
  FirmwareImage image;

  ASSERT_EQ(image.LoadFromFile(temp.Path(), file), LoadResult::Loaded);

  EXPECT_TRUE(OthersCanOpen(temp.Path(), GENERIC_WRITE));
}

}  // namespace
