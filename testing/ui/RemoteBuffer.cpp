#include "testing/ui/RemoteBuffer.h"

namespace uidriver {

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size) : size_(size) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process_) return;
  address_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteBuffer::~RemoteBuffer() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

LPARAM RemoteBuffer::At(std::size_t offset) const { return reinterpret_cast<LPARAM>(address_ + offset); }

bool RemoteBuffer::Write(const void* data, std::size_t size, std::size_t offset) {
  if (!address_ || offset + size > size_) return false;
  SIZE_T written = 0;
  return WriteProcessMemory(process_, address_ + offset, data, size, &written) && written == size;
}

bool RemoteBuffer::Read(void* data, std::size_t size, std::size_t offset) const {
  if (!address_ || offset + size > size_) return false;
  SIZE_T read = 0;
  return ReadProcessMemory(process_, address_ + offset, data, size, &read) && read == size;
}

}  // namespace uidriver
