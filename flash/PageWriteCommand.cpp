#include "flash/PageWriteCommand.h"

#include <cassert>

#include "flash/FlashConstants.h"

namespace {

inline constexpr std::uint8_t kSecondByte = 0x07;
inline constexpr char kSignature[] = "ZYNK";  // bytes 2 to 5, as letters
inline constexpr std::size_t kSignatureByte = 2;
inline constexpr std::size_t kPageChecksumByte = 6;   // high byte first
inline constexpr std::size_t kImageChecksumByte = 8;  // high byte first
inline constexpr std::size_t kPageCountByte = 11;
static_assert(kPageNumberByte == 10 && kPageCountByte + 1 == kPageWriteCommandLength);

void PutBigEndian(PageWriteCommand& command, std::size_t at, std::uint16_t value) {
  command.bytes[at] = static_cast<std::uint8_t>(value >> 8);
  command.bytes[at + 1] = static_cast<std::uint8_t>(value & 0xFFu);
}

}  // namespace

PageWriteCommand BuildPageWriteCommand(int page, std::uint16_t pageChecksum, std::uint16_t imageChecksum) {
  assert(page >= 1 && page <= kPageCount);
  PageWriteCommand command;
  command.bytes[0] = kPageWriteOpcode;
  command.bytes[1] = kSecondByte;
  for (std::size_t i = 0; i + 1 < sizeof kSignature; ++i) {
    command.bytes[kSignatureByte + i] = static_cast<std::uint8_t>(kSignature[i]);
  }
  PutBigEndian(command, kPageChecksumByte, pageChecksum);
  PutBigEndian(command, kImageChecksumByte, imageChecksum);
  command.bytes[kPageNumberByte] = static_cast<std::uint8_t>(page);
  command.bytes[kPageCountByte] = static_cast<std::uint8_t>(kPageCount);
  return command;
}
