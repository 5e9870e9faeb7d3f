#pragma once
// A window the program talks to through its handle. The wrapper never owns
// the window: copying it copies the handle, and nothing is destroyed with it.
#include <windows.h>

#include "framework/CMenu.h"

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

  HWND GetSafeHwnd() const { return m_hWnd; }
  void Attach(HWND hWnd) { m_hWnd = hWnd; }

  CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }
  BOOL SetWindowTextA(LPCSTR lpszString) { return ::SetWindowTextA(m_hWnd, lpszString); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  LRESULT SendMessageA(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  // An empty menu when the window has none.
  CMenu GetSystemMenu(BOOL bRevert) const { return CMenu(::GetSystemMenu(m_hWnd, bRevert)); }

  HWND m_hWnd = nullptr;
};
