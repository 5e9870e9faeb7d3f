#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "device/linux/DriveNodes.h"
#include "device/linux/OpticalDrives.h"
#include "testing/linux/EmulatedSgNodes.h"
#include "testing/linux/SysfsFixture.h"

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

// Where the fixture machine's devices sit: an optical drive (sr0, sg0), a
// SCSI disk (sda, sg1) and a virtio disk (vda).
constexpr const char* kDrivePath = "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0";
constexpr const char* kDiskPath = "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0";
constexpr const char* kVirtioPath = "pci0000:00/0000:00:04.0/virtio1";
constexpr unsigned kSdMajor = 8, kVirtioMajor = 254, kMemMajor = 1, kNullMinor = 3;

NodeStatus Number(NodeStatus::Kind kind, unsigned major, unsigned minor) {
  NodeStatus status;
  status.kind = kind;
  status.major = major;
  status.minor = minor;
  return status;
}

class NodeOwnerTest : public testing::Test {
 protected:
  NodeOwnerTest() {
    sysfs.AddScsiDevice(kDrivePath, 5, {{"sg0", NodeStatus::Kind::Character, 21, 0}, {"sr0", NodeStatus::Kind::Block, 11, 0}});
    sysfs.AddScsiDevice(kDiskPath, 0, {{"sda", NodeStatus::Kind::Block, kSdMajor, 0}, {"sg1", NodeStatus::Kind::Character, 21, 1}});
    sysfs.AddOtherDevice(kVirtioPath, "virtio", {"vda", NodeStatus::Kind::Block, kVirtioMajor, 0});
    sysfs.AddOtherDevice("virtual/mem", "", {"null", NodeStatus::Kind::Character, kMemMajor, kNullMinor});
  }
  SysfsFixture sysfs;
};

TEST_F(NodeOwnerTest, EitherNodeOfADriveLeadsToItsTypeAndBothNodesBlockFirst) {
  for (const NodeStatus& named : {Number(NodeStatus::Kind::Block, 11, 0), Number(NodeStatus::Kind::Character, 21, 0)}) {
    const NodeOwner owner = FindNodeOwner(sysfs.Root(), named);
    ASSERT_EQ(owner.kind, NodeOwner::Kind::ScsiDevice);
    EXPECT_EQ(owner.scsiType, 5);
    ASSERT_EQ(owner.nodes.size(), 2u);
    EXPECT_EQ(owner.nodes[0].name, "sr0");
    EXPECT_TRUE(owner.nodes[0].number.SameDevice(Number(NodeStatus::Kind::Block, 11, 0)));
    EXPECT_EQ(owner.nodes[1].name, "sg0");
    EXPECT_TRUE(owner.nodes[1].number.SameDevice(Number(NodeStatus::Kind::Character, 21, 0)));
  }
}

struct OwnerCase {
  const char* name;
  NodeStatus node;
  NodeOwner::Kind kind;
  int scsiType;
};

class NodeOwnerOf : public NodeOwnerTest, public testing::WithParamInterface<OwnerCase> {};

TEST_P(NodeOwnerOf, IsJudgedFromSysfsAlone) {
  const NodeOwner owner = FindNodeOwner(sysfs.Root(), GetParam().node);
  EXPECT_EQ(owner.kind, GetParam().kind);
  EXPECT_EQ(owner.scsiType, GetParam().scsiType);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, NodeOwnerOf,
    testing::Values(
        OwnerCase{"ScsiDisk", Number(NodeStatus::Kind::Block, kSdMajor, 0), NodeOwner::Kind::ScsiDevice, 0},
        OwnerCase{"ScsiDisksGenericNode", Number(NodeStatus::Kind::Character, 21, 1), NodeOwner::Kind::ScsiDevice, 0},
        OwnerCase{"VirtioDisk", Number(NodeStatus::Kind::Block, kVirtioMajor, 0), NodeOwner::Kind::NotScsi, -1},
        OwnerCase{"Null", Number(NodeStatus::Kind::Character, kMemMajor, kNullMinor), NodeOwner::Kind::NotScsi, -1},
        OwnerCase{"NoDeviceNode", NodeStatus{}, NodeOwner::Kind::NotScsi, -1},
        OwnerCase{"NumberSysfsDoesNotKnow", Number(NodeStatus::Kind::Block, 11, 7), NodeOwner::Kind::NoDevice, -1}),
    [](const testing::TestParamInfo<OwnerCase>& row) { return std::string(row.param.name); });

TEST_F(NodeOwnerTest, APartitionIsNoScsiDeviceOfItsOwn) {
  // A partition's folder lies below its disk's and has no device link.
  const auto partition = sysfs.Root() / "devices" / kDiskPath / "block" / "sda" / "sda1";
  std::filesystem::create_directories(partition);
  std::ofstream(partition / "dev") << "8:1\n";
  std::filesystem::create_directory_symlink(std::filesystem::relative(partition, sysfs.Root() / "dev" / "block"),
                                            sysfs.Root() / "dev" / "block" / "8:1");
  EXPECT_EQ(FindNodeOwner(sysfs.Root(), Number(NodeStatus::Kind::Block, kSdMajor, 1)).kind, NodeOwner::Kind::NotScsi);
}

TEST(NodeOwner, WithoutSysfsNothingIsKnown) {
  SysfsFixture empty;
  EXPECT_EQ(FindNodeOwner(empty.Root(), Number(NodeStatus::Kind::Block, 11, 0)).kind, NodeOwner::Kind::Unknown);
}

class ProbeDriveTest : public testing::Test {
 protected:
  ProbeDriveTest() { AttachOpticalDrive(kernel, sysfs, drive, 0, kDrivePath); }

  DriveProbe Probe(const std::string& path, DriveAccess access) {
    return ProbeDrive(kernel, sysfs.Root(), "/dev", path, access);
  }

  EmulatedDrive drive{{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"}};
  EmulatedSgNodes kernel;
  SysfsFixture sysfs;
};

TEST_F(ProbeDriveTest, AnOpticalDriveAnswersWithItsIdentityAndStaysOpen) {
  const DriveProbe probe = Probe("/dev/sr0", DriveAccess::Query);
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

struct NamesCase {
  const char* name;
  const char* named;          // what the user gives
  const char* opened[2];      // the opens, in order
};

class ForWriting : public ProbeDriveTest, public testing::WithParamInterface<NamesCase> {
 protected:
  ForWriting() { kernel.AddLink("/dev/cdrom", "/dev/sr0"); }
};

TEST_P(ForWriting, EveryNodeOfTheDriveIsOpenedReadWriteAndExclusivelyBlockFirst) {
  const DriveProbe probe = Probe(GetParam().named, DriveAccess::Exclusive);
  ASSERT_EQ(probe.failure, DriveProbe::Failure::None);
  EXPECT_NE(probe.node, nullptr);
  EXPECT_EQ(probe.held.size(), 1u);
  ASSERT_EQ(kernel.Opens().size(), 2u);
  for (std::size_t open = 0; open < 2; ++open) {
    EXPECT_EQ(kernel.Opens()[open].path, GetParam().opened[open]);
    EXPECT_EQ(kernel.Opens()[open].flags & (O_ACCMODE | O_EXCL | O_NONBLOCK), O_RDWR | O_EXCL | O_NONBLOCK);
  }
}

// While one writer holds the drive, a second is refused by every name, at
// an open or a lock, before anything is sent; once the first lets go, the
// drive is free again.
TEST_P(ForWriting, HoldsTheDriveAgainstASecondWriterByAnyName) {
  std::optional<DriveProbe> first = Probe(GetParam().named, DriveAccess::Exclusive);
  ASSERT_EQ(first->failure, DriveProbe::Failure::None);
  const std::size_t commands = drive.Commands().size();
  for (const char* second : {"/dev/sr0", "/dev/sg0", "/dev/cdrom"}) {
    const DriveProbe refused = Probe(second, DriveAccess::Exclusive);
    EXPECT_TRUE(refused.failure == DriveProbe::Failure::Open || refused.failure == DriveProbe::Failure::Locked)
        << second;
    EXPECT_TRUE(refused.failure != DriveProbe::Failure::Open || refused.openError == EBUSY) << second;
    EXPECT_EQ(refused.node, nullptr) << second;
  }
  // A query asks nothing of a drive being written, by either node.
  EXPECT_EQ(Probe("/dev/sr0", DriveAccess::Query).failure, DriveProbe::Failure::Locked);
  EXPECT_EQ(Probe("/dev/sg0", DriveAccess::Query).openError, EBUSY);
  EXPECT_EQ(drive.Commands().size(), commands);
  first.reset();
  EXPECT_EQ(Probe("/dev/sg0", DriveAccess::Exclusive).failure, DriveProbe::Failure::None);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ForWriting,
    testing::Values(NamesCase{"BlockNode", "/dev/sr0", {"/dev/sr0", "/dev/sg0"}},
                    NamesCase{"GenericNode", "/dev/sg0", {"/dev/sr0", "/dev/sg0"}},
                    NamesCase{"Link", "/dev/cdrom", {"/dev/cdrom", "/dev/sg0"}}),
    [](const testing::TestParamInfo<NamesCase>& row) { return std::string(row.param.name); });

TEST_F(ProbeDriveTest, QueriesGoOnBesideEachOther) {
  const DriveProbe first = Probe("/dev/sr0", DriveAccess::Query);
  ASSERT_EQ(first.failure, DriveProbe::Failure::None);
  EXPECT_EQ(Probe("/dev/sr0", DriveAccess::Query).failure, DriveProbe::Failure::None);
  EXPECT_EQ(Probe("/dev/sg0", DriveAccess::Query).failure, DriveProbe::Failure::None);
}

TEST_F(ProbeDriveTest, AGenericNodeMissingFromTheDeviceRootIsNotWaitedFor) {
  EmulatedSgNodes kernelWithoutSg;
  kernelWithoutSg.AddDrive("/dev/sr0", drive, NodeStatus::Kind::Block, kSrMajor, 0);
  const DriveProbe probe = ProbeDrive(kernelWithoutSg, sysfs.Root(), "/dev", "/dev/sr0", DriveAccess::Exclusive);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::None);
  EXPECT_EQ(kernelWithoutSg.Opens().size(), 1u);
}

TEST_F(ProbeDriveTest, WritingWithoutSysfsIsRefusedButAQueryStillAsks) {
  SysfsFixture empty;
  EXPECT_EQ(ProbeDrive(kernel, empty.Root(), "/dev", "/dev/sg0", DriveAccess::Exclusive).failure,
            DriveProbe::Failure::NoSysfs);
  EXPECT_TRUE(kernel.Opens().empty());
  EXPECT_EQ(ProbeDrive(kernel, empty.Root(), "/dev", "/dev/sg0", DriveAccess::Query).failure,
            DriveProbe::Failure::None);
}

struct OpenErrorCase {
  const char* name;
  const char* path;  // the node that fails
  int error;
  bool writeOnly;
  DriveAccess access;
};

class OpenRefused : public ProbeDriveTest, public testing::WithParamInterface<OpenErrorCase> {};

TEST_P(OpenRefused, GivesTheErrnoAndTheNodeAndSendsNothing) {
  kernel.FailOpen(GetParam().path, GetParam().error, GetParam().writeOnly);
  const DriveProbe probe = Probe("/dev/sr0", GetParam().access);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, GetParam().error);
  EXPECT_EQ(probe.failedPath, GetParam().path);
  EXPECT_EQ(probe.node, nullptr);
  EXPECT_TRUE(probe.held.empty());
  EXPECT_TRUE(drive.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, OpenRefused,
    testing::Values(OpenErrorCase{"EaccesReading", "/dev/sr0", EACCES, false, DriveAccess::Query},
                    OpenErrorCase{"EaccesWritingOnly", "/dev/sr0", EACCES, true, DriveAccess::Exclusive},
                    OpenErrorCase{"EbusyMounted", "/dev/sr0", EBUSY, false, DriveAccess::Exclusive},
                    OpenErrorCase{"Enomedium", "/dev/sr0", ENOMEDIUM, false, DriveAccess::Query},
                    OpenErrorCase{"GenericNodeEacces", "/dev/sg0", EACCES, true, DriveAccess::Exclusive}),
    [](const testing::TestParamInfo<OpenErrorCase>& row) { return std::string(row.param.name); });

TEST_F(ProbeDriveTest, ReadOnlyRefusalOfWritingStillLetsTheDriveBeAsked) {
  kernel.FailOpen("/dev/sr0", EACCES, true);
  EXPECT_EQ(Probe("/dev/sr0", DriveAccess::Query).failure, DriveProbe::Failure::None);
}

struct HolderCase {
  const char* name;
  const char* path;
  int flags;
  bool lock;  // and locks it exclusively
  DriveProbe::Failure failure;
  const char* failedPath;
};

class HeldByAnother : public ProbeDriveTest, public testing::WithParamInterface<HolderCase> {};

TEST_P(HeldByAnother, IsRefusedForWriting) {
  const OpenedNode other = kernel.Open(GetParam().path, GetParam().flags);
  ASSERT_NE(other.node, nullptr);
  if (GetParam().lock) {
    ASSERT_EQ(other.node->Lock(true), 0);
  }
  const DriveProbe probe = Probe("/dev/sr0", DriveAccess::Exclusive);
  EXPECT_EQ(probe.failure, GetParam().failure);
  EXPECT_EQ(probe.failedPath, GetParam().failedPath);
  EXPECT_TRUE(drive.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldByAnother,
    testing::Values(
        HolderCase{"ExclusiveOnTheBlockNode", "/dev/sr0", O_RDONLY | O_EXCL, false, DriveProbe::Failure::Open, "/dev/sr0"},
        HolderCase{"AnyOpenOfTheGenericNode", "/dev/sg0", O_RDONLY, false, DriveProbe::Failure::Open, "/dev/sg0"},
        HolderCase{"ALockOnTheBlockNode", "/dev/sr0", O_RDONLY, true, DriveProbe::Failure::Locked, "/dev/sr0"}),
    [](const testing::TestParamInfo<HolderCase>& row) { return std::string(row.param.name); });

TEST_F(ProbeDriveTest, APlainOpenOfTheBlockNodeDoesNotHoldTheDrive) {
  const OpenedNode other = kernel.Open("/dev/sr0", O_RDONLY);
  EXPECT_EQ(Probe("/dev/sr0", DriveAccess::Exclusive).failure, DriveProbe::Failure::None);
}

TEST_F(ProbeDriveTest, NoSuchNodeIsEnoent) {
  const DriveProbe probe = Probe("/dev/sr9", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, ENOENT);
}

TEST_F(ProbeDriveTest, ANodeWhoseDeviceIsGoneIsNoDevice) {
  kernel.AddOtherNode("/dev/sr3", NodeStatus::Kind::Block, kSrMajor, 3);
  const DriveProbe probe = Probe("/dev/sr3", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Open);
  EXPECT_EQ(probe.openError, ENODEV);
  EXPECT_TRUE(kernel.Opens().empty());
}

// What a node is, is judged before it is opened: a disk is no optical drive
// whether or not it is mounted (which refuses its exclusive open).
struct KindCase {
  const char* name;
  const char* path;
  bool mounted;
  DriveProbe::Failure failure;
  int type;
};

class JudgedFirst : public ProbeDriveTest, public testing::WithParamInterface<KindCase> {
 protected:
  JudgedFirst() {
    sysfs.AddScsiDevice(kDiskPath, 0, {{"sda", NodeStatus::Kind::Block, kSdMajor, 0}, {"sg1", NodeStatus::Kind::Character, 21, 1}});
    kernel.AddDrive("/dev/sda", disk, NodeStatus::Kind::Block, kSdMajor, 0);
    sysfs.AddOtherDevice(kVirtioPath, "virtio", {"vda", NodeStatus::Kind::Block, kVirtioMajor, 0});
    kernel.AddOtherNode("/dev/vda", NodeStatus::Kind::Block, kVirtioMajor, 0);
    sysfs.AddOtherDevice("virtual/mem", "", {"null", NodeStatus::Kind::Character, kMemMajor, kNullMinor});
    kernel.AddOtherNode("/dev/null");
  }
  EmulatedDrive disk{{0x00, "ACME", "HARD DISK", "0001"}};
};

TEST_P(JudgedFirst, BeforeTheNodeIsOpened) {
  if (GetParam().mounted) kernel.FailOpen(GetParam().path, EBUSY);
  for (const DriveAccess access : {DriveAccess::Query, DriveAccess::Exclusive}) {
    const DriveProbe probe = Probe(GetParam().path, access);
    EXPECT_EQ(probe.failure, GetParam().failure);
    EXPECT_EQ(probe.peripheralType, GetParam().type);
    EXPECT_EQ(probe.node, nullptr);
  }
  EXPECT_TRUE(kernel.Opens().empty());
  EXPECT_EQ(kernel.IoctlCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, JudgedFirst,
    testing::Values(KindCase{"ScsiDisk", "/dev/sda", false, DriveProbe::Failure::NotOptical, 0},
                    KindCase{"MountedScsiDisk", "/dev/sda", true, DriveProbe::Failure::NotOptical, 0},
                    KindCase{"MountedVirtioDisk", "/dev/vda", true, DriveProbe::Failure::NotScsi, 0},
                    KindCase{"Null", "/dev/null", false, DriveProbe::Failure::NotScsi, 0}),
    [](const testing::TestParamInfo<KindCase>& row) { return std::string(row.param.name); });

TEST_F(ProbeDriveTest, ADriveThatAnswersAsAnotherKindThanSysfsSaysIsNotOptical) {
  EmulatedDrive disk{{0x00, "ACME", "HARD DISK", "0001"}};
  EmulatedSgNodes other;
  other.AddDrive("/dev/sr0", disk, NodeStatus::Kind::Block, kSrMajor, 0);
  const DriveProbe probe = ProbeDrive(other, sysfs.Root(), "/dev", "/dev/sr0", DriveAccess::Query);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::NotOptical);
  EXPECT_EQ(probe.peripheralType, 0);
  EXPECT_EQ(probe.node, nullptr);
}

TEST_F(ProbeDriveTest, AnOpticalDriveWithQualifierBitsIsStillOptical) {
  EmulatedDrive qualified{{0x25, "ACME", "COMBO DVD/RW 52X", "1.02"}};
  EmulatedSgNodes other;
  other.AddDrive("/dev/sr0", qualified, NodeStatus::Kind::Block, kSrMajor, 0);
  EXPECT_EQ(ProbeDrive(other, sysfs.Root(), "/dev", "/dev/sr0", DriveAccess::Query).failure, DriveProbe::Failure::None);
}

TEST_F(ProbeDriveTest, ARefusedInquiryKeepsTheDrivesStatusAndSenseAndLetsGo) {
  drive.Behaviour().refuseInquiry = true;
  drive.Behaviour().refusalSense = {0x02, 0x04, 0x01};  // NOT READY, becoming ready
  const DriveProbe probe = Probe("/dev/sr0", DriveAccess::Exclusive);
  EXPECT_EQ(probe.failure, DriveProbe::Failure::Inquiry);
  EXPECT_EQ(probe.inquiry.kind, OutcomeKind::ScsiStatus);
  EXPECT_EQ(probe.inquiry.sense.key, 0x02);
  EXPECT_EQ(probe.inquiry.sense.asc, 0x04);
  EXPECT_TRUE(probe.held.empty());
  EXPECT_EQ(kernel.Open("/dev/sg0", O_RDWR | O_EXCL).error, 0);
}

}  // namespace
