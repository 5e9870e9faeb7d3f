#pragma once
// The sum behind every checksum: bytes taken as unsigned values, added in a
// wide accumulator; callers keep the low 16 bits.
#include <cstdint>
#include <span>

// Even a whole image (kImageSize bytes of 0xFF) stays far below 2^32.
std::uint32_t SumBytes(std::span<const std::uint8_t> bytes);

inline std::uint16_t LowSixteenBits(std::uint32_t sum) { return static_cast<std::uint16_t>(sum & 0xFFFFu); }
