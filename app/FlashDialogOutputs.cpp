// The main dialog as the presenter's view: message boxes it owns, the
// checksum log, the status line, the progress bar, the drive list, the file
// path box, the Flash button and the file dialog.
#include <windows.h>
#include <commdlg.h>
#include <commctrl.h>

#include <array>
#include <cstring>

#include "app/FlashDialog.h"
#include "app/FrontEndTexts.h"
#include "framework/CFileDialog.h"
#include "framework/CFileFind.h"
#include "framework/CListCtrl.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kDirectoryBufferLength = 250;
constexpr std::size_t kDriveRootLength = 3;  // "C:\"
constexpr char kPatternAtRoot[] = "*.bin";
constexpr char kPatternInFolder[] = "\\*.bin";
constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
static_assert(kFileDialogFlags == 0x1004);
constexpr int kRowTextBufferLength = 256;

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
  if (m_driveWork) DiscardQueuedInput();
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

std::optional<std::string> FlashDialog::FirstFirmwareFile() {
  std::array<char, kDirectoryBufferLength> directory{};
  const DWORD length = ::GetCurrentDirectoryA(kDirectoryBufferLength, directory.data());
  const char* pattern = length == kDriveRootLength ? kPatternAtRoot : kPatternInFolder;
  // A directory too long for the buffer with the pattern gets no preselection.
  if (length == 0 || length + std::strlen(pattern) >= kDirectoryBufferLength) return std::nullopt;
  std::strcat(directory.data(), pattern);

  CFileFind find;
  if (!find.FindFile(directory.data())) return std::nullopt;
  find.FindNextFile();
  std::string path = find.GetFilePath();
  find.Close();
  return path;
}

void FlashDialog::ShowFilePath(const std::string& path) { GetDlgItem(IDC_FILE_PATH).SetWindowTextA(path.c_str()); }

void FlashDialog::SetUpProgress(int steps) {
  m_progress.SetRange(0, static_cast<short>(steps));
  m_progress.SetStep(1);
  m_progress.SetPos(0);
}

void FlashDialog::EnableFlash(bool enabled) { GetDlgItem(IDC_FLASH).EnableWindow(enabled); }

std::optional<std::string> FlashDialog::MarkedRowText() {
  CListCtrl list(GetDlgItem(IDC_DRIVE_LIST).m_hWnd);
  const int mark = list.GetSelectionMark();
  if (mark == -1) return std::nullopt;
  std::array<char, kRowTextBufferLength> row{};
  list.GetItemText(mark, 0, row.data(), kRowTextBufferLength);
  return std::string(row.data());
}

std::optional<std::string> FlashDialog::ChooseFirmwareFile() {
  CFileDialog dialog(kDefaultExtension, kInitialFileName, kFileDialogFlags, kFileFilter, this);
  if (dialog.DoModal() != IDOK) return std::nullopt;
  return dialog.GetPathName();
}

void FlashDialog::DriveWorkBegins() {
  m_driveWork = true;
  m_awake.emplace();
}

void FlashDialog::DriveWorkEnds() {
  m_awake.reset();
  m_driveWork = false;
}
