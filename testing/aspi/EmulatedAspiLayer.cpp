#include "testing/aspi/EmulatedAspiLayer.h"

#include <algorithm>
#include <span>

namespace {
constexpr std::uint8_t kInquiryOpcode = 0x12;
constexpr std::uint8_t kScsiGood = 0x00;
}  // namespace

EmulatedAspiLayer::EmulatedAspiLayer(SetEventFunction setEvent, RunLaterFunction runLater)
    : setEvent_(std::move(setEvent)), runLater_(std::move(runLater)) {}

void EmulatedAspiLayer::SetHostAdapterCount(std::uint8_t count) {
  std::lock_guard lock(mutex_);
  hostAdapters_ = count;
}

void EmulatedAspiLayer::SetCompletion(Completion completion, std::chrono::milliseconds deferredBy) {
  std::lock_guard lock(mutex_);
  completion_ = completion;
  deferredBy_ = deferredBy;
}

void EmulatedAspiLayer::SetAbortHonoured(bool honoured) {
  std::lock_guard lock(mutex_);
  abortHonoured_ = honoured;
}

void EmulatedAspiLayer::SetUntouchedAnswer(std::optional<std::uint8_t> status) {
  std::lock_guard lock(mutex_);
  untouchedAnswer_ = status;
}

void EmulatedAspiLayer::SetOnRequestEnded(OnEndedFunction onEnded) {
  std::lock_guard lock(mutex_);
  onEnded_ = std::move(onEnded);
}

EmulatedDrive& EmulatedAspiLayer::AddTarget(std::uint8_t hostAdapter, std::uint8_t target, InquiryData inquiry,
                                            DriveBehaviour behaviour, AspiTargetCarrier carrier) {
  std::lock_guard lock(mutex_);
  carriers_[{hostAdapter, target}] = carrier;
  auto& drive = drives_[{hostAdapter, target}];
  drive = std::make_unique<EmulatedDrive>(std::move(inquiry), behaviour);
  return *drive;
}

AspiTargetCarrier& EmulatedAspiLayer::CarrierOf(std::uint8_t hostAdapter, std::uint8_t target) {
  std::lock_guard lock(mutex_);
  return carriers_.at({hostAdapter, target});
}

std::vector<AspiRequestRecord> EmulatedAspiLayer::Requests() const {
  std::lock_guard lock(mutex_);
  return records_;
}

int EmulatedAspiLayer::MostRequestsHeld() const {
  std::lock_guard lock(mutex_);
  return mostHeld_;
}

std::uint8_t EmulatedAspiLayer::HostAdapterCount() const {
  std::lock_guard lock(mutex_);
  return hostAdapters_;
}

std::uint32_t EmulatedAspiLayer::GetSupportInfo() {
  std::lock_guard lock(mutex_);
  // Status byte SS_COMP, then the host adapter count in the low byte.
  return static_cast<std::uint32_t>(aspi::SS_COMP) << 8 | hostAdapters_;
}

std::uint32_t EmulatedAspiLayer::SendCommand(void* srb) {
  auto& header = *static_cast<aspi::SRB_Header*>(srb);
  {
    std::lock_guard lock(mutex_);
    if (untouchedAnswer_) {
      records_.push_back({header.SRB_Cmd, header.SRB_HaId, 0, 0, header.SRB_Flags, 0, 0, {}, true, *untouchedAnswer_});
      if (onEnded_) onEnded_(records_);
      return *untouchedAnswer_;
    }
  }
  switch (header.SRB_Cmd) {
    case aspi::SC_EXEC_SCSI_CMD:
      return Execute(*static_cast<aspi::SRB_ExecSCSICmd*>(srb));
    case aspi::SC_ABORT_SRB:
      return Abort(*static_cast<aspi::SRB_Abort*>(srb));
    default: {
      std::lock_guard lock(mutex_);
      records_.push_back({header.SRB_Cmd, header.SRB_HaId, 0, 0, header.SRB_Flags, 0, 0, {}, true, aspi::SS_INVALID_CMD});
      header.SRB_Status = aspi::SS_INVALID_CMD;
      return aspi::SS_INVALID_CMD;
    }
  }
}

std::uint8_t EmulatedAspiLayer::Execute(aspi::SRB_ExecSCSICmd& srb) {
  std::unique_lock lock(mutex_);
  AspiRequestRecord record;
  record.command = srb.SRB_Cmd;
  record.hostAdapter = srb.SRB_HaId;
  record.target = srb.SRB_Target;
  record.lun = srb.SRB_Lun;
  record.flags = srb.SRB_Flags;
  record.bufferLength = srb.SRB_BufLen;
  record.senseLength = srb.SRB_SenseLen;
  record.cdb.assign(srb.CDBByte, srb.CDBByte + std::min<std::size_t>(srb.SRB_CDBLen, sizeof srb.CDBByte));
  records_.push_back(record);
  const std::size_t index = records_.size() - 1;
  WriteSrbStatus(srb, aspi::SS_PENDING);
  mostHeld_ = std::max(mostHeld_, ++held_);

  if (srb.SRB_HaId >= hostAdapters_) {
    End(srb, index, aspi::SS_INVALID_HA);
    return aspi::SS_INVALID_HA;
  }
  const auto found = drives_.find({srb.SRB_HaId, srb.SRB_Target});
  if (found == drives_.end() || srb.SRB_Lun != 0) {
    End(srb, index, aspi::SS_NO_DEVICE);
    return aspi::SS_NO_DEVICE;
  }
  if (srb.SRB_CDBLen > sizeof srb.CDBByte || (srb.SRB_BufLen != 0 && !srb.SRB_BufPointer)) {
    End(srb, index, aspi::SS_INVALID_SRB);
    return aspi::SS_INVALID_SRB;
  }

  EmulatedDrive& drive = *found->second;
  const AspiTargetCarrier& carrier = carriers_.at(found->first);
  using When = AnswerTiming::When;
  const When timing = carrier.timing.For(srb.SRB_CDBLen > 0 && srb.CDBByte[0] == kInquiryOpcode);
  if (timing == When::Never) {
    neverEnding_.emplace_back(&srb, index);
    return aspi::SS_PENDING;
  }
  if (timing == When::Immediate && completion_ == Completion::Immediate) {
    Complete(srb, drive, carrier, index);
    return srb.SRB_Status;
  }
  if (timing == When::Immediate && completion_ == Completion::StatusFirst) {
    CompleteStatusOnly(srb, drive, carrier, index);
    lock.unlock();
    // The block is read again only now: a caller that let it go early would
    // be caught touching freed memory.
    runLater_(deferredBy_, [this, &srb] {
      std::lock_guard later(mutex_);
      Signal(srb);
    });
    return aspi::SS_PENDING;
  }
  const auto delay = timing == When::Late ? carrier.timing.lateBy : deferredBy_;
  lock.unlock();
  runLater_(delay, [this, &srb, &drive, &carrier, index] {
    std::lock_guard later(mutex_);
    Complete(srb, drive, carrier, index);
  });
  return aspi::SS_PENDING;
}

namespace {

DataDirection DirectionOf(const aspi::SRB_ExecSCSICmd& srb) {
  if (srb.SRB_Flags & aspi::SRB_DIR_OUT) return DataDirection::Out;
  if (srb.SRB_Flags & aspi::SRB_DIR_IN) return DataDirection::In;
  return DataDirection::None;
}

}  // namespace

void EmulatedAspiLayer::Complete(aspi::SRB_ExecSCSICmd& srb, EmulatedDrive& drive, const AspiTargetCarrier& carrier,
                                 std::size_t record) {
  CompleteStatusOnly(srb, drive, carrier, record);
  Signal(srb);
}

void EmulatedAspiLayer::CompleteStatusOnly(aspi::SRB_ExecSCSICmd& srb, EmulatedDrive& drive,
                                           const AspiTargetCarrier& carrier, std::size_t record) {
  const DriveAnswer answer =
      drive.Execute(std::span(srb.CDBByte, srb.SRB_CDBLen), DirectionOf(srb), srb.SRB_BufPointer, srb.SRB_BufLen);
  srb.SRB_HaStat = 0;
  srb.SRB_TargStat = answer.status;
  // As much of the drive's sense as the caller asked for.
  const std::size_t senseGiven = std::min({answer.sense.size(), std::size_t{srb.SRB_SenseLen}, sizeof srb.SenseArea});
  std::copy_n(answer.sense.begin(), senseGiven, srb.SenseArea);
  const std::uint8_t status = answer.status == kScsiGood ? aspi::SS_COMP : carrier.refusalStatus;
  records_[record].ended = true;
  records_[record].status = status;
  if (onEnded_) onEnded_(records_);
  WriteSrbStatus(srb, status);
}

void EmulatedAspiLayer::End(aspi::SRB_ExecSCSICmd& srb, std::size_t record, std::uint8_t status) {
  records_[record].ended = true;
  records_[record].status = status;
  if (onEnded_) onEnded_(records_);
  WriteSrbStatus(srb, status);
  Signal(srb);
}

void EmulatedAspiLayer::Signal(aspi::SRB_ExecSCSICmd& srb) {
  // The last the layer touches of the request.
  --held_;
  if ((srb.SRB_Flags & aspi::SRB_EVENT_NOTIFY) && srb.SRB_PostProc) setEvent_(srb.SRB_PostProc);
}

std::uint8_t EmulatedAspiLayer::Abort(aspi::SRB_Abort& srb) {
  std::lock_guard lock(mutex_);
  AspiRequestRecord record;
  record.command = srb.SRB_Cmd;
  record.hostAdapter = srb.SRB_HaId;
  record.flags = srb.SRB_Flags;
  record.ended = true;
  const auto pending = std::find_if(neverEnding_.begin(), neverEnding_.end(),
                                    [&](const auto& entry) { return entry.first == srb.SRB_ToAbort; });
  const bool aborted = abortHonoured_ && pending != neverEnding_.end();
  record.status = aborted ? aspi::SS_COMP : aspi::SS_ABORT_FAIL;
  records_.push_back(record);
  if (aborted) {
    const auto [toAbort, index] = *pending;
    neverEnding_.erase(pending);
    End(*toAbort, index, aspi::SS_ABORTED);
  } else if (onEnded_) {
    onEnded_(records_);
  }
  srb.SRB_Status = record.status;
  return record.status;
}
