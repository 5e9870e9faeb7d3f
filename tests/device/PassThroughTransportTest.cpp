#include "device/PassThroughTransport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DeviceTestSupport.h"
#include "device/PassThroughRequests.h"
#include "testing/drive/EmulatedPassThroughDrive.h"
#include "testing/engine/RecordingReporter.h"

namespace {

class PassThroughTransportTest : public testing::Test {
 protected:
  EmulatedDrive drive{{0x05, "ABC", "COMBO DRIVE RW", "1.02"}};
  EmulatedPassThroughDrive handle{drive};
  RecordingReporter sink;
  PassThroughTransport transport{sink};
};

using Box = std::pair<std::string, std::string>;  // text, caption

std::vector<Box> Boxes(const RecordingReporter& sink) {
  std::vector<Box> boxes;
  for (const ReportedCall& call : sink.Messages()) {
    EXPECT_EQ(call.icon, MessageIcon::Information);
    boxes.emplace_back(call.text, call.caption);
  }
  return boxes;
}

TEST_F(PassThroughTransportTest, IdentityIsTheAnswersBytes8To43Made36CharactersLong) {
  const std::string identity = transport.InquireIdentity(handle);

  EXPECT_EQ(identity, "ABC     COMBO DRIVE RW  1.02        ");
  EXPECT_TRUE(sink.Messages().empty());
  ASSERT_EQ(handle.Calls().size(), 1u);
  EXPECT_EQ(handle.Calls()[0].code, 0x4D004u);
  EXPECT_EQ(handle.Calls()[0].inputLength, sizeof(nt::SCSI_PASS_THROUGH));
  EXPECT_EQ(handle.Calls()[0].outputLength, kIdentityRequestOutputLength);
  EXPECT_TRUE(handle.Calls()[0].sameBlock);
  EXPECT_TRUE(drive.Violations().empty()) << drive.Verdict();
}

TEST_F(PassThroughTransportTest, ControlBytesOfTheAnswerBecomeBlanks) {
  drive = EmulatedDrive({0x05, "A\x07\x1a\x80\x01", "P", "R"});
  EXPECT_EQ(transport.InquireIdentity(handle).substr(0, 8), "A  \x80\x01   ");
}

TEST_F(PassThroughTransportTest, FailedRequestGivesEmptyIdentityAfterOneErrorBox) {
  drive.Behaviour().systemCallError = 1117;
  EXPECT_EQ(transport.InquireIdentity(handle), "");
  EXPECT_EQ(Boxes(sink), (std::vector<Box>{{"Error code:1117", "Status Error Message"}}));
}

TEST_F(PassThroughTransportTest, RefusedInquiryGivesEmptyIdentityWithoutABox) {
  drive.Behaviour().refuseInquiry = true;
  EXPECT_EQ(transport.InquireIdentity(handle), "");
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(PassThroughTransportTest, AllPagesArriveAsTheImageHoldsThem) {
  const TestFirmware firmware;
  for (const PageWriteCommand& command : firmware.commands) {
    EXPECT_TRUE(transport.WritePage(handle, command, firmware.image.Bytes()));
  }

  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  EXPECT_TRUE(std::equal(firmware.bytes.begin(), firmware.bytes.end(), drive.Image().begin()));
  EXPECT_TRUE(sink.Messages().empty());
  ASSERT_EQ(handle.Calls().size(), 32u);
  EXPECT_EQ(handle.Calls()[0].code, 0x4D014u);
  EXPECT_EQ(handle.Calls()[0].inputLength, sizeof(nt::SCSI_PASS_THROUGH_DIRECT));
  EXPECT_EQ(handle.Calls()[0].outputLength, sizeof(PageWriteRequestBlock));
}

TEST_F(PassThroughTransportTest, FailedPageRequestShowsTheErrorThenCommandNotComplete) {
  const TestFirmware firmware;
  drive.Behaviour().systemCallError = 5;

  EXPECT_FALSE(transport.WritePage(handle, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_EQ(Boxes(sink), (std::vector<Box>{{"Error code:5", "Status Error Message"},
                                           {"Command Not Complete!", "Satus Message"}}));
}

TEST_F(PassThroughTransportTest, RefusedPageShowsOnlyCommandNotCompleteAndIsNotAccepted) {
  const TestFirmware firmware;
  drive.Behaviour().refusedPage = 1;

  EXPECT_FALSE(transport.WritePage(handle, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_TRUE(transport.WritePage(handle, firmware.commands[1], firmware.image.Bytes()));
  EXPECT_EQ(Boxes(sink), (std::vector<Box>{{"Command Not Complete!", "Satus Message"}}));
}

TEST_F(PassThroughTransportTest, PageNumberOutsideTheImageIsRefusedBeforeAnythingIsSent) {
  const TestFirmware firmware;
  for (const int page : {0, 33, 255}) {
    EXPECT_FALSE(transport.WritePage(handle, CommandForPage(page), firmware.image.Bytes())) << page;
  }
  EXPECT_TRUE(handle.Calls().empty());
  EXPECT_TRUE(sink.Messages().empty());
}

TEST(PassThroughErrorText, IsTheSystemErrorCodeInSignedDecimal) {
  EXPECT_EQ(PassThroughErrorText(0), "Error code:0");
  EXPECT_EQ(PassThroughErrorText(21), "Error code:21");
  EXPECT_EQ(PassThroughErrorText(0xFFFFFFFFu), "Error code:-1");
}

}  // namespace
