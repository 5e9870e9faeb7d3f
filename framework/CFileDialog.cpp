#include "framework/CFileDialog.h"

#include <algorithm>

namespace {

constexpr char kCommonDialogLibrary[] = "comdlg32.dll";
constexpr char kOpenDialogEntry[] = "GetOpenFileNameA";

using OpenDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

// The common dialog library, and the libraries it pulls in, would cost every
// start time and memory that only the file dialog needs: it is loaded the
// first time a file dialog runs and held until the program ends, not after
// each dialog (its dialogs leave window classes and threads behind).
class CommonDialogLibrary {
 public:
  CommonDialogLibrary() : m_module(::LoadLibraryA(kCommonDialogLibrary)) {}
  ~CommonDialogLibrary() {
    if (m_module != nullptr) ::FreeLibrary(m_module);
  }
  CommonDialogLibrary(const CommonDialogLibrary&) = delete;
  CommonDialogLibrary& operator=(const CommonDialogLibrary&) = delete;

  OpenDialogFunction OpenDialog() const {
    if (m_module == nullptr) return nullptr;
    return reinterpret_cast<OpenDialogFunction>(
        reinterpret_cast<void*>(::GetProcAddress(m_module, kOpenDialogEntry)));
  }

 private:
  HMODULE m_module;
};

const CommonDialogLibrary& LoadedOnFirstUse() {
  static const CommonDialogLibrary library;
  return library;
}

}  // namespace

std::string ConvertFileFilter(std::string_view filter) {
  std::string converted(filter);
  std::replace(converted.begin(), converted.end(), '|', '\0');
  return converted;
}

CFileDialog::CFileDialog(LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_defExt(lpszDefExt != nullptr ? lpszDefExt : ""), m_filter(ConvertFileFilter(lpszFilter != nullptr ? lpszFilter : "")) {
  if (lpszFileName != nullptr) ::lstrcpynA(m_fileName, lpszFileName, MAX_PATH);
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.hwndOwner = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
  m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
  m_ofn.lpstrFile = m_fileName;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
}

// Without the library there is no dialog to show: nothing was chosen.
INT_PTR CFileDialog::DoModal() {
  const OpenDialogFunction openDialog = LoadedOnFirstUse().OpenDialog();
  if (openDialog == nullptr) return IDCANCEL;
  return openDialog(&m_ofn) ? IDOK : IDCANCEL;
}
