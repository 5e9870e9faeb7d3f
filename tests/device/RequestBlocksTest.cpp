// The request blocks byte by byte, against offsets written down from the
// system's published layouts (not taken from our own structures).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "device/windows-rules/AspiRequests.h"
#include "device/windows-rules/PassThroughRequests.h"

namespace {

using namespace std::chrono_literals;

constexpr bool k64Bit = sizeof(void*) == 8;

// SCSI_PASS_THROUGH and SCSI_PASS_THROUGH_DIRECT: the same offsets.
struct PassThroughOffsets {
  std::size_t dataTransferLength = 12, timeOutValue = 16;
  std::size_t dataBuffer = k64Bit ? 24 : 20;
  std::size_t senseInfoOffset = k64Bit ? 32 : 24;
  std::size_t cdb = k64Bit ? 36 : 28;
  std::size_t headerSize = k64Bit ? 56 : 44;
};

// SRB_ExecSCSICmd, packed.
struct SrbOffsets {
  std::size_t target = 8, bufLen = 12, bufPointer = 16;
  std::size_t senseLen = k64Bit ? 24 : 20;
  std::size_t postProc = k64Bit ? 28 : 24;
  std::size_t cdb = k64Bit ? 56 : 48;
  std::size_t size = k64Bit ? 88 : 80;
};

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutBytes(std::vector<std::uint8_t>& bytes, std::size_t at, const std::uint8_t* from, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) bytes.at(at + i) = from[i];
}

template <typename Block>
std::vector<std::uint8_t> BytesOf(const Block& block) {
  std::vector<std::uint8_t> bytes(sizeof block);
  std::memcpy(bytes.data(), &block, sizeof block);
  return bytes;
}

// A block full of junk, so the builder must zero everything it does not set.
template <typename Block>
void Dirty(Block& block) {
  std::memset(&block, 0xA5, sizeof block);
}

std::uintptr_t Address(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

const std::uint8_t kInquiry[12] = {0x12, 0, 0, 0, 0x24, 0, 0, 0, 0, 0, 0, 0};

TEST(PassThroughBufferedRequest, TheInquiryIsZeroExceptTheFieldsOfA36ByteInquiry) {
  const PassThroughOffsets at;
  std::array<std::uint8_t, 36> answer{};
  BufferedRequestBlock block;
  Dirty(block);
  const ScsiRequest inquiry = MakeInquiryRequest(answer);
  ASSERT_TRUE(GoesBuffered(inquiry));
  FillBufferedRequest(block, inquiry);

  const std::size_t senseArea = at.headerSize + 4;
  const std::size_t dataArea = senseArea + 32;
  std::vector<std::uint8_t> expected(sizeof block, 0);
  Put(expected, 0, at.headerSize, 2);  // Length
  expected[4] = 1;                      // TargetId
  expected[6] = 12;                     // CdbLength
  expected[7] = 14;                     // SenseInfoLength
  expected[8] = 1;                      // DataIn: SCSI_IOCTL_DATA_IN
  Put(expected, at.dataTransferLength, 36, 4);
  Put(expected, at.timeOutValue, 5000, 4);
  Put(expected, at.dataBuffer, dataArea, sizeof(void*));  // DataBufferOffset
  Put(expected, at.senseInfoOffset, senseArea, 4);
  PutBytes(expected, at.cdb, kInquiry, 12);

  EXPECT_EQ(BytesOf(block), expected);
  EXPECT_EQ(kBufferedRequestInputLength, at.headerSize);
  EXPECT_EQ(BufferedRequestOutputLength(36), dataArea + 36);
  if constexpr (!k64Bit) {
    EXPECT_EQ(dataArea, 80u);
    EXPECT_EQ(BufferedRequestOutputLength(36), 116u);
  }
}

TEST(PassThroughDirectRequest, ThePageWritePointsIntoThePageAndCarriesTheCommandAsGiven) {
  const PassThroughOffsets at;
  const PageWriteCommand command = BuildPageWriteCommand(7, 0xABCD, 0x1234);
  const std::vector<std::uint8_t> page(kPageSize, 0x5A);
  DirectRequestBlock block;
  Dirty(block);
  const ScsiRequest write = MakePageWriteRequest(command, std::span<const std::uint8_t, kPageSize>(page.data(), kPageSize));
  ASSERT_FALSE(GoesBuffered(write));
  FillDirectRequest(block, write);

  std::vector<std::uint8_t> expected(sizeof block, 0);
  Put(expected, 0, at.headerSize, 2);
  expected[4] = 1;
  expected[6] = 12;
  expected[7] = 14;
  expected[8] = 0;  // DataIn: SCSI_IOCTL_DATA_OUT
  Put(expected, at.dataTransferLength, 16384, 4);
  Put(expected, at.timeOutValue, 25000, 4);
  Put(expected, at.dataBuffer, Address(page.data()), sizeof(void*));
  Put(expected, at.senseInfoOffset, at.headerSize + 4, 4);
  PutBytes(expected, at.cdb, command.bytes.data(), 12);

  EXPECT_EQ(BytesOf(block), expected);
  EXPECT_EQ(kDirectRequestInputLength, at.headerSize);
  EXPECT_EQ(kDirectRequestOutputLength, sizeof block);
}

TEST(PassThroughRequests, ARequestWithoutDataGoesBufferedAsUnspecified) {
  ScsiRequest request;
  request.cdb.bytes[0] = 0x00;  // TEST UNIT READY
  request.cdb.length = 6;
  request.timeout = 30s;
  ASSERT_TRUE(GoesBuffered(request));
  BufferedRequestBlock block;
  Dirty(block);
  FillBufferedRequest(block, request);
  EXPECT_EQ(block.header.DataIn, 2);  // SCSI_IOCTL_DATA_UNSPECIFIED
  EXPECT_EQ(block.header.DataTransferLength, 0u);
  EXPECT_EQ(block.header.CdbLength, 6);
  EXPECT_EQ(block.header.TimeOutValue, 30u);
}

TEST(PassThroughRequests, AnAnswerTooLongForTheBlockGoesDirectIntoTheCallersBuffer) {
  std::vector<std::uint8_t> answer(kBufferedDataAreaLength + 1);
  ScsiRequest request;
  request.cdb.length = 12;
  request.direction = DataDirection::In;
  request.dataIn = answer;
  ASSERT_FALSE(GoesBuffered(request));
  DirectRequestBlock block;
  Dirty(block);
  FillDirectRequest(block, request);
  EXPECT_EQ(block.header.DataIn, 1);
  EXPECT_EQ(block.header.DataBuffer, answer.data());
  EXPECT_EQ(block.header.DataTransferLength, answer.size());

  request.dataIn = std::span(answer).first(kBufferedDataAreaLength);
  EXPECT_TRUE(GoesBuffered(request));
}

TEST(AspiExecSrb, TheInquiryIsZeroExceptTheFieldsOfA36ByteInquiryWithEventNotification) {
  const SrbOffsets at;
  std::vector<std::uint8_t> buffer(16384);
  std::array<std::uint8_t, 36> answer{};
  int event = 0;
  aspi::SRB_ExecSCSICmd srb;
  Dirty(srb);
  FillExecSrb(srb, 3, 6, MakeInquiryRequest(answer), buffer.data(), &event);

  std::vector<std::uint8_t> expected(at.size, 0);
  expected[0] = 0x02;  // SC_EXEC_SCSI_CMD
  expected[2] = 3;     // SRB_HaId
  expected[3] = 0x48;  // SRB_DIR_IN | SRB_EVENT_NOTIFY
  expected[at.target] = 6;
  Put(expected, at.bufLen, 36, 4);
  Put(expected, at.bufPointer, Address(buffer.data()), sizeof(void*));
  expected[at.senseLen] = 14;
  expected[at.senseLen + 1] = 12;  // SRB_CDBLen
  Put(expected, at.postProc, Address(&event), sizeof(void*));
  PutBytes(expected, at.cdb, kInquiry, 12);

  EXPECT_EQ(BytesOf(srb), expected);
}

TEST(AspiExecSrb, ThePageWritePointsIntoTheGivenBufferAndCarriesTheCommandAsGiven) {
  const SrbOffsets at;
  const PageWriteCommand command = BuildPageWriteCommand(32, 0x0102, 0xFEDC);
  const std::vector<std::uint8_t> page(kPageSize, 0x11);
  std::vector<std::uint8_t> buffer(kPageSize);
  int event = 0;
  aspi::SRB_ExecSCSICmd srb;
  Dirty(srb);
  FillExecSrb(srb, 0, 1, MakePageWriteRequest(command, std::span<const std::uint8_t, kPageSize>(page.data(), kPageSize)),
              buffer.data(), &event);

  std::vector<std::uint8_t> expected(at.size, 0);
  expected[0] = 0x02;
  expected[3] = 0x50;  // SRB_DIR_OUT | SRB_EVENT_NOTIFY
  expected[at.target] = 1;
  Put(expected, at.bufLen, 16384, 4);
  Put(expected, at.bufPointer, Address(buffer.data()), sizeof(void*));
  expected[at.senseLen] = 14;
  expected[at.senseLen + 1] = 12;
  Put(expected, at.postProc, Address(&event), sizeof(void*));
  PutBytes(expected, at.cdb, command.bytes.data(), 12);

  EXPECT_EQ(BytesOf(srb), expected);
}

TEST(AspiExecSrb, ARequestWithoutDataHasNoDirectionFlag) {
  ScsiRequest request;
  request.cdb.length = 6;
  aspi::SRB_ExecSCSICmd srb;
  Dirty(srb);
  FillExecSrb(srb, 0, 0, request, nullptr, nullptr);
  EXPECT_EQ(srb.SRB_Flags, 0x40);  // SRB_EVENT_NOTIFY alone
  EXPECT_EQ(srb.SRB_BufLen, 0u);
  EXPECT_EQ(srb.SRB_CDBLen, 6);
}

TEST(AspiAbortSrb, NamesTheRequestToWithdraw) {
  aspi::SRB_ExecSCSICmd pending{};
  aspi::SRB_Abort srb;
  Dirty(srb);
  FillAbortSrb(srb, 2, &pending);

  std::vector<std::uint8_t> expected(k64Bit ? 16 : 12, 0);
  expected[0] = 0x03;  // SC_ABORT_SRB
  expected[2] = 2;
  Put(expected, 8, Address(&pending), sizeof(void*));
  EXPECT_EQ(BytesOf(srb), expected);
}

}  // namespace
