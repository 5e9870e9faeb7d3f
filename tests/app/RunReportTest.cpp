// A flash run's values in the main dialog's words: the checksum log, the
// progress steps, the status line and the boxes, against the texts users
// know, written down here rather than taken from the code.
#include "app/RunReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "flash/FlashSequence.h"
#include "testing/app/RecordingReporter.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"

namespace {

using Kind = ReportedCall::Kind;

const std::string kBlankStatus(25, ' ');

std::string PageLine(int page, const std::string& hex) {
  return "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum: " + hex + "\r\n";
}

std::vector<std::uint8_t> KeyThenZeros(std::size_t size) {
  std::vector<std::uint8_t> contents(size, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  return contents;
}

TEST(RunReport, ShowsTheChecksumAnnouncesThenALineAndAStepPerPageThenTheVerdict) {
  RecordingReporter reporter;
  RunReport report(reporter, TransportMode::PassThrough);
  RecordingChannel channel;
  std::vector<std::size_t> callsBeforeWrite;
  channel.onWrite = [&](int) { callsBeforeWrite.push_back(reporter.Calls().size()); };
  FakeFirmwareFile file(KeyThenZeros(1000));
  FlashSequence(report, file).Run(channel, kTestIdentity, "firmware.bin");

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
  EXPECT_EQ(calls.back().kind, Kind::SetStatus);
  EXPECT_EQ(calls.back().text, kBlankStatus);

  std::string log = "Firmware Checksum:  5bb\r\n" + PageLine(1, " 5bb");
  for (int page = 2; page <= kPageCount; ++page) log += PageLine(page, "   0");
  EXPECT_EQ(reporter.Log(), log);
  EXPECT_EQ(reporter.Log().size(), 793u);
}

TEST(RunReport, LogShowsChecksumsInFourBlankPaddedLowerCaseHexColumns) {
  RecordingReporter reporter;
  RunReport report(reporter, TransportMode::Aspi);
  report.Announced(0xedd3);
  EXPECT_EQ(reporter.Log(), "Firmware Checksum: edd3\r\n");
  report.PageWritten(1, 0xadd3, true);
  report.PageWritten(2, 0, false);
  report.PageWritten(10, 0xc000, true);
  report.PageWritten(32, 0xf, true);
  EXPECT_EQ(reporter.Log(), "Firmware Checksum: edd3\r\nPage- 1 Checksum: add3\r\nPage- 2 Checksum:    0\r\n"
                            "Page-10 Checksum: c000\r\nPage-32 Checksum:    f\r\n");
  EXPECT_EQ(reporter.Steps(), 4);
}

TEST(RunReport, EachRunStartsTheLogAfresh) {
  RecordingReporter reporter;
  RunReport(reporter, TransportMode::PassThrough).Announced(0x1234);
  RunReport second(reporter, TransportMode::PassThrough);
  second.Announced(0x5bb);
  EXPECT_EQ(reporter.Log(), "Firmware Checksum:  5bb\r\n");
}

struct VerdictCase {
  const char* name;
  TransportMode mode;
  int refusedPages;
  std::string text;
  MessageIcon icon;
};

void PrintTo(const VerdictCase& row, std::ostream* out) { *out << row.name; }

class RunVerdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(RunVerdict, IsOneStatusBoxThenABlankStatusLine) {
  RecordingReporter reporter;
  RunReport(reporter, GetParam().mode).Finished(GetParam().refusedPages);

  const std::vector<ReportedCall>& calls = reporter.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, Kind::ShowMessage);
  EXPECT_EQ(calls[0].text, GetParam().text);
  EXPECT_EQ(calls[0].caption, "Status");
  EXPECT_EQ(calls[0].icon, GetParam().icon);
  EXPECT_EQ(calls[1].kind, Kind::SetStatus);
  EXPECT_EQ(calls[1].text, kBlankStatus);
}

constexpr auto PT = TransportMode::PassThrough;
constexpr auto ASPI = TransportMode::Aspi;

INSTANTIATE_TEST_SUITE_P(
    Verdicts, RunVerdict,
    testing::Values(
        VerdictCase{"PassThroughComplete", PT, 0, "Flash Complete!", MessageIcon::Information},
        VerdictCase{"AspiComplete", ASPI, 0,
                    "Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!", MessageIcon::Information},
        VerdictCase{"PassThroughOneRefused", PT, 1, "Flash Failed!\r\n1 of 32 pages were not written.",
                    MessageIcon::Stop},
        VerdictCase{"AspiThreeRefused", ASPI, 3, "Flash Failed!\r\n3 of 32 pages were not written.", MessageIcon::Stop},
        VerdictCase{"AllRefused", PT, 32, "Flash Failed!\r\n32 of 32 pages were not written.", MessageIcon::Stop}),
    [](const testing::TestParamInfo<VerdictCase>& row) { return std::string(row.param.name); });

struct RefusalCase {
  CheckVerdict verdict;
  std::optional<ReportedCall> box;
};

ReportedCall Box(std::string text, std::string caption, MessageIcon icon) {
  return {Kind::ShowMessage, std::move(text), std::move(caption), icon};
}

void PrintTo(const RefusalCase& row, std::ostream* out) { *out << "verdict " << static_cast<int>(row.verdict); }

class RefusalBox : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalBox, IsTheBoxOfTheVerdictOrNone) {
  RecordingReporter reporter;
  ShowRefusal(reporter, GetParam().verdict);

  const std::optional<ReportedCall>& box = GetParam().box;
  ASSERT_EQ(reporter.Calls().size(), box ? 1u : 0u);
  if (!box) return;
  EXPECT_EQ(reporter.Calls()[0].kind, Kind::ShowMessage);
  EXPECT_EQ(reporter.Calls()[0].text, box->text);
  EXPECT_EQ(reporter.Calls()[0].caption, box->caption);
  EXPECT_EQ(reporter.Calls()[0].icon, box->icon);
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, RefusalBox,
    testing::Values(RefusalCase{CheckVerdict::Accepted, std::nullopt}, RefusalCase{CheckVerdict::HexFile, std::nullopt},
                    RefusalCase{CheckVerdict::NotBinFile, Box("No Bin file to Open!", "Error Message", MessageIcon::Information)},
                    RefusalCase{CheckVerdict::OpenFailed, Box("Open binary file error", "Error", MessageIcon::None)},
                    RefusalCase{CheckVerdict::Empty, Box("The firmware file is empty!", "Error", MessageIcon::None)},
                    RefusalCase{CheckVerdict::TooLarge,
                                Box("The firmware file is larger than 512 KB!", "Error", MessageIcon::None)},
                    RefusalCase{CheckVerdict::ReadFailed, Box("Read binary file error", "Error", MessageIcon::None)},
                    RefusalCase{CheckVerdict::Mismatch,
                                Box("This firmware does not match your drive!", "", MessageIcon::Stop)}));

}  // namespace
