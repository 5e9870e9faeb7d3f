#pragma once
// Keeps the computer from going to sleep while it lives: a power loss halfway
// through a flash is the one way this program can ruin a drive.
#include <windows.h>

class KeepSystemAwake {
 public:
  KeepSystemAwake() { ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }
  ~KeepSystemAwake() { ::SetThreadExecutionState(ES_CONTINUOUS); }
  KeepSystemAwake(const KeepSystemAwake&) = delete;
  KeepSystemAwake& operator=(const KeepSystemAwake&) = delete;
};
