#include "cli/SignalHold.h"

#include <unistd.h>

#include <cstring>

namespace {

// What the handler may touch: set before the handlers are installed.
volatile sig_atomic_t firstHeld = 0;
int messageDescriptor = -1;
const char* message = nullptr;
std::size_t messageLength = 0;

void Keep(int signal) {
  if (firstHeld != 0) return;
  firstHeld = signal;
  // write(2) is safe in a handler; a short write loses nothing that matters.
  [[maybe_unused]] const ssize_t written = ::write(messageDescriptor, message, messageLength);
}

}  // namespace

SignalHold::SignalHold(int descriptor, const char* text) {
  messageDescriptor = descriptor;
  message = text;
  messageLength = std::strlen(text);
}

SignalHold::~SignalHold() {
  if (holding_) End();
}

void SignalHold::Begin() {
  firstHeld = 0;
  struct sigaction keep {};
  keep.sa_handler = Keep;
  keep.sa_flags = SA_RESTART;  // a page's ioctl is not cut short
  sigfillset(&keep.sa_mask);
  for (std::size_t i = 0; i < kHeldSignals.size(); ++i) sigaction(kHeldSignals[i], &keep, &previous_[i]);
  holding_ = true;
}

int SignalHold::End() {
  if (!holding_) return 0;
  for (std::size_t i = 0; i < kHeldSignals.size(); ++i) sigaction(kHeldSignals[i], &previous_[i], nullptr);
  holding_ = false;
  return firstHeld;
}

void SignalHold::Deliver(int signal) { ::raise(signal); }
