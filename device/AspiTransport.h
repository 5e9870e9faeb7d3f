#pragma once
// Drive access through the ASPI layer: drives addressed by host adapter and
// target, logical unit 0. Exists only over a loaded layer (see LoadLayer).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/AspiLayer.h"
#include "device/CompletionEvent.h"
#include "flash/FlashConstants.h"
#include "flash/MessageSink.h"
#include "flash/PageWriteCommand.h"

// Not an ASPI status: the INQUIRY could not be made or did not end in time.
inline constexpr std::uint8_t kAspiNoAnswer = 0xFF;
inline constexpr std::chrono::milliseconds kInquiryWait{35000};
inline constexpr std::size_t kInquiryTransferBufferLength = 16384;

struct AspiInquiry {
  std::uint8_t status = kAspiNoAnswer;
  std::uint8_t peripheral = 0;  // INQUIRY data byte 0, when status is SS_COMP
  std::string identity;         // the 36-character identity, when status is SS_COMP
};

class AspiTransport {
 public:
  // sink shows the status boxes, owned by the main dialog. inquiryWait is how
  // long an INQUIRY may take.
  AspiTransport(std::unique_ptr<AspiLayer> layer, EventFactory& events, MessageSink& sink,
                std::chrono::milliseconds inquiryWait = kInquiryWait);
  AspiTransport(const AspiTransport&) = delete;
  AspiTransport& operator=(const AspiTransport&) = delete;
  ~AspiTransport();

  std::uint8_t HostAdapterCount();

  // Statuses other than SS_COMP, SS_PENDING, SS_INVALID_HA and SS_NO_DEVICE
  // are shown. An INQUIRY still pending after the wait is withdrawn and gives
  // kAspiNoAnswer.
  AspiInquiry InquireIdentity(std::uint8_t hostAdapter, std::uint8_t target);

  // Sends the command with the image's page named in its byte 10 as data-out,
  // and waits as long as the layer takes. True when the page ended with
  // SS_COMP. Other statuses but SS_INVALID_HA and SS_PENDING are shown. A page
  // number outside 1..kPageCount is refused before anything is sent.
  bool WritePage(std::uint8_t hostAdapter, std::uint8_t target, const PageWriteCommand& command,
                 std::span<const std::uint8_t, kImageSize> image);

  // Requests given up on that the layer has not yet ended.
  std::size_t WithdrawnRequestCount() const { return withdrawn_.size(); }

 private:
  struct Request;

  std::uint8_t Submit(Request& request);
  void Withdraw(std::unique_ptr<Request> request);
  void ReleaseEndedRequests();
  // Hands requests the layer never ended to the process, so they are never freed.
  static void AbandonToLayer(std::vector<std::unique_ptr<Request>>& requests);

  std::unique_ptr<AspiLayer> layer_;
  EventFactory& events_;
  MessageSink& sink_;
  std::chrono::milliseconds inquiryWait_;
  // Given up on, but possibly still written or set by the layer: kept alive
  // until the layer sets their event.
  std::vector<std::unique_ptr<Request>> withdrawn_;
};

// LoadLayer, then a transport over the layer; nothing (after LoadLayer's box)
// when the layer cannot be loaded. loader, events and sink must outlive the
// transport; during the main dialog's construction sink's boxes have no owner.
std::unique_ptr<AspiTransport> LoadAspiTransport(LibraryLoader& loader, EventFactory& events, MessageSink& sink,
                                                 std::chrono::milliseconds inquiryWait = kInquiryWait);
