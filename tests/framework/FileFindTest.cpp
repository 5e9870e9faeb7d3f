// CFileFind against the real file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/CFileFind.h"

namespace {

// A fresh directory with a few entries, some matching "*.bin".
class FileFindTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
    directory_ = std::string(temp) + "comboflash-find-" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryA(directory_.c_str(), nullptr));
    for (const char* name : {"b.bin", "a.bin", "notes.txt", "c.bin.txt"}) Touch(name);
    // A directory whose name matches counts like a file.
    ASSERT_TRUE(::CreateDirectoryA((directory_ + "\\d.bin").c_str(), nullptr));
  }

  void TearDown() override {
    for (const char* name : {"b.bin", "a.bin", "notes.txt", "c.bin.txt"}) ::DeleteFileA((directory_ + "\\" + name).c_str());
    ::RemoveDirectoryA((directory_ + "\\d.bin").c_str());
    ::RemoveDirectoryA(directory_.c_str());
  }

  void Touch(const char* name) {
    HANDLE file = ::CreateFileA((directory_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }

  // What the system itself returns, in its order.
  static std::vector<std::string> SystemOrder(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (::FindNextFileA(search, &data));
    ::FindClose(search);
    return names;
  }

  std::string directory_;
};

TEST_F(FileFindTest, WalksEveryMatchInTheSystemsOrderWithFullPaths) {
  std::string pattern = directory_ + "\\*.bin";
  std::vector<std::string> names;
  std::vector<std::string> paths;
  CFileFind find;
  BOOL more = find.FindFile(pattern.c_str());
  ASSERT_TRUE(more);
  while (more) {
    more = find.FindNextFile();
    names.push_back(find.GetFileName());
    paths.push_back(find.GetFilePath());
  }

  EXPECT_EQ(names, SystemOrder(pattern));
  ASSERT_EQ(names.size(), 3u);  // a.bin, b.bin and the directory d.bin
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(paths[i], directory_ + "\\" + names[i]);
}

TEST_F(FileFindTest, FirstEntryAloneIsTheSystemsFirst) {
  std::string pattern = directory_ + "\\*.bin";
  CFileFind find;
  ASSERT_TRUE(find.FindFile(pattern.c_str()));
  EXPECT_TRUE(find.FindNextFile());  // more follow
  EXPECT_EQ(find.GetFilePath(), directory_ + "\\" + SystemOrder(pattern).front());
  find.Close();
  EXPECT_FALSE(find.FindNextFile());
}

TEST_F(FileFindTest, RelativePatternGivesPathsInTheCurrentDirectory) {
  char previous[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryA(directory_.c_str()));
  CFileFind find;
  BOOL found = find.FindFile("notes.*");
  ::SetCurrentDirectoryA(previous);

  ASSERT_TRUE(found);
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_EQ(find.GetFilePath(), directory_ + "\\notes.txt");
}

TEST_F(FileFindTest, NothingMatching) {
  CFileFind find;
  EXPECT_FALSE(find.FindFile((directory_ + "\\*.hex").c_str()));
  EXPECT_FALSE(find.FindNextFile());
}

// At a drive root the directory already ends in its separator.
TEST(FileFindRootTest, DriveRootPathHasOneSeparator) {
  char windows[MAX_PATH];
  ASSERT_NE(::GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  std::string root = std::string(windows, 3);  // such as "C:\"
  CFileFind find;
  ASSERT_TRUE(find.FindFile((root + "*").c_str()));
  find.FindNextFile();
  EXPECT_EQ(find.GetFilePath(), root + find.GetFileName());
}

}  // namespace
