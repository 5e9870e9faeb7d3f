#include "testing/engine/TempFile.h"

#include <fstream>
#include <random>

TempFile::TempFile(const std::vector<std::uint8_t>& contents, const std::string& extension) {
  // Test programs of several builds may run side by side: the name is random.
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("comboflash-" + std::to_string(random()) + "-" + std::to_string(random()) + extension);
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}
