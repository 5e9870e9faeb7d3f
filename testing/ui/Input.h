#pragma once
// Input as a user gives it: a real mouse click and typed keys through the
// system's input queue, and keys posted to the window that has the keyboard
// focus.
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
// Presses and releases the key through the system's input queue, as the
// keyboard does: the system hands it to whichever window has the focus when
// the program takes it from its queue, not when it was typed.
bool TypeKey(WORD key);

}  // namespace uidriver
