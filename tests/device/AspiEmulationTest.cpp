// Our wnaspi32.dll's configuration and report, which the tests under Wine
// and the end-to-end tests depend on.
#include <gtest/gtest.h>

#include <array>

#include "DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "testing/aspi/AspiConfig.h"
#include "testing/aspi/AspiReport.h"
#include "testing/aspi/FakeCompletionEvents.h"

namespace {

TEST(ParseAspiConfig, ReadsEveryStatement) {
  const auto parsed = ParseAspiConfig(
      "# two adapters\n"
      "adapters 2\n"
      "completion deferred 15\n"
      "abort ignore\n"
      "target 0 1 05 \"ACME CO\" \"COMBO DVD/RW 52X\" \"1.02\"   # the drive\n"
      "target 1 3 0x25 V P R\n"
      "refuse-page 0 1 7 0x04\n"
      "refuse-page 1 3 9 04 sequence 2\n"
      "refuse-inquiry 1 3 e1\n"
      "inquiry 1 3 late 250\n"
      "pages 0 1 never\n");
  ASSERT_TRUE(parsed.config) << parsed.error;
  const AspiConfig& config = *parsed.config;
  EXPECT_EQ(config.hostAdapters, 2);
  EXPECT_EQ(config.completion, EmulatedAspiLayer::Completion::Deferred);
  EXPECT_EQ(config.deferredBy.count(), 15);
  EXPECT_FALSE(config.abortHonoured);
  ASSERT_EQ(config.targets.size(), 2u);
  EXPECT_EQ(config.targets[0].inquiry.vendor, "ACME CO");
  EXPECT_EQ(config.targets[0].inquiry.product, "COMBO DVD/RW 52X");
  EXPECT_EQ(config.targets[0].behaviour.refusedPage, 7);
  EXPECT_EQ(config.targets[0].carrier.refusalStatus, 0x04);
  EXPECT_EQ(config.targets[0].behaviour.refusedInSequence, 0);
  EXPECT_EQ(config.targets[1].behaviour.refusedPage, 9);
  EXPECT_EQ(config.targets[1].behaviour.refusedInSequence, 2);
  EXPECT_EQ(config.targets[0].carrier.timing.pages, AnswerTiming::When::Never);
  EXPECT_EQ(config.targets[1].inquiry.peripheral, 0x25);
  EXPECT_TRUE(config.targets[1].behaviour.refuseInquiry);
  EXPECT_EQ(config.targets[1].carrier.refusalStatus, 0xE1);
  EXPECT_EQ(config.targets[1].carrier.timing.inquiry, AnswerTiming::When::Late);
  EXPECT_EQ(config.targets[1].carrier.timing.lateBy.count(), 250);
}

TEST(ParseAspiConfig, StatusFirstCompletionTakesTheEventsDelay) {
  const auto parsed = ParseAspiConfig("completion status-first 150\n");
  ASSERT_TRUE(parsed.config) << parsed.error;
  EXPECT_EQ(parsed.config->completion, EmulatedAspiLayer::Completion::StatusFirst);
  EXPECT_EQ(parsed.config->deferredBy.count(), 150);
  EXPECT_EQ(ParseAspiConfig("completion status-first soon\n").error, "line 1: bad delay");
}

TEST(ParseAspiConfig, NamesTheLineOfAMistake) {
  struct Case {
    const char* text;
    const char* error;
  };
  for (const Case& c : {Case{"adapters 1\nadapters x\n", "line 2: bad adapter count"},
                        Case{"refuse-page 0 1 3 04\n", "line 1: no such target declared"},
                        Case{"target 0 1 05 \"open\n", "line 1: unclosed quote"},
                        Case{"target 0 1 05 V P R\nrefuse-page 0 1 3 04 sequence 0\n", "line 2: bad sequence number"},
                        Case{"target 0 1 05 V P R\nrefuse-page 0 1 3 04 round 2\n",
                             "line 2: unknown statement or wrong number of words: refuse-page"},
                        Case{"frobnicate\n", "line 1: unknown statement or wrong number of words: frobnicate"}}) {
    const auto parsed = ParseAspiConfig(c.text);
    EXPECT_FALSE(parsed.config);
    EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(AspiReport, ListsEachRequestThenEachDrivesVerdict) {
  EmulatedAspiLayer layer(SetFakeEvent, [](auto, auto) {});
  std::string report;
  layer.SetOnRequestEnded([&](const auto& records) { report = FormatAspiReport(records, layer.Drives()); });
  layer.AddTarget(0, 1);
  aspi::SRB_ExecSCSICmd inquiry{};
  std::array<std::uint8_t, 36> buffer{};
  FillExecSrb(inquiry, 0, 1, MakeInquiryRequest(buffer), buffer.data(), nullptr);
  layer.SendCommand(&inquiry);
  FillExecSrb(inquiry, 0, 4, MakeInquiryRequest(buffer), buffer.data(), nullptr);
  layer.SendCommand(&inquiry);

  EXPECT_EQ(report,
            "request 1 exec ha=0 target=1 lun=0 flags=0x48 length=36 sense=14 cdb=120000002400000000000000 status=0x01\n"
            "request 2 exec ha=0 target=4 lun=0 flags=0x48 length=36 sense=14 cdb=120000002400000000000000 status=0x82\n"
            "drive ha=0 target=1 commands=1 pages=0 verdict=image incomplete: 0 of 32 pages accepted\n");
  EXPECT_EQ(ImageDumpPath("r.txt", 1, 2), "r.txt.ha1-t2.bin");
}

TEST(AspiReport, SaysWhatEachFlashOfADriveGot) {
  const TestFirmware firmware;
  EmulatedDrives drives;
  auto& drive = *(drives[{0, 2}] = std::make_unique<EmulatedDrive>());
  drive.Behaviour().refusedPage = 7;
  drive.Behaviour().refusedInSequence = 1;
  for (int flash = 1; flash <= 2; ++flash) {
    for (int page = 1; page <= kPageCount; ++page) {
      std::vector<std::uint8_t> data(firmware.image.PageData(page).begin(), firmware.image.PageData(page).end());
      drive.Execute(firmware.commands[page - 1].bytes, DataDirection::Out, data.data(), data.size());
    }
  }

  EXPECT_EQ(FormatAspiReport({}, drives),
            "drive ha=0 target=2 commands=64 pages=32 verdict=sequence 1: image incomplete: 31 of 32 pages accepted\n"
            "sequence ha=0 target=2 number=1 pages=31 verdict=image incomplete: 31 of 32 pages accepted\n"
            "sequence ha=0 target=2 number=2 pages=32 verdict=image complete and consistent\n");
}

}  // namespace
