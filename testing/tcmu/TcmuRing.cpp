#include "testing/tcmu/TcmuRing.h"

#include <algorithm>

#include "testing/drive/ScsiWireValues.h"
#include "testing/tcmu/TcmuLayout.h"

namespace {

using namespace tcmu;

std::uint32_t LoadAcquire(std::uint8_t* base, std::size_t at) {
  return __atomic_load_n(reinterpret_cast<std::uint32_t*>(base + at), __ATOMIC_ACQUIRE);
}

void StoreRelease(std::uint8_t* base, std::size_t at, std::uint32_t value) {
  __atomic_store_n(reinterpret_cast<std::uint32_t*>(base + at), value, __ATOMIC_RELEASE);
}

// The longest a command's block can be by its opcode's group; the kernel
// copies no more than that into the area.
std::size_t CdbLength(std::uint8_t opcode) {
  constexpr std::array<std::size_t, 8> kByGroup = {6, 10, 10, 12, 16, 12, 10, 10};
  return kByGroup[opcode >> 5];
}

}  // namespace

std::size_t TcmuCommand::DataLength() const {
  std::size_t total = 0;
  for (const auto& buffer : buffers) total += buffer.size();
  return total;
}

void TcmuCommand::CopyIn(std::span<const std::uint8_t> bytes) const {
  // The kernel hands back the whole transfer, so what the answer leaves
  // unwritten is zeroed rather than left as an earlier command's data.
  for (const auto& buffer : buffers) {
    const std::size_t count = std::min(buffer.size(), bytes.size());
    std::copy_n(bytes.begin(), count, buffer.begin());
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(count), buffer.end(), std::uint8_t{0});
    bytes = bytes.subspan(count);
  }
}

std::vector<std::uint8_t> TcmuCommand::CopyOut() const {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(DataLength());
  for (const auto& buffer : buffers) bytes.insert(bytes.end(), buffer.begin(), buffer.end());
  return bytes;
}

TcmuRing::TcmuRing(std::span<std::uint8_t> area) : area_(area) {
  if (area_.size() < kMailboxSize) {
    problem_ = "the shared area is smaller than a mailbox";
    return;
  }
  const auto version = Load<std::uint16_t>(area_.data(), kMailboxVersionAt);
  const auto ringOffset = Load<std::uint32_t>(area_.data(), kRingOffsetAt);
  const auto ringSize = Load<std::uint32_t>(area_.data(), kRingSizeAt);
  if (version != kMailboxVersion) {
    problem_ = "mailbox version " + std::to_string(version) + ", not " + std::to_string(kMailboxVersion);
  } else if (ringSize == 0 || ringOffset < kMailboxSize || std::size_t{ringOffset} + ringSize > area_.size()) {
    problem_ = "the command ring lies outside the shared area";
  }
}

std::optional<TcmuCommand> TcmuRing::ReadCommand(std::uint8_t* entry, std::uint32_t length) const {
  auto inArea = [&](std::uint64_t offset, std::uint64_t size) {
    return offset <= area_.size() && size <= area_.size() - offset;
  };
  TcmuCommand command;
  const auto cdbOffset = Load<std::uint64_t>(entry, kCdbOffsetAt);
  if (!inArea(cdbOffset, 1)) return std::nullopt;
  const std::size_t cdbLength = std::min<std::size_t>(CdbLength(area_[cdbOffset]), area_.size() - cdbOffset);
  command.cdb = area_.subspan(cdbOffset, cdbLength);
  const std::uint64_t vectors =
      std::uint64_t{Load<std::uint32_t>(entry, kVectorCountAt)} + Load<std::uint32_t>(entry, kBidiVectorCountAt);
  if (kVectorsAt + vectors * kVectorSize > length) return std::nullopt;
  for (std::uint64_t i = 0; i < vectors; ++i) {
    const auto offset = Load<std::uint64_t>(entry, kVectorsAt + i * kVectorSize);
    const auto size = Load<std::uint64_t>(entry, kVectorsAt + i * kVectorSize + 8);
    if (!inArea(offset, size)) return std::nullopt;
    command.buffers.push_back(area_.subspan(offset, size));
  }
  return command;
}

std::optional<TcmuAnswer> TcmuRing::Overtake(TcmuCommandHandler& handler, std::uint32_t tail, std::uint32_t head) {
  std::uint8_t* const base = area_.data();
  const auto ringOffset = Load<std::uint32_t>(base, kRingOffsetAt);
  const auto ringSize = Load<std::uint32_t>(base, kRingSizeAt);
  std::uint8_t* const heldEntry = base + ringOffset + tail;
  const std::uint32_t heldLength = Load<std::uint32_t>(heldEntry, kLengthAndOpAt) & ~kOpMask;
  const std::optional<TcmuCommand> held = ReadCommand(heldEntry, heldLength);
  if (!held) return std::nullopt;
  for (std::uint32_t at = (tail + heldLength) % ringSize; at != head;) {
    std::uint8_t* const entry = base + ringOffset + at;
    const auto lengthAndOp = Load<std::uint32_t>(entry, kLengthAndOpAt);
    const std::uint32_t length = lengthAndOp & ~kOpMask;
    if (length == 0 || std::uint64_t{at} + length > ringSize) return std::nullopt;
    if ((lengthAndOp & kOpMask) == kOpCommand && length >= kCommandEntryMinimum) {
      if (const std::optional<TcmuCommand> later = ReadCommand(entry, length)) {
        if (std::optional<TcmuAnswer> answer = handler.Overtaken(*held, *later)) return answer;
      }
    }
    at = (at + length) % ringSize;
  }
  return std::nullopt;
}

bool TcmuRing::Aborted(std::uint32_t tail, std::uint32_t head) const {
  const std::uint8_t* const base = area_.data();
  const auto ringOffset = Load<std::uint32_t>(base, kRingOffsetAt);
  const auto ringSize = Load<std::uint32_t>(base, kRingSizeAt);
  const std::uint8_t* const heldEntry = base + ringOffset + tail;
  const auto heldId = Load<std::uint16_t>(heldEntry, kCommandIdAt);
  const std::uint32_t heldLength = Load<std::uint32_t>(heldEntry, kLengthAndOpAt) & ~kOpMask;
  for (std::uint32_t at = (tail + heldLength) % ringSize; at != head;) {
    const std::uint8_t* const entry = base + ringOffset + at;
    const auto lengthAndOp = Load<std::uint32_t>(entry, kLengthAndOpAt);
    const std::uint32_t length = lengthAndOp & ~kOpMask;
    if (length == 0 || std::uint64_t{at} + length > ringSize) return false;
    if ((lengthAndOp & kOpMask) == kOpTaskManagement && length >= kTaskManagementIdsAt) {
      const std::uint64_t count = std::min<std::uint64_t>(Load<std::uint32_t>(entry, kTaskManagementCountAt),
                                                          (length - kTaskManagementIdsAt) / sizeof heldId);
      for (std::uint64_t i = 0; i < count; ++i) {
        if (Load<std::uint16_t>(entry, kTaskManagementIdsAt + i * sizeof heldId) == heldId) return true;
      }
    }
    at = (at + length) % ringSize;
  }
  return false;
}

int TcmuRing::Process(TcmuCommandHandler& handler) {
  if (!Usable()) return 0;
  std::uint8_t* const base = area_.data();
  const auto ringOffset = Load<std::uint32_t>(base, kRingOffsetAt);
  const auto ringSize = Load<std::uint32_t>(base, kRingSizeAt);
  const std::uint32_t head = LoadAcquire(base, kHeadAt);
  std::uint32_t tail = Load<std::uint32_t>(base, kTailAt);
  int retired = 0;

  while (tail != head) {
    std::uint8_t* const entry = base + ringOffset + tail;
    const auto lengthAndOp = Load<std::uint32_t>(entry, kLengthAndOpAt);
    const std::uint32_t length = lengthAndOp & ~kOpMask;
    if (length == 0 || std::uint64_t{tail} + length > ringSize) break;  // a corrupt ring: touch nothing more
    const std::uint32_t op = lengthAndOp & kOpMask;
    if (op == kOpCommand) {
      if (length < kCommandEntryMinimum) break;  // no room for an answer: a ring this code does not know
      TcmuAnswer answer;
      if (held_) {
        // Handed over already and left unanswered: only its abort or a command behind it lets it go.
        std::optional<TcmuAnswer> given;
        if (Aborted(tail, head)) {
          given.emplace().scsiStatus = scsi_wire::kStatusTaskAborted;
        } else {
          given = Overtake(handler, tail, head);
        }
        if (!given) break;
        held_ = false;
        answer = *given;
      } else if (const std::optional<TcmuCommand> command = ReadCommand(entry, length)) {
        // The answer is written over the request, so the request is read first.
        std::optional<TcmuAnswer> given = handler.Handle(*command);
        if (!given) {
          held_ = true;
          break;
        }
        answer = *given;
      } else {
        answer.scsiStatus = scsi_wire::kStatusCheckCondition;  // no sense: a request that cannot be read
      }
      std::fill_n(entry + kStatusAt, kAnswerSize, std::uint8_t{0});
      entry[kStatusAt] = answer.scsiStatus;
      std::copy(answer.sense.begin(), answer.sense.end(), entry + kSenseAt);
    } else if (op != kOpPad && op != kOpTaskManagement) {
      entry[kUserFlagsAt] |= kUserFlagUnknownOp;
    }
    tail = (tail + length) % ringSize;
    StoreRelease(base, kTailAt, tail);
    ++retired;
  }
  return retired;
}
