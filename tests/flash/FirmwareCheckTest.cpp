#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/FirmwareCheck.h"
#include "flash/FlashConstants.h"
#include "flash/IdentityScan.h"
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
  // The file's own rules alone give the same verdict, but for the identity,
  // which they do not look at.
  FirmwareImage fileOnly;
  FakeFirmwareFile same(row.contents, row.faults);
  EXPECT_EQ(CheckFirmwareFile(fileOnly, row.path, same).verdict,
            row.verdict == CheckVerdict::Mismatch ? CheckVerdict::Accepted : row.verdict);

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

TEST(CheckFirmware, EachPageChecksumIsTheSumOfItsOwnPage) {
  // Every page different, the last one short of the file's end.
  std::vector<std::uint8_t> contents = WithKey(kImageSize - 100);
  for (std::size_t at = kIdentityKeyLength; at < contents.size(); ++at) {
    contents[at] = static_cast<std::uint8_t>(at * 7 + at / kPageSize);
  }
  FirmwareImage image;
  FakeFirmwareFile file(contents);
  const FirmwareCheck check = CheckFirmware(image, "x.bin", file, kTestRow);
  ASSERT_EQ(check.verdict, CheckVerdict::Accepted);
  for (int page = 1; page <= kPageCount; ++page) {
    unsigned sum = 0;
    const std::size_t begin = static_cast<std::size_t>(page - 1) * kPageSize;
    for (std::size_t at = begin; at < begin + kPageSize && at < contents.size(); ++at) sum += contents[at];
    EXPECT_EQ(check.PageChecksum(page), sum & 0xFFFF) << "page " << page;
  }
}

// A front end words a failed open by its reason, which the file layer keeps.
TEST(CheckFirmware, AFailedOpenCarriesTheFileLayersReason) {
  const OpenFailure why{OpenFailureKind::NoPermission, 13};
  FirmwareImage image;
  FakeFirmwareFile file(WithKey(1000), {.open = true, .openFailure = why});
  EXPECT_EQ(CheckFirmware(image, "x.bin", file, kTestRow).openFailure, why);
  FakeFirmwareFile opens(WithKey(1000));
  EXPECT_EQ(CheckFirmware(image, "x.bin", opens, kTestRow).openFailure, OpenFailure{});
}

// Checked without a drive: the checksums are the image's, and nothing matches.
TEST(MatchFirmware, WithoutAnIdentityGivesTheChecksumsAndNoMatch) {
  const std::vector<std::uint8_t> contents = WithKey(kPageSize + 10);
  unsigned sum = 0;
  unsigned secondPage = 0;
  for (std::size_t at = 0; at < contents.size(); ++at) {
    sum += contents[at];
    if (at >= kPageSize) secondPage += contents[at];
  }
  FirmwareImage image;
  FakeFirmwareFile file(contents);
  const FirmwareCheck loaded = CheckFirmwareFile(image, "x.bin", file);
  ASSERT_EQ(loaded.verdict, CheckVerdict::Accepted);
  const FirmwareCheck check = MatchFirmware(image, loaded, "");
  EXPECT_EQ(check.verdict, CheckVerdict::Mismatch);
  EXPECT_EQ(check.checksum, sum & 0xFFFF);
  EXPECT_EQ(check.PageChecksum(2), secondPage & 0xFFFF);
  EXPECT_EQ(MatchFirmware(image, loaded, kTestRow).verdict, CheckVerdict::Accepted);
}

// A front end that checked the file itself hands the engine the checked
// image: the run from the first log line on is the same as a whole run's,
// and the file is not read again, so the bytes written are the bytes checked.
TEST(WritePages, AfterACheckDoesWhatAWholeRunDoesWithoutReadingTheFileAgain) {
  std::vector<std::uint8_t> contents = WithKey(40000);
  contents[20000] = 0x5A;
  FakeFirmwareFile whole(contents);
  RecordingReporter wholeReporter;
  RecordingChannel wholeChannel;
  FlashSequence(wholeReporter, whole).Run(wholeChannel, std::string(kTestRow), "x.bin", TransportMode::Aspi);

  FirmwareImage image;
  FakeFirmwareFile checked(contents);
  const FirmwareCheck check = CheckFirmware(image, "x.bin", checked, kTestRow);
  ASSERT_EQ(check.verdict, CheckVerdict::Accepted);
  RecordingReporter reporter;
  RecordingChannel channel;
  FlashSequence(reporter, checked).WritePages(channel, image, check, TransportMode::Aspi);

  EXPECT_EQ(checked.Opens(), 1);
  ASSERT_EQ(reporter.Calls().size(), wholeReporter.Calls().size());
  for (std::size_t call = 0; call < reporter.Calls().size(); ++call) {
    EXPECT_EQ(reporter.Calls()[call].kind, wholeReporter.Calls()[call].kind) << "call " << call;
    EXPECT_EQ(reporter.Calls()[call].text, wholeReporter.Calls()[call].text) << "call " << call;
    EXPECT_EQ(reporter.Calls()[call].caption, wholeReporter.Calls()[call].caption) << "call " << call;
  }
  ASSERT_EQ(channel.Pages().size(), wholeChannel.Pages().size());
  for (std::size_t page = 0; page < channel.Pages().size(); ++page) {
    EXPECT_EQ(channel.Pages()[page].command.bytes, wholeChannel.Pages()[page].command.bytes) << "page " << page;
    EXPECT_EQ(channel.Pages()[page].dataSum, wholeChannel.Pages()[page].dataSum) << "page " << page;
  }
}

TEST(ChecksumLines, AreTheRunsLogLines) {
  EXPECT_EQ(FirmwareChecksumLine(0x5bb), "Firmware Checksum:  5bb\r\n");
  EXPECT_EQ(FirmwareChecksumLine(0), "Firmware Checksum:    0\r\n");
  EXPECT_EQ(PageChecksumLine(1, 0xc000), "Page- 1 Checksum: c000\r\n");
  EXPECT_EQ(PageChecksumLine(32, 0xffff), "Page-32 Checksum: ffff\r\n");
}

}  // namespace
