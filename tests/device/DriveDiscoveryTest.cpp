#include "device/windows-rules/DriveDiscovery.h"

#include <gtest/gtest.h>

#include "AspiFixture.h"
#include "DeviceTestSupport.h"
#include "testing/drive/EmulatedDriveSystem.h"

namespace {

using namespace std::chrono_literals;
using Rows = std::vector<ListRow>;

const std::string kBlanks8(8, ' ');

InquiryData Identity(const std::string& product, std::uint8_t peripheral = 0x05) {
  return {peripheral, "VENDOR", product, "1.00"};
}
// The 28 characters of vendor, product and revision.
std::string Short(const std::string& product) {
  std::string text = "VENDOR  " + product;
  text.resize(24, ' ');
  return text + "1.00";
}

// ---- pass-through mode

TEST(ListPassThroughDrives, ListsEveryCdRomThatOpensWithItsWholeIdentity) {
  EmulatedDrive answering(Identity("FIRST"));
  EmulatedDrive refusing(Identity("SECOND"));
  refusing.Behaviour().refuseInquiry = true;
  EmulatedDrive failing(Identity("THIRD"));
  EmulatedDriveSystem system({{'C', kDriveTypeFixed},
                              {'D', kDriveTypeCdRom, true, &answering},
                              {'E', kDriveTypeCdRom, false, &answering},
                              {'F', kDriveTypeCdRom, true, &refusing},
                              {'G', kDriveTypeCdRom, true, &failing, 1}});
  RecordingOutcomes outcomes;
  RecordingListView list;

  ListPassThroughDrives(system, list, outcomes);

  EXPECT_EQ(list.rows, (Rows{{0, "D:\\ " + Short("FIRST") + kBlanks8}, {1, "F:\\ "}, {2, "G:\\ "}}));
  EXPECT_EQ(system.OpenedPaths(),
            (std::vector<std::string>{"\\\\.\\C:", "\\\\.\\D:", "\\\\.\\E:", "\\\\.\\F:", "\\\\.\\G:"}));
  EXPECT_EQ(system.HandlesOpen(), 0);
  // One INQUIRY per CD-ROM that opened, each outcome handed on in order.
  ASSERT_EQ(outcomes.inquiries.size(), 3u);
  EXPECT_EQ(outcomes.inquiries[0].kind, OutcomeKind::Good);
  EXPECT_EQ(outcomes.inquiries[1].kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(outcomes.inquiries[2].kind, OutcomeKind::SystemError);
  EXPECT_EQ(outcomes.inquiries[2].systemError, 1u);
}

TEST(ListPassThroughDrives, MachineWithoutCdRomGivesAnEmptyList) {
  EmulatedDriveSystem system({{'C', kDriveTypeFixed}, {'Z', kDriveTypeFixed}});
  RecordingOutcomes outcomes;
  RecordingListView list;
  ListPassThroughDrives(system, list, outcomes);
  EXPECT_TRUE(list.rows.empty());
  EXPECT_TRUE(outcomes.inquiries.empty());
}

// ---- ASPI mode

class AspiDiscoveryTest : public AspiFixture, public testing::Test {
 protected:
  AspiDiscoveryTest() { ClearDriveTable(table); }

  void List(std::vector<EmulatedRoot> roots, std::chrono::milliseconds wait = kAspiAnswerWait) {
    EmulatedDriveSystem system(std::move(roots));
    const auto transport = LoadTransport(wait);
    ListAspiDrives(system, transport.get(), table, list, outcomes);
  }
  std::vector<std::uint32_t> Statuses() const {
    std::vector<std::uint32_t> statuses;
    for (const ScsiOutcome& outcome : outcomes.inquiries) statuses.push_back(outcome.transportStatus);
    return statuses;
  }
  static std::vector<EmulatedRoot> CdRoms(const std::string& letters) {
    std::vector<EmulatedRoot> roots{{'C', kDriveTypeFixed}};
    for (const char letter : letters) roots.push_back({letter, kDriveTypeCdRom});
    return roots;
  }

  DriveTable table;
  RecordingListView list;
  RecordingOutcomes outcomes;
};

TEST_F(AspiDiscoveryTest, LettersPairWithDevicesInScanOrder) {
  layer.AddTarget(0, 1, Identity("AT ONE"));
  layer.AddTarget(0, 0, Identity("AT ZERO"));
  List(CdRoms("EF"));

  EXPECT_EQ(table[0].driveLetter, 'E');
  EXPECT_EQ(table[0].target, 0);
  EXPECT_EQ(table[1].driveLetter, 'F');
  EXPECT_EQ(table[1].target, 1);
  EXPECT_EQ(IdentityOf(table[0]), Short("AT ZERO"));
  EXPECT_EQ(list.rows, (Rows{{0, "E:\\ " + Short("AT ZERO")}, {1, "F:\\ " + Short("AT ONE")}}));
}

TEST_F(AspiDiscoveryTest, LetterWithoutADevicePointsAtAdapterZeroTargetZero) {
  layer.SetHostAdapterCount(2);
  layer.AddTarget(1, 3, Identity("A"));
  layer.AddTarget(1, 4, Identity("B"));
  List(CdRoms("EFG"));

  EXPECT_EQ(table[2].driveLetter, 'G');
  EXPECT_EQ(table[2].hostAdapter, 0);
  EXPECT_EQ(table[2].target, 0);
  EXPECT_EQ(list.rows.back(), (ListRow{2, "G:\\ "}));
}

TEST_F(AspiDiscoveryTest, DevicesBeyondTheLettersKeepNoLetter) {
  for (std::uint8_t target = 0; target < 3; ++target) layer.AddTarget(0, target, Identity("X"));
  List(CdRoms("E"));

  EXPECT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(table[1].driveLetter, 0);
  EXPECT_EQ(table[2].driveLetter, 0);
  EXPECT_EQ(table[2].target, 2);
  EXPECT_EQ(IdentityOf(table[2]), Short("X") + kBlanks8);  // not cut: never paired
}

TEST_F(AspiDiscoveryTest, OnlyPeripheralTypeFiveCountsWhateverTheQualifier) {
  layer.AddTarget(0, 0, Identity("DISK", 0x00));
  layer.AddTarget(0, 1, Identity("QUALIFIED", 0x25));
  layer.AddTarget(0, 2, Identity("SCANNER", 0x06));
  List(CdRoms("E"));

  EXPECT_EQ(table[0].target, 1);
  EXPECT_EQ(table[1].hostAdapter, 0);
  EXPECT_EQ(IdentityOf(table[1]), "");
  EXPECT_EQ(list.rows, (Rows{{0, "E:\\ " + Short("QUALIFIED")}}));
}

TEST_F(AspiDiscoveryTest, EveryTargetOfEveryAdapterIsAskedInOrder) {
  layer.SetHostAdapterCount(2);
  List(CdRoms(""));

  const auto requests = layer.Requests();
  ASSERT_EQ(requests.size(), 16u);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].hostAdapter, i / 8);
    EXPECT_EQ(requests[i].target, i % 8);
  }
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(Statuses(), std::vector<std::uint32_t>(16, 0x82));  // every target empty
}

TEST_F(AspiDiscoveryTest, NoAdaptersMeansNoInquiry) {
  layer.SetHostAdapterCount(0);
  List(CdRoms("E"));
  EXPECT_TRUE(layer.Requests().empty());
  EXPECT_EQ(list.rows, (Rows{{0, "E:\\ "}}));
}

TEST_F(AspiDiscoveryTest, FailingTargetsShowTheirStatusOnceAndAreNotRecorded) {
  DriveBehaviour refusing;
  refusing.refuseInquiry = true;
  AspiTargetCarrier silent;
  silent.timing.inquiry = AnswerTiming::When::Never;
  layer.AddTarget(0, 0, Identity("REFUSES"), refusing);
  layer.AddTarget(0, 1, Identity("SILENT"), {}, silent);
  layer.AddTarget(0, 2, Identity("GOOD"));
  List(CdRoms("E"), 5ms);

  EXPECT_EQ(table[0].target, 2);
  EXPECT_EQ(IdentityOf(table[1]), "");
  ASSERT_EQ(outcomes.inquiries.size(), 8u);
  EXPECT_EQ(outcomes.inquiries[0].kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(outcomes.inquiries[0].transportStatus, 0x04u);
  EXPECT_EQ(outcomes.inquiries[1].kind, OutcomeKind::SystemError);  // no answer in time
  EXPECT_EQ(outcomes.inquiries[2].kind, OutcomeKind::Good);
}

TEST_F(AspiDiscoveryTest, SixteenRowsAtMostForDevicesAndForLetters) {
  layer.SetHostAdapterCount(3);
  for (std::uint8_t adapter = 0; adapter < 3; ++adapter) {
    for (std::uint8_t target = 0; target < 6; ++target) layer.AddTarget(adapter, target, Identity("D" + std::to_string(adapter * 8 + target)));
  }
  List(CdRoms("DEFGHIJKLMNOPQRSTU"));  // 18 letters, 18 devices

  EXPECT_EQ(table[15].hostAdapter, 2);
  EXPECT_EQ(table[15].target, 3);
  ASSERT_EQ(list.rows.size(), 16u);
  EXPECT_EQ(list.rows.back().text, "S:\\ " + Short("D19"));
}

TEST_F(AspiDiscoveryTest, LowerCaseRootsAreUpperCased) {
  layer.AddTarget(0, 0, Identity("X"));
  List({{'e', kDriveTypeCdRom}});
  EXPECT_EQ(table[0].driveLetter, 'E');
  EXPECT_EQ(list.rows, (Rows{{0, "E:\\ " + Short("X")}}));
}

TEST_F(AspiDiscoveryTest, WithoutALoadedLayerTheListStaysEmpty) {
  library.loadableNames.clear();
  layer.AddTarget(0, 0, Identity("X"));
  List(CdRoms("E"));
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(table[0].driveLetter, 0);
  EXPECT_TRUE(outcomes.inquiries.empty());
}

}  // namespace
