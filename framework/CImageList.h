#pragma once
// An image list the program owns: destroyed with the wrapper. A list view
// with the shared-image-lists style only borrows it.
#include <windows.h>
#include <commctrl.h>

class CImageList {
 public:
  CImageList() = default;
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // A second Create replaces (and destroys) the list made by the first.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // The index of the new image, or -1.
  int Add(HICON hIcon);

  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  HIMAGELIST m_hImageList = nullptr;
};
