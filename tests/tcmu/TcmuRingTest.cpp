#include "testing/tcmu/TcmuRing.h"

#include <gtest/gtest.h>

#include <numeric>

#include "testing/drive/ScsiWireValues.h"
#include "tests/tcmu/FakeTcmuArea.h"

namespace {

// Answers every command GOOD (or leaves the n-th unanswered), filling
// data-in buffers with a counting pattern, and keeps what it was given.
class ScriptedHandler final : public TcmuCommandHandler {
 public:
  std::optional<TcmuAnswer> Handle(const TcmuCommand& command) override {
    cdbs.emplace_back(command.cdb.begin(), command.cdb.end());
    dataOut.push_back(command.CopyOut());
    if (static_cast<int>(cdbs.size()) == holdCommand) return std::nullopt;
    std::vector<std::uint8_t> pattern(command.DataLength());
    std::iota(pattern.begin(), pattern.end(), std::uint8_t{1});
    if (fillIn) command.CopyIn(pattern);
    TcmuAnswer answer;
    answer.scsiStatus = status;
    answer.sense[2] = 0x05;
    return answer;
  }
  // Lets a held command go when a command with this opcode is behind it.
  std::optional<TcmuAnswer> Overtaken(const TcmuCommand& held, const TcmuCommand& later) override {
    overtakers.emplace_back(later.cdb.begin(), later.cdb.end());
    if (later.cdb[0] != overtakingOpcode) return std::nullopt;
    heldWhenLetGo.assign(held.cdb.begin(), held.cdb.end());
    TcmuAnswer answer;
    answer.scsiStatus = 0x02;
    answer.sense[2] = 0x0B;
    return answer;
  }
  std::vector<std::vector<std::uint8_t>> cdbs;
  std::vector<std::vector<std::uint8_t>> dataOut;
  std::vector<std::vector<std::uint8_t>> overtakers;
  std::vector<std::uint8_t> heldWhenLetGo;
  std::uint8_t overtakingOpcode = 0xFF;
  int holdCommand = 0;
  bool fillIn = false;
  std::uint8_t status = 0;
};

const std::vector<std::uint8_t> kTestUnitReady = {0x00, 0, 0, 0, 0, 0};
const std::vector<std::uint8_t> kInquiry = {0x12, 0, 0, 0, 36, 0};

TEST(TcmuRing, RefusesAnAreaItCannotServe) {
  struct Case {
    const char* name;
    std::uint16_t version;
    std::uint32_t ringOffset;
    std::uint32_t ringSize;
  };
  const Case cases[] = {
      {"older mailbox", 1, 128, 4096},
      {"ring beyond the area", 2, 128, 1u << 30},
      {"ring over the mailbox", 2, 8, 4096},
      {"empty ring", 2, 128, 0},
  };
  for (const Case& c : cases) {
    FakeTcmuArea area;
    area.SetMailbox(c.version, c.ringOffset, c.ringSize);
    TcmuRing ring(area.Area());
    EXPECT_FALSE(ring.Usable()) << c.name;
    EXPECT_FALSE(ring.Problem().empty()) << c.name;
  }
}

TEST(TcmuRing, AnswersEachCommandInPlaceAndRetiresIt) {
  FakeTcmuArea area;
  const std::uint32_t first = area.Queue(kTestUnitReady, {});
  const std::uint32_t second = area.Queue(kInquiry, {36});
  TcmuRing ring(area.Area());
  ASSERT_TRUE(ring.Usable()) << ring.Problem();
  ScriptedHandler handler;
  handler.fillIn = true;
  handler.status = 0x02;

  EXPECT_EQ(ring.Process(handler), 2);

  ASSERT_EQ(handler.cdbs.size(), 2u);
  EXPECT_EQ(handler.cdbs[0], kTestUnitReady);
  EXPECT_EQ(handler.cdbs[1], kInquiry);
  for (std::uint32_t offset : {first, second}) {
    EXPECT_EQ(area.Status(offset), 0x02);
    EXPECT_EQ(area.SenseKey(offset), 0x05);
  }
  EXPECT_EQ(area.Tail(), area.Head());
  EXPECT_EQ(area.Data()[0], 1);
  EXPECT_EQ(area.Data()[35], 36);
  EXPECT_EQ(ring.Process(handler), 0) << "nothing new since";
}

TEST(TcmuRing, FollowsPaddingBackToTheRingsStart) {
  FakeTcmuArea area(512);
  TcmuRing ring(area.Area());
  ScriptedHandler handler;
  // Fill most of the ring and retire it, so the next command needs padding.
  while (area.Head() + 200 < 512) area.Queue(kTestUnitReady, {});
  ring.Process(handler);
  area.PadToEnd();
  const std::uint32_t wrapped = area.Queue(kInquiry, {36});

  EXPECT_EQ(ring.Process(handler), 2) << "the padding and the command";
  EXPECT_EQ(wrapped, 0u);
  EXPECT_EQ(handler.cdbs.back(), kInquiry);
  EXPECT_EQ(area.Tail(), area.Head());
}

TEST(TcmuRing, GathersDataOutAcrossBuffers) {
  FakeTcmuArea area;
  std::vector<std::uint8_t> data(5000);
  std::iota(data.begin(), data.end(), std::uint8_t{7});
  const std::vector<std::uint8_t> cdb = {0xFD, 0x07, 'Z', 'Y', 'N', 'K', 0, 0, 0, 0};
  area.Queue(cdb, {4096, 904}, data);
  TcmuRing ring(area.Area());
  ScriptedHandler handler;

  ring.Process(handler);

  ASSERT_EQ(handler.dataOut.size(), 1u);
  EXPECT_EQ(handler.dataOut[0], data);
}

TEST(TcmuRing, HandsOnlyTheBytesTheOpcodeGroupDefines) {
  struct Case {
    std::uint8_t opcode;
    std::size_t length;
  };
  for (const Case c : {Case{0x00, 6}, Case{0x28, 10}, Case{0x5A, 10}, Case{0x88, 16}, Case{0xA8, 12},
                       Case{0xC0, 10}, Case{0xFD, 10}}) {
    FakeTcmuArea area;
    std::vector<std::uint8_t> cdb(16, 0xAA);
    cdb[0] = c.opcode;
    area.Queue(cdb, {});
    TcmuRing ring(area.Area());
    ScriptedHandler handler;
    ring.Process(handler);
    ASSERT_EQ(handler.cdbs.size(), 1u);
    EXPECT_EQ(handler.cdbs[0].size(), c.length) << "opcode " << int{c.opcode};
  }
}

TEST(TcmuRing, StopsAtAnUnansweredCommandAndLeavesTheRestQueued) {
  FakeTcmuArea area;
  area.Queue(kTestUnitReady, {});
  const std::uint32_t held = area.Queue(kInquiry, {36});
  area.Queue(kTestUnitReady, {});
  TcmuRing ring(area.Area());
  ScriptedHandler handler;
  handler.holdCommand = 2;

  EXPECT_EQ(ring.Process(handler), 1);

  EXPECT_TRUE(ring.Held());
  EXPECT_EQ(area.Tail(), held) << "the kernel still owns the held command";
  EXPECT_EQ(handler.cdbs.size(), 2u) << "nothing after the held command was handed on";
}

TEST(TcmuRing, AHeldCommandGoesOnlyWhenOneBehindItOvertakesIt) {
  FakeTcmuArea area;
  const std::uint32_t held = area.Queue(kInquiry, {36});
  TcmuRing ring(area.Area());
  ScriptedHandler handler;
  handler.holdCommand = 1;
  handler.overtakingOpcode = kInquiry[0];
  ASSERT_EQ(ring.Process(handler), 0);

  // Nothing behind it, then a command of another kind: still held, and the
  // one behind is not handled ahead of it.
  EXPECT_EQ(ring.Process(handler), 0);
  area.Queue(kTestUnitReady, {});
  area.QueueTaskManagement();
  EXPECT_EQ(ring.Process(handler), 0);
  EXPECT_TRUE(ring.Held());
  EXPECT_EQ(area.Tail(), held);
  EXPECT_EQ(handler.cdbs.size(), 1u);

  const std::uint32_t second = area.Queue(kInquiry, {36});
  EXPECT_EQ(ring.Process(handler), 4) << "the held one, the command, the notice and the overtaker";

  EXPECT_FALSE(ring.Held());
  EXPECT_EQ(handler.heldWhenLetGo, kInquiry);
  EXPECT_EQ(area.Status(held), 0x02);
  EXPECT_EQ(area.SenseKey(held), 0x0B);
  EXPECT_EQ(area.Status(second), 0x00) << "the overtaker is handled as usual";
  EXPECT_EQ(handler.cdbs.size(), 3u);
  EXPECT_EQ(area.Tail(), area.Head());
}

TEST(TcmuRing, AHeldCommandTheKernelAbortsGoesAtOnceAsAborted) {
  FakeTcmuArea area;
  const std::uint32_t held = area.Queue(kInquiry, {36});
  TcmuRing ring(area.Area());
  ScriptedHandler handler;
  handler.holdCommand = 1;
  handler.overtakingOpcode = kInquiry[0];
  ASSERT_EQ(ring.Process(handler), 0);

  // A notice that ends another command leaves it held.
  area.QueueTaskManagement({static_cast<std::uint16_t>(area.CommandId(held) + 1)});
  EXPECT_EQ(ring.Process(handler), 0);
  EXPECT_TRUE(ring.Held());

  const std::uint32_t later = area.Queue(kTestUnitReady, {});
  area.QueueTaskManagement({area.CommandId(later), area.CommandId(held)});
  EXPECT_EQ(ring.Process(handler), 4) << "the held one, both notices and the command";

  EXPECT_FALSE(ring.Held());
  EXPECT_EQ(area.Status(held), scsi_wire::kStatusTaskAborted);
  EXPECT_TRUE(handler.heldWhenLetGo.empty()) << "the handler is not asked to let it go";
  EXPECT_EQ(handler.cdbs.size(), 2u) << "the command behind it is handled as usual";
  EXPECT_EQ(area.Status(later), 0x00);
  EXPECT_EQ(area.Tail(), area.Head());
}

TEST(TcmuRing, MarksAnEntryOfAnotherKindAsUnknown) {
  FakeTcmuArea area;
  const std::uint32_t notice = area.QueueTaskManagement();
  const std::uint32_t unknown = area.QueueUnknownKind();
  area.Queue(kTestUnitReady, {});
  TcmuRing ring(area.Area());
  ScriptedHandler handler;

  EXPECT_EQ(ring.Process(handler), 3);

  EXPECT_EQ(area.UserFlags(unknown), tcmu::kUserFlagUnknownOp);
  EXPECT_EQ(area.UserFlags(notice), 0) << "a task management notice is known, and needs no answer";
  EXPECT_EQ(handler.cdbs.size(), 1u);
}

TEST(TcmuRing, RefusesACommandWhoseBufferLiesOutsideTheArea) {
  FakeTcmuArea area;
  const std::uint32_t offset = area.Queue(kInquiry, {36});
  area.MoveFirstBuffer(offset, area.Area().size() - 10);
  TcmuRing ring(area.Area());
  ScriptedHandler handler;

  EXPECT_EQ(ring.Process(handler), 1);

  EXPECT_TRUE(handler.cdbs.empty()) << "the handler never sees it";
  EXPECT_EQ(area.Status(offset), 0x02);
}

}  // namespace
