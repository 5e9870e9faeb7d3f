#include "device/windows-rules/AspiTransport.h"

#include <algorithm>
#include <utility>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiRequestRules.h"
#include "device/windows-rules/AspiRequests.h"

// One request block with everything the layer may touch while it holds it.
struct AspiTransport::Request {
  aspi::SRB_ExecSCSICmd srb{};
  std::unique_ptr<std::uint8_t[]> buffer;
  std::unique_ptr<CompletionEvent> event;
};

namespace {

ScsiOutcome NoAnswer() {
  ScsiOutcome outcome;
  outcome.kind = OutcomeKind::SystemError;
  outcome.transportStatus = kAspiNoAnswer;
  return outcome;
}

// The status of a request the layer has finished with.
ScsiOutcome Classify(std::uint8_t status, const aspi::SRB_ExecSCSICmd& srb) {
  ScsiOutcome outcome;
  outcome.transportStatus = status;
  if (status == aspi::SS_COMP) {
    outcome.kind = OutcomeKind::Good;
  } else if (status == aspi::SS_ERR && srb.SRB_TargStat != kScsiStatusGood) {
    outcome.kind = OutcomeKind::ScsiStatus;
    outcome.scsiStatus = srb.SRB_TargStat;
    if (srb.SRB_TargStat == kScsiStatusCheckCondition) {
      outcome.sense = DecodeSense({srb.SenseArea, std::min<std::size_t>(srb.SRB_SenseLen, sizeof srb.SenseArea)});
    }
  } else {
    outcome.kind = OutcomeKind::TransportStatus;
  }
  return outcome;
}

}  // namespace

AspiTransport::AspiTransport(std::unique_ptr<AspiLayer> layer, EventFactory& events,
                             std::chrono::milliseconds answerWait)
    : layer_(std::move(layer)), events_(events), answerWait_(answerWait) {}

AspiTransportLoad LoadAspiTransport(LibraryLoader& loader, EventFactory& events,
                                    std::chrono::milliseconds answerWait) {
  LayerLoad load = LoadLayer(loader);
  if (!load.layer) return {nullptr, load.problem};
  return {std::make_unique<AspiTransport>(std::move(load.layer), events, answerWait), LayerLoadProblem::None};
}

AspiTransport::~AspiTransport() {
  ReleaseEndedRequests();
  if (kept_.empty()) return;
  // Freeing these, or the layer's code, could let the layer write into freed
  // memory or run unmapped code later: keep both for the rest of the process.
  AbandonToLayer(kept_);
  layer_->KeepLoaded();
}

void AspiTransport::AbandonToLayer(std::vector<std::unique_ptr<Request>>& requests) {
  // Never freed, and still reachable, so leak checkers see them as held.
  static auto* abandoned = new std::vector<std::unique_ptr<Request>>;
  for (auto& request : requests) abandoned->push_back(std::move(request));
  requests.clear();
}

std::uint8_t AspiTransport::HostAdapterCount() { return layer_->HostAdapterCount(); }

std::optional<std::chrono::milliseconds> AspiTransport::WaitLimit(const ScsiRequest& request) const {
  if (request.direction == DataDirection::Out) return std::nullopt;
  if (request.timeout == kNoTimeLimit) return answerWait_;
  return std::min<std::chrono::milliseconds>(answerWait_, request.timeout);
}

void AspiTransport::Withdraw(std::unique_ptr<Request> request) {
  aspi::SRB_Abort abort;
  FillAbortSrb(abort, request->srb.SRB_HaId, &request->srb);
  layer_->Send(&abort);
  // Whatever the layer said to the abort, the request is only over once its
  // event is set.
  kept_.push_back(std::move(request));
}

void AspiTransport::ReleaseEndedRequests() {
  std::erase_if(kept_, [](const std::unique_ptr<Request>& request) {
    return request->event->Wait(std::chrono::milliseconds(0)) == WaitOutcome::Signalled &&
           ReadSrbStatus(request->srb) != aspi::SS_PENDING;
  });
}

ScsiOutcome AspiTransport::Execute(std::uint8_t hostAdapter, std::uint8_t target, const ScsiRequest& request) {
  ReleaseEndedRequests();
  auto pending = std::make_unique<Request>();
  pending->event = events_.Create();
  if (!pending->event) return NoAnswer();
  const std::size_t length = TransferLength(request);
  pending->buffer = std::make_unique<std::uint8_t[]>(std::max(length, kAspiTransferBufferLength));
  if (request.direction == DataDirection::Out) {
    std::copy(request.dataOut.begin(), request.dataOut.end(), pending->buffer.get());
  }
  FillExecSrb(pending->srb, hostAdapter, target, request, pending->buffer.get(), pending->event->PostProcHandle());

  pending->event->Reset();
  const std::uint8_t returned = layer_->Send(&pending->srb);
  std::uint8_t status = ReadSrbStatus(pending->srb);
  if (returned != aspi::SS_PENDING) {
    // Ended inside the call. A final status returned with the block left
    // pending means the layer never took the request: nothing will set the
    // event, and the returned status is the answer.
    if (status == aspi::SS_PENDING) status = returned;
  } else {
    // Taken: the layer may write the status before it is done with the
    // request, so only its event says the block, buffer and event are free.
    if (pending->event->Wait(WaitLimit(request)) != WaitOutcome::Signalled) {
      Withdraw(std::move(pending));
      return NoAnswer();
    }
    status = ReadSrbStatus(pending->srb);
    if (status == aspi::SS_PENDING) {
      // Set, yet not over: not done, and the layer may still use it.
      kept_.push_back(std::move(pending));
      return Classify(aspi::SS_PENDING, aspi::SRB_ExecSCSICmd{});
    }
  }

  const ScsiOutcome outcome = Classify(status, pending->srb);
  if (outcome.IsGood() && request.direction == DataDirection::In) {
    std::copy_n(pending->buffer.get(), request.dataIn.size(), request.dataIn.begin());
  }
  return outcome;
}
