#pragma once
// An ASPI layer over emulated drives: host adapters with targets, requests
// ended at once or later on a thread of the layer's own, and a record of
// everything it was asked. Portable: the system-specific parts (setting the
// SRB_PostProc event, running work later) are handed in.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/windows-rules/AspiRequests.h"
#include "testing/drive/AnswerTiming.h"
#include "testing/drive/EmulatedDrive.h"

// How the layer carries one target's commands, whatever the drive answers.
struct AspiTargetCarrier {
  std::uint8_t refusalStatus = aspi::SS_ERR;  // the layer's status for a command the drive refused
  AnswerTiming timing;
};

struct AspiRequestRecord {
  std::uint8_t command = 0;  // SRB_Cmd
  std::uint8_t hostAdapter = 0;
  std::uint8_t target = 0;
  std::uint8_t lun = 0;
  std::uint8_t flags = 0;
  std::uint32_t bufferLength = 0;
  std::uint8_t senseLength = 0;
  std::vector<std::uint8_t> cdb;  // SRB_CDBLen bytes of CDBByte
  bool ended = false;
  std::uint8_t status = aspi::SS_PENDING;  // the final status once ended
};

class EmulatedAspiLayer {
 public:
  using SetEventFunction = std::function<void(void* postProc)>;
  // Runs work after delay on a thread other than the caller's.
  using RunLaterFunction = std::function<void(std::chrono::milliseconds delay, std::function<void()> work)>;
  enum class Completion {
    Immediate,    // ended inside SendASPI32Command
    Deferred,     // SS_PENDING returned; ended later on the layer's thread
    StatusFirst,  // carried out and its status written at once, yet SS_PENDING
                  // returned and the event set later on the layer's thread
  };

  EmulatedAspiLayer(SetEventFunction setEvent, RunLaterFunction runLater);

  void SetHostAdapterCount(std::uint8_t count);
  void SetCompletion(Completion completion, std::chrono::milliseconds deferredBy = std::chrono::milliseconds(20));
  // Whether SC_ABORT_SRB ends a request that would never end (SS_ABORTED, event set).
  void SetAbortHonoured(bool honoured);
  // Answer every request with this status and leave the block untouched, as
  // a layer that only pretends to be there does; nothing: serve requests.
  void SetUntouchedAnswer(std::optional<std::uint8_t> status);
  // Called, under the layer's lock, after each request ends, with every
  // request so far; Drives() may be read from it.
  using OnEndedFunction = std::function<void(const std::vector<AspiRequestRecord>& records)>;
  void SetOnRequestEnded(OnEndedFunction onEnded);

  EmulatedDrive& AddTarget(std::uint8_t hostAdapter, std::uint8_t target, InquiryData inquiry = {},
                           DriveBehaviour behaviour = {}, AspiTargetCarrier carrier = {});

  // The carrier of a target added before, to change before its requests go out.
  AspiTargetCarrier& CarrierOf(std::uint8_t hostAdapter, std::uint8_t target);

  // The two entry points of the library.
  std::uint32_t GetSupportInfo();
  std::uint32_t SendCommand(void* srb);

  // Copies taken under the lock; the drives themselves only once the layer is idle.
  std::vector<AspiRequestRecord> Requests() const;
  std::uint8_t HostAdapterCount() const;
  // The most requests the layer has held at once: taken and its event not
  // yet set.
  int MostRequestsHeld() const;
  const std::map<std::pair<std::uint8_t, std::uint8_t>, std::unique_ptr<EmulatedDrive>>& Drives() const {
    return drives_;
  }
  std::mutex& Lock() const { return mutex_; }

 private:
  std::uint8_t Execute(aspi::SRB_ExecSCSICmd& srb);
  std::uint8_t Abort(aspi::SRB_Abort& srb);
  void End(aspi::SRB_ExecSCSICmd& srb, std::size_t record, std::uint8_t status);
  void Complete(aspi::SRB_ExecSCSICmd& srb, EmulatedDrive& drive, const AspiTargetCarrier& carrier,
                std::size_t record);
  // Carries the command out and writes its status and sense, leaving the event unset.
  void CompleteStatusOnly(aspi::SRB_ExecSCSICmd& srb, EmulatedDrive& drive, const AspiTargetCarrier& carrier,
                          std::size_t record);
  void Signal(aspi::SRB_ExecSCSICmd& srb);

  SetEventFunction setEvent_;
  RunLaterFunction runLater_;
  mutable std::mutex mutex_;
  std::uint8_t hostAdapters_ = 1;
  Completion completion_ = Completion::Immediate;
  std::chrono::milliseconds deferredBy_{20};
  bool abortHonoured_ = true;
  std::optional<std::uint8_t> untouchedAnswer_;
  OnEndedFunction onEnded_;
  std::map<std::pair<std::uint8_t, std::uint8_t>, std::unique_ptr<EmulatedDrive>> drives_;
  std::map<std::pair<std::uint8_t, std::uint8_t>, AspiTargetCarrier> carriers_;
  std::vector<AspiRequestRecord> records_;
  int held_ = 0;
  int mostHeld_ = 0;
  // Requests that will only end if withdrawn, with their record.
  std::vector<std::pair<aspi::SRB_ExecSCSICmd*, std::size_t>> neverEnding_;
};
