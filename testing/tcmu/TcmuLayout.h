#pragma once
// Where the kernel's TCMU shared area keeps each field (mailbox version 2).
// The kernel's own header declares these as packed C structures with C-only
// helpers; here they are byte offsets, read and written with copies, and
// TcmuLayoutCheck.c holds every one of them against that header when it
// compiles.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tcmu {

inline constexpr std::uint16_t kMailboxVersion = 2;
inline constexpr std::size_t kMailboxVersionAt = 0;
inline constexpr std::size_t kMailboxFlagsAt = 2;
inline constexpr std::size_t kRingOffsetAt = 4;
inline constexpr std::size_t kRingSizeAt = 8;
inline constexpr std::size_t kHeadAt = 12;
inline constexpr std::size_t kTailAt = 64;  // on a cache line of its own
inline constexpr std::size_t kMailboxSize = kTailAt + 4;

// An entry: its header, then either the request or, written over it, the answer.
inline constexpr std::size_t kLengthAndOpAt = 0;
inline constexpr std::size_t kCommandIdAt = 4;
inline constexpr std::uint32_t kOpMask = 0x7;
inline constexpr std::uint32_t kOpPad = 0;
inline constexpr std::uint32_t kOpCommand = 1;
inline constexpr std::uint32_t kOpTaskManagement = 2;
inline constexpr std::size_t kUserFlagsAt = 7;
inline constexpr std::uint8_t kUserFlagUnknownOp = 0x1;

inline constexpr std::size_t kVectorCountAt = 8;
inline constexpr std::size_t kBidiVectorCountAt = 12;
inline constexpr std::size_t kCdbOffsetAt = 24;
inline constexpr std::size_t kVectorsAt = 48;
inline constexpr std::size_t kVectorSize = 16;  // base (an offset into the area), then length
inline constexpr std::size_t kTaskManagementEntrySize = 32;
// A task management notice (sent once its user switches them on): the
// commands it ends, by id, after its fixed part.
inline constexpr std::size_t kTaskManagementCountAt = 12;
inline constexpr std::size_t kTaskManagementIdsAt = kTaskManagementEntrySize;

inline constexpr std::size_t kStatusAt = 8;
inline constexpr std::size_t kSenseAt = 16;
inline constexpr std::size_t kSenseSize = 96;
inline constexpr std::size_t kAnswerSize = kSenseAt + kSenseSize - kStatusAt;
// A command entry is never shorter than this, so its answer always fits.
inline constexpr std::size_t kCommandEntryMinimum = kSenseAt + kSenseSize;

inline constexpr std::size_t kEntryAlignment = 8;

template <typename T>
T Load(const std::uint8_t* base, std::size_t at) {
  T value;
  std::memcpy(&value, base + at, sizeof value);
  return value;
}

template <typename T>
void Store(std::uint8_t* base, std::size_t at, T value) {
  std::memcpy(base + at, &value, sizeof value);
}

}  // namespace tcmu
