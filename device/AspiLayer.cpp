#include "device/AspiLayer.h"

#include <utility>
#include <vector>

namespace {

// Libraries that must outlive every object of the program; never freed, and
// still reachable, so leak checkers see them as held.
std::vector<std::unique_ptr<LoadedLibrary>>& LibrariesKeptForProcess() {
  static auto* kept = new std::vector<std::unique_ptr<LoadedLibrary>>;
  return *kept;
}

}  // namespace

AspiLayer::AspiLayer(std::unique_ptr<LoadedLibrary> library, GetSupportInfoFunction getSupportInfo,
                     SendCommandFunction sendCommand)
    : library_(std::move(library)), getSupportInfo_(getSupportInfo), sendCommand_(sendCommand) {}

AspiLayer::~AspiLayer() = default;

std::uint8_t AspiLayer::HostAdapterCount() { return static_cast<std::uint8_t>(getSupportInfo_() & 0xFFu); }

std::uint8_t AspiLayer::Send(void* srb) { return static_cast<std::uint8_t>(sendCommand_(srb) & 0xFFu); }

void AspiLayer::KeepLoaded() {
  if (library_) LibrariesKeptForProcess().push_back(std::move(library_));
}

std::unique_ptr<AspiLayer> LoadLayer(LibraryLoader& loader, MessageSink& sink) {
  std::unique_ptr<LoadedLibrary> library = loader.Load(kAspiLibraryOnDriveC);
  if (!library) library = loader.Load(kAspiLibrary);
  if (!library) {
    sink.ShowMessage(kLoadLayerFailText, kLoadLayerCaption, MessageIcon::Information);
    return nullptr;
  }
  // Both are always looked up, even when the first is missing.
  const LibraryEntry getSupportInfo = library->FindEntry(kGetSupportInfoEntry);
  const LibraryEntry sendCommand = library->FindEntry(kSendCommandEntry);
  if (!getSupportInfo || !sendCommand) {
    sink.ShowMessage(kEntryPointsMissingText, kLoadLayerCaption, MessageIcon::Information);
    return nullptr;  // the library goes with it
  }
  return std::unique_ptr<AspiLayer>(new AspiLayer(std::move(library),
                                                  reinterpret_cast<AspiLayer::GetSupportInfoFunction>(getSupportInfo),
                                                  reinterpret_cast<AspiLayer::SendCommandFunction>(sendCommand)));
}
