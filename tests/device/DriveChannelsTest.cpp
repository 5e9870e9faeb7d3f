// Whole flash runs through each mode's channel into an emulated drive.
#include "device/DriveChannels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "AspiFixture.h"
#include "flash/FlashSequence.h"
#include "testing/drive/EmulatedPassThroughDrive.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"

namespace {

const InquiryData kTestDrive{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"};

std::vector<std::uint8_t> Firmware() { return ContentsWith(kImageSize, kTestKey, 4096); }

TEST(PassThroughChannel, FlashRunWritesTheWholeImageToTheDrive) {
  EmulatedDrive drive(kTestDrive);
  EmulatedPassThroughDrive handle(drive);
  RecordingReporter reporter;
  PassThroughTransport transport(reporter);
  PassThroughChannel channel(transport, handle);
  FakeFirmwareFile file(Firmware());

  FlashSequence(reporter, file).Run(channel, std::string(kTestRow), "firmware.bin", TransportMode::PassThrough);

  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  const auto firmware = Firmware();
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), drive.Image().begin()));
  EXPECT_EQ(reporter.Steps(), 32);
}

class AspiChannelTest : public AspiFixture, public testing::Test {};

TEST_F(AspiChannelTest, FlashRunWritesTheWholeImageToTheAddressedDevice) {
  layer.SetHostAdapterCount(2);
  layer.SetCompletion(EmulatedAspiLayer::Completion::Deferred, std::chrono::milliseconds(1));
  EmulatedDrive& other = layer.AddTarget(0, 1, kTestDrive);
  EmulatedDrive& drive = layer.AddTarget(1, 2, kTestDrive);
  const auto transport = LoadTransport();
  AspiChannel channel(*transport, 1, 2);
  FakeFirmwareFile file(Firmware());

  FlashSequence(sink, file).Run(channel, std::string(kTestRow), "firmware.bin", TransportMode::Aspi);

  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  EXPECT_TRUE(other.Commands().empty());
  const auto firmware = Firmware();
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), drive.Image().begin()));
}

}  // namespace
