#pragma once
// The ASPI back end: SCSI commands as request blocks handed to the ASPI
// layer, drives addressed by host adapter and target, logical unit 0. Exists
// only over a loaded layer (see LoadLayer).
//
// Every request has its own block, transfer buffer and completion event, and
// the layer only ever sees memory the request owns: data for the drive is
// copied in, an answer copied out once the layer is done. A request the layer
// may still touch (given up on, or ended by the event while its status still
// reads pending) is kept until the layer sets its event with a final status;
// one still held when the transport goes is kept for the rest of the process,
// and so is the layer's code.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "device/core/ScsiRequest.h"
#include "device/windows-rules/AspiLayer.h"
#include "device/windows-rules/CompletionEvent.h"

// The longest wait for a request that writes nothing to the drive (the
// INQUIRY); a shorter time-out in the request shortens it. One that writes
// to the drive is waited for without limit, whatever its time-out: giving up
// on a drive in the middle of writing its flash is worse than waiting, and
// the layer has no field to hand the drive a time-out of its own.
inline constexpr std::chrono::milliseconds kAspiAnswerWait{35000};
// Every request's own transfer buffer is at least this long.
inline constexpr std::size_t kAspiTransferBufferLength = 16384;
// In transportStatus of a SystemError outcome: not an ASPI status, but a
// request that could not be made (no event) or got no answer in time.
inline constexpr std::uint8_t kAspiNoAnswer = 0xFF;

class AspiTransport {
 public:
  // answerWait is the longest a request that writes nothing to the drive may take.
  AspiTransport(std::unique_ptr<AspiLayer> layer, EventFactory& events,
                std::chrono::milliseconds answerWait = kAspiAnswerWait);
  AspiTransport(const AspiTransport&) = delete;
  AspiTransport& operator=(const AspiTransport&) = delete;
  ~AspiTransport();

  std::uint8_t HostAdapterCount();

  // Every outcome carries the ASPI status it ended with in transportStatus:
  // Good for SS_COMP (an answer is copied to the request's dataIn);
  // ScsiStatus for SS_ERR with a target status other than GOOD (sense
  // decoded); TransportStatus for any other status, SS_PENDING included;
  // SystemError with kAspiNoAnswer when no event could be made or the wait
  // ended without the event (the request is then withdrawn with
  // SC_ABORT_SRB and kept).
  ScsiOutcome Execute(std::uint8_t hostAdapter, std::uint8_t target, const ScsiRequest& request);

  // Requests the layer may still touch, kept until it lets go of them.
  std::size_t KeptRequestCount() const { return kept_.size(); }

 private:
  struct Request;

  // How long to wait for the layer to end the request: nothing for no limit.
  std::optional<std::chrono::milliseconds> WaitLimit(const ScsiRequest& request) const;
  void Withdraw(std::unique_ptr<Request> request);
  void ReleaseEndedRequests();
  // Hands requests the layer never ended to the process, so they are never freed.
  static void AbandonToLayer(std::vector<std::unique_ptr<Request>>& requests);

  std::unique_ptr<AspiLayer> layer_;
  EventFactory& events_;
  std::chrono::milliseconds answerWait_;
  std::vector<std::unique_ptr<Request>> kept_;
};

// One device behind the layer, as a back end of its own.
class AspiTarget final : public ScsiTransport {
 public:
  AspiTarget(AspiTransport& transport, std::uint8_t hostAdapter, std::uint8_t target)
      : transport_(transport), hostAdapter_(hostAdapter), target_(target) {}

  ScsiOutcome Execute(const ScsiRequest& request) override {
    return transport_.Execute(hostAdapter_, target_, request);
  }

 private:
  AspiTransport& transport_;
  std::uint8_t hostAdapter_;
  std::uint8_t target_;
};

struct AspiTransportLoad {
  std::unique_ptr<AspiTransport> transport;  // nothing unless problem is None
  LayerLoadProblem problem = LayerLoadProblem::None;
};

// LoadLayer, then a transport over the layer. loader and events must outlive
// the transport.
AspiTransportLoad LoadAspiTransport(LibraryLoader& loader, EventFactory& events,
                                    std::chrono::milliseconds answerWait = kAspiAnswerWait);
