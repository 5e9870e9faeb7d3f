#include "device/core/ScsiRequestRules.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kResponseCodeMask = 0x7F;  // bit 7 only says the information field is valid
constexpr std::uint8_t kFixedCurrent = 0x70;
constexpr std::uint8_t kFixedDeferred = 0x71;
constexpr std::uint8_t kDescriptorCurrent = 0x72;
constexpr std::uint8_t kDescriptorDeferred = 0x73;
constexpr std::uint8_t kKeyMask = 0x0F;

// Where each format keeps the three fields.
struct SenseLayout {
  std::size_t key, asc, ascq;
};
constexpr SenseLayout kFixed{2, 12, 13};
constexpr SenseLayout kDescriptor{1, 2, 3};

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
  if (given.empty()) return sense;

  const std::uint8_t responseCode = given[0] & kResponseCodeMask;
  SenseLayout layout;
  if (responseCode == kFixedCurrent || responseCode == kFixedDeferred) {
    layout = kFixed;
  } else if (responseCode == kDescriptorCurrent || responseCode == kDescriptorDeferred) {
    layout = kDescriptor;
  } else {
    return sense;
  }
  const auto at = [&](std::size_t index) -> std::uint8_t { return index < given.size() ? given[index] : 0; };
  sense.key = at(layout.key) & kKeyMask;
  sense.asc = at(layout.asc);
  sense.ascq = at(layout.ascq);
  return sense;
}
