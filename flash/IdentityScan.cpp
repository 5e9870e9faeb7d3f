#include "flash/IdentityScan.h"

#include <algorithm>
#include <functional>

#include "flash/ByteSum.h"

std::optional<std::string_view> IdentityKey(std::string_view rowText) {
  if (rowText.size() < kIdentityKeyOffset + kIdentityKeyLength) return std::nullopt;
  return rowText.substr(kIdentityKeyOffset, kIdentityKeyLength);
}

IdentityCheck ScanImage(std::span<const std::uint8_t> image, std::optional<std::string_view> key) {
  // Compared as unsigned bytes: identities may carry characters above 0x7F.
  const auto* const pattern = reinterpret_cast<const std::uint8_t*>(key ? key->data() : nullptr);
  const std::size_t patternLength = key ? key->size() : 0;
  const std::boyer_moore_horspool_searcher search(pattern, pattern + patternLength);

  std::uint32_t sum = 0;
  bool matches = false;
  const std::uint8_t* const imageEnd = image.data() + image.size();
  for (const std::uint8_t* block = image.data(); block < imageEnd;) {
    const std::uint8_t* const blockEnd = block + std::min<std::size_t>(kScanBlockSize, imageEnd - block);
    sum += SumBytes({block, blockEnd});
    if (!matches && patternLength > 0) {
      // Every start inside the block, including one whose key runs on into
      // the next block; starts in the next block are that block's concern.
      const std::uint8_t* const windowEnd = blockEnd + std::min<std::size_t>(patternLength - 1, imageEnd - blockEnd);
      matches = search(block, windowEnd).first != windowEnd;
    }
    block = blockEnd;
  }
  return {matches, LowSixteenBits(sum)};
}
