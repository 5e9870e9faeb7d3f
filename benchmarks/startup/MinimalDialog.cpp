// The floor of the start-up benchmark: a modal dialog and nothing else, no
// drive discovery, so that its start-up is what any dialog program costs.
#include <windows.h>
#include <commctrl.h>

#include "MinimalDialogIds.h"

namespace {

INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The same control classes as the main program registers.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MINIMAL_DIALOG), nullptr, MinimalDialogProc, 0));
}
