#pragma once
// The ASPI for Win32 request blocks the transport sends, with the published
// names, values and packing; pointer fields widen on 64-bit Windows.
#include <cstddef>
#include <cstdint>

#include "device/core/ScsiRequest.h"

namespace aspi {

// Command codes (SRB_Cmd).
inline constexpr std::uint8_t SC_HA_INQUIRY = 0x00;
inline constexpr std::uint8_t SC_GET_DEV_TYPE = 0x01;
inline constexpr std::uint8_t SC_EXEC_SCSI_CMD = 0x02;
inline constexpr std::uint8_t SC_ABORT_SRB = 0x03;

// Request flags (SRB_Flags).
inline constexpr std::uint8_t SRB_DIR_IN = 0x08;
inline constexpr std::uint8_t SRB_DIR_OUT = 0x10;
inline constexpr std::uint8_t SRB_EVENT_NOTIFY = 0x40;

// Status codes (SRB_Status, and what SendASPI32Command returns).
inline constexpr std::uint8_t SS_PENDING = 0x00;
inline constexpr std::uint8_t SS_COMP = 0x01;
inline constexpr std::uint8_t SS_ABORTED = 0x02;
inline constexpr std::uint8_t SS_ABORT_FAIL = 0x03;
inline constexpr std::uint8_t SS_ERR = 0x04;
inline constexpr std::uint8_t SS_INVALID_CMD = 0x80;
inline constexpr std::uint8_t SS_INVALID_HA = 0x81;
inline constexpr std::uint8_t SS_NO_DEVICE = 0x82;
inline constexpr std::uint8_t SS_INVALID_SRB = 0xE0;
inline constexpr std::uint8_t SS_FAILED_INIT = 0xE4;
inline constexpr std::uint8_t SS_ASPI_IS_BUSY = 0xE5;
inline constexpr std::uint8_t SS_BUFFER_TO_BIG = 0xE6;

#pragma pack(push, 1)

// What every request block starts with; the layer dispatches on SRB_Cmd.
struct SRB_Header {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
};

struct SRB_ExecSCSICmd {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t SRB_Target;
  std::uint8_t SRB_Lun;
  std::uint16_t SRB_Rsvd1;
  std::uint32_t SRB_BufLen;
  std::uint8_t* SRB_BufPointer;
  std::uint8_t SRB_SenseLen;
  std::uint8_t SRB_CDBLen;
  std::uint8_t SRB_HaStat;
  std::uint8_t SRB_TargStat;
  void* SRB_PostProc;
  std::uint8_t SRB_Rsvd2[20];
  std::uint8_t CDBByte[16];
  std::uint8_t SenseArea[kSenseRequestLength + 2];  // SENSE_LEN + 2
};

struct SRB_Abort {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  void* SRB_ToAbort;
};

#pragma pack(pop)

static_assert(offsetof(SRB_ExecSCSICmd, SRB_Target) == 8);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Rsvd2) == offsetof(SRB_ExecSCSICmd, SRB_PostProc) + sizeof(void*));
#if UINTPTR_MAX == 0xFFFFFFFFu
// The 32-bit layout every ASPI layer of that system expects.
static_assert(sizeof(SRB_ExecSCSICmd) == 80);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_SenseLen) == 20);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 24);
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 48);
static_assert(offsetof(SRB_ExecSCSICmd, SenseArea) == 64);
static_assert(sizeof(SRB_Abort) == 12);
#else
static_assert(sizeof(SRB_ExecSCSICmd) == 88);
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 56);
static_assert(sizeof(SRB_Abort) == 16);
#endif

}  // namespace aspi

// The request's status as it stands: the layer may still be writing it from
// a thread of its own while the transport looks.
std::uint8_t ReadSrbStatus(aspi::SRB_ExecSCSICmd& srb);
std::uint8_t ReadSrbStatus(aspi::SRB_Abort& srb);
void WriteSrbStatus(aspi::SRB_ExecSCSICmd& srb, std::uint8_t status);

// Zero-fill the block, then set the fields of the request for host adapter
// and target (logical unit 0): its command, its direction, and buffer as the
// data phase of the request's data length. The layer signals event when the
// request ends.
void FillExecSrb(aspi::SRB_ExecSCSICmd& srb, std::uint8_t hostAdapter, std::uint8_t target,
                 const ScsiRequest& request, std::uint8_t* buffer, void* event);

// Zero-fill the block, then ask the layer to withdraw a request it still holds.
void FillAbortSrb(aspi::SRB_Abort& srb, std::uint8_t hostAdapter, aspi::SRB_ExecSCSICmd* toAbort);
