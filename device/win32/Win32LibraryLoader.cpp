#include "device/win32/Win32LibraryLoader.h"

#include <windows.h>

namespace {

class Win32Library final : public LoadedLibrary {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  Win32Library(const Win32Library&) = delete;
  Win32Library& operator=(const Win32Library&) = delete;
  ~Win32Library() override { FreeLibrary(module_); }

  LibraryEntry FindEntry(const char* name) override {
    // A plain function pointer type in between keeps the cast quiet.
    return reinterpret_cast<LibraryEntry>(reinterpret_cast<void (*)(void)>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace

std::unique_ptr<LoadedLibrary> Win32LibraryLoader::Load(const char* name) {
  HMODULE module = LoadLibraryA(name);
  if (!module) return nullptr;
  return std::make_unique<Win32Library>(module);
}
