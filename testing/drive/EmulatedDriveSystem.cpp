#include "testing/drive/EmulatedDriveSystem.h"

#include <cctype>

#include "testing/drive/EmulatedPassThroughDrive.h"

namespace {

// A handle that counts itself open while it lives.
class CountedHandle final : public DriveHandle {
 public:
  CountedHandle(const EmulatedRoot& root, std::shared_ptr<int> handlesOpen) : handlesOpen_(std::move(handlesOpen)) {
    if (root.drive) {
      passThrough_ = std::make_unique<EmulatedPassThroughDrive>(*root.drive);
      passThrough_->FailCallsWith(root.callError);
    }
    ++*handlesOpen_;
  }
  ~CountedHandle() override { --*handlesOpen_; }

  IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                            std::uint32_t outputLength) override {
    if (!passThrough_) return {false, kErrorInvalidFunction};
    return passThrough_->IoControl(code, input, inputLength, output, outputLength);
  }

 private:
  std::unique_ptr<EmulatedPassThroughDrive> passThrough_;
  std::shared_ptr<int> handlesOpen_;
};

bool SameLetter(char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b)); }

}  // namespace

DriveStrings EmulatedDriveSystem::LogicalDriveStrings() {
  DriveStrings strings{};
  std::size_t at = 0;
  for (const EmulatedRoot& root : roots_) {
    const char text[] = {root.letter, ':', '\\', '\0'};
    for (const char c : text) strings.at(at++) = c;
  }
  return strings;
}

unsigned EmulatedDriveSystem::DriveType(const std::string& root) {
  for (const EmulatedRoot& candidate : roots_) {
    if (root.size() == 3 && SameLetter(root[0], candidate.letter) && root.substr(1) == ":\\") return candidate.type;
  }
  return 1;  // DRIVE_NO_ROOT_DIR
}

std::unique_ptr<DriveHandle> EmulatedDriveSystem::OpenDrive(const std::string& devicePath, DriveSharing) {
  openedPaths_.push_back(devicePath);
  for (const EmulatedRoot& root : roots_) {
    if (devicePath == std::string{'\\', '\\', '.', '\\', root.letter, ':'}) {
      if (!root.opens) return nullptr;
      return std::make_unique<CountedHandle>(root, handlesOpen_);
    }
  }
  return nullptr;
}
