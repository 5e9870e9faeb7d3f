#pragma once
// A modal dialog made from a dialog template in the program's resources.
//
// DoModal runs the template through DialogBoxParamA with the object itself
// as the creation parameter; the dialog procedure keeps it in DWLP_USER and
// hands every later message to it. A message goes to the handler that the
// most derived class's message map binds to it (MessageMap.h); otherwise
// IDOK and IDCANCEL end the modal run with their own id, and everything else
// is left to the dialog manager (the procedure returns FALSE), which also
// turns Enter, Escape and the close box into IDOK and IDCANCEL.
#include <windows.h>

#include <span>

#include "framework/CWnd.h"
#include "framework/MessageMap.h"

class CDialog : public CWnd {
 public:
  // With no parent the application's main window, if it has one, owns the dialog.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // The value given to EndDialog, or -1 when the dialog could not be made.
  INT_PTR DoModal();
  void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

 protected:
  // The message-map lookup: the table of the most derived class.
  virtual std::span<const MessageMapEntry> GetMessageMap() const { return {}; }
  // TRUE lets the system give the focus to the first tab-stop control.
  virtual BOOL OnInitDialog() { return TRUE; }

  void OnOK() { EndDialog(IDOK); }
  void OnCancel() { EndDialog(IDCANCEL); }

  // For a handler that passes its message on: the dialog manager sends these
  // two on to DefWindowProc, so this is the handling the message would have
  // had without the handler.
  void OnSysCommand(UINT nID, LPARAM lParam) { ::DefWindowProcA(m_hWnd, WM_SYSCOMMAND, nID, lParam); }
  void OnPaint() { ::DefWindowProcA(m_hWnd, WM_PAINT, 0, 0); }

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND OwnerWindow() const;
};
