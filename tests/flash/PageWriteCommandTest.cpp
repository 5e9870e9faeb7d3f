#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "flash/PageWriteCommand.h"

namespace {

using Bytes = std::array<std::uint8_t, kPageWriteCommandLength>;

TEST(BuildPageWriteCommand, LaysOutTheFirstPageWithBothChecksumsHighByteFirst) {
  const PageWriteCommand command = BuildPageWriteCommand(1, 0xABCD, 0x1234);
  const Bytes expected{0xFD, 0x07, 'Z', 'Y', 'N', 'K', 0xAB, 0xCD, 0x12, 0x34, 0x01, 0x20};
  EXPECT_EQ(command.bytes, expected);
  EXPECT_EQ(command.PageNumber(), 1);
}

TEST(BuildPageWriteCommand, LastPageNumberEqualsThePageCount) {
  const PageWriteCommand command = BuildPageWriteCommand(32, 0x0000, 0xFFFF);
  const Bytes expected{0xFD, 0x07, 'Z', 'Y', 'N', 'K', 0x00, 0x00, 0xFF, 0xFF, 0x20, 0x20};
  EXPECT_EQ(command.bytes, expected);
  EXPECT_EQ(command.PageNumber(), 32);
}

TEST(BuildPageWriteCommand, CommandsOfOneImageDifferOnlyInPageChecksumAndNumber) {
  const PageWriteCommand first = BuildPageWriteCommand(1, 0x0102, 0x7E7F);
  for (int page = 2; page <= 32; ++page) {
    const PageWriteCommand command = BuildPageWriteCommand(page, static_cast<std::uint16_t>(page * 0x0101), 0x7E7F);
    for (std::size_t i = 0; i < kPageWriteCommandLength; ++i) {
      if (i == 6 || i == 7 || i == 10) continue;
      EXPECT_EQ(command.bytes[i], first.bytes[i]) << "page " << page << " byte " << i;
    }
    EXPECT_EQ(command.bytes[6], page);
    EXPECT_EQ(command.bytes[7], page);
    EXPECT_EQ(command.bytes[10], page);
  }
}

}  // namespace
