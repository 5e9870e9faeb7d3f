#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "flash/FirmwareImage.h"
#include "flash/IdentityScan.h"
#include "testing/engine/ImageFixtures.h"

namespace {

constexpr std::size_t kLastFullStart = kImageSize - kIdentityKeyLength;  // 524,264

std::uint16_t Sum16(const std::vector<std::uint8_t>& bytes) {
  return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0}));
}

TEST(IdentityKey, IsTheVendorAndProductAtTheStartOfTheIdentity) {
  EXPECT_EQ(IdentityKey(kTestIdentity), kTestKey);
  EXPECT_EQ(IdentityKey(kTestIdentity.substr(0, 24)), kTestKey);
  EXPECT_FALSE(IdentityKey(kTestIdentity.substr(0, 23)));
  EXPECT_FALSE(IdentityKey(""));
}

struct Placement {
  std::size_t offset;
  bool matches;
};

void PrintTo(const Placement& placement, std::ostream* out) { *out << "offset " << placement.offset; }

class IdentityAtOffset : public testing::TestWithParam<Placement> {};

TEST_P(IdentityAtOffset, MatchesOnlyWhenTheWholeKeyLiesInsideTheImage) {
  std::vector<std::uint8_t> contents = ContentsWith(kImageSize, "", 0);
  const std::size_t fits = std::min(kTestKey.size(), kImageSize - GetParam().offset);
  std::copy_n(kTestKey.begin(), fits, contents.begin() + static_cast<std::ptrdiff_t>(GetParam().offset));
  const FirmwareImage image = LoadedImage(contents);

  const IdentityCheck check = image.MatchesIdentity(kTestIdentity);

  EXPECT_EQ(check.matches, GetParam().matches) << "offset " << GetParam().offset;
  EXPECT_EQ(check.checksum, Sum16(contents));
}

INSTANTIATE_TEST_SUITE_P(Offsets, IdentityAtOffset,
                         testing::Values(Placement{0, true}, Placement{1, true}, Placement{kPageSize - 1, true},
                                         Placement{kLastFullStart, true},       // last byte is the image's last
                                         Placement{kLastFullStart + 1, false},  // cut off by the end
                                         Placement{kImageSize - 1, false}));

TEST(IdentityMatch, CaseAndBlanksCount) {
  std::string lowerCase(kTestKey);
  lowerCase[0] = 'a';
  std::string blankShort(kTestKey);
  blankShort[5] = '_';  // one of the vendor's trailing blanks
  for (const std::string& text : {lowerCase, blankShort}) {
    const FirmwareImage image = LoadedImage(ContentsWith(kImageSize, text, 4096));
    EXPECT_FALSE(image.MatchesIdentity(kTestIdentity).matches) << text;
  }
}

TEST(IdentityMatch, DriveWithoutAnIdentityNeverMatches) {
  // Even an image that starts with the identity and is otherwise blank.
  std::vector<std::uint8_t> contents(kImageSize, ' ');
  std::copy(kTestIdentity.begin(), kTestIdentity.end(), contents.begin());
  const FirmwareImage image = LoadedImage(contents);

  EXPECT_FALSE(image.MatchesIdentity("").matches);
  EXPECT_FALSE(image.MatchesIdentity(kTestKey.substr(0, 23)).matches);
  EXPECT_EQ(image.MatchesIdentity("").checksum, Sum16(contents));
  EXPECT_TRUE(image.MatchesIdentity(std::string(24, ' ')).matches);
}

TEST(IdentityMatch, SeveralOccurrencesCountAsOneAndTheWholeImageIsStillSummed) {
  std::vector<std::uint8_t> contents = ContentsWith(kImageSize, kTestKey, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin() + 300000);
  const FirmwareImage image = LoadedImage(contents);

  const IdentityCheck check = image.MatchesIdentity(kTestIdentity);

  EXPECT_TRUE(check.matches);
  EXPECT_EQ(check.checksum, Sum16(contents));
  EXPECT_EQ(check.checksum, image.Checksum());
}

TEST(IdentityMatch, KeyWithBytesAbove0x7FMatchesTheSameBytes) {
  const std::string identity = "\xC4\xD6\xDC     VENDOR\xE9 DRIVE   1.00        ";
  const std::string key = identity.substr(0, 24);
  EXPECT_TRUE(LoadedImage(ContentsWith(kImageSize, key, 777)).MatchesIdentity(identity).matches);
  EXPECT_FALSE(LoadedImage(ContentsWith(kImageSize, "", 0)).MatchesIdentity(identity).matches);
}

// The pass searches block by block; a key may begin in one block and end in
// the next, at every block boundary of the image.
TEST(ScanImage, FindsKeysThatStraddleEveryBlockBoundary) {
  std::vector<std::uint8_t> image = ContentsWith(kImageSize, "", 0);
  const std::uint16_t plainSum = Sum16(image);
  const std::vector<std::uint8_t> original = image;
  for (std::size_t boundary = kScanBlockSize; boundary < kImageSize; boundary += kScanBlockSize) {
    for (std::size_t start = boundary - kIdentityKeyLength; start <= boundary; ++start) {
      std::copy(kTestKey.begin(), kTestKey.end(), image.begin() + static_cast<std::ptrdiff_t>(start));

      const IdentityCheck check = ScanImage(image, kTestKey);

      ASSERT_TRUE(check.matches) << "key at " << start << ", block boundary " << boundary;
      ASSERT_EQ(check.checksum, Sum16(image));
      std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(start), kTestKey.size(),
                  image.begin() + static_cast<std::ptrdiff_t>(start));
    }
  }
  EXPECT_FALSE(ScanImage(image, kTestKey).matches);
  EXPECT_EQ(ScanImage(image, kTestKey).checksum, plainSum);
}

// Every sampled place looks like part of the key; only the whole key counts.
TEST(ScanImage, ImageFullOfNearMissesMatchesOnlyTheWholeKey) {
  std::string nearMiss(kTestKey);
  nearMiss.back() = 'Y';
  std::vector<std::uint8_t> image(kImageSize);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(nearMiss[i % nearMiss.size()]);
  EXPECT_FALSE(ScanImage(image, kTestKey).matches);

  for (const std::size_t at : {std::size_t{0}, std::size_t{12345}, kScanBlockSize - 7, kImageSize - kTestKey.size()}) {
    std::vector<std::uint8_t> withKey = image;
    std::copy(kTestKey.begin(), kTestKey.end(), withKey.begin() + static_cast<std::ptrdiff_t>(at));
    EXPECT_TRUE(ScanImage(withKey, kTestKey).matches) << "key at " << at;
  }
}

TEST(ScanImage, KeyCutOffByTheEndOfAShortImageDoesNotMatch) {
  std::vector<std::uint8_t> image = ContentsWith(kScanBlockSize + 10, "", 0);
  std::copy_n(kTestKey.begin(), 10, image.end() - 10);
  EXPECT_FALSE(ScanImage(image, kTestKey).matches);
  std::copy_n(kTestKey.begin(), kTestKey.size(), image.end() - static_cast<std::ptrdiff_t>(kTestKey.size()));
  EXPECT_TRUE(ScanImage(image, kTestKey).matches);
}

}  // namespace
