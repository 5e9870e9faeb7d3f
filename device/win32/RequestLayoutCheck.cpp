// Our copies of the pass-through structures must be the system's, field for
// field, or the driver reads garbage. Nothing here runs: it only compiles.
#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>

#include "device/windows-rules/DriveSystem.h"
#include "device/windows-rules/PassThroughRequests.h"

#define SAME_FIELD(ours, theirs, field) \
  static_assert(offsetof(ours, field) == offsetof(theirs, field) && sizeof(ours::field) == sizeof(theirs::field))

static_assert(sizeof(nt::SCSI_PASS_THROUGH) == sizeof(SCSI_PASS_THROUGH));
static_assert(alignof(nt::SCSI_PASS_THROUGH) == alignof(SCSI_PASS_THROUGH));
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, Length);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, ScsiStatus);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, PathId);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, TargetId);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, Lun);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, CdbLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, SenseInfoLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, DataIn);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, DataTransferLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, TimeOutValue);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, DataBufferOffset);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, SenseInfoOffset);
SAME_FIELD(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, Cdb);

static_assert(sizeof(nt::SCSI_PASS_THROUGH_DIRECT) == sizeof(SCSI_PASS_THROUGH_DIRECT));
static_assert(alignof(nt::SCSI_PASS_THROUGH_DIRECT) == alignof(SCSI_PASS_THROUGH_DIRECT));
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, Length);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, ScsiStatus);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, TargetId);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, CdbLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, SenseInfoLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, DataIn);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, DataTransferLength);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, TimeOutValue);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, DataBuffer);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset);
SAME_FIELD(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, Cdb);

static_assert(kIoctlScsiPassThrough == IOCTL_SCSI_PASS_THROUGH);
static_assert(kIoctlScsiPassThroughDirect == IOCTL_SCSI_PASS_THROUGH_DIRECT);
static_assert(kScsiIoctlDataIn == SCSI_IOCTL_DATA_IN);
static_assert(kScsiIoctlDataOut == SCSI_IOCTL_DATA_OUT);
static_assert(kScsiIoctlDataUnspecified == SCSI_IOCTL_DATA_UNSPECIFIED);
static_assert(kDriveTypeCdRom == DRIVE_CDROM);
