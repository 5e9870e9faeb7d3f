// The emulated drive must object to what a real drive would refuse, or the
// transports' tests would prove nothing.
#include "testing/drive/EmulatedDrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "DeviceTestSupport.h"

namespace {

class EmulatedDriveTest : public testing::Test {
 protected:
  DriveAnswer Send(PageWriteCommand command, int dataPage) {
    std::vector<std::uint8_t> data(firmware.image.PageData(dataPage).begin(), firmware.image.PageData(dataPage).end());
    return drive.Execute(command.bytes, DataDirection::Out, data.data(), data.size());
  }
  void SendAll() {
    for (int page = 1; page <= kPageCount; ++page) Send(firmware.commands[page - 1], page);
  }

  TestFirmware firmware;
  EmulatedDrive drive;
};

TEST_F(EmulatedDriveTest, AcceptsAWholeRunInOrder) {
  SendAll();
  EXPECT_TRUE(drive.ImageCompleteAndConsistent());
  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
}

TEST_F(EmulatedDriveTest, ObjectsToPagesOutOfOrder) {
  Send(firmware.commands[1], 2);
  EXPECT_FALSE(drive.ImageCompleteAndConsistent());
  EXPECT_EQ(drive.Violations().at(0), "command 1: page 2 after page 0");
}

TEST_F(EmulatedDriveTest, ObjectsToDataThatDoesNotMatchThePageChecksum) {
  Send(firmware.commands[0], 2);
  EXPECT_NE(drive.Violations().at(0).find("page 1 checksum"), std::string::npos);
}

TEST_F(EmulatedDriveTest, ObjectsToAnImageChecksumThatChangesOrIsNotTheSumOfThePages) {
  for (int page = 1; page <= kPageCount; ++page) {
    PageWriteCommand command = firmware.commands[page - 1];
    if (page == 5) command.bytes[9] ^= 1;
    Send(command, page);
  }
  ASSERT_EQ(drive.Violations().size(), 1u);
  EXPECT_NE(drive.Violations()[0].find("differs from the first"), std::string::npos);

  EmulatedDrive other;
  for (int page = 1; page <= kPageCount; ++page) {
    PageWriteCommand command = firmware.commands[page - 1];
    command.bytes[8] ^= 0x10;  // wrong in every command alike
    std::vector<std::uint8_t> data(firmware.image.PageData(page).begin(), firmware.image.PageData(page).end());
    other.Execute(command.bytes, DataDirection::Out, data.data(), data.size());
  }
  ASSERT_EQ(other.Violations().size(), 1u);
  EXPECT_NE(other.Violations()[0].find("but the pages sum to"), std::string::npos);
}

TEST_F(EmulatedDriveTest, RefusesAForeignSignatureOrPageCount) {
  PageWriteCommand command = firmware.commands[0];
  command.bytes[3] = 'X';
  EXPECT_EQ(Send(command, 1).status, 0x02);
  command = firmware.commands[0];
  command.bytes[11] = 31;
  Send(command, 1);
  ASSERT_EQ(drive.Violations().size(), 2u);
  EXPECT_NE(drive.Violations()[1].find("byte 11"), std::string::npos);
}

TEST_F(EmulatedDriveTest, RefusedPageIsNotPartOfTheImage) {
  drive.Behaviour().refusedPage = 3;
  SendAll();
  EXPECT_EQ(drive.PagesAccepted(), 31);
  EXPECT_TRUE(drive.Violations().empty());
  EXPECT_EQ(drive.Verdict(), "image incomplete: 31 of 32 pages accepted");
}

// A second flash in one session starts again at page 1 after page 32; the
// drive judges each flash on its own, and holds what the latest one left.
TEST_F(EmulatedDriveTest, JudgesTwoWholeFlashesEachOnItsOwn) {
  SendAll();
  SendAll();
  ASSERT_EQ(drive.Sequences().size(), 2u);
  for (const PageSequence& sequence : drive.Sequences()) {
    EXPECT_EQ(sequence.Verdict(), "image complete and consistent");
    EXPECT_EQ(sequence.PagesAccepted(), 32);
  }
  EXPECT_TRUE(drive.Violations().empty());
  EXPECT_EQ(drive.Verdict(), "image complete and consistent");
  EXPECT_TRUE(std::equal(firmware.bytes.begin(), firmware.bytes.end(), drive.Image().begin()));
}

TEST_F(EmulatedDriveTest, APageRefusedInTheSecondFlashIsMissingFromTheDrive) {
  drive.Behaviour().refusedPage = 5;
  drive.Behaviour().refusedInSequence = 2;
  SendAll();
  SendAll();
  ASSERT_EQ(drive.Sequences().size(), 2u);
  EXPECT_EQ(drive.Sequences()[0].Verdict(), "image complete and consistent");
  EXPECT_EQ(drive.Sequences()[1].Verdict(), "image incomplete: 31 of 32 pages accepted");
  EXPECT_FALSE(drive.ImageCompleteAndConsistent());
  EXPECT_EQ(drive.Verdict(), "sequence 2: image incomplete: 31 of 32 pages accepted");
  EXPECT_EQ(drive.PagesAccepted(), 31);
  // The first flash's page 5 does not stand in for the one refused now.
  const auto page5 = drive.Image().subspan(4 * kPageSize, kPageSize);
  EXPECT_TRUE(std::all_of(page5.begin(), page5.end(), [](std::uint8_t byte) { return byte == 0; }));
}

TEST_F(EmulatedDriveTest, AFlashBrokenOffBeforePage32DoesNotStartANewSequence) {
  for (int page = 1; page <= 10; ++page) Send(firmware.commands[page - 1], page);
  SendAll();
  ASSERT_EQ(drive.Sequences().size(), 1u);
  EXPECT_EQ(drive.Violations().at(0), "command 11: page 1 after page 10");
  EXPECT_FALSE(drive.ImageCompleteAndConsistent());
}

TEST_F(EmulatedDriveTest, NamesEachSequenceThatWentWrong) {
  SendAll();
  for (int page = 1; page <= kPageCount; ++page) {
    PageWriteCommand command = firmware.commands[page - 1];
    if (page == 3) command.bytes[6] ^= 1;  // page checksum off by one
    Send(command, page);
  }
  drive.Behaviour().refusedPage = 32;
  SendAll();
  ASSERT_EQ(drive.Sequences().size(), 3u);
  EXPECT_TRUE(drive.Sequences()[0].CompleteAndConsistent());
  ASSERT_EQ(drive.Sequences()[1].violations.size(), 1u);
  EXPECT_NE(drive.Sequences()[1].violations[0].find("command 35: page 3 checksum"), std::string::npos);
  const std::string verdict = drive.Verdict();
  EXPECT_EQ(verdict.find("sequence 1"), std::string::npos) << verdict;
  EXPECT_EQ(verdict.find("sequence 2: command 35: page 3 checksum"), 0u) << verdict;
  EXPECT_NE(verdict.find("; sequence 3: image incomplete: 31 of 32 pages accepted"), std::string::npos) << verdict;
}

// What a drive says with each CHECK CONDITION: current sense, fixed format,
// 18 bytes, ten of them additional.
struct SenseCase {
  const char* name;
  std::vector<std::uint8_t> cdb;
  DriveBehaviour behaviour;
  std::vector<std::uint8_t> sense;
};

void PrintTo(const SenseCase& c, std::ostream* out) { *out << c.name; }

class DriveSense_ : public testing::TestWithParam<SenseCase> {};

TEST_P(DriveSense_, ComesWithTheCheckConditionInFixedFormat) {
  const SenseCase& c = GetParam();
  EmulatedDrive drive({}, c.behaviour);
  std::vector<std::uint8_t> data(36);
  const DriveAnswer answer = drive.Execute(c.cdb, DataDirection::In, data.data(), data.size());
  EXPECT_EQ(answer.status, 0x02);
  EXPECT_EQ(answer.sense, c.sense);
}

DriveBehaviour RefusingInquiry(SenseCode sense) {
  DriveBehaviour behaviour;
  behaviour.refuseInquiry = true;
  behaviour.refusalSense = sense;
  return behaviour;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveSense_,
    testing::Values(
        SenseCase{"RefusalAsTold", {0x12, 0, 0, 0, 36, 0}, RefusingInquiry({0x03, 0x0C, 0x00}),
                  {0x70, 0, 0x03, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x0C, 0x00, 0, 0, 0, 0}},
        SenseCase{"RefusalByDefaultInvalidField", {0x12, 0, 0, 0, 36, 0}, RefusingInquiry(DriveBehaviour{}.refusalSense),
                  {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x00, 0, 0, 0, 0}},
        SenseCase{"ShortPageWriteInvalidField", {0xFD, 0x07, 'Z', 'Y', 'N', 'K', 0, 0, 0, 0, 1}, DriveBehaviour{},
                  {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x00, 0, 0, 0, 0}},
        SenseCase{"UnknownOperationCode", {0x5A, 0, 0, 0, 36, 0}, DriveBehaviour{},
                  {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0x00, 0, 0, 0, 0}}),
    [](const testing::TestParamInfo<SenseCase>& row) { return std::string(row.param.name); });

TEST_F(EmulatedDriveTest, AnswersTheInquiryWithPaddedIdentification) {
  EmulatedDrive identified({0x25, "AB", "CD", "EF"});
  std::vector<std::uint8_t> data(36, 0xEE);
  const std::uint8_t cdb[12] = {0x12, 0, 0, 0, 36};
  const DriveAnswer answer = identified.Execute(cdb, DataDirection::In, data.data(), data.size());
  EXPECT_EQ(answer.status, 0);
  EXPECT_TRUE(answer.sense.empty());
  EXPECT_EQ(data[0], 0x25);
  EXPECT_EQ(std::string(data.begin() + 8, data.end()), "AB      CD              EF  ");
}

}  // namespace
