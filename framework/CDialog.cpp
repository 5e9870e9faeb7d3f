#include "framework/CDialog.h"

#include <commctrl.h>

#include "framework/CWinApp.h"

namespace {

// The dialog templates hold list views and progress bars, whose window
// classes exist only once the common controls are initialised.
void RegisterCommonControls() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
}

// These messages take their result straight from the dialog procedure; all
// others take it from DWLP_MSGRESULT while the procedure returns TRUE.
bool ReturnsResultDirectly(UINT message) {
  return message == WM_QUERYDRAGICON || message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
         message == WM_CHARTOITEM || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
  RegisterCommonControls();
  INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), OwnerWindow(),
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

HWND CDialog::OwnerWindow() const {
  if (m_pParentWnd != nullptr) return m_pParentWnd->m_hWnd;
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) return app->m_pMainWnd->m_hWnd;
  return nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    dialog->m_hWnd = hWnd;
    return dialog->OnInitDialog();
  }
  // Messages that come before WM_INITDIALOG (WM_SETFONT and the like) find
  // no dialog object yet and get the default handling.
  auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageMapEntry& entry : GetMessageMap()) {
    if (!entry.Matches(message, wParam)) continue;
    LRESULT result = entry.call(*this, wParam, lParam);
    if (ReturnsResultDirectly(message)) return result;
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}
