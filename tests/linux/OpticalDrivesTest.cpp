#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "device/linux/OpticalDrives.h"
#include "testing/linux/EmulatedSgNodes.h"
#include "tests/linux/SysfsFixture.h"

namespace {

TEST(FindOpticalDrives, ListsEverySrDeviceInDeviceOrderWithItsBus) {
  SysfsFixture sysfs;
  sysfs.AddBlock("sr10", "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0");
  sysfs.AddBlock("sda", "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0");
  sysfs.AddBlock("sr2", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0");
  sysfs.AddBlock("sr0", "platform/host3/target3:0:1/3:0:1:0");
  sysfs.AddBlock("loop0", "virtual");
  sysfs.AddBlock("srx", "virtual");

  const auto drives = FindOpticalDrives(sysfs.Root(), "/dev");
  ASSERT_TRUE(drives);
  ASSERT_EQ(drives->size(), 3u);
  EXPECT_EQ((*drives)[0].name, "sr0");
  EXPECT_EQ((*drives)[0].devicePath, "/dev/sr0");
  EXPECT_EQ((*drives)[0].bus, "scsi");
  EXPECT_EQ((*drives)[1].name, "sr2");
  EXPECT_EQ((*drives)[1].bus, "usb");
  EXPECT_EQ((*drives)[2].name, "sr10");
  EXPECT_EQ((*drives)[2].bus, "ata");
}

TEST(FindOpticalDrives, NoBlockClassIsNothingToListAndAnEmptyOneIsAnEmptyList) {
  SysfsFixture sysfs;
  EXPECT_FALSE(FindOpticalDrives(sysfs.Root() / "missing", "/dev"));
  sysfs.AddBlock("sda", "pci0000:00/ata1/host0/target0:0:0/0:0:0:0");
  const auto drives = FindOpticalDrives(sysfs.Root(), "/dev");
  ASSERT_TRUE(drives);
  EXPECT_TRUE(drives->empty());
}

struct BusCase {
  const char* path;
  const char* bus;
};

class BusOfPath : public testing::TestWithParam<BusCase> {};

TEST_P(BusOfPath, IsTheFirstBridgeFromTheRoot) { EXPECT_EQ(BusOfSysfsPath(GetParam().path), GetParam().bus); }

INSTANTIATE_TEST_SUITE_P(
    Paths, BusOfPath,
    testing::Values(BusCase{"/sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/block/sr0", "usb"},
                    BusCase{"/sys/devices/pci0000:00/0000:00:1f.2/ata3/host2/target2:0:0/block/sr0", "ata"},
                    BusCase{"/sys/devices/pci0000:00/0000:00:1e.0/fw1/fw1.0/host4/block/sr0", "firewire"},
                    BusCase{"/sys/devices/pci0000:00/0000:00:04.0/virtio1/host0/block/sr0", "virtio"},
                    BusCase{"/sys/devices/platform/ata_piix/usb-storage-like/host0/block/sr0", "ata"},
                    BusCase{"/sys/devices/tcm_loop_0/tcm_loop_adapter_0/host2/target2:0:1/block/sr0", "scsi"}));

class ProbeDriveTest : public testing::Test {
 protected:
  EmulatedDrive drive{{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"}};
  EmulatedSgNodes kernel;
};

TEST_F(ProbeDriveTest, AnOpticalDriveAnswersWithItsIdentityAndStaysOpen) {
  kernel.AddDrive("/dev/sr0", drive);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr0", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::None);
  EXPECT_EQ(probe.identity, "ACME    COMBO DVD/RW 52X1.02        ");
  EXPECT_EQ(probe.Vendor(), "ACME    ");
  EXPECT_EQ(probe.Product(), "COMBO DVD/RW 52X");
  EXPECT_EQ(probe.Revision(), "1.02");
  EXPECT_NE(probe.node, nullptr);
  ASSERT_EQ(kernel.Opens().size(), 1u);
  EXPECT_EQ(kernel.Opens()[0].flags & O_ACCMODE, O_RDONLY);
  EXPECT_NE(kernel.Opens()[0].flags & O_NONBLOCK, 0);
}

TEST_F(ProbeDriveTest, ForWritingTheDriveIsOpenedReadWriteAndExclusively) {
  kernel.AddDrive("/dev/sr0", drive);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr0", DriveAccess::Exclusive);
  ASSERT_EQ(probe.failure, DriveProbe::Failure::None);
  EXPECT_EQ(kernel.Opens()[0].flags & O_ACCMODE, O_RDWR);
  EXPECT_NE(kernel.Opens()[0].flags & O_EXCL, 0);
  // Held exclusively: another open is refused as the kernel does.
  EXPECT_EQ(kernel.Open("/dev/sr0", O_RDONLY).error, EBUSY);
}

struct OpenErrorCase {
  const char* name;
  int error;
  bool writeOnly;
  DriveAccess access;
};

class OpenRefused : public ProbeDriveTest, public testing::WithParamInterface<OpenErrorCase> {};

TEST_P(OpenRefused, GivesTheErrnoAndSendsNothing) {
  kernel.AddDrive("/dev/sr0", drive);
  kernel.FailOpen("/dev/sr0", GetParam().error, GetParam().writeOnly);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr0", GetParam().access);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, GetParam().error);
  EXPECT_EQ(probe.node, nullptr);
  EXPECT_TRUE(drive.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, OpenRefused,
    testing::Values(OpenErrorCase{"EaccesReading", EACCES, false, DriveAccess::Query},
                    OpenErrorCase{"EaccesWritingOnly", EACCES, true, DriveAccess::Exclusive},
                    OpenErrorCase{"EbusyMounted", EBUSY, false, DriveAccess::Exclusive},
                    OpenErrorCase{"Enomedium", ENOMEDIUM, false, DriveAccess::Query}),
    [](const testing::TestParamInfo<OpenErrorCase>& row) { return std::string(row.param.name); });

TEST_F(ProbeDriveTest, ReadOnlyRefusalOfWritingStillLetsTheDriveBeAsked) {
  kernel.AddDrive("/dev/sr0", drive);
  kernel.FailOpen("/dev/sr0", EACCES, true);
  EXPECT_EQ(ProbeDrive(kernel, "/dev/sr0", DriveAccess::Query).failure, DriveProbe::Failure::None);
}

TEST_F(ProbeDriveTest, ANodeInUseIsRefusedForExclusiveUse) {
  kernel.AddDrive("/dev/sr0", drive);
  const OpenedNode other = kernel.Open("/dev/sr0", O_RDONLY);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr0", DriveAccess::Exclusive);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, EBUSY);
}

TEST_F(ProbeDriveTest, NoSuchNodeIsEnoent) {
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr9", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, ENOENT);
}

TEST_F(ProbeDriveTest, ANodeThatIsNoScsiDeviceFailsTheInquiryWithEnotty) {
  kernel.AddOtherNode("/dev/tty0");
  const DriveProbe probe = ProbeDrive(kernel, "/dev/tty0", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Inquiry);
  EXPECT_EQ(probe.inquiry.kind, OutcomeKind::SystemError);
  EXPECT_EQ(probe.inquiry.systemError, static_cast<std::uint32_t>(ENOTTY));
}

TEST_F(ProbeDriveTest, ADiskAnswersButIsNotAnOpticalDrive) {
  EmulatedDrive disk{{0x00, "ACME", "HARD DISK", "0001"}};
  kernel.AddDrive("/dev/sda", disk);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sda", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::NotOptical);
  EXPECT_EQ(probe.peripheralType, 0);
  EXPECT_EQ(probe.node, nullptr);
}

TEST_F(ProbeDriveTest, AnOpticalDriveWithQualifierBitsIsStillOptical) {
  EmulatedDrive qualified{{0x25, "ACME", "COMBO DVD/RW 52X", "1.02"}};
  kernel.AddDrive("/dev/sr1", qualified);
  EXPECT_EQ(ProbeDrive(kernel, "/dev/sr1", DriveAccess::Query).failure, DriveProbe::Failure::None);
}

TEST_F(ProbeDriveTest, ARefusedInquiryKeepsTheDrivesStatusAndSense) {
  drive.Behaviour().refuseInquiry = true;
  kernel.AddDrive("/dev/sr0", drive);
  const DriveProbe probe = ProbeDrive(kernel, "/dev/sr0", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Inquiry);
  EXPECT_EQ(probe.inquiry.kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(probe.inquiry.sense.key, kEmulatedSenseKey);
}

}  // namespace
