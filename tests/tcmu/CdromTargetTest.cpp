#include "testing/tcmu/CdromTarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "flash/FlashConstants.h"
#include "testing/tcmu/TargetReport.h"

namespace {

// A command as the ring would hand it: the CDB and one buffer over data.
struct Delivered {
  std::vector<std::uint8_t> cdb;
  std::vector<std::uint8_t> data;
  TcmuCommand Command() {
    TcmuCommand command;
    command.cdb = cdb;
    if (!data.empty()) command.buffers.push_back(std::span<std::uint8_t>(data));
    return command;
  }
};

std::vector<std::uint8_t> Page(int page) {
  std::vector<std::uint8_t> bytes(kPageSize);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + page * 13);
  return bytes;
}

std::uint16_t Sum(const std::vector<std::uint8_t>& bytes) {
  return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

// The first 10 bytes of a page write, all the kernel's target passes on.
std::vector<std::uint8_t> PageWriteHead(int page, std::uint16_t imageSum) {
  const std::uint16_t pageSum = Sum(Page(page));
  return {0xFD, 0x07, 'Z', 'Y', 'N', 'K', static_cast<std::uint8_t>(pageSum >> 8), static_cast<std::uint8_t>(pageSum),
          static_cast<std::uint8_t>(imageSum >> 8), static_cast<std::uint8_t>(imageSum)};
}

std::uint16_t ImageSum() {
  std::uint32_t sum = 0;
  for (int page = 1; page <= kPageCount; ++page) sum += Sum(Page(page));
  return static_cast<std::uint16_t>(sum);
}

class CdromTargetTest : public ::testing::Test {
 protected:
  TcmuAnswer Send(std::vector<std::uint8_t> cdb, std::vector<std::uint8_t> data = {}) {
    Delivered delivered{std::move(cdb), std::move(data)};
    auto answer = target.Handle(delivered.Command());
    lastData = delivered.data;
    EXPECT_TRUE(answer.has_value());
    return answer.value_or(TcmuAnswer{});
  }
  std::vector<TcmuAnswer> FlashAll() {
    std::vector<TcmuAnswer> answers;
    for (int page = 1; page <= kPageCount; ++page) answers.push_back(Send(PageWriteHead(page, ImageSum()), Page(page)));
    return answers;
  }

  EmulatedDrive drive{InquiryData{0x05, "COMBOEMU", "VIRTUAL COMBO RW", "1.00"}};
  CdromTarget target{drive};
  std::vector<std::uint8_t> lastData;
};

TEST_F(CdromTargetTest, InquiryGivesTheIdentityAsARemovableCdRom) {
  const TcmuAnswer answer = Send({0x12, 0, 0, 0, 96, 0}, std::vector<std::uint8_t>(96, 0xEE));

  EXPECT_EQ(answer.scsiStatus, 0);
  EXPECT_EQ(lastData[0], 0x05);
  EXPECT_EQ(lastData[1], 0x80);
  EXPECT_EQ(lastData[4], 31);
  EXPECT_EQ(std::string(lastData.begin() + 8, lastData.begin() + 36), "COMBOEMUVIRTUAL COMBO RW1.00");
  EXPECT_EQ(std::count(lastData.begin() + 36, lastData.end(), 0), 60) << "zeros beyond the 36 bytes of the answer";
}

TEST_F(CdromTargetTest, InquiryStopsAtTheAllocationLength) {
  Send({0x12, 0, 0, 0, 5, 0}, std::vector<std::uint8_t>(36, 0xEE));

  EXPECT_EQ(lastData[4], 31);
  EXPECT_EQ(lastData[5], 0) << "the transfer's rest is zeroed, not left as it was";
}

TEST_F(CdromTargetTest, RefusesWhatACdRomWithoutADiscRefuses) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> cdb;
    std::uint8_t key, asc;
  };
  const Case cases[] = {
      {"test unit ready: no medium", {0x00, 0, 0, 0, 0, 0}, 0x02, 0x3A},
      {"vital product data page", {0x12, 0x01, 0x00, 0, 36, 0}, 0x05, 0x24},
      {"read toc", {0x43, 0, 0, 0, 0, 0, 0, 0, 12, 0}, 0x05, 0x20},
      {"get configuration", {0x46, 0, 0, 0, 0, 0, 0, 0, 8, 0}, 0x05, 0x20},
      {"another vendor command", {0xFC, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x05, 0x20},
  };
  for (const Case& c : cases) {
    const TcmuAnswer answer = Send(c.cdb);
    EXPECT_EQ(answer.scsiStatus, 0x02) << c.name;
    EXPECT_EQ(answer.sense[0], 0x70) << c.name;
    EXPECT_EQ(answer.sense[2], c.key) << c.name;
    EXPECT_EQ(answer.sense[12], c.asc) << c.name;
  }
  EXPECT_EQ(drive.PagesAccepted(), 0);
}

TEST_F(CdromTargetTest, AWholeFlashFromTenByteCommandsLeavesTheImageComplete) {
  for (const TcmuAnswer& answer : FlashAll()) EXPECT_EQ(answer.scsiStatus, 0);

  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  for (int page = 1; page <= kPageCount; ++page) {
    const auto stored = drive.Image().subspan(static_cast<std::size_t>(page - 1) * kPageSize, kPageSize);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), Page(page).begin())) << "page " << page;
  }
  ASSERT_EQ(target.Log().size(), 32u);
  EXPECT_EQ(target.Log()[0].cdb.size(), 10u) << "the log keeps what the kernel delivered";
}

TEST_F(CdromTargetTest, ARefusedPageAnswersWithTheGivenSenseAndTheRestGoOn) {
  drive.Behaviour().refusedPage = 9;
  drive.Behaviour().refusalSense = {0x03, 0x0C, 0x00};

  const std::vector<TcmuAnswer> answers = FlashAll();

  for (int page = 1; page <= kPageCount; ++page) {
    const TcmuAnswer& answer = answers[static_cast<std::size_t>(page - 1)];
    if (page == 9) {
      EXPECT_EQ(answer.scsiStatus, 0x02);
      EXPECT_EQ(answer.sense[2], 0x03);
      EXPECT_EQ(answer.sense[12], 0x0C);
    } else {
      EXPECT_EQ(answer.scsiStatus, 0) << "page " << page;
    }
  }
  EXPECT_EQ(drive.Verdict(), "image incomplete: 31 of 32 pages accepted");
  const std::string report = TargetReportText(drive, target.Log());
  EXPECT_NE(report.find("\ndrive commands=32 pages=31 verdict=image incomplete: 31 of 32 pages accepted\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("status 02 sense 03/0c/00\n"), std::string::npos) << report;
}

TEST_F(CdromTargetTest, AMalformedPageWriteIsAnInvalidFieldNotTheRefusal) {
  std::vector<std::uint8_t> cdb = PageWriteHead(1, ImageSum());
  cdb[2] = 'X';

  const TcmuAnswer answer = Send(cdb, Page(1));

  EXPECT_EQ(answer.sense[2], 0x05);
  EXPECT_EQ(answer.sense[12], 0x24);
  EXPECT_FALSE(drive.Violations().empty());
}

TEST_F(CdromTargetTest, APageWithoutItsDataIsAViolation) {
  Send(PageWriteHead(1, ImageSum()));

  EXPECT_EQ(drive.PagesAccepted(), 0);
  EXPECT_NE(drive.Verdict().find("without a 16384-byte data-out phase"), std::string::npos) << drive.Verdict();
}

TEST_F(CdromTargetTest, APageAnsweredLateWaitsTheTargetsDelayFirst) {
  target.SetTiming({.pages = AnswerTiming::When::Late, .lateBy = std::chrono::milliseconds(1500)});
  std::vector<std::chrono::milliseconds> waits;
  target.SetSleeper([&](std::chrono::milliseconds wait) { waits.push_back(wait); });

  EXPECT_EQ(Send(PageWriteHead(1, ImageSum()), Page(1)).scsiStatus, 0);

  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].count(), 1500);
}

// The page writes of one flash as the kernel delivers them (10 bytes), each
// handed to the target; a page the target holds is offered the next page,
// as the ring does once the kernel has given up on it and sent the next.
struct FlashThroughTarget {
  std::vector<std::optional<TcmuAnswer>> answers;  // what Handle gave each page
  std::vector<std::optional<TcmuAnswer>> letGo;    // what Overtaken gave a held page for the next one
};

FlashThroughTarget FlashHolding(CdromTarget& target) {
  FlashThroughTarget flash;
  std::optional<Delivered> held;
  for (int page = 1; page <= kPageCount; ++page) {
    Delivered delivered{PageWriteHead(page, ImageSum()), Page(page)};
    if (held) {
      const Delivered testUnitReady{{0x00, 0, 0, 0, 0, 0}, {}};
      EXPECT_FALSE(target.Overtaken(held->Command(), Delivered(testUnitReady).Command())) << "page " << page;
      flash.letGo.push_back(target.Overtaken(held->Command(), delivered.Command()));
      held.reset();
    }
    flash.answers.push_back(target.Handle(delivered.Command()));
    if (!flash.answers.back()) held = delivered;
  }
  return flash;
}

TEST_F(CdromTargetTest, APageItHangsOnGoesUnansweredUntilTheNextPageAndTheRestAreWritten) {
  target.StopAnsweringAtPage(5);

  const FlashThroughTarget flash = FlashHolding(target);

  for (int page = 1; page <= kPageCount; ++page) {
    EXPECT_EQ(flash.answers[static_cast<std::size_t>(page - 1)].has_value(), page != 5) << "page " << page;
  }
  ASSERT_EQ(flash.letGo.size(), 1u);
  ASSERT_TRUE(flash.letGo[0].has_value());
  EXPECT_EQ(flash.letGo[0]->scsiStatus, 0x02);
  EXPECT_EQ(flash.letGo[0]->sense[2], 0x0B) << "aborted command";
  // The drive never saw page 5, and says so.
  EXPECT_TRUE(drive.Verdict().starts_with("image incomplete: 31 of 32 pages accepted; command 5: page 6 after page 4"))
      << drive.Verdict();
  const auto sixth = drive.Image().subspan(5 * kPageSize, kPageSize);
  EXPECT_TRUE(std::equal(sixth.begin(), sixth.end(), Page(6).begin())) << "page 6 is stored as page 6";
  EXPECT_NE(TargetReportText(drive, target.Log()).find("unanswered: fd 07 5a 59 4e 4b"), std::string::npos);
}

TEST_F(CdromTargetTest, PulledOutAtAPageItDetachesOnceThereAndLeavesThatPageUnanswered) {
  std::vector<int> acceptedWhenDetached;
  target.DetachAtPage(30, [&] { acceptedWhenDetached.push_back(drive.PagesAccepted()); });

  const FlashThroughTarget flash = FlashHolding(target);

  EXPECT_EQ(acceptedWhenDetached, std::vector<int>{29});
  EXPECT_FALSE(flash.answers[29].has_value());
  EXPECT_TRUE(flash.answers[28].has_value());
}

TEST_F(CdromTargetTest, AnInquiryItNeverAnswersGoesOnlyWhenTheNextInquiryComes) {
  target.SetTiming({.inquiry = AnswerTiming::When::Never});
  Delivered first{{0x12, 0, 0, 0, 36, 0}, std::vector<std::uint8_t>(36)};
  Delivered second{{0x12, 0, 0, 0, 36, 0}, std::vector<std::uint8_t>(36)};
  Delivered page{PageWriteHead(1, ImageSum()), Page(1)};

  EXPECT_FALSE(target.Handle(first.Command()).has_value());
  EXPECT_FALSE(target.Overtaken(first.Command(), page.Command()).has_value());
  EXPECT_TRUE(target.Overtaken(first.Command(), second.Command()).has_value());
}

TEST_F(CdromTargetTest, APageNeverAnsweredIsLeftWithTheKernel) {
  target.SetTiming({.pages = AnswerTiming::When::Never});
  Delivered delivered{PageWriteHead(1, ImageSum()), Page(1)};

  EXPECT_FALSE(target.Handle(delivered.Command()).has_value());
  EXPECT_EQ(drive.PagesAccepted(), 0);
  ASSERT_EQ(target.Log().size(), 1u);
  EXPECT_FALSE(target.Log()[0].answered);
}

}  // namespace
