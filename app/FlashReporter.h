#pragma once
// Everything a flash run shows, on the main dialog's controls and boxes.
#include <string>

#include "app/MessageSink.h"

class FlashReporter : public MessageSink {
 public:
  virtual void SetLog(const std::string& text) = 0;     // checksum log: replaces the whole text
  virtual void SetStatus(const std::string& text) = 0;  // status line
  virtual void StepProgress() = 0;                      // progress bar, one step

 protected:
  ~FlashReporter() = default;
};
