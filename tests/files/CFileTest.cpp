// The real file layer under the engine: natively the POSIX back end, under
// Wine the Win32 one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "files/CFile.h"
#include "flash/FirmwareImage.h"
#include "flash/FlashSequence.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"
#include "testing/engine/RecordingObserver.h"
#include "testing/engine/TempFile.h"

namespace {

TEST(CFile, SeeksAndReadsARealFile) {
  const TempFile temp(Pattern(1000));
  CFile file;
  ASSERT_TRUE(file.Open(temp.Path()));
  EXPECT_TRUE(file.IsOpen());

  EXPECT_EQ(file.SeekToEnd(), 1000u);
  EXPECT_TRUE(file.SeekToBegin());
  std::vector<std::uint8_t> buffer(4096);
  EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 1000u);  // one request, cut at the end
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 1000, Pattern(1000).begin()));
  EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 0u);

  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.SeekToBegin());
  EXPECT_FALSE(file.Read(buffer.data(), buffer.size()));
  file.Close();  // closing twice is harmless
}

// Positions past what 32 bits hold, and the one whose low word reads as the
// failure value. The files are sparse: their size costs no disk space.
class CFileLargeSize : public testing::TestWithParam<std::uint64_t> {};

// Extends the file to size bytes by writing its last byte. The 32-bit
// Windows runtime's resize_file cannot pass 4 GiB; a 64-bit seek can.
void ExtendTo(const std::string& path, std::uint64_t size) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(size - 1));
  file.put('\0');
  file.close();
  ASSERT_FALSE(file.fail()) << "cannot extend " << path << " to " << size << " bytes";
  ASSERT_EQ(std::filesystem::file_size(path), size);
}

TEST_P(CFileLargeSize, SeekToEndReportsTheWholeSize) {
  const TempFile temp(Pattern(16));
  ASSERT_NO_FATAL_FAILURE(ExtendTo(temp.Path(), GetParam()));
  CFile file;
  ASSERT_TRUE(file.Open(temp.Path()));
  EXPECT_EQ(file.SeekToEnd(), GetParam());
  EXPECT_TRUE(file.SeekToBegin());
  std::vector<std::uint8_t> buffer(16);
  EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 16u);
  EXPECT_EQ(buffer, Pattern(16));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CFileLargeSize,
                         testing::Values(std::uint64_t{0xFFFFFFFF}, std::uint64_t{0x100000000},
                                         std::uint64_t{0x100000000} + 0x1234));

// A path that was a file a moment ago.
std::string MissingPath() {
  const TempFile gone(Pattern(1));
  return gone.Path();
}

struct SizeCase {
  std::size_t size;
  LoadResult result;
};

void PrintTo(const SizeCase& size, std::ostream* out) { *out << size.size << " bytes"; }

class CFileLoad : public testing::TestWithParam<SizeCase> {};

TEST_P(CFileLoad, ImageTakesFilesUpToItsOwnSize) {
  const std::vector<std::uint8_t> contents = Pattern(GetParam().size);
  const TempFile temp(contents);
  CFile file;
  FirmwareImage image;

  EXPECT_EQ(image.LoadFromFile(temp.Path(), file), GetParam().result) << GetParam().size << " bytes";
  EXPECT_FALSE(file.IsOpen());
  if (GetParam().result == LoadResult::Loaded) {
    EXPECT_TRUE(std::equal(contents.begin(), contents.end(), image.Bytes().begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CFileLoad,
                         testing::Values(SizeCase{1, LoadResult::Loaded}, SizeCase{1000, LoadResult::Loaded},
                                         SizeCase{kImageSize, LoadResult::Loaded},
                                         SizeCase{kImageSize + 1, LoadResult::TooLarge},
                                         SizeCase{0, LoadResult::Empty}));

TEST(CFileRun, FlashesARealFile) {
  const TempFile temp(ContentsWith(kImageSize, kTestKey, kImageSize - kTestKey.size()));
  CFile file;
  RecordingObserver observer;
  RecordingChannel channel;

  EXPECT_EQ(FlashSequence(observer, file).Run(channel, kTestIdentity, temp.Path()), CheckVerdict::Accepted);

  EXPECT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  EXPECT_EQ(observer.RefusedPages(), 0);
  EXPECT_FALSE(file.IsOpen());
}

// Paths the system will not open as a file: nothing is read, nothing is sent.
enum class NotAFile { Missing, Folder };

void PrintTo(NotAFile path, std::ostream* out) { *out << (path == NotAFile::Missing ? "missing" : "folder"); }

class CFileRunOpenFailure : public testing::TestWithParam<NotAFile> {};

TEST_P(CFileRunOpenFailure, DoesNotOpenAndTheRunIsRefusedAsNotOpened) {
  // A folder's name alone, ending as a firmware file's, does not make it an image.
  const TempFolder folder;
  const std::string path = GetParam() == NotAFile::Missing ? MissingPath() : folder.Path();
  CFile file;
  EXPECT_FALSE(file.Open(path));
  EXPECT_FALSE(file.IsOpen());
  RecordingObserver observer;
  RecordingChannel channel;

  EXPECT_EQ(FlashSequence(observer, file).Run(channel, kTestIdentity, path), CheckVerdict::OpenFailed);
  EXPECT_EQ(observer.Events(), 0u);
  EXPECT_TRUE(channel.Pages().empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, CFileRunOpenFailure, testing::Values(NotAFile::Missing, NotAFile::Folder));

}  // namespace
