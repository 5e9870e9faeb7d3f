#pragma once
// The two pass-through request blocks: the system's SCSI_PASS_THROUGH and
// SCSI_PASS_THROUGH_DIRECT headers (published layouts, pointer-sized fields
// widen on 64-bit Windows), each followed by a sense area in the same block,
// filled from one OS-neutral request.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/core/DriveIdentity.h"
#include "device/core/ScsiRequest.h"

// Our own copies of the system structures, so the rules build without the
// system's headers; device/win32 checks them against the real ones.
namespace nt {

struct SCSI_PASS_THROUGH {
  std::uint16_t Length;
  std::uint8_t ScsiStatus;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t CdbLength;
  std::uint8_t SenseInfoLength;
  std::uint8_t DataIn;
  std::uint32_t DataTransferLength;
  std::uint32_t TimeOutValue;
  std::uintptr_t DataBufferOffset;  // ULONG_PTR
  std::uint32_t SenseInfoOffset;
  std::uint8_t Cdb[16];
};

struct SCSI_PASS_THROUGH_DIRECT {
  std::uint16_t Length;
  std::uint8_t ScsiStatus;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t CdbLength;
  std::uint8_t SenseInfoLength;
  std::uint8_t DataIn;
  std::uint32_t DataTransferLength;
  std::uint32_t TimeOutValue;
  void* DataBuffer;  // PVOID
  std::uint32_t SenseInfoOffset;
  std::uint8_t Cdb[16];
};

}  // namespace nt

inline constexpr std::uint32_t kIoctlScsiPassThrough = 0x4D004;        // IOCTL_SCSI_PASS_THROUGH
inline constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x4D014;  // IOCTL_SCSI_PASS_THROUGH_DIRECT
inline constexpr std::uint8_t kScsiIoctlDataOut = 0;                   // SCSI_IOCTL_DATA_OUT
inline constexpr std::uint8_t kScsiIoctlDataIn = 1;                    // SCSI_IOCTL_DATA_IN
inline constexpr std::uint8_t kScsiIoctlDataUnspecified = 2;           // SCSI_IOCTL_DATA_UNSPECIFIED

inline constexpr std::uint8_t kPassThroughTargetId = 1;
inline constexpr std::size_t kPassThroughSenseAreaLength = 32;
// Room for the answer in a buffered request: the INQUIRY's identity bytes,
// of which the drive sends only the first kInquiryDataLength.
inline constexpr std::size_t kBufferedDataAreaLength = kInquiryDataAreaLength;

// A buffered request, for IOCTL_SCSI_PASS_THROUGH: the answer lands in data.
// The INQUIRY goes this way.
struct BufferedRequestBlock {
  nt::SCSI_PASS_THROUGH header;
  std::uint32_t spare;
  std::uint8_t sense[kPassThroughSenseAreaLength];
  std::uint8_t data[kBufferedDataAreaLength];  // bytes past the answer stay zero
};

// A direct request, for IOCTL_SCSI_PASS_THROUGH_DIRECT: the header points
// straight at the caller's data. A page write goes this way.
struct DirectRequestBlock {
  nt::SCSI_PASS_THROUGH_DIRECT header;
  std::uint32_t spare;
  std::uint8_t sense[kPassThroughSenseAreaLength];
};

// The system is given the header alone as input and the block as output; a
// buffered request's output ends with its answer.
inline constexpr std::uint32_t kBufferedRequestInputLength = sizeof(nt::SCSI_PASS_THROUGH);
inline constexpr std::uint32_t BufferedRequestOutputLength(std::size_t dataLength) {
  return static_cast<std::uint32_t>(offsetof(BufferedRequestBlock, data) + dataLength);
}
inline constexpr std::uint32_t kDirectRequestInputLength = sizeof(nt::SCSI_PASS_THROUGH_DIRECT);
inline constexpr std::uint32_t kDirectRequestOutputLength = sizeof(DirectRequestBlock);

static_assert(offsetof(BufferedRequestBlock, sense) == sizeof(nt::SCSI_PASS_THROUGH) + sizeof(std::uint32_t));
static_assert(offsetof(DirectRequestBlock, sense) == sizeof(nt::SCSI_PASS_THROUGH_DIRECT) + sizeof(std::uint32_t));
static_assert(offsetof(BufferedRequestBlock, data) ==
              offsetof(BufferedRequestBlock, sense) + kPassThroughSenseAreaLength);

#if UINTPTR_MAX == 0xFFFFFFFFu
// 32-bit Windows: the numbers the drivers of that system expect.
static_assert(sizeof(nt::SCSI_PASS_THROUGH) == 44);
static_assert(sizeof(nt::SCSI_PASS_THROUGH_DIRECT) == 44);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, DataBufferOffset) == 20);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, SenseInfoOffset) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, Cdb) == 28);
static_assert(offsetof(BufferedRequestBlock, sense) == 48);
static_assert(offsetof(BufferedRequestBlock, data) == 80);
static_assert(BufferedRequestOutputLength(kInquiryDataLength) == 116);
static_assert(offsetof(DirectRequestBlock, sense) == 48);
static_assert(kDirectRequestOutputLength == 80);
#else
// 64-bit Windows: the pointer-sized fields widen and are aligned.
static_assert(sizeof(nt::SCSI_PASS_THROUGH) == 56);
static_assert(sizeof(nt::SCSI_PASS_THROUGH_DIRECT) == 56);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, DataBufferOffset) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, Cdb) == 36);
#endif

// Whether the request goes buffered: no data to the drive, and any answer
// fits the block's data area. Every other request goes direct.
bool GoesBuffered(const ScsiRequest& request);

// Zero-fill the block, then set the fields of the request; the answer, if
// any, lands in the block's data area.
void FillBufferedRequest(BufferedRequestBlock& block, const ScsiRequest& request);

// Zero-fill the block, then set the fields of the request; the data phase is
// the request's own buffer (not copied).
void FillDirectRequest(DirectRequestBlock& block, const ScsiRequest& request);
