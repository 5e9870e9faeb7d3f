#include "framework/CFileFind.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The directory part of the pattern's full path, without a trailing
// separator unless it is a drive root such as "C:\".
std::string DirectoryOf(LPCSTR pattern) {
  char full[MAX_PATH];
  LPSTR name = nullptr;
  DWORD length = ::GetFullPathNameA(pattern, MAX_PATH, full, &name);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string directory(full, name != nullptr ? static_cast<size_t>(name - full) : length);
  while (directory.size() > 1 && IsSeparator(directory.back()) && directory[directory.size() - 2] != ':') directory.pop_back();
  return directory;
}

}  // namespace

BOOL CFileFind::FindFile(LPCSTR pstrName) {
  Close();
  m_hContext = ::FindFirstFileA(pstrName, &m_next);
  if (m_hContext == INVALID_HANDLE_VALUE) return FALSE;
  m_hasNext = true;
  m_root = DirectoryOf(pstrName);
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_hasNext) return FALSE;
  m_current = m_next;
  m_hasNext = ::FindNextFileA(m_hContext, &m_next) != FALSE;
  return m_hasNext;
}

void CFileFind::Close() {
  if (m_hContext != INVALID_HANDLE_VALUE) ::FindClose(m_hContext);
  m_hContext = INVALID_HANDLE_VALUE;
  m_hasNext = false;
}

std::string CFileFind::GetFilePath() const {
  std::string path = m_root;
  if (path.empty() || !IsSeparator(path.back())) path += '\\';
  return path + m_current.cFileName;
}
