#pragma once
// Where the program shows a failure or a verdict: one modal box, OK button
// only, owned by the main dialog.
#include <string>

// Values are the Win32 MB_* icon flags the box is shown with.
enum class MessageIcon : unsigned {
  None = 0x00,         // MB_OK
  Stop = 0x10,         // MB_ICONHAND
  Information = 0x40,  // MB_ICONINFORMATION
};

class MessageSink {
 public:
  virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;

 protected:
  ~MessageSink() = default;
};
