#include "testing/ui/Windows.h"

#include "testing/ui/Protocol.h"

#include <cstdio>

namespace uidriver {

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, kMessageTimeoutMs, &result))
    return std::nullopt;
  return static_cast<LRESULT>(result);
}

std::optional<std::string> ReadText(HWND window) {
  const auto length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  if (!length) return std::nullopt;
  std::string text(static_cast<std::size_t>(*length) + 1, '\0');
  const auto copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (!copied) return std::nullopt;
  text.resize(static_cast<std::size_t>(*copied));
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND FindControl(HWND dialog, int id) {
  for (HWND child : ChildWindows(dialog))
    if (GetParent(child) == dialog && GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindTopLevel(std::string_view caption) {
  for (HWND window : TopLevelWindows()) {
    if (!IsWindowVisible(window)) continue;
    const auto text = ReadText(window);
    if (text && *text == caption) return window;
  }
  return nullptr;
}

std::string Describe(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  const auto text = ReadText(window);
  char line[512];
  std::snprintf(line, sizeof line, "%s class=%s id=%d owner=%s pid=%lu style=%s visible=%d enabled=%d text=",
                FormatHandle(window).c_str(), ClassName(window).c_str(), GetDlgCtrlID(window),
                FormatHandle(GetWindow(window, GW_OWNER)).c_str(), process,
                FormatHex(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE))).c_str(),
                IsWindowVisible(window) ? 1 : 0, IsWindowEnabled(window) ? 1 : 0);
  return line + (text ? *text : std::string("(no answer)"));
}

bool WaitUntil(unsigned timeout_ms, const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollIntervalMs);
  }
}

}  // namespace uidriver
