#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "flash/FlashSequence.h"
#include "flash/PageWriteCommand.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"
#include "testing/engine/RecordingReporter.h"

namespace {

using Kind = ReportedCall::Kind;

const std::string kBinPath = "C:\\firmware\\combo.bin";
const std::string kEarlierLog = "Firmware Checksum: 1234\r\n";
const std::string kProcessingStatus = "Drive E: is processing";
const std::string kBlankStatus(25, ' ');

// The drive's key at offset 0 of a file of the given size, zeros after it:
// image checksum and page 1 checksum 0x05bb, every other page 0.
std::vector<std::uint8_t> KeyThenZeros(std::size_t size) {
  std::vector<std::uint8_t> contents(size, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  return contents;
}

std::string PageLine(int page, const std::string& hex) {
  return "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum: " + hex + "\r\n";
}

class FlashRun : public testing::Test {
 protected:
  FlashRun() { reporter.Preset(kEarlierLog, kProcessingStatus); }

  void Run(std::vector<std::uint8_t> contents, TransportMode mode = TransportMode::PassThrough,
           const std::string& path = kBinPath, FileFaults faults = {}, std::string row = std::string(kTestRow)) {
    file = std::make_unique<FakeFirmwareFile>(std::move(contents), faults);
    FlashSequence(reporter, *file).Run(channel, std::move(row), path, mode);
  }

  RecordingReporter reporter;
  RecordingChannel channel;
  std::unique_ptr<FakeFirmwareFile> file;
};

TEST_F(FlashRun, ShowsChecksumAnnouncesThenWritesEveryPageAndCompletes) {
  std::vector<std::size_t> callsBeforeWrite;
  channel.onWrite = [&](int) { callsBeforeWrite.push_back(reporter.Calls().size()); };
  Run(KeyThenZeros(1000));

  const std::vector<ReportedCall>& calls = reporter.Calls();
  ASSERT_EQ(calls.size(), 2u + 2u * kPageCount + 2u);
  EXPECT_EQ(calls[0].kind, Kind::SetLog);
  EXPECT_EQ(calls[0].text, "Firmware Checksum:  5bb\r\n");
  EXPECT_EQ(calls[1].kind, Kind::ShowMessage);
  EXPECT_EQ(calls[1].text, "Flash Now!Please don't Power off!");
  EXPECT_EQ(calls[1].caption, "Status");
  EXPECT_EQ(calls[1].icon, MessageIcon::Information);
  for (int page = 1; page <= kPageCount; ++page) {
    const std::size_t at = 2 + 2 * static_cast<std::size_t>(page - 1);
    EXPECT_EQ(calls[at].kind, Kind::SetLog) << "page " << page;
    EXPECT_TRUE(calls[at].text.ends_with(PageLine(page, page == 1 ? " 5bb" : "   0"))) << "page " << page;
    EXPECT_EQ(calls[at + 1].kind, Kind::StepProgress) << "page " << page;
    // Each command leaves after the previous page's step and before its own log line.
    EXPECT_EQ(callsBeforeWrite[page - 1], at) << "page " << page;
  }
  EXPECT_EQ(calls[calls.size() - 2].kind, Kind::ShowMessage);
  EXPECT_EQ(calls[calls.size() - 2].text, "Flash Complete!");
  EXPECT_EQ(calls[calls.size() - 2].caption, "Status");
  EXPECT_EQ(calls[calls.size() - 2].icon, MessageIcon::Information);
  EXPECT_EQ(calls.back().kind, Kind::SetStatus);
  EXPECT_EQ(calls.back().text, kBlankStatus);
  EXPECT_FALSE(file->IsOpen());
}

TEST_F(FlashRun, LeavesA793CharacterLogOf33Lines) {
  Run(KeyThenZeros(1000));

  std::string expected = "Firmware Checksum:  5bb\r\n" + PageLine(1, " 5bb");
  for (int page = 2; page <= kPageCount; ++page) expected += PageLine(page, "   0");
  EXPECT_EQ(reporter.Log(), expected);
  EXPECT_EQ(reporter.Log().size(), 793u);
  EXPECT_EQ(std::count(reporter.Log().begin(), reporter.Log().end(), '\n'), 33);
  EXPECT_EQ(reporter.Status(), kBlankStatus);
  EXPECT_EQ(reporter.Steps(), kPageCount);
}

TEST_F(FlashRun, LogShowsFourLowerCaseHexDigitsWhenTheChecksumNeedsThem) {
  // All 0xFF with the key in front: image 0xedd3, page 1 0xadd3, the others 0xc000.
  std::vector<std::uint8_t> contents(kImageSize, 0xFF);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  Run(contents);

  const std::string& log = reporter.Log();
  EXPECT_TRUE(log.starts_with("Firmware Checksum: edd3\r\n" + PageLine(1, "add3") + PageLine(2, "c000"))) << log;
  EXPECT_TRUE(log.ends_with(PageLine(31, "c000") + PageLine(32, "c000"))) << log;
  EXPECT_EQ(log.size(), 793u);
}

TEST_F(FlashRun, SendsEveryPageInOrderWithItsChecksumsAndData) {
  // Each page starts with its own number, so a page sent from the wrong place shows.
  std::vector<std::uint8_t> contents = ContentsWith(kImageSize, kTestKey, 5 * kPageSize + 100);
  for (int page = 1; page <= kPageCount; ++page) contents[(page - 1) * kPageSize] = static_cast<std::uint8_t>(page);
  const auto imageChecksum = static_cast<std::uint16_t>(std::accumulate(contents.begin(), contents.end(), 0u));
  Run(contents);

  ASSERT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  for (int page = 1; page <= kPageCount; ++page) {
    const ReceivedPage& received = channel.Pages()[page - 1];
    const auto pageBegin = contents.begin() + (page - 1) * static_cast<std::ptrdiff_t>(kPageSize);
    const std::uint32_t pageSum = std::accumulate(pageBegin, pageBegin + kPageSize, 0u);
    const auto pageChecksum = static_cast<std::uint16_t>(pageSum);
    EXPECT_EQ(received.command.bytes, BuildPageWriteCommand(page, pageChecksum, imageChecksum).bytes) << "page " << page;
    EXPECT_EQ(received.command.PageNumber(), page);
    EXPECT_EQ(received.dataOffset, (page - 1) * kPageSize) << "page " << page;
    EXPECT_EQ(received.firstByte, page);
    EXPECT_EQ(received.dataSum, pageSum) << "page " << page;
  }
  // The image checksum on the wire is the one the first log line shows.
  char hex[5];
  std::snprintf(hex, sizeof hex, "%4x", unsigned{imageChecksum});
  EXPECT_TRUE(reporter.Log().starts_with(std::string("Firmware Checksum: ") + hex + "\r\n"));
}

TEST_F(FlashRun, ShortFileStillSendsAllPagesWithZeroPagesAfterIt) {
  Run(KeyThenZeros(1000));

  ASSERT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  EXPECT_EQ(channel.Pages()[0].dataSum, 0x5bbu);
  for (int page = 2; page <= kPageCount; ++page) {
    EXPECT_EQ(channel.Pages()[page - 1].dataSum, 0u) << "page " << page;
    EXPECT_EQ(channel.Pages()[page - 1].command.bytes[6], 0);
    EXPECT_EQ(channel.Pages()[page - 1].command.bytes[7], 0);
  }
}

struct ModeCase {
  TransportMode mode;
  std::string completion;
};

void PrintTo(const ModeCase& mode, std::ostream* out) {
  *out << (mode.mode == TransportMode::Aspi ? "ASPI" : "pass-through");
}

class FlashRunCompletion : public FlashRun, public testing::WithParamInterface<ModeCase> {};

TEST_P(FlashRunCompletion, CompletionTextDependsOnTheMode) {
  Run(KeyThenZeros(1000), GetParam().mode);

  const std::vector<ReportedCall> messages = reporter.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetParam().completion);
  EXPECT_EQ(messages[1].caption, "Status");
  EXPECT_EQ(messages[1].icon, MessageIcon::Information);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FlashRunCompletion,
    testing::Values(ModeCase{TransportMode::PassThrough, "Flash Complete!"},
                    ModeCase{TransportMode::Aspi,
                             "Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!"}));

struct RefusalCase {
  std::set<int> refused;
  std::string text;
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.refused.size() << " refused"; }

class FlashRunRefusedPages : public FlashRun, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FlashRunRefusedPages, GoesOnWithEveryPageThenSaysHowManyFailed) {
  channel = RecordingChannel(GetParam().refused);
  Run(KeyThenZeros(1000), TransportMode::Aspi);

  EXPECT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  EXPECT_EQ(reporter.Steps(), kPageCount);
  EXPECT_EQ(reporter.Log().size(), 793u);
  const std::vector<ReportedCall> messages = reporter.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetParam().text);
  EXPECT_EQ(messages[1].caption, "Status");
  EXPECT_EQ(messages[1].icon, MessageIcon::Stop);
  EXPECT_EQ(reporter.Calls().back().kind, Kind::SetStatus);
  EXPECT_EQ(reporter.Status(), kBlankStatus);
}

std::set<int> AllPages() {
  std::set<int> pages;
  for (int page = 1; page <= kPageCount; ++page) pages.insert(page);
  return pages;
}

INSTANTIATE_TEST_SUITE_P(Refusals, FlashRunRefusedPages,
                         testing::Values(RefusalCase{{1}, "Flash Failed!\r\n1 of 32 pages were not written."},
                                         RefusalCase{{3, 17, 32}, "Flash Failed!\r\n3 of 32 pages were not written."},
                                         RefusalCase{AllPages(), "Flash Failed!\r\n32 of 32 pages were not written."}));

TEST_F(FlashRun, SecondRunStartsTheLogAfreshAndStepsOn) {
  Run(KeyThenZeros(1000));
  const std::size_t firstRunCalls = reporter.Calls().size();
  Run(KeyThenZeros(2000));

  const ReportedCall& firstOfSecond = reporter.Calls()[firstRunCalls];
  EXPECT_EQ(firstOfSecond.kind, Kind::SetLog);
  EXPECT_EQ(firstOfSecond.text, "Firmware Checksum:  5bb\r\n");
  EXPECT_EQ(reporter.Log().size(), 793u);
  EXPECT_EQ(reporter.Steps(), 2 * kPageCount);
}

struct EarlyExit {
  const char* name;
  std::string path;
  std::vector<std::uint8_t> contents;
  FileFaults faults;
  std::string row;
  std::optional<ReportedCall> message;  // the one box shown, if any
  bool fileOpened;
};

ReportedCall Box(std::string text, std::string caption, MessageIcon icon) {
  return {Kind::ShowMessage, std::move(text), std::move(caption), icon};
}

void PrintTo(const EarlyExit& exit, std::ostream* out) { *out << exit.name; }

class FlashRunEarlyExit : public FlashRun, public testing::WithParamInterface<EarlyExit> {};

TEST_P(FlashRunEarlyExit, ShowsAtMostOneBoxAndLeavesTheControlsAlone) {
  const EarlyExit& exit = GetParam();
  Run(exit.contents, TransportMode::PassThrough, exit.path, exit.faults, exit.row);

  const std::vector<ReportedCall>& calls = reporter.Calls();
  if (exit.message) {
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Kind::ShowMessage);
    EXPECT_EQ(calls[0].text, exit.message->text);
    EXPECT_EQ(calls[0].caption, exit.message->caption);
    EXPECT_EQ(calls[0].icon, exit.message->icon);
  } else {
    EXPECT_TRUE(calls.empty());
  }
  EXPECT_EQ(reporter.Log(), kEarlierLog);
  EXPECT_EQ(reporter.Status(), kProcessingStatus);
  EXPECT_EQ(reporter.Steps(), 0);
  EXPECT_TRUE(channel.Pages().empty());
  EXPECT_EQ(file->Opens(), exit.fileOpened ? 1 : 0);
  EXPECT_FALSE(file->IsOpen());
}

const std::string kShortRow = "E:\\ ";
const std::string kOtherDriveRow = "E:\\ ACME    COMBO DVD/RW 48X1.02        ";

INSTANTIATE_TEST_SUITE_P(
    Exits, FlashRunEarlyExit,
    testing::Values(
        EarlyExit{"HexPath", "C:\\firmware\\combo.hex", KeyThenZeros(1000), {}, std::string(kTestRow), std::nullopt, false},
        EarlyExit{"OtherPath", "C:\\firmware\\combo.txt", KeyThenZeros(1000), {}, std::string(kTestRow),
                  Box("No Bin file to Open!", "Error Message", MessageIcon::Information), false},
        EarlyExit{"OpenFails", kBinPath, KeyThenZeros(1000), {.open = true}, std::string(kTestRow),
                  Box("Open binary file error", "Error", MessageIcon::None), false},
        EarlyExit{"EmptyFile", kBinPath, {}, {}, std::string(kTestRow),
                  Box("The firmware file is empty!", "Error", MessageIcon::None), true},
        EarlyExit{"FileTooLarge", kBinPath, KeyThenZeros(kImageSize + 1), {}, std::string(kTestRow),
                  Box("The firmware file is larger than 512 KB!", "Error", MessageIcon::None), true},
        EarlyExit{"SeekFails", kBinPath, KeyThenZeros(1000), {.seekToEnd = true}, std::string(kTestRow),
                  Box("Read binary file error", "Error", MessageIcon::None), true},
        EarlyExit{"ReadFails", kBinPath, KeyThenZeros(1000), {.read = true}, std::string(kTestRow),
                  Box("Read binary file error", "Error", MessageIcon::None), true},
        EarlyExit{"ShortRead", kBinPath, KeyThenZeros(1000), {.readShortBy = 10}, std::string(kTestRow),
                  Box("Read binary file error", "Error", MessageIcon::None), true},
        EarlyExit{"OtherDrive", kBinPath, KeyThenZeros(1000), {}, kOtherDriveRow,
                  Box("This firmware does not match your drive!", "", MessageIcon::Stop), true},
        EarlyExit{"DriveWithoutIdentity", kBinPath, KeyThenZeros(1000), {}, kShortRow,
                  Box("This firmware does not match your drive!", "", MessageIcon::Stop), true}),
    [](const testing::TestParamInfo<EarlyExit>& exit) { return std::string(exit.param.name); });

}  // namespace
