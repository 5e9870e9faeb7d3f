// The page channel: every page's outcome handed to the front end in turn,
// nothing sent for a page outside the image, and an ASPI flash run to the one
// device addressed. The whole image over every back end is the transport
// contract's.
#include "device/core/ScsiPageChannel.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "AspiFixture.h"
#include "DeviceTestSupport.h"
#include "device/windows-rules/PassThroughTransport.h"
#include "flash/FlashSequence.h"
#include "testing/drive/EmulatedPassThroughDrive.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingObserver.h"

namespace {

const InquiryData kTestDrive{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"};

std::vector<std::uint8_t> Firmware() { return ContentsWith(kImageSize, kTestKey, 4096); }

std::vector<int> PagesObserved(const RecordingOutcomes& outcomes) {
  std::vector<int> pages;
  for (const auto& [page, outcome] : outcomes.pages) pages.push_back(page);
  return pages;
}

std::vector<int> OneTo32() {
  std::vector<int> pages(kPageCount);
  for (int page = 1; page <= kPageCount; ++page) pages[page - 1] = page;
  return pages;
}

TEST(ScsiPageChannel, EveryPagesOutcomeReachesTheFrontEndBeforeTheRunGoesOn) {
  EmulatedDrive drive(kTestDrive);
  drive.Behaviour().refusedPage = 3;
  EmulatedPassThroughDrive handle(drive);
  PassThroughTransport transport(handle);
  RecordingOutcomes outcomes;
  ScsiPageChannel channel(transport, outcomes);
  const TestFirmware firmware;

  for (int page = 1; page <= 4; ++page) {
    EXPECT_EQ(channel.WritePage(firmware.commands[page - 1], firmware.image), page != 3);
    ASSERT_EQ(outcomes.pages.size(), static_cast<std::size_t>(page));
    EXPECT_EQ(outcomes.pages.back().second.IsGood(), page != 3);
  }
}

TEST(ScsiPageChannel, PageNumberOutsideTheImageIsRefusedBeforeAnythingIsSentOrObserved) {
  EmulatedDrive drive(kTestDrive);
  EmulatedPassThroughDrive handle(drive);
  PassThroughTransport transport(handle);
  RecordingOutcomes outcomes;
  ScsiPageChannel channel(transport, outcomes);
  const TestFirmware firmware;

  for (const int page : {0, 33, 255}) {
    EXPECT_FALSE(channel.WritePage(CommandForPage(page), firmware.image)) << page;
  }
  EXPECT_TRUE(handle.Calls().empty());
  EXPECT_TRUE(outcomes.pages.empty());
}

class AspiPageChannelTest : public AspiFixture, public testing::Test {};

TEST_F(AspiPageChannelTest, FlashRunWritesTheWholeImageToTheAddressedDevice) {
  layer.SetHostAdapterCount(2);
  layer.SetCompletion(EmulatedAspiLayer::Completion::Deferred, std::chrono::milliseconds(1));
  EmulatedDrive& other = layer.AddTarget(0, 1, kTestDrive);
  EmulatedDrive& drive = layer.AddTarget(1, 2, kTestDrive);
  const auto transport = LoadTransport();
  AspiTarget device(*transport, 1, 2);
  RecordingOutcomes outcomes;
  ScsiPageChannel channel(device, outcomes);
  RecordingObserver observer;
  FakeFirmwareFile file(Firmware());

  FlashSequence(observer, file).Run(channel, kTestIdentity, "firmware.bin");

  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  EXPECT_TRUE(other.Commands().empty());
  const auto firmware = Firmware();
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), drive.Image().begin()));
  EXPECT_EQ(PagesObserved(outcomes), OneTo32());
}

}  // namespace
