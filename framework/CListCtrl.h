#pragma once
// A list view control (SysListView32), single-byte messages only.
#include <windows.h>
#include <commctrl.h>

#include "framework/CImageList.h"
#include "framework/CWnd.h"

class CListCtrl : public CWnd {
 public:
  using CWnd::CWnd;

  // The index of the new column, or -1.
  int InsertColumn(int nCol, const LVCOLUMNA* pColumn) {
    return static_cast<int>(SendMessageA(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
  }
  // The index of the new item, or -1.
  int InsertItem(const LVITEMA* pItem) {
    return static_cast<int>(SendMessageA(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
  }
  // -1 when no item was ever marked.
  int GetSelectionMark() const { return static_cast<int>(SendMessageA(LVM_GETSELECTIONMARK)); }
  // Copies the text of column nSubItem into the buffer; returns its length.
  int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = lpszText;
    item.cchTextMax = nLen;
    return static_cast<int>(SendMessageA(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
  }
  // nImageListType is LVSIL_NORMAL or LVSIL_SMALL; returns the list it replaces.
  HIMAGELIST SetImageList(const CImageList& imageList, int nImageListType) {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType),
                                                     reinterpret_cast<LPARAM>(imageList.m_hImageList)));
  }
};
