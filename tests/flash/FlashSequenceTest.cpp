#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "flash/FlashSequence.h"
#include "flash/PageWriteCommand.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/RecordingChannel.h"
#include "testing/engine/RecordingObserver.h"

namespace {

const std::string kBinPath = "C:\\firmware\\combo.bin";

// The drive's key at offset 0 of a file of the given size, zeros after it:
// image checksum and page 1 checksum 0x05bb, every other page 0.
std::vector<std::uint8_t> KeyThenZeros(std::size_t size) {
  std::vector<std::uint8_t> contents(size, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  return contents;
}

class FlashRun : public testing::Test {
 protected:
  CheckVerdict Run(std::vector<std::uint8_t> contents, const std::string& path = kBinPath, FileFaults faults = {},
                   std::string_view identity = kTestIdentity) {
    file = std::make_unique<FakeFirmwareFile>(std::move(contents), faults);
    return FlashSequence(observer, *file).Run(channel, identity, path);
  }

  RecordingObserver observer;
  RecordingChannel channel;
  std::unique_ptr<FakeFirmwareFile> file;
};

TEST_F(FlashRun, AnnouncesThenWritesEveryPageInOrderThenSumsUp) {
  std::vector<std::size_t> eventsBeforeWrite;
  channel.onWrite = [&](int) { eventsBeforeWrite.push_back(observer.Events()); };
  EXPECT_EQ(Run(KeyThenZeros(1000)), CheckVerdict::Accepted);

  EXPECT_EQ(observer.AnnouncedChecksum(), 0x5bb);
  EXPECT_EQ(observer.AnnouncedAt(), 0u);
  ASSERT_EQ(observer.Pages().size(), static_cast<std::size_t>(kPageCount));
  for (int page = 1; page <= kPageCount; ++page) {
    const ObservedPage& observed = observer.Pages()[page - 1];
    EXPECT_EQ(observed.page, page);
    EXPECT_EQ(observed.checksum, page == 1 ? 0x5bb : 0) << "page " << page;
    EXPECT_TRUE(observed.accepted) << "page " << page;
    // Each command leaves after the announcement and the previous page's
    // report, and before its own.
    EXPECT_EQ(eventsBeforeWrite[page - 1], static_cast<std::size_t>(page)) << "page " << page;
  }
  EXPECT_EQ(observer.RefusedPages(), 0);
  EXPECT_EQ(observer.FinishedAt(), 1u + kPageCount);
  EXPECT_FALSE(file->IsOpen());
}

TEST_F(FlashRun, SendsEveryPageInOrderWithItsChecksumsAndData) {
  // Each page starts with its own number, so a page sent from the wrong place shows.
  std::vector<std::uint8_t> contents = ContentsWith(kImageSize, kTestKey, 5 * kPageSize + 100);
  for (int page = 1; page <= kPageCount; ++page) contents[(page - 1) * kPageSize] = static_cast<std::uint8_t>(page);
  const auto imageChecksum = static_cast<std::uint16_t>(std::accumulate(contents.begin(), contents.end(), 0u));
  Run(contents);

  ASSERT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  for (int page = 1; page <= kPageCount; ++page) {
    const ReceivedPage& received = channel.Pages()[page - 1];
    const auto pageBegin = contents.begin() + (page - 1) * static_cast<std::ptrdiff_t>(kPageSize);
    const std::uint32_t pageSum = std::accumulate(pageBegin, pageBegin + kPageSize, 0u);
    const auto pageChecksum = static_cast<std::uint16_t>(pageSum);
    EXPECT_EQ(received.command.bytes, BuildPageWriteCommand(page, pageChecksum, imageChecksum).bytes) << "page " << page;
    EXPECT_EQ(received.command.PageNumber(), page);
    EXPECT_EQ(received.dataOffset, (page - 1) * kPageSize) << "page " << page;
    EXPECT_EQ(received.firstByte, page);
    EXPECT_EQ(received.dataSum, pageSum) << "page " << page;
    // What the front end is told is what went on the wire.
    EXPECT_EQ(observer.Pages()[page - 1].checksum, pageChecksum) << "page " << page;
  }
  EXPECT_EQ(observer.AnnouncedChecksum(), imageChecksum);
}

TEST_F(FlashRun, ShortFileStillSendsAllPagesWithZeroPagesAfterIt) {
  Run(KeyThenZeros(1000));

  ASSERT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  EXPECT_EQ(channel.Pages()[0].dataSum, 0x5bbu);
  for (int page = 2; page <= kPageCount; ++page) {
    EXPECT_EQ(channel.Pages()[page - 1].dataSum, 0u) << "page " << page;
    EXPECT_EQ(channel.Pages()[page - 1].command.bytes[6], 0);
    EXPECT_EQ(channel.Pages()[page - 1].command.bytes[7], 0);
  }
}

struct RefusalCase {
  std::set<int> refused;
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.refused.size() << " refused"; }

class FlashRunRefusedPages : public FlashRun, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FlashRunRefusedPages, GoesOnWithEveryPageThenCountsTheRefused) {
  channel = RecordingChannel(GetParam().refused);
  EXPECT_EQ(Run(KeyThenZeros(1000)), CheckVerdict::Accepted);

  EXPECT_EQ(channel.Pages().size(), static_cast<std::size_t>(kPageCount));
  ASSERT_EQ(observer.Pages().size(), static_cast<std::size_t>(kPageCount));
  for (const ObservedPage& page : observer.Pages()) {
    EXPECT_EQ(page.accepted, GetParam().refused.count(page.page) == 0) << "page " << page.page;
  }
  EXPECT_EQ(observer.RefusedPages(), static_cast<int>(GetParam().refused.size()));
  EXPECT_EQ(observer.FinishedAt(), 1u + kPageCount);
}

std::set<int> AllPages() {
  std::set<int> pages;
  for (int page = 1; page <= kPageCount; ++page) pages.insert(page);
  return pages;
}

INSTANTIATE_TEST_SUITE_P(Refusals, FlashRunRefusedPages,
                         testing::Values(RefusalCase{{1}}, RefusalCase{{3, 17, 32}}, RefusalCase{AllPages()}));

// A refused file, at each stage of the check: by its name, in loading, by
// the drive's identity. The verdicts of every kind of file are CheckOf's.
struct RefusedFile {
  const char* name;
  std::string path;
  std::vector<std::uint8_t> contents;
  CheckVerdict verdict;
};

void PrintTo(const RefusedFile& refused, std::ostream* out) { *out << refused.name; }

class FlashRunRefusedFile : public FlashRun, public testing::WithParamInterface<RefusedFile> {};

TEST_P(FlashRunRefusedFile, GivesTheVerdictAndNeitherSendsNorTellsAnything) {
  const RefusedFile& refused = GetParam();
  EXPECT_EQ(Run(refused.contents, refused.path), refused.verdict);

  EXPECT_EQ(observer.Events(), 0u);
  EXPECT_TRUE(channel.Pages().empty());
  EXPECT_FALSE(file->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Stages, FlashRunRefusedFile,
    testing::Values(RefusedFile{"HexPath", "C:\\firmware\\combo.hex", KeyThenZeros(1000), CheckVerdict::HexFile},
                    RefusedFile{"EmptyFile", kBinPath, {}, CheckVerdict::Empty},
                    RefusedFile{"OtherDrivesFile", kBinPath, ContentsWith(1000, "ACME    COMBO DVD/RW 48X", 0),
                                CheckVerdict::Mismatch}),
    [](const testing::TestParamInfo<RefusedFile>& refused) { return std::string(refused.param.name); });

}  // namespace
