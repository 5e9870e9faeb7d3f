#pragma once
// The device context of one WM_PAINT: BeginPaint when made, EndPaint when it
// goes out of scope, so every path out of a paint handler validates the window.
#include <windows.h>

#include "framework/CWnd.h"

class CPaintDC {
 public:
  explicit CPaintDC(const CWnd& wnd) : m_hWnd(wnd.m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

  PAINTSTRUCT m_ps{};
  HDC m_hDC = nullptr;

 private:
  HWND m_hWnd;
};
