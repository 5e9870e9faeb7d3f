#pragma once
// An emulated ASPI layer loaded through the transport's own LoadLayer, with
// events that need no system.
#include <chrono>
#include <memory>

#include "device/windows-rules/AspiTransport.h"
#include "testing/aspi/EmulatedAspiLayer.h"
#include "testing/aspi/FakeCompletionEvents.h"
#include "testing/aspi/InProcessAspiLibrary.h"
#include "testing/aspi/LaterRunner.h"

class AspiFixture {
 protected:
  std::unique_ptr<AspiTransport> LoadTransport(std::chrono::milliseconds answerWait = kAspiAnswerWait) {
    return LoadAspiTransport(library, events, answerWait).transport;
  }

  EmulatedAspiLayer layer{SetFakeEvent, [this](std::chrono::milliseconds delay, std::function<void()> work) {
                            runner.Run(delay, std::move(work));
                          }};
  InProcessAspiLibrary library{layer};
  FakeEventFactory events;
  // Goes first, so work the layer left for later ends while the layer is there.
  LaterRunner runner;
};
