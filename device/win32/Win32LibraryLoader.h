#pragma once
// Libraries loaded with LoadLibraryA and released with FreeLibrary.
#include "device/windows-rules/AspiLibrary.h"

class Win32LibraryLoader final : public LibraryLoader {
 public:
  std::unique_ptr<LoadedLibrary> Load(const char* name) override;
};
