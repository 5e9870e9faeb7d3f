#include "testing/ui/MessageBoxes.h"

#include "testing/ui/Windows.h"

namespace uidriver {

// The system builds every message box from one dialog template: its text
// static has id 0xFFFF, and its icon static 0x440 under Wine or 0x14 under
// Windows. Dialogs of programs rarely carry an icon static with either id.
constexpr int kTextStaticId = 0xFFFF;
constexpr int kIconStaticIds[] = {0x440, 0x14};
constexpr char kDialogClass[] = "#32770";

static bool IsStaticOfType(HWND control, DWORD type) {
  return ClassName(control) == "Static" &&
         (static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)) & SS_TYPEMASK) == type;
}

HWND MessageBoxTextControl(HWND box) {
  for (HWND child : ChildWindows(box))
    if (GetDlgCtrlID(child) == kTextStaticId && !IsStaticOfType(child, SS_ICON) && ClassName(child) == "Static")
      return child;
  return nullptr;
}

HWND MessageBoxIconControl(HWND box) {
  for (HWND child : ChildWindows(box))
    for (int id : kIconStaticIds)
      if (GetDlgCtrlID(child) == id && IsStaticOfType(child, SS_ICON)) return child;
  return nullptr;
}

bool IsMessageBox(HWND window) {
  return ClassName(window) == kDialogClass && MessageBoxTextControl(window) && MessageBoxIconControl(window);
}

HWND FindMessageBox(HWND owner) {
  // Top-level windows come newest first, in the order they stand on screen.
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner && IsMessageBox(window)) return window;
  return nullptr;
}

std::vector<int> MessageBoxButtons(HWND box) {
  std::vector<int> ids;
  for (HWND child : ChildWindows(box))
    if (ClassName(child) == "Button" && IsWindowVisible(child)) ids.push_back(GetDlgCtrlID(child));
  return ids;
}

}  // namespace uidriver
