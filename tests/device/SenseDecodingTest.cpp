// The one sense decoder every back end hands a drive's sense to.
#include "device/core/ScsiRequestRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct SenseCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  std::uint8_t key, asc, ascq;
};

void PrintTo(const SenseCase& c, std::ostream* out) { *out << c.name; }

class SenseDecoding : public testing::TestWithParam<SenseCase> {};

TEST_P(SenseDecoding, FindsKeyAscAndAscqAndKeepsTheBytes) {
  const SenseCase& sense = GetParam();
  const SenseData decoded = DecodeSense(sense.bytes);
  EXPECT_EQ(decoded.key, sense.key);
  EXPECT_EQ(decoded.asc, sense.asc);
  EXPECT_EQ(decoded.ascq, sense.ascq);
  EXPECT_EQ(decoded.length, std::min<std::size_t>(sense.bytes.size(), 32));
  EXPECT_TRUE(std::equal(sense.bytes.begin(), sense.bytes.begin() + decoded.length, decoded.raw.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SenseDecoding,
    testing::Values(
        SenseCase{"FixedCurrent", {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x01, 0, 0, 0, 0}, 0x05, 0x24, 0x01},
        SenseCase{"FixedDeferredValidBit", {0xF1, 0, 0xE3, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x0C, 0x02}, 0x03, 0x0C, 0x02},
        SenseCase{"Descriptor", {0x72, 0x04, 0x44, 0x00, 0, 0, 0, 0}, 0x04, 0x44, 0x00},
        SenseCase{"DescriptorDeferred", {0x73, 0x03, 0x11, 0x05}, 0x03, 0x11, 0x05},
        SenseCase{"DescriptorCutBeforeAscq", {0x72, 0x0B, 0x47}, 0x0B, 0x47, 0},
        SenseCase{"FixedCutBeforeAsc", {0x70, 0, 0x06, 0, 0, 0, 0, 0}, 0x06, 0, 0},
        SenseCase{"UnknownResponseCode", {0x7F, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0}, 0, 0, 0},
        SenseCase{"Empty", {}, 0, 0, 0},
        SenseCase{"LongerThanKept", std::vector<std::uint8_t>(40, 0x70), 0, 0x70, 0x70}),
    [](const testing::TestParamInfo<SenseCase>& row) { return std::string(row.param.name); });

}  // namespace
