#include "app/FlashApp.h"

#include "app/FlashDialog.h"

// The one application object; the framework's entry point finds it.
FlashApp application;

BOOL FlashApp::InitInstance() {
  // Neither dialog hosts ActiveX controls and the common controls draw
  // themselves in 3-D, so the framework needs no switch for either.
  FlashDialog dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // No message loop of our own: the program ends with the dialog.
  return FALSE;
}
