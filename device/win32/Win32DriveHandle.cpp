#include "device/win32/Win32DriveHandle.h"

#include <windows.h>

std::unique_ptr<Win32DriveHandle> Win32DriveHandle::Open(const std::string& devicePath, DriveSharing sharing) {
  const DWORD share = sharing == DriveSharing::ReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  HANDLE handle = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<Win32DriveHandle>(new Win32DriveHandle(handle));
}

Win32DriveHandle::~Win32DriveHandle() { CloseHandle(handle_); }

IoControlResult Win32DriveHandle::IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                                            std::uint32_t outputLength) {
  DWORD returned = 0;
  if (DeviceIoControl(handle_, code, input, inputLength, output, outputLength, &returned, nullptr)) return {true, 0};
  return {false, GetLastError()};
}
