#pragma once
// The one pass over an image that looks for a drive's identity and sums the
// image on the way.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "flash/FirmwareImage.h"

// A drive's identity begins with its INQUIRY vendor (8 characters) and
// product (16) identification; those, trailing blanks included, are the key
// an image must carry. The revision after them is not looked at.
inline constexpr std::size_t kIdentityKeyLength = 24;

// The pass works block by block so that each block is searched while the sum
// has just brought it into the cache.
// A block is a page, so the block sums are the page checksums.
inline constexpr std::size_t kScanBlockSize = kPageSize;

// The key of a drive's identity, or nothing when the identity is too short to
// hold one (a drive that did not answer).
std::optional<std::string_view> IdentityKey(std::string_view driveIdentity);

// True when key (kIdentityKeyLength characters) occurs at any offset of image
// with all of it inside the image, compared byte for byte; with no key
// nothing matches. The checksum is always that of the whole image, and each
// page checksum that of its page (as far as image reaches).
IdentityCheck ScanImage(std::span<const std::uint8_t> image, std::optional<std::string_view> key);
