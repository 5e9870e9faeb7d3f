#pragma once
// The identity a drive gives in its INQUIRY answer, as the program shows and
// matches it: data bytes 8 to 43, made printable.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

inline constexpr std::size_t kIdentityLength = 36;   // vendor 8, product 16, revision 4, 8 more
inline constexpr std::size_t kIdentityFirstByte = 8;  // of the INQUIRY data
inline constexpr std::size_t kInquiryDataLength = 36; // what both transports ask the drive for
inline constexpr std::size_t kInquiryDataAreaLength = kIdentityFirstByte + kIdentityLength;  // 44

// 0, 7 to 13 and 26 would upset a list row or an edit box: they become blanks.
char PrintableIdentityChar(std::uint8_t byte);

// data holds at least kInquiryDataAreaLength bytes; bytes past what the drive
// sent must be zero, so the identity always ends in 8 blanks.
std::string MakeDriveIdentity(std::span<const std::uint8_t> data);
