#include "flash/ByteSum.h"

#include <algorithm>
#include <array>
#include <cstddef>

// Bytes are first gathered in rows of 16-bit lanes and only each finished
// stripe is widened: a compiler turns the lane loop into one widening add per
// vector of bytes, where a byte-at-a-time 32-bit sum costs several. The sum
// runs over every byte of an image at least once per check, so this halves
// the cost of the pass that dominates a check.
std::uint32_t SumBytes(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kLanes = 32;
  // A lane takes one byte per row; 257 rows of 0xFF is 65,535, the most a
  // 16-bit lane holds.
  constexpr std::size_t kRowsPerStripe = 0xFFFF / 0xFF;
  std::uint32_t sum = 0;
  std::size_t done = 0;
  while (bytes.size() - done >= kLanes) {
    std::array<std::uint16_t, kLanes> lanes{};
    const std::size_t rows = std::min((bytes.size() - done) / kLanes, kRowsPerStripe);
    const std::uint8_t* row = bytes.data() + done;
    for (std::size_t r = 0; r < rows; ++r, row += kLanes) {
      for (std::size_t lane = 0; lane < kLanes; ++lane) lanes[lane] = static_cast<std::uint16_t>(lanes[lane] + row[lane]);
    }
    for (const std::uint16_t lane : lanes) sum += lane;
    done += rows * kLanes;
  }
  for (; done < bytes.size(); ++done) sum += bytes[done];
  return sum;
}

