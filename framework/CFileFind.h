#pragma once
// A directory search by wildcard pattern, in the file system's order.
//
// FindFile starts the search; each FindNextFile then moves on to the next
// entry and says whether another one follows it, so the usual walk is
//
//   BOOL more = find.FindFile(pattern);
//   while (more) { more = find.FindNextFile(); ... find.GetFilePath() ... }
//
// The search handle is closed by Close or with the object.
#include <windows.h>

#include <string>

class CFileFind {
 public:
  CFileFind() = default;
  ~CFileFind() { Close(); }
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // FALSE when nothing matches (or the pattern is not valid).
  BOOL FindFile(LPCSTR pstrName);
  // FALSE when the entry it moved to is the last.
  BOOL FindNextFile();
  void Close();

  // The current entry's name, and its full path: the searched directory
  // without a trailing separator, one '\', the name.
  std::string GetFileName() const { return m_current.cFileName; }
  std::string GetFilePath() const;

 private:
  HANDLE m_hContext = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA m_current{};
  WIN32_FIND_DATAA m_next{};
  bool m_hasNext = false;
  std::string m_root;  // the searched directory, as a full path
};
