#include <fcntl.h>
#include <gtest/gtest.h>
#include <scsi/sg.h>

#include <array>
#include <cerrno>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiPageChannel.h"
#include "device/linux/SgIoTransport.h"
#include "flash/FlashSequence.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingObserver.h"
#include "testing/linux/EmulatedSgNodes.h"

namespace {

const std::string kDrivePath = "/dev/sr0";

InquiryData TestDriveInquiry() { return {0x05, "ACME", "COMBO DVD/RW 52X", "1.02"}; }

struct SentPage {
  int page;
  ScsiOutcome outcome;
};

class OutcomeLog final : public PageOutcomeObserver {
 public:
  void PageSent(int page, const ScsiOutcome& outcome) override { pages.push_back({page, outcome}); }
  std::vector<SentPage> pages;
};

// One node of the emulated kernel with the test drive behind it.
class SgDrive : public testing::Test {
 protected:
  SgDrive() { kernel.AddDrive(kDrivePath, drive); }

  std::unique_ptr<DeviceNode> OpenNode(int flags = O_RDWR) {
    OpenedNode opened = kernel.Open(kDrivePath, flags);
    EXPECT_NE(opened.node, nullptr);
    return std::move(opened.node);
  }

  // A whole flash of the test image through the SG_IO back end.
  void Flash() {
    auto node = OpenNode();
    SgIoTransport transport(*node);
    ScsiPageChannel channel(transport, outcomes);
    FakeFirmwareFile file(ContentsWith(kImageSize, kTestKey, 4096));
    FlashSequence(observer, file).Run(channel, kTestIdentity, "combo.bin");
  }

  EmulatedDrive drive{TestDriveInquiry()};
  EmulatedSgNodes kernel;
  OutcomeLog outcomes;
  RecordingObserver observer;
};

// The kernel passes vendor commands only for a process with CAP_SYS_RAWIO,
// but INQUIRY for anyone.
TEST_F(SgDrive, WithoutRawIoEveryPageFailsWithEpermWhileInquiryStillAnswers) {
  kernel.SetRawIo(false);
  auto node = OpenNode(O_RDONLY);
  SgIoTransport transport(*node);
  std::array<std::uint8_t, kInquiryDataLength> answer{};
  EXPECT_TRUE(transport.Execute(MakeInquiryRequest(answer)).IsGood());
  node.reset();

  Flash();
  ASSERT_EQ(outcomes.pages.size(), 32u);
  for (const SentPage& sent : outcomes.pages) {
    EXPECT_EQ(sent.outcome.kind, OutcomeKind::SystemError);
    EXPECT_EQ(sent.outcome.systemError, static_cast<std::uint32_t>(EPERM));
  }
  EXPECT_EQ(drive.PagesAccepted(), 0);
  EXPECT_EQ(observer.RefusedPages(), 32);
}

// A node that keeps the request it is handed and answers as told.
class RecordingNode final : public DeviceNode {
 public:
  int Ioctl(unsigned long code, void* argument) override {
    request = code;
    header = *static_cast<sg_io_hdr_t*>(argument);
    cdb.assign(header.cmdp, header.cmdp + header.cmd_len);
    auto& answer = *static_cast<sg_io_hdr_t*>(argument);
    answer.status = status;
    if (!sense.empty()) {
      std::copy(sense.begin(), sense.end(), answer.sbp);
      answer.sb_len_wr = static_cast<unsigned char>(sense.size());
    }
    return 0;
  }
  int Lock(bool) override { return 0; }
  unsigned long request = 0;
  sg_io_hdr_t header{};
  std::vector<std::uint8_t> cdb;
  std::uint8_t status = 0;
  std::vector<std::uint8_t> sense;
};

TEST(SgIoRequest, InquiryGoesOutAsTwelveBytesFromTheDeviceWithItsTimeOutInMilliseconds) {
  RecordingNode node;
  std::array<std::uint8_t, kInquiryDataLength> answer{};
  SgIoTransport(node).Execute(MakeInquiryRequest(answer));
  EXPECT_EQ(node.request, static_cast<unsigned long>(SG_IO));
  EXPECT_EQ(node.header.interface_id, 'S');
  EXPECT_EQ(node.header.dxfer_direction, SG_DXFER_FROM_DEV);
  EXPECT_EQ(node.header.dxferp, answer.data());
  EXPECT_EQ(node.header.dxfer_len, 36u);
  EXPECT_EQ(node.header.timeout, 5000u * 1000u);
  EXPECT_EQ(node.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_GE(node.header.mx_sb_len, 18);
}

TEST(SgIoRequest, PageWriteSendsThePageItselfToTheDevice) {
  RecordingNode node;
  std::vector<std::uint8_t> page(kPageSize, 0x5A);
  const PageWriteCommand command = BuildPageWriteCommand(4, 0x1234, 0xABCD);
  SgIoTransport(node).Execute(MakePageWriteRequest(command, std::span<const std::uint8_t, kPageSize>(page.data(), kPageSize)));
  EXPECT_EQ(node.header.dxfer_direction, SG_DXFER_TO_DEV);
  EXPECT_EQ(node.header.dxferp, page.data());
  EXPECT_EQ(node.header.dxfer_len, kPageSize);
  EXPECT_EQ(node.header.timeout, 25000u * 1000u);
  EXPECT_EQ(node.cdb, std::vector<std::uint8_t>(command.bytes.begin(), command.bytes.end()));
}

TEST(SgIoRequest, NoDataAndNoTimeLimitAsksTheKernelForItsLongestWait) {
  RecordingNode node;
  ScsiRequest request;
  request.cdb.length = 6;  // TEST UNIT READY
  request.timeout = kNoTimeLimit;
  EXPECT_TRUE(SgIoTransport(node).Execute(request).IsGood());
  EXPECT_EQ(node.header.dxfer_direction, SG_DXFER_NONE);
  EXPECT_EQ(node.header.dxfer_len, 0u);
  EXPECT_EQ(node.header.timeout, UINT_MAX);
}

TEST(SgIoRequest, AStatusWithoutTheSenseFlagIsStillTheDrivesAnswer) {
  RecordingNode node;
  node.status = 0x08;  // BUSY
  ScsiRequest request;
  request.cdb.length = 6;
  const ScsiOutcome outcome = SgIoTransport(node).Execute(request);
  EXPECT_EQ(outcome.kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(outcome.scsiStatus, 0x08);
  EXPECT_EQ(outcome.sense.length, 0);
}

}  // namespace
