#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "flash/FirmwareImage.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"

namespace {

TEST(FirmwareImage, ReadsAsZerosBeforeAnyLoad) {
  const FirmwareImage image;
  EXPECT_TRUE(std::all_of(image.Bytes().begin(), image.Bytes().end(), [](std::uint8_t byte) { return byte == 0; }));
  EXPECT_EQ(image.Checksum(), 0);
  EXPECT_EQ(image.PageData(kPageCount).size(), kPageSize);
}

TEST(FirmwareImageLoad, FileOfExactlyTheImageSizeFillsIt) {
  const std::vector<std::uint8_t> contents = Pattern(kImageSize);
  FirmwareImage image;
  FakeFirmwareFile file(contents);

  EXPECT_EQ(image.LoadFromFile("full.bin", file), LoadResult::Loaded);
  EXPECT_TRUE(std::equal(contents.begin(), contents.end(), image.Bytes().begin()));
  EXPECT_EQ(file.OpenedPath(), "full.bin");
  EXPECT_FALSE(file.IsOpen());
}

TEST(FirmwareImageLoad, ShortFileLeavesTheRestOfTheImageZero) {
  const std::vector<std::uint8_t> contents = Pattern(1000);
  const FirmwareImage image = LoadedImage(contents);

  EXPECT_TRUE(std::equal(contents.begin(), contents.end(), image.Bytes().begin()));
  EXPECT_TRUE(std::all_of(image.Bytes().begin() + 1000, image.Bytes().end(), [](std::uint8_t b) { return b == 0; }));
  const auto fileSum = std::accumulate(contents.begin(), contents.end(), std::uint32_t{0});
  EXPECT_EQ(image.Checksum(), fileSum & 0xFFFF);
  EXPECT_EQ(image.PageChecksum(1), fileSum & 0xFFFF);
  for (int page = 2; page <= kPageCount; ++page) EXPECT_EQ(image.PageChecksum(page), 0) << "page " << page;
}

TEST(FirmwareImageLoad, ReloadingAShorterFileClearsWhatTheLongerOneLeft) {
  FirmwareImage image;
  FakeFirmwareFile full(std::vector<std::uint8_t>(kImageSize, 0x5A));
  ASSERT_EQ(image.LoadFromFile("full.bin", full), LoadResult::Loaded);
  FakeFirmwareFile shortFile(std::vector<std::uint8_t>(10, 0x11));
  ASSERT_EQ(image.LoadFromFile("short.bin", shortFile), LoadResult::Loaded);

  EXPECT_EQ(image.Checksum(), 10 * 0x11);
  EXPECT_EQ(image.Bytes()[10], 0);
  EXPECT_EQ(image.Bytes()[kImageSize - 1], 0);
}

TEST(FirmwareImageChecksums, AllOnesImageSumsToZeroAndEachPageTo0xC000) {
  const FirmwareImage image = LoadedImage(std::vector<std::uint8_t>(kImageSize, 0xFF));

  EXPECT_EQ(image.Checksum(), 0);
  EXPECT_EQ(image.MatchesIdentity(kTestIdentity).checksum, 0);
  for (int page = 1; page <= kPageCount; ++page) EXPECT_EQ(image.PageChecksum(page), 0xC000) << "page " << page;
}

TEST(FirmwareImageChecksums, PageChecksumSumsOnlyItsOwnPage) {
  std::vector<std::uint8_t> contents(kImageSize);
  for (int page = 1; page <= kPageCount; ++page) {
    contents[(page - 1) * kPageSize] = static_cast<std::uint8_t>(page);            // first byte of the page
    contents[page * kPageSize - 1] = static_cast<std::uint8_t>(0x80 + page);       // last byte of the page
  }
  const FirmwareImage image = LoadedImage(contents);

  for (int page = 1; page <= kPageCount; ++page) {
    EXPECT_EQ(image.PageChecksum(page), page + 0x80 + page) << "page " << page;
    EXPECT_EQ(image.PageData(page).data(), image.Bytes().data() + (page - 1) * kPageSize);
    EXPECT_EQ(image.PageData(page).front(), page);
  }
}

}  // namespace
