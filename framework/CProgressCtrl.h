#pragma once
// A progress bar control (msctls_progress32).
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

class CProgressCtrl : public CWnd {
 public:
  using CWnd::CWnd;

  void SetRange(short nLower, short nUpper) {
    SendMessageA(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
  }
  int SetStep(int nStep) { return static_cast<int>(SendMessageA(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
  int SetPos(int nPos) { return static_cast<int>(SendMessageA(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
  int StepIt() { return static_cast<int>(SendMessageA(PBM_STEPIT)); }
  int GetPos() const { return static_cast<int>(SendMessageA(PBM_GETPOS)); }
};
