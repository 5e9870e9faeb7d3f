#include "flash/ByteSum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "flash/FlashConstants.h"

namespace {

enum class Fill { AllFF, Ramp, Random };

struct SumCase {
  const char* name;
  std::size_t length;
  Fill fill;
};

std::vector<std::uint8_t> Bytes(const SumCase& c) {
  std::vector<std::uint8_t> bytes(c.length);
  std::mt19937 random(static_cast<std::uint32_t>(c.length));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    switch (c.fill) {
      case Fill::AllFF: bytes[i] = 0xFF; break;
      case Fill::Ramp: bytes[i] = static_cast<std::uint8_t>(i * 7 + 3); break;
      case Fill::Random: bytes[i] = static_cast<std::uint8_t>(random()); break;
    }
  }
  return bytes;
}

class ByteSumOf : public testing::TestWithParam<SumCase> {};

// The oracle adds byte by byte in 64 bits, so no lane or stripe of the
// summing routine has a counterpart in it.
TEST_P(ByteSumOf, EqualsTheByteByByteSum) {
  const std::vector<std::uint8_t> bytes = Bytes(GetParam());
  const std::uint64_t expected = std::accumulate(bytes.begin(), bytes.end(), std::uint64_t{0});
  EXPECT_EQ(SumBytes(bytes), expected);
}

// Where a 16-bit lane would overflow matters most with all bytes at 0xFF:
// 257 of them fill a lane exactly, a 258th would wrap it.
INSTANTIATE_TEST_SUITE_P(
    Lengths, ByteSumOf,
    testing::Values(SumCase{"empty", 0, Fill::AllFF}, SumCase{"one", 1, Fill::AllFF},
                    SumCase{"under_a_row", 31, Fill::Ramp}, SumCase{"a_row", 32, Fill::AllFF},
                    SumCase{"a_row_and_one", 33, Fill::Ramp}, SumCase{"lanes_just_full", 257 * 32, Fill::AllFF},
                    SumCase{"lanes_one_row_past_full", 258 * 32, Fill::AllFF},
                    SumCase{"lanes_full_and_a_tail", 257 * 32 + 5, Fill::AllFF},
                    SumCase{"page_of_FF", kPageSize, Fill::AllFF}, SumCase{"page_random", kPageSize, Fill::Random},
                    SumCase{"odd_length_random", 100'003, Fill::Random},
                    SumCase{"image_of_FF", kImageSize, Fill::AllFF}, SumCase{"image_ramp", kImageSize, Fill::Ramp}),
    [](const testing::TestParamInfo<SumCase>& row) { return std::string(row.param.name); });

TEST(ByteSum, StartsAnywhereInABuffer) {
  std::vector<std::uint8_t> bytes(4096);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
  for (std::size_t start = 0; start < 40; ++start) {
    const std::span<const std::uint8_t> tail = std::span<const std::uint8_t>(bytes).subspan(start);
    EXPECT_EQ(SumBytes(tail), std::accumulate(tail.begin(), tail.end(), std::uint64_t{0})) << "start " << start;
  }
}

TEST(ByteSum, ChecksumKeepsTheLowSixteenBits) {
  EXPECT_EQ(LowSixteenBits(0x0001'2345u), 0x2345u);
  EXPECT_EQ(LowSixteenBits(0xFFFFu), 0xFFFFu);
  EXPECT_EQ(LowSixteenBits(0x0001'0000u), 0u);
}

}  // namespace
