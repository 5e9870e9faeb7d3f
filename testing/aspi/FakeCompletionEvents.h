#pragma once
// Completion events without the system: a layer sets one through the value
// the transport put in SRB_PostProc (SetFakeEvent).
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "device/windows-rules/CompletionEvent.h"

class FakeCompletionEvent final : public CompletionEvent {
 public:
  using Limits = std::vector<std::optional<std::chrono::milliseconds>>;
  FakeCompletionEvent(std::shared_ptr<std::atomic<int>> live, std::shared_ptr<std::atomic<int>> waits,
                      std::shared_ptr<Limits> limits, bool waitsFail, bool limitsElapse);
  ~FakeCompletionEvent() override;

  void Reset() override;
  WaitOutcome Wait(std::optional<std::chrono::milliseconds> limit) override;
  void* PostProcHandle() override { return this; }
  void Set();

 private:
  std::shared_ptr<std::atomic<int>> live_;
  std::shared_ptr<std::atomic<int>> waits_;
  std::shared_ptr<Limits> limits_;
  bool waitsFail_;
  bool limitsElapse_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

// What a layer calls with SRB_PostProc.
void SetFakeEvent(void* postProc);

class FakeEventFactory final : public EventFactory {
 public:
  std::unique_ptr<CompletionEvent> Create() override;

  bool createFails = false;  // as CreateEventA with no handle to give
  bool waitsFail = false;    // as WaitForSingleObject with WAIT_FAILED
  // A wait with a limit on an event not yet set times out at once, as if the
  // limit had passed (its length is still in WaitLimits), instead of being slept.
  bool limitsElapse = false;
  int created = 0;
  // Events made and not yet closed.
  int Live() const { return live_->load(); }
  // Waits with a limit or without one (the zero-length looks at withdrawn
  // requests are not counted).
  int Waits() const { return waits_->load(); }
  // The limit of each of those waits, in order; nothing for no limit. Only
  // the transport's own thread waits.
  const FakeCompletionEvent::Limits& WaitLimits() const { return *limits_; }

 private:
  std::shared_ptr<std::atomic<int>> live_ = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> waits_ = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<FakeCompletionEvent::Limits> limits_ = std::make_shared<FakeCompletionEvent::Limits>();
};
