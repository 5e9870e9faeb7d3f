#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/FirmwareCheck.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"
#include "testing/engine/RecordingReporter.h"
#include "flash/FlashSequence.h"

namespace {

struct CheckCase {
  const char* name;
  std::string path;
  std::vector<std::uint8_t> contents;
  FileFaults faults;
  CheckVerdict verdict;
};

std::vector<std::uint8_t> WithKey(std::size_t size) { return ContentsWith(size, kTestKey, 0); }

class CheckOf : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckOf, GivesTheVerdictAndAgreesWithWhetherARunWouldWritePages) {
  const CheckCase& row = GetParam();
  FirmwareImage image;
  FakeFirmwareFile file(row.contents, row.faults);
  const FirmwareCheck check = CheckFirmware(image, row.path, file, kTestRow);
  EXPECT_EQ(check.verdict, row.verdict);

  // The oracle: a whole run over the same file writes pages exactly when the
  // check accepts.
  FakeFirmwareFile again(row.contents, row.faults);
  RecordingReporter reporter;
  RecordingChannel channel;
  FlashSequence(reporter, again).Run(channel, std::string(kTestRow), row.path, TransportMode::PassThrough);
  EXPECT_EQ(!channel.Pages().empty(), check.verdict == CheckVerdict::Accepted);
  if (check.Loaded() && !channel.Pages().empty()) {
    EXPECT_EQ(channel.Pages()[0].command.bytes[8] << 8 | channel.Pages()[0].command.bytes[9], check.checksum);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckOf,
    testing::Values(CheckCase{"Accepted", "fw.bin", WithKey(kImageSize), {}, CheckVerdict::Accepted},
                    CheckCase{"AcceptedShort", "fw.BIN", WithKey(1000), {}, CheckVerdict::Accepted},
                    CheckCase{"Hex", "fw.hex", WithKey(1000), {}, CheckVerdict::HexFile},
                    CheckCase{"Other", "fw.img", WithKey(1000), {}, CheckVerdict::NotBinFile},
                    CheckCase{"Empty", "fw.bin", {}, {}, CheckVerdict::Empty},
                    CheckCase{"TooLarge", "fw.bin", WithKey(kImageSize + 1), {}, CheckVerdict::TooLarge},
                    CheckCase{"OpenFails", "fw.bin", WithKey(1000), {.open = true}, CheckVerdict::OpenFailed},
                    CheckCase{"ReadShort", "fw.bin", WithKey(1000), {.readShortBy = 10}, CheckVerdict::ReadFailed},
                    CheckCase{"Mismatch", "fw.bin", ContentsWith(1000, "SOMEONE ELSE", 0), {}, CheckVerdict::Mismatch}),
    [](const testing::TestParamInfo<CheckCase>& row) { return std::string(row.param.name); });

TEST(CheckFirmware, ChecksumIsTheSumOfTheFileAndTheImageHoldsIt) {
  std::vector<std::uint8_t> contents = WithKey(1000);
  contents[999] = 0xFF;
  unsigned sum = 0;
  for (const std::uint8_t byte : contents) sum += byte;
  FirmwareImage image;
  FakeFirmwareFile file(contents);
  const FirmwareCheck check = CheckFirmware(image, "x.bin", file, kTestRow);
  EXPECT_EQ(check.checksum, sum & 0xFFFF);
  EXPECT_EQ(image.Bytes()[999], 0xFF);
}

TEST(ChecksumLines, AreTheRunsLogLines) {
  EXPECT_EQ(FirmwareChecksumLine(0x5bb), "Firmware Checksum:  5bb\r\n");
  EXPECT_EQ(FirmwareChecksumLine(0), "Firmware Checksum:    0\r\n");
  EXPECT_EQ(PageChecksumLine(1, 0xc000), "Page- 1 Checksum: c000\r\n");
  EXPECT_EQ(PageChecksumLine(32, 0xffff), "Page-32 Checksum: ffff\r\n");
}

}  // namespace
