#include "testing/engine/ImageFixtures.h"

#include <algorithm>
#include <cstdlib>

#include "testing/engine/FakeFirmwareFile.h"

std::vector<std::uint8_t> ContentsWith(std::size_t size, std::string_view text, std::size_t offset) {
  if (offset + text.size() > size) std::abort();
  std::vector<std::uint8_t> contents(size);
  // Bytes 0x80 to 0xFE never occur in the test key.
  for (std::size_t i = 0; i < size; ++i) contents[i] = static_cast<std::uint8_t>(0x80 + i % 0x7F);
  std::copy(text.begin(), text.end(), contents.begin() + static_cast<std::ptrdiff_t>(offset));
  return contents;
}

FirmwareImage LoadedImage(const std::vector<std::uint8_t>& contents) {
  FirmwareImage image;
  FakeFirmwareFile file(contents);
  if (image.LoadFromFile("firmware.bin", file) != LoadResult::Loaded) std::abort();
  return image;
}
