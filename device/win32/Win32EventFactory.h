#pragma once
// Completion events from CreateEventA: manual reset, unnamed, not set.
#include "device/windows-rules/CompletionEvent.h"

class Win32EventFactory final : public EventFactory {
 public:
  std::unique_ptr<CompletionEvent> Create() override;
};
