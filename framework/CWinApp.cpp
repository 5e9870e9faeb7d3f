#include "framework/CWinApp.h"

namespace {
CWinApp* theApp = nullptr;
}

CWinApp::CWinApp() { theApp = this; }

CWinApp::~CWinApp() {
  if (theApp == this) theApp = nullptr;
}

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return ExitInstance();
}

CWinApp* AfxGetApp() { return theApp; }

// The entry point lives beside the application object on purpose: a static
// library hands the linker only the objects a program refers to, and every
// program with an application object refers to this one.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nShowCmd*/) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->m_hInstance = hInstance;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
