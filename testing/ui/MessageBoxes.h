#pragma once
// Message boxes of another process: which window is one, its text, its icon.
#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

// A dialog laid out as the system's message box: a text static and an icon
// static beside its buttons.
bool IsMessageBox(HWND window);
// The newest visible message box owned by `owner` (nullptr: one with no owner).
HWND FindMessageBox(HWND owner);
HWND MessageBoxTextControl(HWND box);
HWND MessageBoxIconControl(HWND box);
std::vector<int> MessageBoxButtons(HWND box);

struct IconReading {
  // "information", "stop", "exclamation", "question", "none" or "unknown".
  std::string name;
  std::vector<std::string> details;
};
// Which of the system's message-box icons the box shows; see IconRecognition.cpp.
IconReading RecogniseMessageBoxIcon(HWND box, unsigned timeout_ms);

}  // namespace uidriver
