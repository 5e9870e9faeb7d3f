#include "framework/CFileDialog.h"

#include <algorithm>

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

INT_PTR CFileDialog::DoModal() { return ::GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL; }
