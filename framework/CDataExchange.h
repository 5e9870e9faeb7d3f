#pragma once
// Data exchange between a dialog's controls and its members. The program
// only binds control wrappers to their controls.
#include <windows.h>

#include "framework/CWnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd& dialog, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(&dialog) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;
};

// Attaches the wrapper to the dialog's control nIDC, in either direction. A
// wrapper that already holds a window keeps it.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
