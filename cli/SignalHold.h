#pragma once
// Holds back SIGINT, SIGTERM, SIGHUP, SIGTSTP and SIGQUIT: between Begin and
// End each is caught and kept, and the first is answered at once with a line
// on the given descriptor.
#include <array>
#include <csignal>

#include "cli/CliContext.h"

class SignalHold final : public InterruptionHold {
 public:
  SignalHold(int messageDescriptor, const char* message);
  ~SignalHold();  // ends a hold still under way
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

  void Begin() override;
  int End() override;
  // The signal's own action, as if it had never been held.
  void Deliver(int signal) override;

 private:
  bool holding_ = false;
  // Ctrl-\ quits as surely as Ctrl-C, so it is held too.
  static constexpr std::array<int, 5> kHeldSignals = {SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGQUIT};
  std::array<struct sigaction, kHeldSignals.size()> previous_{};
};
