#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "flash/FirmwareCheck.h"
#include "flash/FlashConstants.h"
#include "flash/FlashSequence.h"
#include "flash/IdentityScan.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"
#include "testing/engine/RecordingObserver.h"

namespace {

// Every kind of firmware file, good and bad, with the verdict it earns. The
// floors above take the verdict from here: a run, and each front end's words.
struct CheckCase {
  const char* name;
  std::string path;
  std::vector<std::uint8_t> contents;
  FileFaults faults;
  std::string_view identity;
  CheckVerdict verdict;
  bool opened;  // a path judged by its name alone is never opened
};

void PrintTo(const CheckCase& row, std::ostream* out) { *out << row.name; }

std::vector<std::uint8_t> WithKey(std::size_t size) { return ContentsWith(size, kTestKey, 0); }

bool AllZero(std::span<const std::uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

class CheckOf : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckOf, GivesTheVerdictAndLeavesTheFileClosed) {
  const CheckCase& row = GetParam();
  FirmwareImage image;
  // An earlier load leaves bytes behind; a refused load must not keep any of them or its own.
  FakeFirmwareFile earlier(std::vector<std::uint8_t>(kImageSize, 0x33));
  ASSERT_EQ(image.LoadFromFile("earlier.bin", earlier), LoadResult::Loaded);
  FakeFirmwareFile file(row.contents, row.faults);

  EXPECT_EQ(CheckFirmware(image, row.path, file, row.identity).verdict, row.verdict);
  EXPECT_EQ(file.Opens(), row.opened ? 1 : 0);
  EXPECT_FALSE(file.IsOpen());
  if (row.opened) {
    const bool loaded = row.verdict == CheckVerdict::Accepted || row.verdict == CheckVerdict::Mismatch;
    const std::size_t held = loaded ? row.contents.size() : 0;
    EXPECT_TRUE(std::equal(row.contents.begin(), row.contents.begin() + static_cast<std::ptrdiff_t>(held),
                           image.Bytes().begin()));
    EXPECT_TRUE(AllZero(image.Bytes().subspan(held)));
  }

  // The file's own rules alone give the same verdict, but for the identity,
  // which they do not look at.
  FirmwareImage fileOnly;
  FakeFirmwareFile same(row.contents, row.faults);
  EXPECT_EQ(CheckFirmwareFile(fileOnly, row.path, same).verdict,
            row.verdict == CheckVerdict::Mismatch ? CheckVerdict::Accepted : row.verdict);
}

const std::string_view kOtherDrive = "ACME    COMBO DVD/RW 48X1.02        ";

INSTANTIATE_TEST_SUITE_P(
    Files, CheckOf,
    testing::Values(
        CheckCase{"Accepted", "fw.bin", WithKey(kImageSize), {}, kTestIdentity, CheckVerdict::Accepted, true},
        CheckCase{"AcceptedShort", "fw.BIN", WithKey(1000), {}, kTestIdentity, CheckVerdict::Accepted, true},
        CheckCase{"Hex", "fw.hex", WithKey(1000), {}, kTestIdentity, CheckVerdict::HexFile, false},
        CheckCase{"Other", "fw.img", WithKey(1000), {}, kTestIdentity, CheckVerdict::NotBinFile, false},
        CheckCase{"OpenFails", "fw.bin", WithKey(1000), {.open = true}, kTestIdentity, CheckVerdict::OpenFailed,
                  false},
        CheckCase{"Empty", "fw.bin", {}, {}, kTestIdentity, CheckVerdict::Empty, true},
        CheckCase{"OneByteTooLarge", "fw.bin", WithKey(kImageSize + 1), {}, kTestIdentity, CheckVerdict::TooLarge,
                  true},
        CheckCase{"FirstSeekToBeginFails", "fw.bin", WithKey(1000), {.seekToBeginCall = 1}, kTestIdentity,
                  CheckVerdict::ReadFailed, true},
        CheckCase{"SeekToEndFails", "fw.bin", WithKey(1000), {.seekToEnd = true}, kTestIdentity,
                  CheckVerdict::ReadFailed, true},
        CheckCase{"SeekBackToBeginFails", "fw.bin", WithKey(1000), {.seekToBeginCall = 2}, kTestIdentity,
                  CheckVerdict::ReadFailed, true},
        CheckCase{"ReadFails", "fw.bin", WithKey(1000), {.read = true}, kTestIdentity, CheckVerdict::ReadFailed,
                  true},
        CheckCase{"ReadsShort", "fw.bin", WithKey(1000), {.readShortBy = 10}, kTestIdentity,
                  CheckVerdict::ReadFailed, true},
        CheckCase{"FullFileReadsShort", "fw.bin", WithKey(kImageSize), {.readShortBy = 1}, kTestIdentity,
                  CheckVerdict::ReadFailed, true},
        CheckCase{"OtherDrive", "fw.bin", WithKey(1000), {}, kOtherDrive, CheckVerdict::Mismatch, true},
        CheckCase{"OtherDrivesFile", "fw.bin", ContentsWith(1000, "SOMEONE ELSE", 0), {}, kTestIdentity,
                  CheckVerdict::Mismatch, true},
        CheckCase{"DriveWithoutIdentity", "fw.bin", WithKey(1000), {}, "", CheckVerdict::Mismatch, true}),
    [](const testing::TestParamInfo<CheckCase>& row) { return std::string(row.param.name); });

TEST(CheckFirmware, ChecksumIsTheSumOfTheFileAndTheImageHoldsIt) {
  std::vector<std::uint8_t> contents = WithKey(1000);
  contents[999] = 0xFF;
  unsigned sum = 0;
  for (const std::uint8_t byte : contents) sum += byte;
  FirmwareImage image;
  FakeFirmwareFile file(contents);
  const FirmwareCheck check = CheckFirmware(image, "x.bin", file, kTestIdentity);
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
  const FirmwareCheck check = CheckFirmware(image, "x.bin", file, kTestIdentity);
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
  EXPECT_EQ(CheckFirmware(image, "x.bin", file, kTestIdentity).openFailure, why);
  FakeFirmwareFile opens(WithKey(1000));
  EXPECT_EQ(CheckFirmware(image, "x.bin", opens, kTestIdentity).openFailure, OpenFailure{});
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
  EXPECT_EQ(MatchFirmware(image, loaded, kTestIdentity).verdict, CheckVerdict::Accepted);
}

// A front end that checked the file itself hands the engine the checked
// image: the run from the announcement on is the same as a whole run's, and
// the file is not read again, so the bytes written are the bytes checked.
TEST(WritePages, AfterACheckDoesWhatAWholeRunDoesWithoutReadingTheFileAgain) {
  std::vector<std::uint8_t> contents = WithKey(40000);
  contents[20000] = 0x5A;
  FakeFirmwareFile whole(contents);
  RecordingObserver wholeObserver;
  RecordingChannel wholeChannel;
  FlashSequence(wholeObserver, whole).Run(wholeChannel, kTestIdentity, "x.bin");

  FirmwareImage image;
  FakeFirmwareFile checked(contents);
  const FirmwareCheck check = CheckFirmware(image, "x.bin", checked, kTestIdentity);
  ASSERT_EQ(check.verdict, CheckVerdict::Accepted);
  RecordingObserver observer;
  RecordingChannel channel;
  FlashSequence(observer, checked).WritePages(channel, image, check);

  EXPECT_EQ(checked.Opens(), 1);
  EXPECT_EQ(observer.AnnouncedChecksum(), wholeObserver.AnnouncedChecksum());
  EXPECT_EQ(observer.RefusedPages(), wholeObserver.RefusedPages());
  ASSERT_EQ(observer.Pages().size(), wholeObserver.Pages().size());
  for (std::size_t page = 0; page < observer.Pages().size(); ++page) {
    EXPECT_EQ(observer.Pages()[page].checksum, wholeObserver.Pages()[page].checksum) << "page " << page;
  }
  ASSERT_EQ(channel.Pages().size(), wholeChannel.Pages().size());
  for (std::size_t page = 0; page < channel.Pages().size(); ++page) {
    EXPECT_EQ(channel.Pages()[page].command.bytes, wholeChannel.Pages()[page].command.bytes) << "page " << page;
    EXPECT_EQ(channel.Pages()[page].dataSum, wholeChannel.Pages()[page].dataSum) << "page " << page;
  }
}

}  // namespace
