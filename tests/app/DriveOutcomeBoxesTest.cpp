// The boxes the program shows for what became of each drive command, by
// mode and command, against the texts and rules users know from the
// program, written down here rather than taken from the code.
#include "app/DriveOutcomeBoxes.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "device/windows-rules/DriveDiscovery.h"
#include "testing/aspi/EmulatedAspiLayer.h"
#include "testing/aspi/FakeCompletionEvents.h"
#include "testing/aspi/InProcessAspiLibrary.h"
#include "testing/aspi/LaterRunner.h"
#include "testing/drive/EmulatedDriveSystem.h"
#include "testing/app/RecordingReporter.h"

namespace {

using namespace std::chrono_literals;

struct Box {
  std::string text;
  std::string caption;
  bool operator==(const Box&) const = default;
};
using Boxes = std::vector<Box>;

void PrintTo(const Box& box, std::ostream* out) { *out << '"' << box.text << "\" / \"" << box.caption << '"'; }

Boxes BoxesOf(const RecordingReporter& sink) {
  Boxes boxes;
  for (const ReportedCall& call : sink.Messages()) {
    EXPECT_EQ(call.icon, MessageIcon::Information) << call.text;
    boxes.push_back({call.text, call.caption});
  }
  return boxes;
}

ScsiOutcome Outcome(OutcomeKind kind, std::uint32_t transportStatus = 0, std::uint32_t systemError = 0,
                    std::uint8_t scsiStatus = 0) {
  ScsiOutcome outcome;
  outcome.kind = kind;
  outcome.transportStatus = transportStatus;
  outcome.systemError = systemError;
  outcome.scsiStatus = scsiStatus;
  return outcome;
}

// ---- ASPI status texts

struct StatusCase {
  unsigned status;
  const char* text;
};

void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.text; }

class AspiStatusText_ : public testing::TestWithParam<StatusCase> {};

TEST_P(AspiStatusText_, NamesTheStatus) {
  EXPECT_EQ(AspiStatusText(static_cast<std::uint8_t>(GetParam().status)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStatusAndSomeThatAreNone, AspiStatusText_,
    testing::Values(StatusCase{0x00, "SRB being processed!"}, StatusCase{0x01, "SRB completed without error!"},
                    StatusCase{0x02, "SRB aborted!"}, StatusCase{0x03, "Unable to abort SRB"},
                    StatusCase{0x04, "SRB completed with error!"}, StatusCase{0x80, "Invalid ASPI command!"},
                    StatusCase{0x81, "Invalid host adapter number!"}, StatusCase{0x82, "SCSI device not installed!"},
                    StatusCase{0xE0, "Invalid parameter set in SRB!"},
                    StatusCase{0xE4, "ASPI for windows failed init!"},
                    StatusCase{0xE5, "No resources available to execute cmd!"},
                    StatusCase{0xE6, "Buffer size to big to handle!"},
                    StatusCase{0xE1, "Unknown error code = e1!"}, StatusCase{0x05, "Unknown error code = 5!"},
                    StatusCase{0xFF, "Unknown error code = ff!"}),
    [](const testing::TestParamInfo<StatusCase>& param) {
      char name[16];
      std::snprintf(name, sizeof name, "Status%02X", param.param.status);
      return std::string(name);
    });

TEST(PassThroughErrorText, IsTheSystemErrorCodeInSignedDecimal) {
  EXPECT_EQ(PassThroughErrorText(0), "Error code:0");
  EXPECT_EQ(PassThroughErrorText(21), "Error code:21");
  EXPECT_EQ(PassThroughErrorText(0xFFFFFFFFu), "Error code:-1");
}

// ---- the boxes of each outcome

enum class Command { Inquiry, Page };

struct BoxCase {
  const char* name;
  TransportMode mode;
  Command command;
  ScsiOutcome outcome;
  Boxes boxes;
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class OutcomeBoxes_ : public testing::TestWithParam<BoxCase> {};

TEST_P(OutcomeBoxes_, AreTheBoxesOfTheModeAndCommand) {
  const BoxCase& c = GetParam();
  RecordingReporter sink;
  DriveOutcomeBoxes boxes(sink, c.mode);
  if (c.command == Command::Inquiry) {
    boxes.InquiryAnswered(c.outcome);
  } else {
    boxes.PageSent(1, c.outcome);
  }
  EXPECT_EQ(BoxesOf(sink), c.boxes);
}

const Box kCommandNotComplete{"Command Not Complete!", "Satus Message"};
Box AspiBox(const char* text) { return {text, "Status Message"}; }

constexpr auto PT = TransportMode::PassThrough;
constexpr auto ASPI = TransportMode::Aspi;

INSTANTIATE_TEST_SUITE_P(
    Cases, OutcomeBoxes_,
    testing::Values(
        // Pass-through: only a failed call speaks at an INQUIRY; a page not
        // accepted always says so, after the call's error if there was one.
        BoxCase{"PtInquiryGood", PT, Command::Inquiry, Outcome(OutcomeKind::Good), {}},
        BoxCase{"PtInquiryCallFailed", PT, Command::Inquiry, Outcome(OutcomeKind::SystemError, 0, 1117),
                {{"Error code:1117", "Status Error Message"}}},
        BoxCase{"PtInquiryRefused", PT, Command::Inquiry, Outcome(OutcomeKind::ScsiStatus, 0, 0, 2), {}},
        BoxCase{"PtPageGood", PT, Command::Page, Outcome(OutcomeKind::Good), {}},
        BoxCase{"PtPageCallFailed", PT, Command::Page, Outcome(OutcomeKind::SystemError, 0, 5),
                {{"Error code:5", "Status Error Message"}, kCommandNotComplete}},
        BoxCase{"PtPageRefused", PT, Command::Page, Outcome(OutcomeKind::ScsiStatus, 0, 0, 2), {kCommandNotComplete}},
        // ASPI: the status, except those each command passes over; nothing
        // when the layer gave no answer.
        BoxCase{"AspiInquiryCompleted", ASPI, Command::Inquiry, Outcome(OutcomeKind::Good, 0x01), {}},
        BoxCase{"AspiInquiryPending", ASPI, Command::Inquiry, Outcome(OutcomeKind::TransportStatus, 0x00), {}},
        BoxCase{"AspiInquiryNoHostAdapter", ASPI, Command::Inquiry, Outcome(OutcomeKind::TransportStatus, 0x81), {}},
        BoxCase{"AspiInquiryNoDevice", ASPI, Command::Inquiry, Outcome(OutcomeKind::TransportStatus, 0x82), {}},
        BoxCase{"AspiInquiryNoAnswer", ASPI, Command::Inquiry, Outcome(OutcomeKind::SystemError, 0xFF), {}},
        BoxCase{"AspiInquiryRefused", ASPI, Command::Inquiry, Outcome(OutcomeKind::ScsiStatus, 0x04, 0, 2),
                {AspiBox("SRB completed with error!")}},
        BoxCase{"AspiInquiryStatusFF", ASPI, Command::Inquiry, Outcome(OutcomeKind::TransportStatus, 0xFF),
                {AspiBox("Unknown error code = ff!")}},
        BoxCase{"AspiPageCompleted", ASPI, Command::Page, Outcome(OutcomeKind::Good, 0x01), {}},
        BoxCase{"AspiPagePending", ASPI, Command::Page, Outcome(OutcomeKind::TransportStatus, 0x00), {}},
        BoxCase{"AspiPageNoHostAdapter", ASPI, Command::Page, Outcome(OutcomeKind::TransportStatus, 0x81), {}},
        BoxCase{"AspiPageNoDevice", ASPI, Command::Page, Outcome(OutcomeKind::TransportStatus, 0x82),
                {AspiBox("SCSI device not installed!")}},
        BoxCase{"AspiPageNoAnswer", ASPI, Command::Page, Outcome(OutcomeKind::SystemError, 0xFF), {}},
        BoxCase{"AspiPageRefused", ASPI, Command::Page, Outcome(OutcomeKind::ScsiStatus, 0x04, 0, 2),
                {AspiBox("SRB completed with error!")}},
        BoxCase{"AspiPageUnknownStatus", ASPI, Command::Page, Outcome(OutcomeKind::TransportStatus, 0xE1),
                {AspiBox("Unknown error code = e1!")}}),
    [](const testing::TestParamInfo<BoxCase>& param) { return std::string(param.param.name); });

TEST(LayerLoadProblemBox, SaysWhyTheLayerDidNotLoad) {
  RecordingReporter sink;
  ShowLayerLoadProblem(sink, LayerLoadProblem::None);
  ShowLayerLoadProblem(sink, LayerLoadProblem::LibraryNotFound);
  ShowLayerLoadProblem(sink, LayerLoadProblem::EntryPointMissing);
  EXPECT_EQ(BoxesOf(sink), (Boxes{{"Load wnaspi32.dll Fail!", "Error Status"},
                                  {"Get ASPI32 Information and Send Command Error!", "Error Status"}}));
}

// ---- the boxes where they fall among what a scan shows

TEST(OutcomeBoxesInAScan, FailingTargetsShowTheirStatusOnceAndEmptyOnesNothing) {
  EmulatedAspiLayer layer(SetFakeEvent, [](auto, auto) {});
  InProcessAspiLibrary library(layer);
  FakeEventFactory events;
  DriveBehaviour refusing;
  refusing.refuseInquiry = true;
  AspiTargetCarrier silent;
  silent.timing.inquiry = AnswerTiming::When::Never;
  layer.AddTarget(0, 0, {}, refusing);
  layer.AddTarget(0, 1, {}, {}, silent);
  layer.AddTarget(0, 2);
  const auto transport = LoadAspiTransport(library, events, 5ms).transport;
  ASSERT_NE(transport, nullptr);
  EmulatedDriveSystem system({{'E', 5}});
  DriveTable table;
  ClearDriveTable(table);
  RecordingReporter sink;
  DriveOutcomeBoxes boxes(sink, TransportMode::Aspi);
  struct : DriveListView {
    void InsertRow(int, const std::string&) override {}
  } list;

  ListAspiDrives(system, transport.get(), table, list, boxes);

  EXPECT_EQ(BoxesOf(sink), (Boxes{AspiBox("SRB completed with error!")}));
}

}  // namespace
