#pragma once
// Input as a user gives it: a real mouse click through the system's input
// queue, and keys posted to the window that has the keyboard focus.
#include <windows.h>

#include <optional>
#include <string_view>

namespace uidriver {

// Moves the pointer to `point` (screen coordinates) and clicks the left button there.
bool ClickAt(POINT point);
POINT CenterOf(const RECT& rect);

// "enter", "escape", "space", "tab" and the like, as a virtual-key code.
std::optional<WORD> KeyByName(std::string_view name);
// Posts the key's down and up messages to the focused control of `window`
// (or to `window` itself when the focus lies elsewhere), as the keyboard
// would deliver them; the window's own message loop does the rest.
bool PostKey(HWND window, WORD key);

}  // namespace uidriver
