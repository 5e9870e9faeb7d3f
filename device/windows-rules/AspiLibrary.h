#pragma once
// Loading the ASPI layer library and finding its entry points
// (LoadLibraryA, GetProcAddress, FreeLibrary).
#include <memory>

using LibraryEntry = void (*)();

class LoadedLibrary {
 public:
  virtual ~LoadedLibrary() = default;  // releases the library

  // Nothing when the library does not export the name.
  virtual LibraryEntry FindEntry(const char* name) = 0;
};

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;

  // Nothing when no library of that name can be loaded.
  virtual std::unique_ptr<LoadedLibrary> Load(const char* name) = 0;
};
