#pragma once
// The vendor command that writes one page of the image: 12 bytes, followed by
// a data-out phase of one page.
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kPageWriteCommandLength = 12;
inline constexpr std::uint8_t kPageWriteOpcode = 0xFD;
inline constexpr std::size_t kPageNumberByte = 10;

struct PageWriteCommand {
  std::array<std::uint8_t, kPageWriteCommandLength> bytes{};

  // The page this command writes, as the drive reads it: byte 10, unsigned.
  int PageNumber() const { return bytes[kPageNumberByte]; }
};

PageWriteCommand BuildPageWriteCommand(int page, std::uint16_t pageChecksum, std::uint16_t imageChecksum);
