#pragma once
// The application object. A program defines exactly one, as a global of a
// class derived from CWinApp; it registers itself while the program loads,
// and the framework's WinMain (CWinApp.cpp) runs it:
//
//   InitInstance() == FALSE: the program ends at once with ExitInstance()'s code;
//   InitInstance() == TRUE:  Run() takes the thread's messages until WM_QUIT.
//
// A program whose only window is a modal dialog runs it inside InitInstance
// and returns FALSE.
#include <windows.h>

#include "framework/CWnd.h"

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() = 0;
  // The program's exit code.
  virtual int ExitInstance() { return 0; }
  // The message loop; ends with ExitInstance() once WM_QUIT arrives.
  int Run();

  HINSTANCE m_hInstance = nullptr;
  // The window that owns dialogs made without a parent; set by InitInstance.
  CWnd* m_pMainWnd = nullptr;
};

// The one application object, or nullptr when the program has none.
CWinApp* AfxGetApp();
