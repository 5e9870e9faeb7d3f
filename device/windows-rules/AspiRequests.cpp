#include "device/windows-rules/AspiRequests.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiRequestRules.h"

namespace {

std::uint8_t LoadStatus(std::uint8_t& status) {
  return std::atomic_ref<std::uint8_t>(status).load(std::memory_order_acquire);
}

}  // namespace

std::uint8_t ReadSrbStatus(aspi::SRB_ExecSCSICmd& srb) { return LoadStatus(srb.SRB_Status); }
std::uint8_t ReadSrbStatus(aspi::SRB_Abort& srb) { return LoadStatus(srb.SRB_Status); }

void WriteSrbStatus(aspi::SRB_ExecSCSICmd& srb, std::uint8_t status) {
  std::atomic_ref<std::uint8_t>(srb.SRB_Status).store(status, std::memory_order_release);
}

void FillExecSrb(aspi::SRB_ExecSCSICmd& srb, std::uint8_t hostAdapter, std::uint8_t target,
                 const ScsiRequest& request, std::uint8_t* buffer, void* event) {
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = hostAdapter;
  srb.SRB_Flags = aspi::SRB_EVENT_NOTIFY;
  if (request.direction == DataDirection::In) srb.SRB_Flags |= aspi::SRB_DIR_IN;
  if (request.direction == DataDirection::Out) srb.SRB_Flags |= aspi::SRB_DIR_OUT;
  srb.SRB_Target = target;
  srb.SRB_BufLen = static_cast<std::uint32_t>(TransferLength(request));
  srb.SRB_BufPointer = buffer;
  srb.SRB_SenseLen = kSenseRequestLength;
  srb.SRB_CDBLen = request.cdb.length;
  srb.SRB_PostProc = event;
  const std::span<const std::uint8_t> cdb = request.cdb.View();
  std::copy(cdb.begin(), cdb.end(), srb.CDBByte);
}

void FillAbortSrb(aspi::SRB_Abort& srb, std::uint8_t hostAdapter, aspi::SRB_ExecSCSICmd* toAbort) {
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = aspi::SC_ABORT_SRB;
  srb.SRB_HaId = hostAdapter;
  srb.SRB_ToAbort = toAbort;
}
