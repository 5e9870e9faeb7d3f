#include "testing/aspi/InProcessAspiLibrary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

EmulatedAspiLayer* currentLayer = nullptr;

std::uint32_t GetSupportInfoEntry() { return currentLayer->GetSupportInfo(); }
std::uint32_t SendCommandEntry(void* srb) { return currentLayer->SendCommand(srb); }

class InProcessLibrary final : public LoadedLibrary {
 public:
  explicit InProcessLibrary(InProcessAspiLibrary& owner) : owner_(owner) {}
  ~InProcessLibrary() override { ++owner_.released; }

  LibraryEntry FindEntry(const char* name) override {
    owner_.lookups.emplace_back(name);
    if (std::strcmp(name, "GetASPI32SupportInfo") == 0 && owner_.exportsGetSupportInfo) {
      return reinterpret_cast<LibraryEntry>(&GetSupportInfoEntry);
    }
    if (std::strcmp(name, "SendASPI32Command") == 0 && owner_.exportsSendCommand) {
      return reinterpret_cast<LibraryEntry>(&SendCommandEntry);
    }
    return nullptr;
  }

 private:
  InProcessAspiLibrary& owner_;
};

}  // namespace

InProcessAspiLibrary::InProcessAspiLibrary(EmulatedAspiLayer& layer) : previous_(currentLayer) { currentLayer = &layer; }

InProcessAspiLibrary::~InProcessAspiLibrary() { currentLayer = previous_; }

std::unique_ptr<LoadedLibrary> InProcessAspiLibrary::Load(const char* name) {
  loadAttempts.emplace_back(name);
  if (std::find(loadableNames.begin(), loadableNames.end(), name) == loadableNames.end()) return nullptr;
  return std::make_unique<InProcessLibrary>(*this);
}
