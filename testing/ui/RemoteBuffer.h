#pragma once
// Memory inside the process that owns a window. Messages whose parameters
// point at structures (list-view messages) are not carried between processes,
// so the structure is written into the owner's memory, the message gets its
// address there, and the answer is read back.
#include <windows.h>

#include <cstddef>

namespace uidriver {

class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Valid() const { return address_ != nullptr; }
  // The address as the owning process sees it, `offset` bytes in.
  LPARAM At(std::size_t offset = 0) const;
  bool Write(const void* data, std::size_t size, std::size_t offset = 0);
  bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

 private:
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace uidriver
