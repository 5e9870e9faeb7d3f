#include "device/windows-rules/AspiTransport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <functional>
#include <optional>

#include "AspiFixture.h"
#include "DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "device/windows-rules/AspiRequests.h"

namespace {

using namespace std::chrono_literals;
using Completion = EmulatedAspiLayer::Completion;

class AspiTransportTest : public AspiFixture, public testing::Test {
 protected:
  AspiTransportTest() { layer.SetHostAdapterCount(2); }

  EmulatedDrive& Drive(AspiTargetCarrier carrier = {}) {
    return layer.AddTarget(0, 1, {0x05, "ABC", "COMBO DRIVE RW", "1.02"}, {}, carrier);
  }
  static InquiryAnswer Inquire(AspiTransport& transport, std::uint8_t hostAdapter, std::uint8_t target) {
    AspiTarget device(transport, hostAdapter, target);
    return InquireIdentity(device);
  }
  static ScsiOutcome WritePage(AspiTransport& transport, std::uint8_t target, const TestFirmware& firmware, int page) {
    return transport.Execute(0, target,
                             MakePageWriteRequest(firmware.commands.at(page - 1), firmware.image.PageData(page)));
  }
  int Aborts() const {
    const auto requests = layer.Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [](const AspiRequestRecord& r) { return r.command == aspi::SC_ABORT_SRB; }));
  }
};

TEST_F(AspiTransportTest, InquiryGivesPeripheralByteAndIdentityWhenEverTheLayerEndsIt) {
  Drive();
  for (const auto completion : {Completion::Immediate, Completion::Deferred, Completion::StatusFirst}) {
    layer.SetCompletion(completion, 5ms);
    const auto transport = LoadTransport();

    const InquiryAnswer answer = Inquire(*transport, 0, 1);

    EXPECT_EQ(answer.outcome.kind, OutcomeKind::Good);
    EXPECT_EQ(answer.outcome.transportStatus, aspi::SS_COMP);
    EXPECT_EQ(answer.peripheral, 0x05);
    EXPECT_EQ(answer.identity, "ABC     COMBO DRIVE RW  1.02        ");
    EXPECT_EQ(events.Live(), 0);
  }
  const AspiRequestRecord request = layer.Requests().at(0);
  EXPECT_EQ(request.flags, 0x48);
  EXPECT_EQ(request.bufferLength, 36u);
  EXPECT_EQ(request.senseLength, 14);
  EXPECT_EQ(request.lun, 0);
  EXPECT_EQ(request.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x24, 0, 0, 0, 0, 0, 0, 0}));
}

// ---- classification: one row per way a request can end

struct AspiCase {
  const char* name;
  std::function<void(EmulatedAspiLayer&, FakeEventFactory&)> arrange;
  std::uint8_t target;
  OutcomeKind kind;
  std::uint32_t transportStatus;
  std::uint8_t scsiStatus;
};

void PrintTo(const AspiCase& c, std::ostream* out) { *out << c.name; }

class AspiOutcome_ : public AspiFixture, public testing::TestWithParam<AspiCase> {};

TEST_P(AspiOutcome_, IsTheSameForAnInquiryAndAPageWrite) {
  const AspiCase& c = GetParam();
  layer.SetHostAdapterCount(1);
  c.arrange(layer, events);
  const auto transport = LoadTransport(5ms);
  const TestFirmware firmware;
  AspiTarget device(*transport, 0, c.target);
  std::array<std::uint8_t, 36> answer{};

  const ScsiOutcome outcomes[] = {
      device.Execute(MakeInquiryRequest(answer)),
      device.Execute(MakePageWriteRequest(firmware.commands[0], firmware.image.PageData(1)))};
  for (const ScsiOutcome& outcome : outcomes) {
    EXPECT_EQ(outcome.kind, c.kind);
    EXPECT_EQ(outcome.transportStatus, c.transportStatus);
    EXPECT_EQ(outcome.scsiStatus, c.scsiStatus);
  }
  EXPECT_EQ(answer[0], c.kind == OutcomeKind::Good ? 0x05 : 0x00);
  runner.JoinAll();
}

DriveBehaviour Refusing() {
  DriveBehaviour behaviour;
  behaviour.refuseInquiry = true;
  behaviour.refusedPage = 1;
  return behaviour;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AspiOutcome_,
    testing::Values(
        AspiCase{"Completed", [](auto& l, auto&) { l.AddTarget(0, 1); }, 1, OutcomeKind::Good, 0x01, 0},
        AspiCase{"RefusedByTheDrive", [](auto& l, auto&) { l.AddTarget(0, 1, {}, Refusing()); }, 1,
                 OutcomeKind::ScsiStatus, 0x04, 0x02},
        AspiCase{"NoDevice", [](auto&, auto&) {}, 1, OutcomeKind::TransportStatus, 0x82, 0},
        AspiCase{"NoSuchHostAdapter", [](auto& l, auto&) { l.SetHostAdapterCount(0); }, 1,
                 OutcomeKind::TransportStatus, 0x81, 0},
        AspiCase{"AnsweredWithoutTakingTheBlock", [](auto& l, auto&) { l.SetUntouchedAnswer(aspi::SS_INVALID_SRB); },
                 1, OutcomeKind::TransportStatus, 0xE0, 0},
        AspiCase{"NoEvent", [](auto& l, auto& e) { l.AddTarget(0, 1); e.createFails = true; }, 1,
                 OutcomeKind::SystemError, kAspiNoAnswer, 0},
        AspiCase{"WaitFailed",
                 [](auto& l, auto& e) {
                   l.AddTarget(0, 1);
                   l.SetCompletion(Completion::Deferred, 1ms);
                   e.waitsFail = true;
                 },
                 1, OutcomeKind::SystemError, kAspiNoAnswer, 0}),
    [](const testing::TestParamInfo<AspiCase>& param) { return std::string(param.param.name); });

// ---- how long the transport waits for the layer to end a request

struct WaitCase {
  const char* name;
  DataDirection direction;
  std::chrono::seconds timeout;
  std::optional<std::chrono::milliseconds> limit;  // nothing: no limit
};

void PrintTo(const WaitCase& c, std::ostream* out) { *out << c.name; }

class AspiWait_ : public AspiFixture, public testing::TestWithParam<WaitCase> {};

TEST_P(AspiWait_, HonoursTheRequestsTimeOutWithinTheLayersLimitAndNeverCutsAWriteShort) {
  const WaitCase& c = GetParam();
  layer.AddTarget(0, 1);
  layer.SetCompletion(Completion::Deferred, 1ms);  // every request is waited for
  const auto transport = LoadTransport();
  const TestFirmware firmware;
  ScsiRequest request = MakePageWriteRequest(firmware.commands[0], firmware.image.PageData(1));
  std::array<std::uint8_t, 36> answer{};
  if (c.direction == DataDirection::In) request = MakeInquiryRequest(answer);
  request.timeout = c.timeout;

  EXPECT_TRUE(transport->Execute(0, 1, request).IsGood());
  ASSERT_EQ(events.WaitLimits().size(), 1u);
  EXPECT_EQ(events.WaitLimits()[0], c.limit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AspiWait_,
    testing::Values(WaitCase{"InquiryAtMost35Seconds", DataDirection::In, kInquiryTimeout, 35000ms},
                    WaitCase{"ShorterTimeOutShortensIt", DataDirection::In, 2s, 2000ms},
                    WaitCase{"NoTimeLimitIsTheLayersLimit", DataDirection::In, kNoTimeLimit, 35000ms},
                    WaitCase{"PageWithoutLimit", DataDirection::Out, kPageWriteTimeout, std::nullopt},
                    WaitCase{"PageWithAShortTimeOutStillWithoutLimit", DataDirection::Out, 2s, std::nullopt}),
    [](const testing::TestParamInfo<WaitCase>& param) { return std::string(param.param.name); });

TEST_F(AspiTransportTest, NoEventMeansNothingIsSent) {
  Drive();
  events.createFails = true;
  const auto transport = LoadTransport();
  EXPECT_EQ(Inquire(*transport, 0, 1).outcome.transportStatus, kAspiNoAnswer);
  EXPECT_EQ(WritePage(*transport, 1, TestFirmware(), 1).transportStatus, kAspiNoAnswer);
  EXPECT_TRUE(layer.Requests().empty());
}

TEST_F(AspiTransportTest, InquiryStillPendingAfterTheWaitIsWithdrawnAndReleasedOnceTheLayerLetsGo) {
  AspiTargetCarrier silent;
  silent.timing.inquiry = AnswerTiming::When::Never;
  Drive(silent);
  const auto transport = LoadTransport(10ms);

  EXPECT_EQ(Inquire(*transport, 0, 1).outcome.kind, OutcomeKind::SystemError);
  EXPECT_EQ(Aborts(), 1);
  // The abort ended it: the next request finds it over and lets it go.
  EXPECT_EQ(Inquire(*transport, 0, 2).outcome.transportStatus, aspi::SS_NO_DEVICE);
  EXPECT_EQ(transport->KeptRequestCount(), 0u);
  EXPECT_EQ(events.Live(), 0);
}

TEST_F(AspiTransportTest, LateAnswerToAWithdrawnInquiryLandsInMemoryStillHeld) {
  AspiTargetCarrier late;
  late.timing.inquiry = AnswerTiming::When::Late;
  late.timing.lateBy = 100ms;
  Drive(late);
  const auto transport = LoadTransport(5ms);
  runner.Hold();  // the answer comes after the wait gave up, however slow the machine

  EXPECT_EQ(Inquire(*transport, 0, 1).outcome.transportStatus, kAspiNoAnswer);
  EXPECT_EQ(transport->KeptRequestCount(), 1u);
  runner.JoinAll();  // the layer writes the answer and sets the event now

  EXPECT_TRUE(layer.Requests().at(0).ended);
  Inquire(*transport, 0, 2);
  EXPECT_EQ(transport->KeptRequestCount(), 0u);
  EXPECT_EQ(events.Live(), 0);
}

TEST_F(AspiTransportTest, RequestTheLayerNeverEndsOutlivesItsTransportAndKeepsTheLibrary) {
  AspiTargetCarrier late;
  late.timing.inquiry = AnswerTiming::When::Late;
  late.timing.lateBy = 100ms;
  Drive(late);
  auto transport = LoadTransport(5ms);
  runner.Hold();  // the layer ends the request only after the transport is gone
  Inquire(*transport, 0, 1);

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

  EXPECT_EQ(Inquire(*transport, 0, 1).outcome.transportStatus, aspi::SS_INVALID_SRB);
  EXPECT_EQ(WritePage(*transport, 1, firmware, 1).transportStatus, aspi::SS_INVALID_SRB);
  EXPECT_EQ(events.Waits(), 0);
}

TEST_F(AspiTransportTest, AllPagesArriveAsTheImageHoldsThemWhenEverTheLayerEndsThem) {
  const TestFirmware firmware;
  for (const auto completion : {Completion::Immediate, Completion::Deferred, Completion::StatusFirst}) {
    EmulatedDrive& drive = Drive();
    layer.SetCompletion(completion, 2ms);
    const auto transport = LoadTransport();

    for (int page = 1; page <= kPageCount; ++page) {
      const ScsiOutcome outcome = WritePage(*transport, 1, firmware, page);
      EXPECT_TRUE(outcome.IsGood()) << page;
      EXPECT_EQ(outcome.transportStatus, aspi::SS_COMP);
    }

    EXPECT_EQ(drive.Verdict(), "image complete and consistent");
    EXPECT_TRUE(std::equal(firmware.bytes.begin(), firmware.bytes.end(), drive.Image().begin()));
  }
  const AspiRequestRecord request = layer.Requests().back();
  EXPECT_EQ(request.flags, 0x50);
  EXPECT_EQ(request.bufferLength, 16384u);
  EXPECT_EQ(request.cdb, std::vector<std::uint8_t>(firmware.commands.back().bytes.begin(),
                                                   firmware.commands.back().bytes.end()));
  EXPECT_EQ(events.Live(), 0);
}

// A layer may write the final status and set the event later. Letting the
// request go on the status alone would close an event the layer still sets,
// whose handle the next page may then get, and free a block the layer still
// writes: under the sanitizer that write fails the test.
TEST_F(AspiTransportTest, PageWhoseStatusIsWrittenFirstIsHeldUntilItsEventIsSet) {
  EmulatedDrive& drive = Drive();
  layer.SetCompletion(Completion::StatusFirst, 20ms);
  const TestFirmware firmware;
  const auto transport = LoadTransport();

  for (int page = 1; page <= kPageCount; ++page) {
    EXPECT_TRUE(WritePage(*transport, 1, firmware, page).IsGood()) << page;
    EXPECT_EQ(events.Live(), 0) << "page " << page << " let go before the layer set its event";
  }
  EXPECT_EQ(layer.MostRequestsHeld(), 1);
  EXPECT_EQ(Aborts(), 0);
  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
}

TEST_F(AspiTransportTest, PageStillPendingWhenItsWaitEndsIsNotWrittenButKeptForTheLayer) {
  AspiTargetCarrier silent;
  silent.timing.pages = AnswerTiming::When::Never;
  Drive(silent);
  layer.SetAbortHonoured(false);
  events.waitsFail = true;
  const TestFirmware firmware;
  auto transport = LoadTransport();

  const ScsiOutcome outcome = WritePage(*transport, 1, firmware, 1);
  EXPECT_FALSE(outcome.IsGood());
  EXPECT_EQ(Aborts(), 1);
  EXPECT_EQ(transport->KeptRequestCount(), 1u);
  EXPECT_EQ(events.Live(), 1);
  transport.reset();
  EXPECT_EQ(library.released, 0);  // the layer still holds the request
}

TEST_F(AspiTransportTest, WithdrawnPageKeepsItsOwnCopyOfThePageForTheLayer) {
  AspiTargetCarrier late;
  late.timing.pages = AnswerTiming::When::Late;
  late.timing.lateBy = 50ms;
  EmulatedDrive& drive = Drive(late);
  events.waitsFail = true;
  const TestFirmware firmware;
  const auto transport = LoadTransport();
  std::vector<std::uint8_t> page(firmware.image.PageData(1).begin(), firmware.image.PageData(1).end());
  runner.Hold();  // the layer reads the page only after the caller's copy is gone

  const ScsiOutcome outcome = transport->Execute(
      0, 1, MakePageWriteRequest(firmware.commands[0], std::span<const std::uint8_t, kPageSize>(page.data(), kPageSize)));
  EXPECT_FALSE(outcome.IsGood());
  EXPECT_EQ(transport->KeptRequestCount(), 1u);
  std::fill(page.begin(), page.end(), std::uint8_t{0xEE});  // the caller's page is gone
  runner.JoinAll();  // the layer reads the page only now

  ASSERT_EQ(drive.PagesAccepted(), 1);
  EXPECT_TRUE(std::equal(drive.Image().begin(), drive.Image().begin() + kPageSize, firmware.bytes.begin()));
  EXPECT_EQ(events.Live(), 1);  // its event too, until the transport can see it set
}

}  // namespace
