#pragma once
// The loaded ASPI layer library with both of its entry points. Only LoadLayer
// makes one, so nothing can call into a layer that is not there.
#include <cstdint>
#include <memory>

#include "device/AspiLibrary.h"
#include "flash/MessageSink.h"

inline constexpr const char* kAspiLibraryOnDriveC = "c:wnaspi32.dll";  // the current directory of drive C:
inline constexpr const char* kAspiLibrary = "wnaspi32.dll";            // the system's library search
inline constexpr const char* kGetSupportInfoEntry = "GetASPI32SupportInfo";
inline constexpr const char* kSendCommandEntry = "SendASPI32Command";

inline constexpr const char* kLoadLayerCaption = "Error Status";
inline constexpr const char* kLoadLayerFailText = "Load wnaspi32.dll Fail!";
inline constexpr const char* kEntryPointsMissingText = "Get ASPI32 Information and Send Command Error!";

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
  friend std::unique_ptr<AspiLayer> LoadLayer(LibraryLoader& loader, MessageSink& sink);
  AspiLayer(std::unique_ptr<LoadedLibrary> library, GetSupportInfoFunction getSupportInfo,
            SendCommandFunction sendCommand);

  std::unique_ptr<LoadedLibrary> library_;
  GetSupportInfoFunction getSupportInfo_;
  SendCommandFunction sendCommand_;
};

// Loads "c:wnaspi32.dll", else "wnaspi32.dll", and looks up both entry points.
// On failure shows its box (caption "Error Status"; the main dialog has no
// window yet, so the box has no owner) and gives nothing; a library that
// lacks an entry point is released again.
std::unique_ptr<AspiLayer> LoadLayer(LibraryLoader& loader, MessageSink& sink);
