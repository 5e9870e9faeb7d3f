#include "device/core/ScsiRequestRules.h"

#include <algorithm>

namespace {
constexpr std::size_t kKeyByte = 2;
constexpr std::uint8_t kKeyMask = 0x0F;
constexpr std::size_t kAscByte = 12;
constexpr std::size_t kAscqByte = 13;
}  // namespace

std::size_t TransferLength(const ScsiRequest& request) {
  switch (request.direction) {
    case DataDirection::In:
      return request.dataIn.size();
    case DataDirection::Out:
      return request.dataOut.size();
    case DataDirection::None:
      break;
  }
  return 0;
}

SenseData DecodeSense(std::span<const std::uint8_t> given) {
  SenseData sense;
  const std::size_t kept = std::min(given.size(), sense.raw.size());
  std::copy_n(given.begin(), kept, sense.raw.begin());
  sense.length = static_cast<std::uint8_t>(kept);
  if (given.size() > kKeyByte) sense.key = given[kKeyByte] & kKeyMask;
  if (given.size() > kAscByte) sense.asc = given[kAscByte];
  if (given.size() > kAscqByte) sense.ascq = given[kAscqByte];
  return sense;
}
