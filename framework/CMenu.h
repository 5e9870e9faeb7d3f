#pragma once
// A menu the program adds items to, such as a window's system menu. The
// wrapper never owns the menu: the window it belongs to destroys it.
#include <windows.h>

class CMenu {
 public:
  CMenu() = default;
  explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}

  HMENU GetSafeHmenu() const { return m_hMenu; }

  BOOL AppendMenuA(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }

  HMENU m_hMenu = nullptr;
};
