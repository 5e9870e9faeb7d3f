#include "flash/IdentityScan.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <memory>

#include "flash/ByteSum.h"

namespace {

// Finds the key by sampling: a key of m bytes is made of m - 1 overlapping
// byte pairs, so the pair at every (m - 1)th offset meets each occurrence
// exactly once. Only a sampled pair that occurs somewhere in the key leads to
// a closer look, and in firmware that is rare: the pass costs a fraction of
// the sum beside it instead of a comparison at every offset.
class KeyFinder {
 public:
  explicit KeyFinder(std::span<const std::uint8_t> key)
      : key_(key), stride_(key.size() - 1), pairInKey_(std::make_unique<std::uint8_t[]>(kPairValues)) {
    assert(key.size() >= 2 && key.size() - 1 <= keyPairs_.size());
    for (std::size_t j = 0; j < stride_; ++j) {
      keyPairs_[j] = PairAt(key.data() + j);
      pairInKey_[keyPairs_[j]] = 1;
    }
  }

  // True when the key begins at one of the count offsets from starts; the
  // bytes up to the end of a key at the last of them must be readable.
  bool StartsAtOneOf(const std::uint8_t* starts, std::size_t count) const {
    const std::size_t samplesEnd = count + stride_ - 1;  // exclusive
    std::size_t at = 0;
    // Four samples a round, one branch for all of them.
    for (; at + 3 * stride_ < samplesEnd; at += 4 * stride_) {
      const unsigned seen = InKey(starts + at) | InKey(starts + at + stride_) | InKey(starts + at + 2 * stride_) |
                            InKey(starts + at + 3 * stride_);
      if (seen != 0) {
        for (std::size_t sample = at; sample < at + 4 * stride_; sample += stride_) {
          if (MatchesAround(starts, count, sample)) return true;
        }
      }
    }
    for (; at < samplesEnd; at += stride_) {
      if (MatchesAround(starts, count, at)) return true;
    }
    return false;
  }

 private:
  static constexpr std::size_t kPairValues = 65536;

  // Two bytes in one load; key and image pairs are read alike, so the byte
  // order of the machine does not matter.
  static unsigned PairAt(const std::uint8_t* at) {
    std::uint16_t pair;
    std::memcpy(&pair, at, sizeof pair);
    return pair;
  }

  unsigned InKey(const std::uint8_t* at) const { return pairInKey_[PairAt(at)]; }

  // Tries each start that lays a pair of the key on the sample with the same value.
  bool MatchesAround(const std::uint8_t* starts, std::size_t count, std::size_t sample) const {
    const unsigned pair = PairAt(starts + sample);
    if (InKey(starts + sample) == 0) return false;
    for (std::size_t j = 0; j < stride_ && j <= sample; ++j) {
      const std::size_t start = sample - j;
      if (keyPairs_[j] == pair && start < count && std::memcmp(starts + start, key_.data(), key_.size()) == 0) {
        return true;
      }
    }
    return false;
  }

  std::span<const std::uint8_t> key_;
  std::size_t stride_;
  std::array<unsigned, kIdentityKeyLength - 1> keyPairs_{};
  std::unique_ptr<std::uint8_t[]> pairInKey_;  // 1 for each pair value the key holds
};

}  // namespace

std::optional<std::string_view> IdentityKey(std::string_view driveIdentity) {
  if (driveIdentity.size() < kIdentityKeyLength) return std::nullopt;
  return driveIdentity.substr(0, kIdentityKeyLength);
}

IdentityCheck ScanImage(std::span<const std::uint8_t> image, std::optional<std::string_view> key) {
  assert(!key || key->size() == kIdentityKeyLength);
  std::optional<KeyFinder> finder;
  std::size_t starts = 0;  // offsets at which the whole key lies inside the image
  if (key && key->size() == kIdentityKeyLength && key->size() <= image.size()) {
    // Compared as unsigned bytes: identities may carry characters above 0x7F.
    finder.emplace(std::span(reinterpret_cast<const std::uint8_t*>(key->data()), key->size()));
    starts = image.size() - key->size() + 1;
  }

  std::uint32_t sum = 0;
  bool matches = false;
  std::array<std::uint16_t, kPageCount> pageChecksums{};
  std::size_t page = 0;
  for (std::size_t block = 0; block < image.size(); block += kScanBlockSize, ++page) {
    const std::size_t blockLength = std::min(kScanBlockSize, image.size() - block);
    const std::uint32_t blockSum = SumBytes(image.subspan(block, blockLength));
    sum += blockSum;
    if (page < pageChecksums.size()) pageChecksums[page] = LowSixteenBits(blockSum);
    // Every start inside the block, including one whose key runs on into the
    // next block; starts in the next block are that block's concern.
    if (finder && !matches && block < starts) {
      matches = finder->StartsAtOneOf(image.data() + block, std::min(blockLength, starts - block));
    }
  }
  return {matches, LowSixteenBits(sum), pageChecksums};
}
