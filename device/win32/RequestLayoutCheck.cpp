// Our copies of the pass-through structures must be the system's, field for
// field, or the driver reads garbage. Nothing here runs: it only compiles.
#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>

#include "device/windows-rules/DriveSystem.h"
#include "device/windows-rules/PassThroughRequests.h"

#define SAME_FIELD(ours, theirs, field) \
  static_assert(offsetof(ours, field) == offsetof(theirs, field) && sizeof(ours::field) == sizeof(theirs::field))

// The two headers differ only in how they give the data: an offset into the
// block, or a pointer to the caller's buffer.
#define SAME_HEADER(ours, theirs, dataField)                 \
  static_assert(sizeof(ours) == sizeof(theirs));             \
  static_assert(alignof(ours) == alignof(theirs));           \
  SAME_FIELD(ours, theirs, Length);                          \
  SAME_FIELD(ours, theirs, ScsiStatus);                      \
  SAME_FIELD(ours, theirs, PathId);                          \
  SAME_FIELD(ours, theirs, TargetId);                        \
  SAME_FIELD(ours, theirs, Lun);                             \
  SAME_FIELD(ours, theirs, CdbLength);                       \
  SAME_FIELD(ours, theirs, SenseInfoLength);                 \
  SAME_FIELD(ours, theirs, DataIn);                          \
  SAME_FIELD(ours, theirs, DataTransferLength);              \
  SAME_FIELD(ours, theirs, TimeOutValue);                    \
  SAME_FIELD(ours, theirs, dataField);                       \
  SAME_FIELD(ours, theirs, SenseInfoOffset);                 \
  SAME_FIELD(ours, theirs, Cdb)

SAME_HEADER(nt::SCSI_PASS_THROUGH, SCSI_PASS_THROUGH, DataBufferOffset);
SAME_HEADER(nt::SCSI_PASS_THROUGH_DIRECT, SCSI_PASS_THROUGH_DIRECT, DataBuffer);

static_assert(kIoctlScsiPassThrough == IOCTL_SCSI_PASS_THROUGH);
static_assert(kIoctlScsiPassThroughDirect == IOCTL_SCSI_PASS_THROUGH_DIRECT);
static_assert(kScsiIoctlDataIn == SCSI_IOCTL_DATA_IN);
static_assert(kScsiIoctlDataOut == SCSI_IOCTL_DATA_OUT);
static_assert(kScsiIoctlDataUnspecified == SCSI_IOCTL_DATA_UNSPECIFIED);
static_assert(kDriveTypeCdRom == DRIVE_CDROM);
