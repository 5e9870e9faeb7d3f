#include "device/AspiRequests.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "device/DriveIdentity.h"
#include "device/ScsiCommands.h"
#include "flash/FlashConstants.h"

namespace {

std::uint8_t LoadStatus(std::uint8_t& status) {
  return std::atomic_ref<std::uint8_t>(status).load(std::memory_order_acquire);
}

void FillCommonFields(aspi::SRB_ExecSCSICmd& srb, std::uint8_t hostAdapter, std::uint8_t target, void* event) {
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = hostAdapter;
  srb.SRB_Target = target;
  srb.SRB_SenseLen = kSenseRequestLength;
  srb.SRB_CDBLen = kCommandLength;
  srb.SRB_PostProc = event;
}

}  // namespace

std::uint8_t ReadSrbStatus(aspi::SRB_ExecSCSICmd& srb) { return LoadStatus(srb.SRB_Status); }
std::uint8_t ReadSrbStatus(aspi::SRB_Abort& srb) { return LoadStatus(srb.SRB_Status); }

void WriteSrbStatus(aspi::SRB_ExecSCSICmd& srb, std::uint8_t status) {
  std::atomic_ref<std::uint8_t>(srb.SRB_Status).store(status, std::memory_order_release);
}

void FillInquirySrb(aspi::SRB_ExecSCSICmd& srb, std::uint8_t hostAdapter, std::uint8_t target,
                    std::uint8_t* buffer, void* event) {
  FillCommonFields(srb, hostAdapter, target, event);
  srb.SRB_Flags = aspi::SRB_DIR_IN | aspi::SRB_EVENT_NOTIFY;
  srb.SRB_BufLen = kInquiryDataLength;
  srb.SRB_BufPointer = buffer;
  std::copy(kInquiryCommand.begin(), kInquiryCommand.end(), srb.CDBByte);
}

void FillPageWriteSrb(aspi::SRB_ExecSCSICmd& srb, std::uint8_t hostAdapter, std::uint8_t target,
                      const PageWriteCommand& command, const std::uint8_t* pageData, void* event) {
  FillCommonFields(srb, hostAdapter, target, event);
  srb.SRB_Flags = aspi::SRB_DIR_OUT | aspi::SRB_EVENT_NOTIFY;
  srb.SRB_BufLen = kPageSize;
  // The layer only reads a data-out buffer.
  srb.SRB_BufPointer = const_cast<std::uint8_t*>(pageData);
  std::copy(command.bytes.begin(), command.bytes.end(), srb.CDBByte);
}

void FillAbortSrb(aspi::SRB_Abort& srb, std::uint8_t hostAdapter, aspi::SRB_ExecSCSICmd* toAbort) {
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = aspi::SC_ABORT_SRB;
  srb.SRB_HaId = hostAdapter;
  srb.SRB_ToAbort = toAbort;
}
