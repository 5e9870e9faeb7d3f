#pragma once
// The fixed geometry of a firmware image as the drive expects it.
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kPageSize = 16384;
inline constexpr int kPageCount = 32;
inline constexpr std::size_t kImageSize = kPageSize * kPageCount;
static_assert(kImageSize == 524288);
