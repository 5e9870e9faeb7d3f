#pragma once
// The event an ASPI layer sets when a request ends (CreateEventA, ResetEvent,
// WaitForSingleObject, CloseHandle).
#include <chrono>
#include <memory>
#include <optional>

enum class WaitOutcome { Signalled, TimedOut, Failed };

class CompletionEvent {
 public:
  virtual ~CompletionEvent() = default;  // closes the event

  virtual void Reset() = 0;
  // Without a limit the wait lasts until the event is set.
  virtual WaitOutcome Wait(std::optional<std::chrono::milliseconds> limit) = 0;
  // What a request block carries in SRB_PostProc so the layer can set it.
  virtual void* PostProcHandle() = 0;
};

class EventFactory {
 public:
  virtual ~EventFactory() = default;

  // A manual-reset, unnamed event, not set; nothing when the system has none to give.
  virtual std::unique_ptr<CompletionEvent> Create() = 0;
};
