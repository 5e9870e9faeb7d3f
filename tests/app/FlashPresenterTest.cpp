// The main dialog's logic against its window in memory and the emulated
// drive behind each mechanism: every verdict of the engine and every page
// outcome, in both modes, gives the texts, boxes, log, status line and
// progress users know, written down here rather than taken from the code.
#include "app/FlashPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "testing/app/RecordingView.h"
#include "testing/aspi/EmulatedAspiLayer.h"
#include "testing/aspi/FakeCompletionEvents.h"
#include "testing/aspi/InProcessAspiLibrary.h"
#include "testing/drive/EmulatedDriveSystem.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"

void PrintTo(const ViewBox& box, std::ostream* out) {
  *out << '"' << box.caption << "\" / \"" << box.text << "\" / icon " << static_cast<unsigned>(box.icon);
}

namespace {

const InquiryData kAcme{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"};
// The rows discovery lists for that drive as E:: all 36 identity characters
// in pass-through mode, 28 in ASPI mode.
const std::string kPassThroughRow = "E:\\ ACME    COMBO DVD/RW 52X1.02        ";
const std::string kAspiRow = "E:\\ ACME    COMBO DVD/RW 52X1.02";
const std::string kBinPath = "C:\\firmware\\combo.bin";
const std::string kBlankStatus(25, ' ');
const std::string kProcessing = "Drive E: is processing";

const ViewBox kFlashNow{"Status", "Flash Now!Please don't Power off!", MessageIcon::Information};
const ViewBox kComplete{"Status", "Flash Complete!", MessageIcon::Information};
const ViewBox kAspiComplete{"Status", "Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!",
                            MessageIcon::Information};
const ViewBox kOneFailed{"Status", "Flash Failed!\r\n1 of 32 pages were not written.", MessageIcon::Stop};
const ViewBox kMismatch{"", "This firmware does not match your drive!", MessageIcon::Stop};
const ViewBox kNotBin{"Error Message", "No Bin file to Open!", MessageIcon::Information};
const ViewBox kOpenError{"Error", "Open binary file error", MessageIcon::None};
const ViewBox kEmpty{"Error", "The firmware file is empty!", MessageIcon::None};
const ViewBox kTooLarge{"Error", "The firmware file is larger than 512 KB!", MessageIcon::None};
const ViewBox kReadError{"Error", "Read binary file error", MessageIcon::None};
const ViewBox kNoDrive{"Error Status", "No drive Select!", MessageIcon::Information};
const ViewBox kHandleError{"Error", "Drive handle error", MessageIcon::None};
const ViewBox kCommandNotComplete{"Satus Message", "Command Not Complete!", MessageIcon::Information};
const ViewBox kSrbError{"Status Message", "SRB completed with error!", MessageIcon::Information};
const ViewBox kNoLayer{"Error Status", "Load wnaspi32.dll Fail!", MessageIcon::Information};
const ViewBox kNoEntryPoints{"Error Status", "Get ASPI32 Information and Send Command Error!", MessageIcon::Information};
const ViewBox kIoDeviceError{"Status Error Message", "Error code:1117", MessageIcon::Information};

std::string PageLine(int page, const std::string& hex) {
  return "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum: " + hex + "\r\n";
}

// The drive's key at offset 0 of a 1,000-byte file: image and page 1 sum to
// 0x05bb, the other pages to 0.
std::vector<std::uint8_t> GoodFirmware() {
  std::vector<std::uint8_t> contents(1000, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  return contents;
}

std::string GoodFirmwareLog() {
  std::string log = "Firmware Checksum:  5bb\r\n" + PageLine(1, " 5bb");
  for (int page = 2; page <= kPageCount; ++page) log += PageLine(page, "   0");
  return log;
}

enum class File { Good, Hex, NotBin, OpenFails, Empty, TooLarge, ReadFails, OtherDrive };
enum class Mark { ListedRow, Nothing, OtherLetter };
enum class Layer { Loads, Missing, Incomplete };

// One machine and one dialog on it: the emulated drive as E:, behind
// pass-through requests or behind an ASPI layer at host adapter 0, target 0.
class Machine {
 public:
  Machine(TransportMode mode, DriveBehaviour behaviour, File file, Layer layerState = Layer::Loads,
          std::optional<std::uint32_t> callError = std::nullopt)
      : firmware_(Contents(file), Faults(file)) {
    if (layerState == Layer::Missing) library_.loadableNames.clear();
    if (layerState == Layer::Incomplete) library_.exportsSendCommand = false;
    if (mode == TransportMode::PassThrough) {
      drive_ = std::make_unique<EmulatedDrive>(kAcme, behaviour);
      system_ = std::make_unique<EmulatedDriveSystem>(
          std::vector<EmulatedRoot>{{'C', kDriveTypeFixed}, {'E', kDriveTypeCdRom, true, drive_.get(), callError}});
    } else {
      drive_ = nullptr;
      aspiDrive_ = &layer_.AddTarget(0, 0, kAcme, behaviour);
      system_ = std::make_unique<EmulatedDriveSystem>(
          std::vector<EmulatedRoot>{{'C', kDriveTypeFixed}, {'E', kDriveTypeCdRom}});
    }
    view.firstFile = PathOf(file);
    presenter = std::make_unique<FlashPresenter>(view, mode, *system_, firmware_, library_, events_);
  }

  EmulatedDrive& Drive() { return drive_ ? *drive_ : *aspiDrive_; }

 private:
  static std::string PathOf(File file) {
    if (file == File::Hex) return "C:\\firmware\\combo.hex";
    if (file == File::NotBin) return "C:\\firmware\\combo.txt";
    return kBinPath;
  }
  static std::vector<std::uint8_t> Contents(File file) {
    switch (file) {
      case File::Empty: return {};
      case File::TooLarge: return std::vector<std::uint8_t>(kImageSize + 1, 0);
      case File::OtherDrive: return ContentsWith(1000, "ACME    COMBO DVD/RW 48X", 0);
      default: return GoodFirmware();
    }
  }
  static FileFaults Faults(File file) {
    if (file == File::OpenFails) return {.open = true};
    if (file == File::ReadFails) return {.read = true};
    return {};
  }

  EmulatedAspiLayer layer_{SetFakeEvent, [](auto, auto) {}};
  InProcessAspiLibrary library_{layer_};
  FakeEventFactory events_;
  std::unique_ptr<EmulatedDrive> drive_;
  EmulatedDrive* aspiDrive_ = nullptr;
  std::unique_ptr<EmulatedDriveSystem> system_;
  FakeFirmwareFile firmware_;

 public:
  // Last, so the presenter, with the layer it holds, goes first.
  RecordingView view;
  std::unique_ptr<FlashPresenter> presenter;
};

struct FlashCase {
  const char* name;
  TransportMode mode;
  File file = File::Good;
  DriveBehaviour drive = {};
  std::optional<std::uint32_t> callError = {};  // pass-through: every request fails with it
  Mark mark = Mark::ListedRow;
  Layer layer = Layer::Loads;
  std::vector<ViewBox> startBoxes = {};  // shown while the dialog starts
  std::vector<ViewBox> flashBoxes = {};  // shown by the Flash press, in order
  bool written = false;                  // all 32 pages sent: the log, the steps, a blank status
  std::string statusAfter = kProcessing; // when nothing was written
  int pagesAccepted = 0;                 // by the drive
  int logsBeforeDriveBox = -1;           // where the first drive box falls among the log updates
};

void PrintTo(const FlashCase& row, std::ostream* out) { *out << row.name; }

DriveBehaviour Refusing(int page) {
  DriveBehaviour behaviour;
  behaviour.refusedPage = page;
  return behaviour;
}

class FlashPress : public testing::TestWithParam<FlashCase> {};

TEST_P(FlashPress, ShowsTheBoxesLogStatusAndProgressOfTheCase) {
  const FlashCase& row = GetParam();
  Machine machine(row.mode, row.drive, row.file, row.layer, row.callError);
  RecordingView& view = machine.view;
  machine.presenter->Start();
  EXPECT_EQ(view.Boxes(), row.startBoxes);
  view.ForgetCalls();

  const std::string& listed = row.mode == TransportMode::PassThrough ? kPassThroughRow : kAspiRow;
  switch (row.mark) {
    case Mark::ListedRow: view.markedRow = view.Rows().empty() ? listed : view.Rows()[0]; break;
    case Mark::Nothing: view.markedRow = std::nullopt; break;
    case Mark::OtherLetter: view.markedRow = "F:\\ " + listed.substr(4); break;
  }
  machine.presenter->Flash();

  EXPECT_EQ(view.Boxes(), row.flashBoxes);
  if (row.written) {
    EXPECT_EQ(view.Log(), GoodFirmwareLog());
    EXPECT_EQ(view.Status(), kBlankStatus);
    EXPECT_EQ(view.ProgressPosition(), kPageCount);
  } else {
    EXPECT_EQ(view.Log(), "");
    EXPECT_EQ(view.Status(), row.statusAfter);
    EXPECT_EQ(view.ProgressPosition(), 0);
  }
  EXPECT_EQ(machine.Drive().PagesAccepted(), row.pagesAccepted);
  EXPECT_FALSE(view.InDriveWork());
  if (row.logsBeforeDriveBox >= 0) {
    const auto& calls = view.Calls();
    const auto box = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
      return call.starts_with("box ") && !call.starts_with("box Status|");
    });
    ASSERT_NE(box, calls.end());
    EXPECT_EQ(std::count(calls.begin(), box, "log"), row.logsBeforeDriveBox);
  }
}

constexpr auto PT = TransportMode::PassThrough;
constexpr auto ASPI = TransportMode::Aspi;

INSTANTIATE_TEST_SUITE_P(
    Cases, FlashPress,
    testing::Values(
        FlashCase{.name = "PassThroughComplete", .mode = PT, .flashBoxes = {kFlashNow, kComplete}, .written = true,
                  .pagesAccepted = 32},
        FlashCase{.name = "AspiComplete", .mode = ASPI, .flashBoxes = {kFlashNow, kAspiComplete}, .written = true,
                  .pagesAccepted = 32},
        // The page's box comes before its log line: after the first line and page 6's.
        FlashCase{.name = "PassThroughPageRefused", .mode = PT, .drive = Refusing(7),
                  .flashBoxes = {kFlashNow, kCommandNotComplete, kOneFailed}, .written = true, .pagesAccepted = 31,
                  .logsBeforeDriveBox = 7},
        FlashCase{.name = "AspiPageRefused", .mode = ASPI, .drive = Refusing(7),
                  .flashBoxes = {kFlashNow, kSrbError, kOneFailed}, .written = true, .pagesAccepted = 31,
                  .logsBeforeDriveBox = 7},
        // A drive whose every request fails: its row has no identity, so nothing matches it.
        FlashCase{.name = "PassThroughDriveNeverAnswers", .mode = PT, .callError = 1117,  // ERROR_IO_DEVICE
                  .startBoxes = {kIoDeviceError}, .flashBoxes = {kMismatch}},
        // A refused file: its verdict's box, and nothing else. Each verdict in
        // one mode or the other (a run is the same in both), the identity's in
        // both, since each mode's row carries it differently.
        FlashCase{.name = "PassThroughMismatch", .mode = PT, .file = File::OtherDrive, .flashBoxes = {kMismatch}},
        FlashCase{.name = "AspiMismatch", .mode = ASPI, .file = File::OtherDrive, .flashBoxes = {kMismatch}},
        FlashCase{.name = "AspiHexPath", .mode = ASPI, .file = File::Hex},
        FlashCase{.name = "PassThroughNotBin", .mode = PT, .file = File::NotBin, .flashBoxes = {kNotBin}},
        FlashCase{.name = "PassThroughOpenFails", .mode = PT, .file = File::OpenFails, .flashBoxes = {kOpenError}},
        FlashCase{.name = "AspiEmpty", .mode = ASPI, .file = File::Empty, .flashBoxes = {kEmpty}},
        FlashCase{.name = "AspiTooLarge", .mode = ASPI, .file = File::TooLarge, .flashBoxes = {kTooLarge}},
        FlashCase{.name = "PassThroughReadFails", .mode = PT, .file = File::ReadFails, .flashBoxes = {kReadError}},
        FlashCase{.name = "PassThroughNoDriveMarked", .mode = PT, .mark = Mark::Nothing, .flashBoxes = {kNoDrive},
                  .statusAfter = ""},
        FlashCase{.name = "AspiNoDriveMarked", .mode = ASPI, .mark = Mark::Nothing, .flashBoxes = {kNoDrive},
                  .statusAfter = ""},
        FlashCase{.name = "PassThroughDriveDoesNotOpen", .mode = PT, .mark = Mark::OtherLetter,
                  .flashBoxes = {kHandleError}, .statusAfter = "Drive F: is processing"},
        // No table row has the letter: nothing at all.
        FlashCase{.name = "AspiNoTableRow", .mode = ASPI, .mark = Mark::OtherLetter,
                  .statusAfter = "Drive F: is processing"},
        // Without a layer the list stays empty, so no row can be marked.
        FlashCase{.name = "AspiNoLayer", .mode = ASPI, .mark = Mark::Nothing, .layer = Layer::Missing,
                  .startBoxes = {kNoLayer}, .flashBoxes = {kNoDrive}, .statusAfter = ""},
        FlashCase{.name = "AspiIncompleteLayer", .mode = ASPI, .mark = Mark::Nothing, .layer = Layer::Incomplete,
                  .startBoxes = {kNoEntryPoints}, .flashBoxes = {kNoDrive}, .statusAfter = ""}),
    [](const testing::TestParamInfo<FlashCase>& row) { return std::string(row.param.name); });

// ---- start-up and Select

struct StartCase {
  const char* name;
  TransportMode mode;
  std::optional<std::string> firstFile;
  std::vector<std::string> calls;
};

void PrintTo(const StartCase& row, std::ostream* out) { *out << row.name; }

class StartUp : public testing::TestWithParam<StartCase> {};

TEST_P(StartUp, PreselectsTheFileListsTheDriveSetsUpProgressAndTheFlashButton) {
  Machine machine(GetParam().mode, {}, File::Good);
  machine.view.firstFile = GetParam().firstFile;
  machine.presenter->Start();
  EXPECT_EQ(machine.view.Calls(), GetParam().calls);
  EXPECT_EQ(machine.view.ProgressRange(), 32);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, StartUp,
    testing::Values(StartCase{"PassThroughWithFile", PT, kBinPath,
                              {"path " + kBinPath, "prepare", "row 0 " + kPassThroughRow, "progress 32", "flash on"}},
                    StartCase{"PassThroughWithoutFile", PT, std::nullopt,
                              {"prepare", "row 0 " + kPassThroughRow, "progress 32", "flash off"}},
                    StartCase{"AspiWithFile", ASPI, kBinPath,
                              {"path " + kBinPath, "prepare", "row 0 " + kAspiRow, "progress 32", "flash on"}}),
    [](const testing::TestParamInfo<StartCase>& row) { return std::string(row.param.name); });

TEST(Select, ConfirmedShowsThePathAndEnablesFlashCancelledChangesNothing) {
  Machine machine(PT, {}, File::Good);
  machine.view.firstFile = std::nullopt;
  machine.presenter->Start();
  EXPECT_FALSE(machine.view.FlashEnabled());

  machine.view.chosenFile = std::nullopt;
  machine.presenter->Select();
  EXPECT_EQ(machine.view.FilePath(), "");
  EXPECT_FALSE(machine.view.FlashEnabled());

  machine.view.chosenFile = "D:\\new\\other.bin";
  machine.presenter->Select();
  EXPECT_EQ(machine.view.FilePath(), "D:\\new\\other.bin");
  EXPECT_TRUE(machine.view.FlashEnabled());

  machine.view.ForgetCalls();
  machine.view.chosenFile = std::nullopt;
  machine.presenter->Select();
  EXPECT_EQ(machine.view.Calls(), std::vector<std::string>{"flash on"});
}

// The path Select chose, not the preselected one, is what a run loads.
TEST(Select, TheChosenFileIsTheOneFlashed) {
  Machine machine(PT, {}, File::Good);
  machine.presenter->Start();
  machine.view.chosenFile = "C:\\firmware\\combo.hex";
  machine.presenter->Select();
  machine.view.markedRow = kPassThroughRow;
  machine.presenter->Flash();
  EXPECT_TRUE(machine.view.Boxes().empty());  // a HEX path ends the run without a word
  EXPECT_EQ(machine.Drive().PagesAccepted(), 0);
}

// Two Flash presses in one session: the drive takes the second as a fresh
// flash, and the dialog shows that run's own verdict.
struct TwiceCase {
  const char* name;
  DriveBehaviour drive;
  std::vector<ViewBox> secondBoxes;
  int secondAccepted;
};

void PrintTo(const TwiceCase& row, std::ostream* out) { *out << row.name; }

DriveBehaviour RefusingInSecondFlash(int page) {
  DriveBehaviour behaviour = Refusing(page);
  behaviour.refusedInSequence = 2;
  return behaviour;
}

class FlashPressTwice : public testing::TestWithParam<TwiceCase> {};

TEST_P(FlashPressTwice, SecondRunStartsTheLogAfreshStepsTheBarOnAndShowsItsOwnVerdict) {
  const TwiceCase& row = GetParam();
  Machine machine(ASPI, row.drive, File::Good);
  machine.presenter->Start();
  machine.view.markedRow = machine.view.Rows().at(0);
  machine.presenter->Flash();
  EXPECT_EQ(machine.view.Boxes(), (std::vector<ViewBox>{kFlashNow, kAspiComplete}));
  machine.view.ForgetCalls();
  machine.presenter->Flash();

  EXPECT_EQ(machine.view.Boxes(), row.secondBoxes);
  const auto& calls = machine.view.Calls();
  // The status, then the first log update is the new run's first line alone.
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "status " + kProcessing);
  EXPECT_EQ(calls[1], "work begins");
  EXPECT_EQ(calls[2], "log");
  EXPECT_EQ(machine.view.Log(), GoodFirmwareLog());
  EXPECT_EQ(machine.view.Status(), kBlankStatus);
  // 64 steps on a bar of 32: the control starts over once it passes the top.
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "step"), kPageCount);
  EXPECT_EQ(machine.view.ProgressPosition(), kPageCount);
  EXPECT_EQ(calls.back(), "work ends");
  ASSERT_EQ(machine.Drive().Sequences().size(), 2u);
  EXPECT_EQ(machine.Drive().Sequences()[0].PagesAccepted(), kPageCount);
  EXPECT_EQ(machine.Drive().PagesAccepted(), row.secondAccepted);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, FlashPressTwice,
    testing::Values(TwiceCase{"BothWhole", {}, {kFlashNow, kAspiComplete}, kPageCount},
                    TwiceCase{"SecondRefused", RefusingInSecondFlash(7), {kFlashNow, kSrbError, kOneFailed}, 31}),
    [](const testing::TestParamInfo<TwiceCase>& row) { return std::string(row.param.name); });

}  // namespace
