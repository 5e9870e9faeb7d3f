#include "testing/engine/TempFile.h"

#include <fstream>
#include <random>

namespace {

// Test programs of several builds may run side by side: the name is random.
std::filesystem::path RandomTempPath(const std::string& extension) {
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         ("comboflash-" + std::to_string(random()) + "-" + std::to_string(random()) + extension);
}

}  // namespace

TempFile::TempFile(const std::vector<std::uint8_t>& contents, const std::string& extension)
    : path_(RandomTempPath(extension)) {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

TempFolder::TempFolder(const std::string& extension) : path_(RandomTempPath(extension)) {
  std::filesystem::create_directory(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
