#pragma once
// Finding and reading the windows of another process. Only messages that the
// system carries between processes are used here (WM_GETTEXT and plain
// numbers); list views need RemoteBuffer, see ListView.h.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uidriver {

// How long one message to another process may take before the driver gives up.
constexpr UINT kMessageTimeoutMs = 5000;
// How often a wait looks again.
constexpr DWORD kPollIntervalMs = 20;

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
std::optional<std::string> ReadText(HWND window);
std::string ClassName(HWND window);
HWND FindControl(HWND dialog, int id);

std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildWindows(HWND parent);
// A visible top-level window whose caption is exactly `caption`.
HWND FindTopLevel(std::string_view caption);
// One line about a window: handle, class, id, owner, style, states and text.
std::string Describe(HWND window);

// Polls `done` until it holds or `timeout_ms` passes; true if it held.
bool WaitUntil(unsigned timeout_ms, const std::function<bool()>& done);

}  // namespace uidriver
