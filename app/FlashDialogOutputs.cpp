// The main dialog as the place where runs, transports and discovery report:
// message boxes it owns, the checksum log, the status line, the progress bar
// and the drive list.
#include <windows.h>
#include <commctrl.h>

#include "app/FlashDialog.h"
#include "framework/CListCtrl.h"
#include "resources/resource.h"

namespace {

// Keys and clicks queued for this thread's windows while a run held the
// message loop. A box's own loop would take them as answers: an Escape typed
// during a slow flash would close the verdict before anyone saw it.
void DiscardQueuedInput() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (::PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
}

}  // namespace

void FlashDialog::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  if (m_runInProgress) DiscardQueuedInput();
  // Before the window exists (the ASPI layer's boxes) the box has no owner.
  ::MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | static_cast<UINT>(icon));
}

// The run holds the message loop until it ends; repainting at once lets the
// user see it advance page by page. Setting the text puts the view back at
// the top, so the caret goes to the end and the view follows it: the newest
// line stays in sight once the log outgrows the box.
void FlashDialog::SetLog(const std::string& text) {
  CWnd log = GetDlgItem(IDC_CHECKSUM_LOG);
  log.SetWindowTextA(text.c_str());
  const auto end = static_cast<WPARAM>(text.size());
  log.SendMessageA(EM_SETSEL, end, static_cast<LPARAM>(end));
  log.SendMessageA(EM_SCROLLCARET, 0, 0);
  ::UpdateWindow(log.m_hWnd);
}

void FlashDialog::SetStatus(const std::string& text) {
  CWnd status = GetDlgItem(IDC_STATUS_LINE);
  status.SetWindowTextA(text.c_str());
  ::UpdateWindow(status.m_hWnd);
}

void FlashDialog::StepProgress() {
  m_progress.StepIt();
  ::UpdateWindow(m_progress.m_hWnd);
}

void FlashDialog::InsertRow(int item, const std::string& text) {
  LVITEMA row{};
  row.mask = LVIF_TEXT | LVIF_IMAGE;
  row.iItem = item;
  row.iSubItem = 0;
  row.pszText = const_cast<char*>(text.c_str());
  row.iImage = 0;
  CListCtrl(GetDlgItem(IDC_DRIVE_LIST).m_hWnd).InsertItem(&row);
}
