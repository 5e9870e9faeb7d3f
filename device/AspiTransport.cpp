#include "device/AspiTransport.h"

#include <utility>

#include "device/AspiRequests.h"
#include "device/AspiStatus.h"
#include "device/DriveIdentity.h"
#include "device/PageAddressing.h"

// One request block with what the layer may touch while it holds the block.
struct AspiTransport::Request {
  aspi::SRB_ExecSCSICmd srb{};
  std::unique_ptr<std::uint8_t[]> buffer;  // the INQUIRY's answer; a page write uses the image
  std::unique_ptr<CompletionEvent> event;
};

AspiTransport::AspiTransport(std::unique_ptr<AspiLayer> layer, EventFactory& events, MessageSink& sink,
                             std::chrono::milliseconds inquiryWait)
    : layer_(std::move(layer)), events_(events), sink_(sink), inquiryWait_(inquiryWait) {}

std::unique_ptr<AspiTransport> LoadAspiTransport(LibraryLoader& loader, EventFactory& events, MessageSink& sink,
                                                 std::chrono::milliseconds inquiryWait) {
  std::unique_ptr<AspiLayer> layer = LoadLayer(loader, sink);
  if (!layer) return nullptr;
  return std::make_unique<AspiTransport>(std::move(layer), events, sink, inquiryWait);
}

AspiTransport::~AspiTransport() {
  ReleaseEndedRequests();
  if (withdrawn_.empty()) return;
  // Freeing these, or the layer's code, could let the layer write into freed
  // memory or run unmapped code later: keep both for the rest of the process.
  AbandonToLayer(withdrawn_);
  layer_->KeepLoaded();
}

void AspiTransport::AbandonToLayer(std::vector<std::unique_ptr<Request>>& requests) {
  // Never freed, and still reachable, so leak checkers see them as held.
  static auto* abandoned = new std::vector<std::unique_ptr<Request>>;
  for (auto& request : requests) abandoned->push_back(std::move(request));
  requests.clear();
}

std::uint8_t AspiTransport::HostAdapterCount() { return layer_->HostAdapterCount(); }

std::uint8_t AspiTransport::Submit(Request& request) {
  request.event->Reset();
  const std::uint8_t returned = layer_->Send(&request.srb);
  const std::uint8_t inBlock = ReadSrbStatus(request.srb);
  // A layer that answers with a final status but leaves the block untouched
  // has not taken the request: nothing will ever set the event.
  if (inBlock == aspi::SS_PENDING && returned != aspi::SS_PENDING) return returned;
  return inBlock;
}

void AspiTransport::Withdraw(std::unique_ptr<Request> request) {
  aspi::SRB_Abort abort;
  FillAbortSrb(abort, request->srb.SRB_HaId, &request->srb);
  layer_->Send(&abort);
  // Whatever the layer said to the abort, the request is only over once its
  // event is set.
  withdrawn_.push_back(std::move(request));
}

void AspiTransport::ReleaseEndedRequests() {
  std::erase_if(withdrawn_, [](const std::unique_ptr<Request>& request) {
    return request->event->Wait(std::chrono::milliseconds(0)) == WaitOutcome::Signalled;
  });
}

AspiInquiry AspiTransport::InquireIdentity(std::uint8_t hostAdapter, std::uint8_t target) {
  ReleaseEndedRequests();
  auto request = std::make_unique<Request>();
  request->buffer = std::make_unique<std::uint8_t[]>(kInquiryTransferBufferLength);
  request->event = events_.Create();
  if (!request->event) return {};

  FillInquirySrb(request->srb, hostAdapter, target, request->buffer.get(), request->event->PostProcHandle());
  std::uint8_t status = Submit(*request);
  if (status == aspi::SS_PENDING) {
    if (request->event->Wait(inquiryWait_) != WaitOutcome::Signalled) {
      Withdraw(std::move(request));
      return {};
    }
    status = ReadSrbStatus(request->srb);
  }

  AspiInquiry answer;
  answer.status = status;
  if (status == aspi::SS_COMP) {
    answer.peripheral = request->buffer[0];
    answer.identity = MakeDriveIdentity({request->buffer.get(), kInquiryDataAreaLength});
  } else if (status != aspi::SS_PENDING && status != aspi::SS_INVALID_HA && status != aspi::SS_NO_DEVICE) {
    ShowAspiStatus(sink_, status);
  }
  return answer;
}

bool AspiTransport::WritePage(std::uint8_t hostAdapter, std::uint8_t target, const PageWriteCommand& command,
                              std::span<const std::uint8_t, kImageSize> image) {
  const std::optional<std::size_t> offset = PageDataOffset(command);
  if (!offset) return false;
  ReleaseEndedRequests();
  auto request = std::make_unique<Request>();
  request->event = events_.Create();
  if (!request->event) return false;

  FillPageWriteSrb(request->srb, hostAdapter, target, command, image.data() + *offset,
                   request->event->PostProcHandle());
  std::uint8_t status = Submit(*request);
  if (status == aspi::SS_PENDING) {
    if (request->event->Wait(std::nullopt) != WaitOutcome::Signalled) {
      Withdraw(std::move(request));
      return false;
    }
    status = ReadSrbStatus(request->srb);
  }

  if (status != aspi::SS_COMP && status != aspi::SS_INVALID_HA && status != aspi::SS_PENDING) {
    ShowAspiStatus(sink_, status);
  }
  return status == aspi::SS_COMP;
}
