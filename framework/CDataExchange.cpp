#include "framework/CDataExchange.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd == nullptr) rControl.Attach(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC));
}
