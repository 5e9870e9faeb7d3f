#pragma once
// Firmware contents for engine tests: a drive's identity, file contents that
// carry it, and an image loaded from given contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "flash/FirmwareImage.h"

// A drive's identity as its INQUIRY gives it: vendor (8), product (16), revision (4), 8 blanks.
inline constexpr std::string_view kTestIdentity = "ACME    COMBO DVD/RW 52X1.02        ";
// Its vendor and product identification, as the image must carry it.
inline constexpr std::string_view kTestKey = "ACME    COMBO DVD/RW 52X";

// size bytes of a pattern that never forms kTestKey, with text written at offset.
std::vector<std::uint8_t> ContentsWith(std::size_t size, std::string_view text, std::size_t offset);
// The same pattern alone: bytes out of place show as different bytes.
inline std::vector<std::uint8_t> Pattern(std::size_t size) { return ContentsWith(size, {}, 0); }

// An image loaded from contents through an in-memory file; the load must succeed.
FirmwareImage LoadedImage(const std::vector<std::uint8_t>& contents);
