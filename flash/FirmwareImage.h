#pragma once
// The in-memory copy of a firmware file: always the full image size, zero past
// the end of a shorter file, seen as pages numbered 1 to kPageCount.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "files/FirmwareFile.h"
#include "flash/FlashConstants.h"

enum class ImageFileKind { Hex, Bin, Other };

// Judges a path by its last three characters, case-insensitively.
ImageFileKind JudgeImagePath(std::string_view path);

enum class LoadResult {
  Loaded,
  OpenFailed,  // missing, no access, or held open for writing elsewhere
  Empty,
  TooLarge,    // longer than the image
  ReadFailed,  // short read, or an operating-system error after the open
};

struct IdentityCheck {
  bool matches = false;
  std::uint16_t checksum = 0;  // image checksum, computed in the same pass
  // Each page's checksum, from the same pass; pages past the end of a shorter
  // span stay 0.
  std::array<std::uint16_t, kPageCount> pageChecksums{};
};

class FirmwareImage {
 public:
  FirmwareImage() = default;

  // Zero-fills the image, then reads the file into it; the file is closed again
  // on every path that opened it.
  LoadResult LoadFromFile(const std::string& path, FirmwareFile& file);

  // Looks for the drive's vendor and product identification (the first 24
  // characters of its identity) anywhere in the image, and sums the image in
  // the same pass. An identity shorter than that never matches.
  IdentityCheck MatchesIdentity(std::string_view driveIdentity) const;

  std::uint16_t Checksum() const;
  std::uint16_t PageChecksum(int page) const;                     // page 1 to kPageCount
  std::span<const std::uint8_t, kPageSize> PageData(int page) const;  // page 1 to kPageCount

  std::span<const std::uint8_t, kImageSize> Bytes() const;

 private:
  const std::uint8_t* Data() const;

  // Nothing until the first load, and the image reads as zeros meanwhile: a
  // load covers every byte itself, so the buffer is never cleared twice.
  std::unique_ptr<std::uint8_t[]> bytes_;
};
