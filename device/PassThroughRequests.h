#pragma once
// The two pass-through request blocks: the system's SCSI_PASS_THROUGH and
// SCSI_PASS_THROUGH_DIRECT headers (published layouts, pointer-sized fields
// widen on 64-bit Windows), each followed by a sense area in the same block.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/DriveIdentity.h"
#include "flash/FlashConstants.h"
#include "flash/PageWriteCommand.h"

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

inline constexpr std::uint8_t kPassThroughTargetId = 1;
inline constexpr std::uint32_t kIdentityTimeOutSeconds = 5000;
inline constexpr std::uint32_t kPageWriteTimeOutSeconds = 25000;
inline constexpr std::size_t kPassThroughSenseAreaLength = 32;

// Identity request, for IOCTL_SCSI_PASS_THROUGH: the answer lands in data.
struct IdentityRequestBlock {
  nt::SCSI_PASS_THROUGH header;
  std::uint32_t spare;
  std::uint8_t sense[kPassThroughSenseAreaLength];
  std::uint8_t data[kInquiryDataAreaLength];  // bytes past the answer stay zero
};

// Page-write request, for IOCTL_SCSI_PASS_THROUGH_DIRECT: the header points
// straight into the image.
struct PageWriteRequestBlock {
  nt::SCSI_PASS_THROUGH_DIRECT header;
  std::uint32_t spare;
  std::uint8_t sense[kPassThroughSenseAreaLength];
};

// The system is given the header alone as input and the block as output; the
// identity's output ends with the answer.
inline constexpr std::uint32_t kIdentityRequestInputLength = sizeof(nt::SCSI_PASS_THROUGH);
inline constexpr std::uint32_t kIdentityRequestOutputLength =
    static_cast<std::uint32_t>(offsetof(IdentityRequestBlock, data) + kInquiryDataLength);
inline constexpr std::uint32_t kPageWriteRequestInputLength = sizeof(nt::SCSI_PASS_THROUGH_DIRECT);
inline constexpr std::uint32_t kPageWriteRequestOutputLength = sizeof(PageWriteRequestBlock);

static_assert(offsetof(IdentityRequestBlock, sense) == sizeof(nt::SCSI_PASS_THROUGH) + sizeof(std::uint32_t));
static_assert(offsetof(PageWriteRequestBlock, sense) == sizeof(nt::SCSI_PASS_THROUGH_DIRECT) + sizeof(std::uint32_t));
static_assert(offsetof(IdentityRequestBlock, data) ==
              offsetof(IdentityRequestBlock, sense) + kPassThroughSenseAreaLength);

#if UINTPTR_MAX == 0xFFFFFFFFu
// 32-bit Windows: the numbers the drivers of that system expect.
static_assert(sizeof(nt::SCSI_PASS_THROUGH) == 44);
static_assert(sizeof(nt::SCSI_PASS_THROUGH_DIRECT) == 44);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, DataBufferOffset) == 20);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, SenseInfoOffset) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, Cdb) == 28);
static_assert(offsetof(IdentityRequestBlock, sense) == 48);
static_assert(offsetof(IdentityRequestBlock, data) == 80);
static_assert(kIdentityRequestOutputLength == 116);
static_assert(offsetof(PageWriteRequestBlock, sense) == 48);
static_assert(kPageWriteRequestOutputLength == 80);
#else
// 64-bit Windows: the pointer-sized fields widen and are aligned.
static_assert(sizeof(nt::SCSI_PASS_THROUGH) == 56);
static_assert(sizeof(nt::SCSI_PASS_THROUGH_DIRECT) == 56);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, DataBufferOffset) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 24);
static_assert(offsetof(nt::SCSI_PASS_THROUGH, Cdb) == 36);
#endif

// Zero-fill the block, then set the fields of a 36-byte standard INQUIRY.
void FillIdentityRequest(IdentityRequestBlock& block);

// Zero-fill the block, then set the fields of a one-page write whose data-out
// phase is pageData itself (kPageSize bytes, not copied).
void FillPageWriteRequest(PageWriteRequestBlock& block, const PageWriteCommand& command,
                          const std::uint8_t* pageData);
