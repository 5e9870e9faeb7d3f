#include "tests/tcmu/FakeTcmuArea.h"

#include <algorithm>
#include <stdexcept>

using namespace tcmu;

namespace {
std::uint32_t Align(std::size_t length) {
  return static_cast<std::uint32_t>((length + kEntryAlignment - 1) / kEntryAlignment * kEntryAlignment);
}
}  // namespace

FakeTcmuArea::FakeTcmuArea(std::uint32_t ringSize, std::size_t dataSize)
    : bytes_(kRingOffset + ringSize + dataSize), ringSize_(ringSize), dataNext_(kRingOffset + ringSize) {
  SetMailbox(kMailboxVersion, kRingOffset, ringSize);
}

void FakeTcmuArea::SetMailbox(std::uint16_t version, std::uint32_t ringOffset, std::uint32_t ringSize) {
  Store(bytes_.data(), kMailboxVersionAt, version);
  Store(bytes_.data(), kRingOffsetAt, ringOffset);
  Store(bytes_.data(), kRingSizeAt, ringSize);
}

std::uint32_t FakeTcmuArea::Reserve(std::uint32_t length, std::uint32_t op) {
  const std::uint32_t head = Head();
  if (head + length > ringSize_) throw std::logic_error("entry does not fit before the ring's end");
  std::fill_n(At(head), length, std::uint8_t{0});
  Store(At(head), kLengthAndOpAt, length | op);
  Store(bytes_.data(), kHeadAt, (head + length) % ringSize_);
  return head;
}

std::uint32_t FakeTcmuArea::Queue(std::span<const std::uint8_t> cdb, std::vector<std::size_t> bufferSizes,
                                  std::span<const std::uint8_t> dataOut) {
  const std::uint32_t header =
      Align(std::max<std::size_t>(kVectorsAt + bufferSizes.size() * kVectorSize, kCommandEntryMinimum));
  const std::uint32_t entry = Reserve(Align(header + cdb.size()), kOpCommand);
  std::uint8_t* const bytes = At(entry);
  Store(bytes, kCommandIdAt, nextId_++);
  Store(bytes, kVectorCountAt, static_cast<std::uint32_t>(bufferSizes.size()));
  const std::uint64_t cdbOffset = kRingOffset + entry + header;
  std::copy(cdb.begin(), cdb.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(cdbOffset));
  Store(bytes, kCdbOffsetAt, cdbOffset);
  for (std::size_t i = 0; i < bufferSizes.size(); ++i) {
    Store(bytes, kVectorsAt + i * kVectorSize, std::uint64_t{dataNext_});
    Store(bytes, kVectorsAt + i * kVectorSize + 8, std::uint64_t{bufferSizes[i]});
    const std::size_t fill = std::min(bufferSizes[i], dataOut.size());
    std::copy_n(dataOut.begin(), fill, bytes_.begin() + static_cast<std::ptrdiff_t>(dataNext_));
    dataOut = dataOut.subspan(fill);
    dataNext_ += bufferSizes[i];
  }
  return entry;
}

std::uint32_t FakeTcmuArea::QueueTaskManagement(std::vector<std::uint16_t> commandIds) {
  constexpr std::uint8_t kAbortTask = 1;
  constexpr std::size_t kTypeAt = 8;
  const std::uint32_t entry =
      Reserve(Align(kTaskManagementIdsAt + commandIds.size() * sizeof(std::uint16_t)), kOpTaskManagement);
  At(entry)[kTypeAt] = kAbortTask;
  Store(At(entry), kTaskManagementCountAt, static_cast<std::uint32_t>(commandIds.size()));
  for (std::size_t i = 0; i < commandIds.size(); ++i) {
    Store(At(entry), kTaskManagementIdsAt + i * sizeof(std::uint16_t), commandIds[i]);
  }
  return entry;
}

std::uint32_t FakeTcmuArea::QueueUnknownKind() {
  constexpr std::uint32_t kUnknownOp = 5;
  return Reserve(Align(kTaskManagementEntrySize), kUnknownOp);
}

void FakeTcmuArea::PadToEnd() { Reserve(ringSize_ - Head(), kOpPad); }

void FakeTcmuArea::MoveFirstBuffer(std::uint32_t entry, std::uint64_t offset) { Store(At(entry), kVectorsAt, offset); }
