#include "device/core/DriveIdentity.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

TEST(PrintableIdentityChar, BlanksExactlyTheControlBytesThatUpsetARow) {
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    const bool blanked = value == 0 || (value >= 7 && value <= 13) || value == 26;
    EXPECT_EQ(PrintableIdentityChar(byte), blanked ? ' ' : static_cast<char>(byte)) << "byte " << value;
  }
}

TEST(MakeDriveIdentity, TakesBytes8To43AndEndsInEightBlanks) {
  std::array<std::uint8_t, kInquiryDataAreaLength> data{};
  data[0] = 0x05;  // peripheral byte is not part of the identity
  const char* vendorProductRevision = "ABC\0\0\0\0\0COMBO DRIVE RW  1.02";
  for (std::size_t i = 0; i < 28; ++i) data[8 + i] = static_cast<std::uint8_t>(vendorProductRevision[i]);

  const std::string identity = MakeDriveIdentity(data);

  EXPECT_EQ(identity, std::string("ABC     COMBO DRIVE RW  1.02") + std::string(8, ' '));
  EXPECT_EQ(identity.size(), kIdentityLength);
}
