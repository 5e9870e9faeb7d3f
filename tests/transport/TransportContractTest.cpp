// What every back end owes the page channel and the front ends, run the same
// way against each over the same emulated drive: the whole image arrives, a
// refused page or INQUIRY comes back as the drive's status with the drive's
// own sense, a command the drive never answers is given up after the
// request's time-out, and the carrier's own failures are told apart from the
// drive's. What only one back end has (its request blocks, ASPI's completion
// modes and request lifetime, SG_IO's rights) stays in that back end's tests.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiPageChannel.h"
#include "device/linux/SgIoTransport.h"
#include "device/windows-rules/AspiTransport.h"
#include "device/windows-rules/PassThroughTransport.h"
#include "flash/FlashSequence.h"
#include "flash/PageWriteCommand.h"
#include "testing/aspi/EmulatedAspiLayer.h"
#include "testing/aspi/FakeCompletionEvents.h"
#include "testing/aspi/InProcessAspiLibrary.h"
#include "testing/aspi/LaterRunner.h"
#include "testing/drive/EmulatedPassThroughDrive.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingObserver.h"
#include "testing/linux/EmulatedSgNodes.h"

namespace {

using namespace std::chrono_literals;

const InquiryData kDriveIdentity{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"};
constexpr std::uint8_t kCheckCondition = 0x02;

// ---- one rig per back end: the emulated drive behind that back end's carrier

enum class Backend { PassThrough, Aspi, SgIo };

std::string NameOf(Backend backend) {
  switch (backend) {
    case Backend::PassThrough: return "PassThrough";
    case Backend::Aspi: return "Aspi";
    case Backend::SgIo: return "SgIo";
  }
  return "?";
}

class Rig {
 public:
  virtual ~Rig() = default;
  virtual EmulatedDrive& Drive() = 0;
  virtual ScsiTransport& Transport() = 0;
  // The drive never answers the INQUIRY (page 0) or the write of this page.
  virtual void LeaveUnanswered(int page) = 0;
  // How long the carrier was told it may wait for the command left unanswered.
  virtual std::optional<std::chrono::milliseconds> CarrierWaited() const = 0;
};

class PassThroughRig final : public Rig {
 public:
  EmulatedDrive& Drive() override { return drive; }
  ScsiTransport& Transport() override { return transport; }
  void LeaveUnanswered(int page) override { handle.LeaveUnanswered(page); }
  std::optional<std::chrono::milliseconds> CarrierWaited() const override { return handle.Waited(); }

  EmulatedDrive drive{kDriveIdentity};
  EmulatedPassThroughDrive handle{drive};
  PassThroughTransport transport{handle};
};

class AspiRig final : public Rig {
 public:
  AspiRig() {
    events.limitsElapse = true;
    layer.AddTarget(kHostAdapter, kTarget, kDriveIdentity);
  }
  EmulatedDrive& Drive() override { return *layer.Drives().at({kHostAdapter, kTarget}); }
  ScsiTransport& Transport() override { return target; }
  // ASPI gives up only on a command that writes nothing: a page write is
  // waited for however long it takes, so only the INQUIRY can go unanswered.
  void LeaveUnanswered(int page) override {
    ASSERT_EQ(page, 0) << "a page write left unanswered would be waited for for ever";
    layer.CarrierOf(kHostAdapter, kTarget).timing.inquiry = AnswerTiming::When::Never;
  }
  std::optional<std::chrono::milliseconds> CarrierWaited() const override {
    if (events.WaitLimits().empty()) return std::nullopt;
    return events.WaitLimits().back();
  }

  static constexpr std::uint8_t kHostAdapter = 0;
  static constexpr std::uint8_t kTarget = 1;
  EmulatedAspiLayer layer{SetFakeEvent, [this](std::chrono::milliseconds delay, std::function<void()> work) {
                            runner.Run(delay, std::move(work));
                          }};
  InProcessAspiLibrary library{layer};
  FakeEventFactory events;
  LaterRunner runner;
  std::unique_ptr<AspiTransport> transport = LoadAspiTransport(library, events).transport;
  AspiTarget target{*transport, kHostAdapter, kTarget};
};

class SgIoRig final : public Rig {
 public:
  EmulatedDrive& Drive() override { return drive; }
  ScsiTransport& Transport() override { return transport; }
  void LeaveUnanswered(int page) override { kernel.AddFault(kPath, SgFault{.page = page, .silent = true}); }
  std::optional<std::chrono::milliseconds> CarrierWaited() const override {
    if (kernel.Waited() == 0ms) return std::nullopt;
    return kernel.Waited();
  }

  static constexpr const char* kPath = "/dev/sr0";
  EmulatedDrive drive{kDriveIdentity};
  EmulatedSgNodes kernel;
  std::unique_ptr<DeviceNode> node = OpenedDrive();
  SgIoTransport transport{*node};

 private:
  std::unique_ptr<DeviceNode> OpenedDrive() {
    kernel.AddDrive(kPath, drive);
    return kernel.Open(kPath, O_RDWR).node;
  }
};

std::unique_ptr<Rig> MakeRig(Backend backend) {
  switch (backend) {
    case Backend::PassThrough: return std::make_unique<PassThroughRig>();
    case Backend::Aspi: return std::make_unique<AspiRig>();
    case Backend::SgIo: return std::make_unique<SgIoRig>();
  }
  return nullptr;
}

template <typename Concrete>
Concrete& As(Rig& rig) {
  return dynamic_cast<Concrete&>(rig);
}

// ---- what the test knows of the image without the code under test

std::vector<std::uint8_t> Firmware() { return ContentsWith(kImageSize, kTestKey, 4096); }

std::uint16_t Sum16(auto begin, auto end) {
  return static_cast<std::uint16_t>(std::accumulate(begin, end, 0u) & 0xFFFFu);
}

std::span<const std::uint8_t, kPageSize> PageOf(const std::vector<std::uint8_t>& image, int page) {
  return std::span<const std::uint8_t, kPageSize>(image.data() + (page - 1) * kPageSize, kPageSize);
}

// Every page's outcome as the front end is handed it, in order.
class OutcomeLog final : public PageOutcomeObserver {
 public:
  void PageSent(int page, const ScsiOutcome& outcome) override { pages.emplace_back(page, outcome); }
  std::vector<std::pair<int, ScsiOutcome>> pages;
};

struct FlashRun {
  RecordingObserver observer;
  OutcomeLog outcomes;
};

// A whole flash of the test image through the back end, as a front end runs it.
void Flash(Rig& rig, FlashRun& run) {
  ScsiPageChannel channel(rig.Transport(), run.outcomes);
  FakeFirmwareFile file(Firmware());
  FlashSequence(run.observer, file).Run(channel, kTestIdentity, "combo.bin");
}

void ExpectSense(const ScsiOutcome& outcome, SenseCode expected) {
  EXPECT_EQ(outcome.sense.key, expected.key);
  EXPECT_EQ(outcome.sense.asc, expected.asc);
  EXPECT_EQ(outcome.sense.ascq, expected.ascq);
}

const Backend kEveryBackend[] = {Backend::PassThrough, Backend::Aspi, Backend::SgIo};

std::string BackendName(const testing::TestParamInfo<Backend>& info) { return NameOf(info.param); }

// ---- the whole image, and a good INQUIRY

class EveryBackend : public testing::TestWithParam<Backend> {
 protected:
  std::unique_ptr<Rig> rig = MakeRig(GetParam());
};

TEST_P(EveryBackend, AWholeFlashLeavesEveryByteOfTheImageInTheDriveAndEveryPageGood) {
  FlashRun run;
  Flash(*rig, run);

  const std::vector<std::uint8_t> firmware = Firmware();
  EXPECT_EQ(rig->Drive().Verdict(), "image complete and consistent");
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), rig->Drive().Image().begin()));
  EXPECT_EQ(run.observer.AnnouncedChecksum(), Sum16(firmware.begin(), firmware.end()));
  ASSERT_EQ(run.outcomes.pages.size(), static_cast<std::size_t>(kPageCount));
  ASSERT_EQ(run.observer.Pages().size(), static_cast<std::size_t>(kPageCount));
  for (int page = 1; page <= kPageCount; ++page) {
    const auto& [sent, outcome] = run.outcomes.pages[page - 1];
    EXPECT_EQ(sent, page);
    EXPECT_EQ(outcome.kind, OutcomeKind::Good) << "page " << page;
    const auto bytes = PageOf(firmware, page);
    EXPECT_EQ(run.observer.Pages()[page - 1].checksum, Sum16(bytes.begin(), bytes.end())) << "page " << page;
    EXPECT_TRUE(run.observer.Pages()[page - 1].accepted) << "page " << page;
  }
  EXPECT_EQ(run.observer.RefusedPages(), 0);
}

TEST_P(EveryBackend, AnInquiryGivesThePeripheralByteAndTheWholeIdentity) {
  const InquiryAnswer answer = InquireIdentity(rig->Transport());

  EXPECT_EQ(answer.outcome.kind, OutcomeKind::Good);
  EXPECT_EQ(answer.peripheral, 0x05);
  EXPECT_EQ(answer.identity, "ACME    COMBO DVD/RW 52X1.02        ");
  EXPECT_TRUE(rig->Drive().Violations().empty()) << rig->Drive().Verdict();
}

TEST_P(EveryBackend, ARefusedInquiryIsTheDrivesStatusWithItsSenseAndNoIdentity) {
  rig->Drive().Behaviour().refuseInquiry = true;
  rig->Drive().Behaviour().refusalSense = {0x02, 0x04, 0x01};  // NOT READY, becoming ready

  const InquiryAnswer answer = InquireIdentity(rig->Transport());

  EXPECT_EQ(answer.outcome.kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(answer.outcome.scsiStatus, kCheckCondition);
  ExpectSense(answer.outcome, {0x02, 0x04, 0x01});
  EXPECT_EQ(answer.identity, "");
}

INSTANTIATE_TEST_SUITE_P(Backends, EveryBackend, testing::ValuesIn(kEveryBackend), BackendName);

// ---- a refused page: which one, and why

using RefusedCase = std::tuple<Backend, int>;

class RefusedPage : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedPage, OnlyThatPageComesBackAsTheDrivesStatusWithItsSenseAndTheRestAreWritten) {
  const auto [backend, refused] = GetParam();
  const std::unique_ptr<Rig> rig = MakeRig(backend);
  rig->Drive().Behaviour().refusedPage = refused;
  rig->Drive().Behaviour().refusalSense = {0x03, 0x0C, 0x00};  // MEDIUM ERROR, write error
  FlashRun run;

  Flash(*rig, run);

  ASSERT_EQ(run.outcomes.pages.size(), static_cast<std::size_t>(kPageCount));
  for (const auto& [page, outcome] : run.outcomes.pages) {
    if (page != refused) {
      EXPECT_EQ(outcome.kind, OutcomeKind::Good) << "page " << page;
      continue;
    }
    EXPECT_EQ(outcome.kind, OutcomeKind::ScsiStatus);
    EXPECT_EQ(outcome.scsiStatus, kCheckCondition);
    ExpectSense(outcome, {0x03, 0x0C, 0x00});
  }
  EXPECT_EQ(rig->Drive().PagesAccepted(), kPageCount - 1);
  EXPECT_EQ(run.observer.RefusedPages(), 1);
  // The refused page went out whole too: the drive only declined to keep it.
  const std::vector<std::uint8_t> firmware = Firmware();
  ASSERT_EQ(rig->Drive().Sequences().size(), 1u);
  EXPECT_TRUE(rig->Drive().Sequences()[0].sent == firmware);
}

// The first page, one inside and the last: where a page loop goes wrong.
INSTANTIATE_TEST_SUITE_P(Pages, RefusedPage, testing::Combine(testing::ValuesIn(kEveryBackend), testing::Values(1, 7, 32)),
                         [](const testing::TestParamInfo<RefusedCase>& row) {
                           return NameOf(std::get<0>(row.param)) + "Page" + std::to_string(std::get<1>(row.param));
                         });

// ---- a command the drive never answers: given up after the request's time-out

struct SilenceCase {
  Backend backend;
  int page;  // 0: the INQUIRY
  std::chrono::seconds timeout;
};

void PrintTo(const SilenceCase& c, std::ostream* out) {
  *out << NameOf(c.backend) << (c.page == 0 ? " INQUIRY" : " page " + std::to_string(c.page)) << " within "
       << c.timeout.count() << " s";
}

class UnansweredCommand : public testing::TestWithParam<SilenceCase> {};

TEST_P(UnansweredCommand, IsWaitedForAsLongAsTheRequestSaysAndThenIsNotGood) {
  const SilenceCase& c = GetParam();
  const std::unique_ptr<Rig> rig = MakeRig(c.backend);
  rig->LeaveUnanswered(c.page);
  const std::vector<std::uint8_t> firmware = Firmware();
  std::array<std::uint8_t, kInquiryDataLength> answer{};
  ScsiRequest request = MakeInquiryRequest(answer);
  PageWriteCommand command;
  if (c.page != 0) {
    const auto bytes = PageOf(firmware, c.page);
    command = BuildPageWriteCommand(c.page, Sum16(bytes.begin(), bytes.end()), Sum16(firmware.begin(), firmware.end()));
    request = MakePageWriteRequest(command, bytes);
  }
  request.timeout = c.timeout;

  const ScsiOutcome outcome = rig->Transport().Execute(request);

  EXPECT_NE(outcome.kind, OutcomeKind::Good);
  EXPECT_NE(outcome.kind, OutcomeKind::ScsiStatus) << "the drive said nothing";
  EXPECT_EQ(rig->CarrierWaited(), std::chrono::milliseconds(c.timeout));
  if (c.page == 0) {
    EXPECT_EQ(answer[0], 0) << "no answer reaches the caller";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnansweredCommand,
    testing::Values(SilenceCase{Backend::PassThrough, 0, 2s}, SilenceCase{Backend::PassThrough, 0, 7s},
                    SilenceCase{Backend::PassThrough, 5, 3s}, SilenceCase{Backend::Aspi, 0, 2s},
                    SilenceCase{Backend::Aspi, 0, 7s}, SilenceCase{Backend::SgIo, 0, 2s},
                    SilenceCase{Backend::SgIo, 0, 7s}, SilenceCase{Backend::SgIo, 5, 3s}),
    [](const testing::TestParamInfo<SilenceCase>& row) {
      const SilenceCase& c = row.param;
      return NameOf(c.backend) + (c.page == 0 ? "Inquiry" : "Page" + std::to_string(c.page)) + "Within" +
             std::to_string(c.timeout.count()) + "s";
    });

// ---- the carrier's own failures: told apart from the drive's, never good

struct CarrierCase {
  const char* name;
  Backend backend;
  std::function<void(Rig&)> arrange;
  int page;  // whose outcome is checked; 0: the INQUIRY, asked before the flash
  OutcomeKind kind;
  std::uint32_t systemError;
  std::uint32_t transportStatus;
  int refusedPages;  // of the flash
};

void PrintTo(const CarrierCase& c, std::ostream* out) { *out << c.name; }

class CarrierFault : public testing::TestWithParam<CarrierCase> {};

TEST_P(CarrierFault, IsTheCarriersFailureWithItsCodeAndNeverGood) {
  const CarrierCase& c = GetParam();
  const std::unique_ptr<Rig> rig = MakeRig(c.backend);
  c.arrange(*rig);
  const InquiryAnswer inquiry = InquireIdentity(rig->Transport());
  FlashRun run;
  Flash(*rig, run);

  ASSERT_EQ(run.outcomes.pages.size(), static_cast<std::size_t>(kPageCount));
  const ScsiOutcome& outcome = c.page == 0 ? inquiry.outcome : run.outcomes.pages[c.page - 1].second;
  EXPECT_EQ(outcome.kind, c.kind);
  EXPECT_EQ(outcome.systemError, c.systemError);
  EXPECT_EQ(outcome.transportStatus, c.transportStatus);
  if (c.page == 0) {
    EXPECT_EQ(inquiry.identity, "");
  }
  EXPECT_EQ(run.observer.RefusedPages(), c.refusedPages);
}

SgFault SgFaultAt(int page, int ioctlError, std::uint8_t hostStatus = 0, std::uint8_t driverStatus = 0) {
  return {.page = page, .ioctlError = ioctlError, .hostStatus = hostStatus, .driverStatus = driverStatus};
}

std::function<void(Rig&)> SgKernelFault(SgFault fault) {
  return [fault](Rig& rig) { As<SgIoRig>(rig).kernel.AddFault(SgIoRig::kPath, fault); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CarrierFault,
    testing::Values(
        CarrierCase{"PassThroughCallFailsOnTheInquiry", Backend::PassThrough,
                    [](Rig& rig) { As<PassThroughRig>(rig).handle.FailCallsWith(1117); }, 0, OutcomeKind::SystemError,
                    1117, 0, kPageCount},
        CarrierCase{"PassThroughCallFailsOnAPage", Backend::PassThrough,
                    [](Rig& rig) { As<PassThroughRig>(rig).handle.FailCallsWith(5); }, 3, OutcomeKind::SystemError, 5,
                    0, kPageCount},
        // A refusal the layer reports with a status of its own, not SS_ERR: the layer's word, not the drive's.
        CarrierCase{"AspiLayerStatusForARefusedPage", Backend::Aspi,
                    [](Rig& rig) {
                      rig.Drive().Behaviour().refusedPage = 9;
                      As<AspiRig>(rig).layer.CarrierOf(AspiRig::kHostAdapter, AspiRig::kTarget).refusalStatus = 0xE1;
                    },
                    9, OutcomeKind::TransportStatus, 0, 0xE1, 1},
        CarrierCase{"AspiLayerStatusForARefusedInquiry", Backend::Aspi,
                    [](Rig& rig) {
                      rig.Drive().Behaviour().refuseInquiry = true;
                      As<AspiRig>(rig).layer.CarrierOf(AspiRig::kHostAdapter, AspiRig::kTarget).refusalStatus = 0xE1;
                    },
                    0, OutcomeKind::TransportStatus, 0, 0xE1, 0},
        CarrierCase{"SgIoctlEio", Backend::SgIo, SgKernelFault(SgFaultAt(3, EIO)), 3, OutcomeKind::SystemError, EIO, 0,
                    1},
        CarrierCase{"SgIoctlEbusy", Backend::SgIo, SgKernelFault(SgFaultAt(7, EBUSY)), 7, OutcomeKind::SystemError,
                    EBUSY, 0, 1},
        CarrierCase{"SgIoctlEioOnTheInquiry", Backend::SgIo, SgKernelFault(SgFaultAt(0, EIO)), 0,
                    OutcomeKind::SystemError, EIO, 0, 0},
        CarrierCase{"SgHostNoConnect", Backend::SgIo, SgKernelFault(SgFaultAt(1, 0, 0x01)), 1,
                    OutcomeKind::TransportStatus, 0, 0x010000, 1},
        CarrierCase{"SgHostTimeOut", Backend::SgIo, SgKernelFault(SgFaultAt(32, 0, 0x03)), 32,
                    OutcomeKind::TransportStatus, 0, 0x030000, 1},
        CarrierCase{"SgDriverTimeout", Backend::SgIo, SgKernelFault(SgFaultAt(16, 0, 0, 0x06)), 16,
                    OutcomeKind::TransportStatus, 0, 0x06, 1},
        CarrierCase{"SgHostAndDriver", Backend::SgIo, SgKernelFault(SgFaultAt(9, 0, 0x07, 0x08)), 9,
                    OutcomeKind::TransportStatus, 0, 0x070008, 1},
        CarrierCase{"SgSenseFlagWithoutStatus", Backend::SgIo, SgKernelFault(SgFaultAt(2, 0, 0, 0x08)), 2,
                    OutcomeKind::TransportStatus, 0, 0x08, 1}),
    [](const testing::TestParamInfo<CarrierCase>& row) { return std::string(row.param.name); });

}  // namespace
