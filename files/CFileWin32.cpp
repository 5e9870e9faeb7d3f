#include <windows.h>

#include <algorithm>

#include "files/CFile.h"

namespace {

class UniqueFileHandle {
 public:
  explicit UniqueFileHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueFileHandle() { CloseHandle(handle_); }
  UniqueFileHandle(const UniqueFileHandle&) = delete;
  UniqueFileHandle& operator=(const UniqueFileHandle&) = delete;

  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// SetFilePointer rather than SetFilePointerEx, which Windows 98 lacks. With the
// high word asked for, INVALID_SET_FILE_POINTER is also the low word of a
// valid position past 4 GiB - 1: only GetLastError tells the two apart.
std::optional<std::uint64_t> MovePointer(HANDLE file, DWORD from) {
  LONG high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file, 0, &high, from);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return std::nullopt;
  return (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
}

}  // namespace

struct CFile::Handle : UniqueFileHandle {
  using UniqueFileHandle::UniqueFileHandle;
};

CFile::CFile() = default;
CFile::~CFile() = default;

bool CFile::Open(const std::string& path) {
  Close();
  // Others may read the file while it is open, but nobody may write it; a
  // file already open for writing elsewhere cannot be opened at all.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = std::make_unique<Handle>(file);
  return true;
}

std::optional<std::uint64_t> CFile::SeekToEnd() {
  if (!handle_) return std::nullopt;
  return MovePointer(handle_->Get(), FILE_END);
}

bool CFile::SeekToBegin() { return handle_ && MovePointer(handle_->Get(), FILE_BEGIN).has_value(); }

std::optional<std::size_t> CFile::Read(void* buffer, std::size_t count) {
  if (!handle_) return std::nullopt;
  DWORD read = 0;
  const auto asked = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
  if (!ReadFile(handle_->Get(), buffer, asked, &read, nullptr)) return std::nullopt;
  return read;
}

void CFile::Close() { handle_.reset(); }

bool CFile::IsOpen() const { return handle_ != nullptr; }
