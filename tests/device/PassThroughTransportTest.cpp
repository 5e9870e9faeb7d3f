#include "device/windows-rules/PassThroughTransport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <array>
#include <cstring>

#include "DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "device/windows-rules/PassThroughRequests.h"
#include "testing/drive/EmulatedPassThroughDrive.h"

namespace {

class PassThroughTransportTest : public testing::Test {
 protected:
  ScsiOutcome WritePage(const TestFirmware& firmware, int page) {
    return transport.Execute(
        MakePageWriteRequest(firmware.commands.at(page - 1), firmware.image.PageData(page)));
  }

  EmulatedDrive drive{{0x05, "ABC", "COMBO DRIVE RW", "1.02"}};
  EmulatedPassThroughDrive handle{drive};
  PassThroughTransport transport{handle};
};

TEST_F(PassThroughTransportTest, InquiryGoesBufferedAndGivesTheAnswersBytes8To43As36Characters) {
  const InquiryAnswer answer = InquireIdentity(transport);

  EXPECT_EQ(answer.outcome.kind, OutcomeKind::Good);
  EXPECT_EQ(answer.peripheral, 0x05);
  EXPECT_EQ(answer.identity, "ABC     COMBO DRIVE RW  1.02        ");
  ASSERT_EQ(handle.Calls().size(), 1u);
  EXPECT_EQ(handle.Calls()[0].code, 0x4D004u);
  EXPECT_EQ(handle.Calls()[0].inputLength, sizeof(nt::SCSI_PASS_THROUGH));
  EXPECT_EQ(handle.Calls()[0].outputLength, BufferedRequestOutputLength(36));
  EXPECT_TRUE(handle.Calls()[0].sameBlock);
  EXPECT_TRUE(drive.Violations().empty()) << drive.Verdict();
}

TEST_F(PassThroughTransportTest, ControlBytesOfTheAnswerBecomeBlanks) {
  drive = EmulatedDrive({0x05, "A\x07\x1a\x80\x01", "P", "R"});
  EXPECT_EQ(InquireIdentity(transport).identity.substr(0, 8), "A  \x80\x01   ");
}

TEST_F(PassThroughTransportTest, PagesGoDirectWithTheDirectBlocksLengths) {
  const TestFirmware firmware;
  for (int page = 1; page <= kPageCount; ++page) EXPECT_TRUE(WritePage(firmware, page).IsGood()) << page;

  ASSERT_EQ(handle.Calls().size(), 32u);
  EXPECT_EQ(handle.Calls()[0].code, 0x4D014u);
  EXPECT_EQ(handle.Calls()[0].inputLength, sizeof(nt::SCSI_PASS_THROUGH_DIRECT));
  EXPECT_EQ(handle.Calls()[0].outputLength, sizeof(DirectRequestBlock));
}

// ---- classification, with a handle that answers as each case says

struct PassThroughCase {
  const char* name;
  bool succeeded;
  std::uint32_t error;
  std::uint8_t scsiStatus;
  std::uint8_t senseGiven;  // SenseInfoLength on return
  OutcomeKind kind;
  std::uint8_t key, asc, ascq;
};

void PrintTo(const PassThroughCase& c, std::ostream* out) { *out << c.name; }

// Writes the case's status and a fixed-format sense (key 5, ASC 0x24,
// ASCQ 0x01) into whichever block it is handed.
class ScriptedHandle final : public DriveHandle {
 public:
  explicit ScriptedHandle(const PassThroughCase& c) : case_(c) {}
  IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t, void*, std::uint32_t) override {
    if (!case_.succeeded) return {false, case_.error};
    if (code == kIoctlScsiPassThrough) {
      Answer(*static_cast<BufferedRequestBlock*>(input));
    } else {
      Answer(*static_cast<DirectRequestBlock*>(input));
    }
    return {true, 0};
  }

 private:
  template <typename Block>
  void Answer(Block& block) {
    block.header.ScsiStatus = case_.scsiStatus;
    block.header.SenseInfoLength = case_.senseGiven;
    const std::uint8_t sense[14] = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x01};
    std::memcpy(block.sense, sense, sizeof sense);
    if constexpr (requires { block.data; }) block.data[0] = 0x05;
  }
  PassThroughCase case_;
};

class PassThroughOutcome_ : public testing::TestWithParam<PassThroughCase> {};

TEST_P(PassThroughOutcome_, IsClassifiedForBufferedAndDirectRequestsAlike) {
  const PassThroughCase& c = GetParam();
  ScriptedHandle handle(c);
  PassThroughTransport transport(handle);
  const TestFirmware firmware;
  std::array<std::uint8_t, 36> answer{};

  const ScsiOutcome outcomes[] = {
      transport.Execute(MakeInquiryRequest(answer)),
      transport.Execute(MakePageWriteRequest(firmware.commands[0], firmware.image.PageData(1)))};
  for (const ScsiOutcome& outcome : outcomes) {
    EXPECT_EQ(outcome.kind, c.kind);
    EXPECT_EQ(outcome.systemError, c.succeeded ? 0u : c.error);
    EXPECT_EQ(outcome.scsiStatus, c.succeeded ? c.scsiStatus : 0);
    EXPECT_EQ(outcome.sense.key, c.key);
    EXPECT_EQ(outcome.sense.asc, c.asc);
    EXPECT_EQ(outcome.sense.ascq, c.ascq);
  }
  // The answer reaches the caller only when the command succeeded.
  EXPECT_EQ(answer[0], c.kind == OutcomeKind::Good ? 0x05 : 0x00);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PassThroughOutcome_,
    testing::Values(PassThroughCase{"Good", true, 0, 0x00, 0, OutcomeKind::Good, 0, 0, 0},
                    PassThroughCase{"CallFailed", false, 1117, 0, 0, OutcomeKind::SystemError, 0, 0, 0},
                    PassThroughCase{"CheckConditionWithSense", true, 0, 0x02, 14, OutcomeKind::ScsiStatus, 5, 0x24, 1},
                    PassThroughCase{"CheckConditionWithShortSense", true, 0, 0x02, 8, OutcomeKind::ScsiStatus, 5, 0, 0},
                    PassThroughCase{"CheckConditionWithoutSense", true, 0, 0x02, 0, OutcomeKind::ScsiStatus, 0, 0, 0},
                    PassThroughCase{"BusyHasNoSense", true, 0, 0x08, 14, OutcomeKind::ScsiStatus, 0, 0, 0}),
    [](const testing::TestParamInfo<PassThroughCase>& param) { return std::string(param.param.name); });

}  // namespace
