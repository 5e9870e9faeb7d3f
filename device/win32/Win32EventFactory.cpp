#include "device/win32/Win32EventFactory.h"

#include <windows.h>

namespace {

class Win32Event final : public CompletionEvent {
 public:
  explicit Win32Event(HANDLE event) : event_(event) {}
  Win32Event(const Win32Event&) = delete;
  Win32Event& operator=(const Win32Event&) = delete;
  ~Win32Event() override { CloseHandle(event_); }

  void Reset() override { ResetEvent(event_); }

  WaitOutcome Wait(std::optional<std::chrono::milliseconds> limit) override {
    const DWORD milliseconds = limit ? static_cast<DWORD>(limit->count()) : INFINITE;
    switch (WaitForSingleObject(event_, milliseconds)) {
      case WAIT_OBJECT_0:
        return WaitOutcome::Signalled;
      case WAIT_TIMEOUT:
        return WaitOutcome::TimedOut;
      default:
        return WaitOutcome::Failed;
    }
  }

  void* PostProcHandle() override { return event_; }

 private:
  HANDLE event_;
};

}  // namespace

std::unique_ptr<CompletionEvent> Win32EventFactory::Create() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!event) return nullptr;
  return std::make_unique<Win32Event>(event);
}
