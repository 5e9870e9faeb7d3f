#include "DeviceTestSupport.h"

#include "testing/engine/ImageFixtures.h"

namespace {

std::vector<std::uint8_t> VariedBytes() {
  std::vector<std::uint8_t> bytes(kImageSize);
  std::uint32_t state = 12345;
  for (std::uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

}  // namespace

TestFirmware::TestFirmware() : image(LoadedImage(VariedBytes())), bytes(VariedBytes()) {
  for (int page = 1; page <= kPageCount; ++page) {
    commands.push_back(BuildPageWriteCommand(page, image.PageChecksum(page), image.Checksum()));
  }
}

PageWriteCommand CommandForPage(int page) {
  PageWriteCommand command = BuildPageWriteCommand(1, 0, 0);
  command.bytes[kPageNumberByte] = static_cast<std::uint8_t>(page);
  return command;
}
