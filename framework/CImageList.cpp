#include "framework/CImageList.h"

CImageList::~CImageList() {
  if (m_hImageList != nullptr) ::ImageList_Destroy(m_hImageList);
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  if (m_hImageList != nullptr) ::ImageList_Destroy(m_hImageList);
  m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  return m_hImageList != nullptr;
}

int CImageList::Add(HICON hIcon) { return ::ImageList_AddIcon(m_hImageList, hIcon); }
