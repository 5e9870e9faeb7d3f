#include "device/windows-rules/AspiLayer.h"

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

LayerLoad LoadLayer(LibraryLoader& loader) {
  std::unique_ptr<LoadedLibrary> library = loader.Load(kAspiLibraryOnDriveC);
  if (!library) library = loader.Load(kAspiLibrary);
  if (!library) return {nullptr, LayerLoadProblem::LibraryNotFound};
  // Both are always looked up, even when the first is missing.
  const LibraryEntry getSupportInfo = library->FindEntry(kGetSupportInfoEntry);
  const LibraryEntry sendCommand = library->FindEntry(kSendCommandEntry);
  if (!getSupportInfo || !sendCommand) return {nullptr, LayerLoadProblem::EntryPointMissing};  // the library goes
  return {std::unique_ptr<AspiLayer>(new AspiLayer(std::move(library),
                                                   reinterpret_cast<AspiLayer::GetSupportInfoFunction>(getSupportInfo),
                                                   reinterpret_cast<AspiLayer::SendCommandFunction>(sendCommand))),
          LayerLoadProblem::None};
}
