#pragma once
// The loaded ASPI layer library with both of its entry points. Only LoadLayer
// makes one, so nothing can call into a layer that is not there.
#include <cstdint>
#include <memory>

#include "device/windows-rules/AspiLibrary.h"

inline constexpr const char* kAspiLibraryOnDriveC = "c:wnaspi32.dll";  // the current directory of drive C:
inline constexpr const char* kAspiLibrary = "wnaspi32.dll";            // the system's library search
inline constexpr const char* kGetSupportInfoEntry = "GetASPI32SupportInfo";
inline constexpr const char* kSendCommandEntry = "SendASPI32Command";

// Why no layer was loaded.
enum class LayerLoadProblem {
  None,
  LibraryNotFound,    // neither name loads
  EntryPointMissing,  // a library loaded but lacks an entry point
};

class AspiLayer;

struct LayerLoad {
  std::unique_ptr<AspiLayer> layer;  // nothing unless problem is None
  LayerLoadProblem problem = LayerLoadProblem::None;
};

class AspiLayer {
 public:
  // The layer's exports: cdecl, which is also every free function's default.
  using GetSupportInfoFunction = std::uint32_t (*)();
  using SendCommandFunction = std::uint32_t (*)(void* srb);

  AspiLayer(const AspiLayer&) = delete;
  AspiLayer& operator=(const AspiLayer&) = delete;
  ~AspiLayer();  // releases the library unless it must stay

  // The low byte of GetASPI32SupportInfo: host adapters, numbered from 0.
  std::uint8_t HostAdapterCount();
  // SendASPI32Command; the status it returns is its low byte.
  std::uint8_t Send(void* srb);
  // For a layer that still holds a request of ours when we are done with it:
  // its code must stay mapped for the rest of the process.
  void KeepLoaded();

 private:
  friend LayerLoad LoadLayer(LibraryLoader& loader);
  AspiLayer(std::unique_ptr<LoadedLibrary> library, GetSupportInfoFunction getSupportInfo,
            SendCommandFunction sendCommand);

  std::unique_ptr<LoadedLibrary> library_;
  GetSupportInfoFunction getSupportInfo_;
  SendCommandFunction sendCommand_;
};

// Loads "c:wnaspi32.dll", else "wnaspi32.dll", and looks up both entry
// points (both, even when the first is missing). A library that lacks an
// entry point is released again.
LayerLoad LoadLayer(LibraryLoader& loader);
