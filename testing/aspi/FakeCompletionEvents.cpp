#include "testing/aspi/FakeCompletionEvents.h"

FakeCompletionEvent::FakeCompletionEvent(std::shared_ptr<std::atomic<int>> live,
                                         std::shared_ptr<std::atomic<int>> waits, std::shared_ptr<Limits> limits,
                                         bool waitsFail, bool limitsElapse)
    : live_(std::move(live)),
      waits_(std::move(waits)),
      limits_(std::move(limits)),
      waitsFail_(waitsFail),
      limitsElapse_(limitsElapse) {
  ++*live_;
}

FakeCompletionEvent::~FakeCompletionEvent() { --*live_; }

void FakeCompletionEvent::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

void FakeCompletionEvent::Set() {
  // Notified under the lock: a waiter that wakes may close the event at once.
  std::lock_guard lock(mutex_);
  set_ = true;
  changed_.notify_all();
}

WaitOutcome FakeCompletionEvent::Wait(std::optional<std::chrono::milliseconds> limit) {
  if (!limit || limit->count() > 0) {
    ++*waits_;
    limits_->push_back(limit);
  }
  if (waitsFail_) return WaitOutcome::Failed;
  std::unique_lock lock(mutex_);
  if (!limit) {
    changed_.wait(lock, [this] { return set_; });
    return WaitOutcome::Signalled;
  }
  if (limitsElapse_) return set_ ? WaitOutcome::Signalled : WaitOutcome::TimedOut;
  return changed_.wait_for(lock, *limit, [this] { return set_; }) ? WaitOutcome::Signalled : WaitOutcome::TimedOut;
}

void SetFakeEvent(void* postProc) { static_cast<FakeCompletionEvent*>(postProc)->Set(); }

std::unique_ptr<CompletionEvent> FakeEventFactory::Create() {
  if (createFails) return nullptr;
  ++created;
  return std::make_unique<FakeCompletionEvent>(live_, waits_, limits_, waitsFail, limitsElapse);
}
