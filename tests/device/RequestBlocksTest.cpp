// The request blocks byte by byte, against offsets written down from the
// system's published layouts (not taken from our own structures).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "DeviceTestSupport.h"
#include "device/AspiRequests.h"
#include "device/PassThroughRequests.h"

namespace {

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

TEST(PassThroughIdentityRequest, IsZeroExceptTheFieldsOfA36ByteInquiry) {
  const PassThroughOffsets at;
  IdentityRequestBlock block;
  Dirty(block);
  FillIdentityRequest(block);

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
  EXPECT_EQ(kIdentityRequestInputLength, at.headerSize);
  EXPECT_EQ(kIdentityRequestOutputLength, dataArea + 36);
  if constexpr (!k64Bit) {
    EXPECT_EQ(dataArea, 80u);
    EXPECT_EQ(kIdentityRequestOutputLength, 116u);
  }
}

TEST(PassThroughPageWriteRequest, PointsIntoThePageAndCarriesTheCommandAsGiven) {
  const PassThroughOffsets at;
  const PageWriteCommand command = BuildPageWriteCommand(7, 0xABCD, 0x1234);
  const std::vector<std::uint8_t> page(kPageSize, 0x5A);
  PageWriteRequestBlock block;
  Dirty(block);
  FillPageWriteRequest(block, command, page.data());

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
  EXPECT_EQ(kPageWriteRequestInputLength, at.headerSize);
  EXPECT_EQ(kPageWriteRequestOutputLength, sizeof block);
}

TEST(AspiInquirySrb, IsZeroExceptTheFieldsOfA36ByteInquiryWithEventNotification) {
  const SrbOffsets at;
  std::vector<std::uint8_t> buffer(16384);
  int event = 0;
  aspi::SRB_ExecSCSICmd srb;
  Dirty(srb);
  FillInquirySrb(srb, 3, 6, buffer.data(), &event);

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

TEST(AspiPageWriteSrb, PointsIntoThePageAndCarriesTheCommandAsGiven) {
  const SrbOffsets at;
  const PageWriteCommand command = BuildPageWriteCommand(32, 0x0102, 0xFEDC);
  const std::vector<std::uint8_t> page(kPageSize, 0x11);
  int event = 0;
  aspi::SRB_ExecSCSICmd srb;
  Dirty(srb);
  FillPageWriteSrb(srb, 0, 1, command, page.data(), &event);

  std::vector<std::uint8_t> expected(at.size, 0);
  expected[0] = 0x02;
  expected[3] = 0x50;  // SRB_DIR_OUT | SRB_EVENT_NOTIFY
  expected[at.target] = 1;
  Put(expected, at.bufLen, 16384, 4);
  Put(expected, at.bufPointer, Address(page.data()), sizeof(void*));
  expected[at.senseLen] = 14;
  expected[at.senseLen + 1] = 12;
  Put(expected, at.postProc, Address(&event), sizeof(void*));
  PutBytes(expected, at.cdb, command.bytes.data(), 12);

  EXPECT_EQ(BytesOf(srb), expected);
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
