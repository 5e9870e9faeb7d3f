#include "testing/ui/Input.h"

#include <array>

namespace uidriver {

bool ClickAt(POINT point) {
  if (!SetCursorPos(point.x, point.y)) return false;
  std::array<INPUT, 2> inputs{};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

POINT CenterOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

std::optional<WORD> KeyByName(std::string_view name) {
  struct NamedKey {
    const char* name;
    WORD key;
  };
  static constexpr NamedKey kKeys[] = {
      {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE}, {"tab", VK_TAB},
      {"up", VK_UP},        {"down", VK_DOWN},     {"f1", VK_F1},
  };
  for (const NamedKey& known : kKeys)
    if (name == known.name) return known.key;
  return std::nullopt;
}

static LPARAM KeyData(WORD key, bool release) {
  const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  LPARAM data = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (release) data |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return data;
}

bool PostKey(HWND window, WORD key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
      (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
    target = info.hwndFocus;
  if (!PostMessageA(target, WM_KEYDOWN, key, KeyData(key, false))) return false;
  // The press alone may close the window (Escape or Enter ending a dialog)
  // before the release is posted, when this process is held up between the
  // two: the release then has no window to go to, as when a user lets go of
  // a key whose press closed the dialog. The key was still delivered.
  return PostMessageA(target, WM_KEYUP, key, KeyData(key, true)) || !IsWindow(target);
}

bool TypeKey(WORD key) {
  std::array<INPUT, 2> inputs{};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

}  // namespace uidriver
