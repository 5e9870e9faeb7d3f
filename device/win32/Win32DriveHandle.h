#pragma once
// A drive handle from CreateFileA, closed when the object goes.
#include <memory>
#include <string>

#include "device/windows-rules/DriveHandle.h"
#include "device/windows-rules/DriveSystem.h"

class Win32DriveHandle final : public DriveHandle {
 public:
  // Nothing when CreateFileA refuses the device path.
  static std::unique_ptr<Win32DriveHandle> Open(const std::string& devicePath, DriveSharing sharing);

  Win32DriveHandle(const Win32DriveHandle&) = delete;
  Win32DriveHandle& operator=(const Win32DriveHandle&) = delete;
  ~Win32DriveHandle() override;

  IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                            std::uint32_t outputLength) override;

 private:
  explicit Win32DriveHandle(void* handle) : handle_(handle) {}
  void* handle_;  // HANDLE
};
