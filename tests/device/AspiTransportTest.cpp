#include "device/AspiTransport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "AspiFixture.h"
#include "DeviceTestSupport.h"
#include "device/AspiRequests.h"

namespace {

using namespace std::chrono_literals;

class AspiTransportTest : public AspiFixture, public testing::Test {
 protected:
  AspiTransportTest() { layer.SetHostAdapterCount(2); }

  EmulatedDrive& Drive(DriveBehaviour behaviour = {}) {
    return layer.AddTarget(0, 1, {0x05, "ABC", "COMBO DRIVE RW", "1.02"}, behaviour);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ReportedCall& call : sink.Messages()) {
      EXPECT_EQ(call.caption, "Status Message");
      texts.push_back(call.text);
    }
    return texts;
  }
  int Aborts() const {
    const auto requests = layer.Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [](const AspiRequestRecord& r) { return r.command == aspi::SC_ABORT_SRB; }));
  }
};

TEST_F(AspiTransportTest, InquiryGivesPeripheralByteAndIdentity) {
  Drive();
  for (const auto completion : {EmulatedAspiLayer::Completion::Immediate, EmulatedAspiLayer::Completion::Deferred}) {
    layer.SetCompletion(completion, 5ms);
    const auto transport = LoadTransport();

    const AspiInquiry answer = transport->InquireIdentity(0, 1);

    EXPECT_EQ(answer.status, aspi::SS_COMP);
    EXPECT_EQ(answer.peripheral, 0x05);
    EXPECT_EQ(answer.identity, "ABC     COMBO DRIVE RW  1.02        ");
  }
  const AspiRequestRecord request = layer.Requests().at(0);
  EXPECT_EQ(request.flags, 0x48);
  EXPECT_EQ(request.bufferLength, 36u);
  EXPECT_EQ(request.senseLength, 14);
  EXPECT_EQ(request.lun, 0);
  EXPECT_EQ(request.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x24, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_EQ(events.Live(), 0);
}

TEST_F(AspiTransportTest, AbsentTargetsAndAdaptersAnswerWithoutABox) {
  Drive();
  const auto transport = LoadTransport();
  EXPECT_EQ(transport->InquireIdentity(0, 2).status, aspi::SS_NO_DEVICE);
  EXPECT_EQ(transport->InquireIdentity(2, 1).status, aspi::SS_INVALID_HA);
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(AspiTransportTest, RefusedInquiryShowsItsStatus) {
  DriveBehaviour behaviour;
  behaviour.refuseInquiry = true;
  Drive(behaviour);
  const AspiInquiry answer = LoadTransport()->InquireIdentity(0, 1);
  EXPECT_EQ(answer.status, aspi::SS_ERR);
  EXPECT_EQ(answer.identity, "");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"SRB completed with error!"}));
}

TEST_F(AspiTransportTest, NoEventMeansNoInquiry) {
  Drive();
  events.createFails = true;
  EXPECT_EQ(LoadTransport()->InquireIdentity(0, 1).status, kAspiNoAnswer);
  EXPECT_TRUE(layer.Requests().empty());
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(AspiTransportTest, InquiryStillPendingAfterTheWaitIsWithdrawnAndReleasedOnceTheLayerLetsGo) {
  DriveBehaviour behaviour;
  behaviour.inquiryTiming = DriveBehaviour::Timing::Never;
  Drive(behaviour);
  const auto transport = LoadTransport(10ms);

  EXPECT_EQ(transport->InquireIdentity(0, 1).status, kAspiNoAnswer);
  EXPECT_EQ(Aborts(), 1);
  // The abort ended it: the next request finds it over and lets it go.
  EXPECT_EQ(transport->InquireIdentity(0, 2).status, aspi::SS_NO_DEVICE);
  EXPECT_EQ(transport->WithdrawnRequestCount(), 0u);
  EXPECT_EQ(events.Live(), 0);
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(AspiTransportTest, LateAnswerToAWithdrawnInquiryLandsInMemoryStillHeld) {
  DriveBehaviour behaviour;
  behaviour.inquiryTiming = DriveBehaviour::Timing::Late;
  behaviour.lateBy = 100ms;
  Drive(behaviour);
  const auto transport = LoadTransport(5ms);

  EXPECT_EQ(transport->InquireIdentity(0, 1).status, kAspiNoAnswer);
  EXPECT_EQ(transport->WithdrawnRequestCount(), 1u);
  runner.JoinAll();  // the layer writes the answer and sets the event now

  EXPECT_TRUE(layer.Requests().at(0).ended);
  transport->InquireIdentity(0, 2);
  EXPECT_EQ(transport->WithdrawnRequestCount(), 0u);
  EXPECT_EQ(events.Live(), 0);
}

TEST_F(AspiTransportTest, RequestTheLayerNeverEndsOutlivesItsTransportAndKeepsTheLibrary) {
  DriveBehaviour behaviour;
  behaviour.inquiryTiming = DriveBehaviour::Timing::Late;
  behaviour.lateBy = 100ms;
  Drive(behaviour);
  auto transport = LoadTransport(5ms);
  transport->InquireIdentity(0, 1);

  transport.reset();
  EXPECT_EQ(library.released, 0);
  EXPECT_EQ(events.Live(), 1);
  runner.JoinAll();  // ends inside memory the transport handed over, not freed memory
  EXPECT_TRUE(layer.Requests().at(0).ended);
}

TEST_F(AspiTransportTest, FinalStatusReturnedWithTheBlockUntouchedIsNotWaitedFor) {
  Drive();
  layer.SetUntouchedAnswer(aspi::SS_INVALID_SRB);
  events.waitsFail = true;  // a wait would end at once instead of never
  const auto transport = LoadTransport();
  const TestFirmware firmware;

  EXPECT_EQ(transport->InquireIdentity(0, 1).status, aspi::SS_INVALID_SRB);
  EXPECT_FALSE(transport->WritePage(0, 1, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_EQ(events.Waits(), 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>(2, "Invalid parameter set in SRB!")));
}

TEST_F(AspiTransportTest, AllPagesArriveAsTheImageHoldsThemEndedAtOnceOrLater) {
  const TestFirmware firmware;
  for (const auto completion : {EmulatedAspiLayer::Completion::Immediate, EmulatedAspiLayer::Completion::Deferred}) {
    EmulatedDrive& drive = Drive();
    layer.SetCompletion(completion, 2ms);
    const auto transport = LoadTransport();

    for (const PageWriteCommand& command : firmware.commands) {
      EXPECT_TRUE(transport->WritePage(0, 1, command, firmware.image.Bytes()));
    }

    EXPECT_EQ(drive.Verdict(), "image complete and consistent");
    EXPECT_TRUE(std::equal(firmware.bytes.begin(), firmware.bytes.end(), drive.Image().begin()));
  }
  const AspiRequestRecord request = layer.Requests().back();
  EXPECT_EQ(request.flags, 0x50);
  EXPECT_EQ(request.bufferLength, 16384u);
  EXPECT_EQ(request.cdb, std::vector<std::uint8_t>(firmware.commands.back().bytes.begin(),
                                                   firmware.commands.back().bytes.end()));
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_EQ(events.Live(), 0);
}

TEST_F(AspiTransportTest, PageEndingWithAnErrorStatusShowsItAndIsNotAccepted) {
  const TestFirmware firmware;
  for (const std::uint8_t status : {aspi::SS_ERR, std::uint8_t{0xE1}}) {
    DriveBehaviour behaviour;
    behaviour.refusedPage = 1;
    behaviour.refusalAspiStatus = status;
    Drive(behaviour);
    EXPECT_FALSE(LoadTransport()->WritePage(0, 1, firmware.commands[0], firmware.image.Bytes()));
  }
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"SRB completed with error!", "Unknown error code = e1!"}));
}

TEST_F(AspiTransportTest, PageForAnAbsentDeviceSaysSoButAnAbsentAdapterSaysNothing) {
  const TestFirmware firmware;
  const auto transport = LoadTransport();
  EXPECT_FALSE(transport->WritePage(0, 5, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_FALSE(transport->WritePage(7, 5, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"SCSI device not installed!"}));
}

TEST_F(AspiTransportTest, PageIsNotSentWithoutAnEventOrWithAPageNumberOutsideTheImage) {
  Drive();
  const TestFirmware firmware;
  const auto transport = LoadTransport();
  for (const int page : {0, 33, 200}) {
    EXPECT_FALSE(transport->WritePage(0, 1, CommandForPage(page), firmware.image.Bytes()));
  }
  EXPECT_EQ(events.created, 0);
  events.createFails = true;
  EXPECT_FALSE(transport->WritePage(0, 1, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_TRUE(layer.Requests().empty());
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(AspiTransportTest, FailedWaitForAPageGivesFalseWithoutABoxAndWithdrawsIt) {
  Drive();
  layer.SetCompletion(EmulatedAspiLayer::Completion::Deferred, 20ms);
  events.waitsFail = true;
  const TestFirmware firmware;
  const auto transport = LoadTransport();

  EXPECT_FALSE(transport->WritePage(0, 1, firmware.commands[0], firmware.image.Bytes()));
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_EQ(Aborts(), 1);
  runner.JoinAll();
}

}  // namespace
