#include "device/core/DriveIdentity.h"

#include <cassert>

char PrintableIdentityChar(std::uint8_t byte) {
  const bool unprintable = byte == 0 || (byte >= 7 && byte <= 13) || byte == 26;
  return unprintable ? ' ' : static_cast<char>(byte);
}

std::string MakeDriveIdentity(std::span<const std::uint8_t> data) {
  assert(data.size() >= kInquiryDataAreaLength);
  std::string identity(kIdentityLength, ' ');
  for (std::size_t i = 0; i < kIdentityLength; ++i) {
    identity[i] = PrintableIdentityChar(data[kIdentityFirstByte + i]);
  }
  return identity;
}
