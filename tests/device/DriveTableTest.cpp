#include "device/windows-rules/DriveTable.h"

#include <gtest/gtest.h>

#include "device/windows-rules/DrivePaths.h"

namespace {

TEST(DriveLetters, OneRootEveryFourCharactersUpToTheFirstEmptyText) {
  const char strings[] = "C:\\\0D:\\\0e:\\\0\0Z:\\\0";
  EXPECT_EQ(DriveLetters(std::span(strings, sizeof strings)), (std::vector<char>{'C', 'D', 'e'}));
}

TEST(DriveLetters, StopsAtTheEndOfAFullBuffer) {
  std::vector<char> strings(256, 'X');
  EXPECT_EQ(DriveLetters(strings).size(), 64u);
}

TEST(DrivePaths, RootDevicePathAndRow) {
  EXPECT_EQ(RootText('E'), "E:\\");
  EXPECT_EQ(DevicePath('e'), "\\\\.\\e:");
  EXPECT_EQ(DriveRowText("E:\\", ""), "E:\\ ");
  EXPECT_EQ(DriveRowText("E:\\", "ABC"), "E:\\ ABC");
}

TEST(RowsForDrive, EveryRowWithTheUpperCasedLetterInTableOrder) {
  DriveTable table;
  ClearDriveTable(table);
  table[2] = {'E', 1, 4, {}};
  table[5] = {'F', 0, 0, {}};
  table[9] = {'E', 0, 6, {}};

  const auto rows = RowsForDrive(table, 'e');
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].target, 4);
  EXPECT_EQ(rows[1].target, 6);
  EXPECT_TRUE(RowsForDrive(table, 'G').empty());
  EXPECT_TRUE(RowsForDrive(table, '\0').empty());  // unpaired rows are no drive
}

TEST(DriveEntryIdentity, KeepsAtMost36CharactersAndItsTerminator) {
  DriveEntry entry;
  SetIdentity(entry, std::string(40, 'x'));
  EXPECT_EQ(IdentityOf(entry), std::string(36, 'x'));
  SetIdentity(entry, "AB");
  EXPECT_EQ(IdentityOf(entry), "AB");
}

}  // namespace
