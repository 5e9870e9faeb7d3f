#pragma once
// An emulated ASPI layer behind the library-loading seam: the entry points it
// hands out are real functions that call into the layer, so the transport
// calls them exactly as it calls a loaded library's. One at a time per process.
#include <string>
#include <vector>

#include "device/windows-rules/AspiLibrary.h"
#include "testing/aspi/EmulatedAspiLayer.h"

class InProcessAspiLibrary final : public LibraryLoader {
 public:
  explicit InProcessAspiLibrary(EmulatedAspiLayer& layer);
  InProcessAspiLibrary(const InProcessAspiLibrary&) = delete;
  InProcessAspiLibrary& operator=(const InProcessAspiLibrary&) = delete;
  ~InProcessAspiLibrary() override;

  std::unique_ptr<LoadedLibrary> Load(const char* name) override;

  // Names that load (default: only "wnaspi32.dll"), and which entries exist.
  std::vector<std::string> loadableNames{"wnaspi32.dll"};
  bool exportsGetSupportInfo = true;
  bool exportsSendCommand = true;

  std::vector<std::string> loadAttempts;
  std::vector<std::string> lookups;
  int released = 0;  // libraries freed

 private:
  EmulatedAspiLayer* previous_;
};
