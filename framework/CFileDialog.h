#pragma once
// The system's file-open dialog; its library is loaded when one first runs.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>

#include "framework/CWnd.h"

// A filter written as "description|pattern|...|" with a closing "||", as the
// program writes it, in the NUL-separated form the system reads: every '|'
// becomes a NUL, so the closing "||" ends the list with two of them.
std::string ConvertFileFilter(std::string_view filter);

class CFileDialog {
 public:
  // lpszDefExt is appended to a typed name without extension; lpszFileName is
  // the text the name box starts with; dwFlags are OFN_ flags.
  CFileDialog(LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK when the user chose a file, IDCANCEL otherwise.
  INT_PTR DoModal();
  // The full path of the chosen file.
  std::string GetPathName() const { return m_fileName; }

  OPENFILENAMEA m_ofn{};

 private:
  std::string m_defExt;
  std::string m_filter;
  char m_fileName[MAX_PATH]{};
};
