#include "flash/FirmwareImage.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <memory>

#include "flash/ByteSum.h"
#include "flash/IdentityScan.h"

namespace {

// Reads an opened file into image. On success loaded is the file's length.
LoadResult ReadOpenedFile(FirmwareFile& file, std::span<std::uint8_t, kImageSize> image, std::size_t& loaded) {
  if (!file.SeekToBegin()) return LoadResult::ReadFailed;
  const std::optional<std::uint64_t> length = file.SeekToEnd();
  if (!length || !file.SeekToBegin()) return LoadResult::ReadFailed;
  if (*length == 0) return LoadResult::Empty;
  if (*length > kImageSize) return LoadResult::TooLarge;

  // One request for the whole image: a file that changed length since it was
  // measured shows up as a count that differs from the length.
  const std::optional<std::size_t> count = file.Read(image.data(), image.size());
  if (!count || *count != *length) return LoadResult::ReadFailed;
  loaded = *count;
  return LoadResult::Loaded;
}

}  // namespace

LoadResult FirmwareImage::LoadFromFile(const std::string& path, FirmwareFile& file) {
  if (!bytes_) bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(kImageSize);
  const std::span<std::uint8_t, kImageSize> image(bytes_.get(), kImageSize);
  std::size_t loaded = 0;
  LoadResult result = LoadResult::OpenFailed;
  if (file.Open(path)) {
    result = ReadOpenedFile(file, image, loaded);
    file.Close();
  }
  // The image reads as if zero-filled before the load; only what the file
  // did not cover needs clearing, which spares a full pass over a full file.
  std::fill(image.begin() + static_cast<std::ptrdiff_t>(loaded), image.end(), std::uint8_t{0});
  return result;
}

IdentityCheck FirmwareImage::MatchesIdentity(std::string_view driveIdentity) const {
  return ScanImage(Bytes(), IdentityKey(driveIdentity));
}

std::uint16_t FirmwareImage::Checksum() const { return LowSixteenBits(SumBytes(Bytes())); }

std::uint16_t FirmwareImage::PageChecksum(int page) const { return LowSixteenBits(SumBytes(PageData(page))); }

std::span<const std::uint8_t, kPageSize> FirmwareImage::PageData(int page) const {
  assert(page >= 1 && page <= kPageCount);
  return std::span<const std::uint8_t, kPageSize>(Data() + static_cast<std::size_t>(page - 1) * kPageSize, kPageSize);
}

std::span<const std::uint8_t, kImageSize> FirmwareImage::Bytes() const {
  return std::span<const std::uint8_t, kImageSize>(Data(), kImageSize);
}

const std::uint8_t* FirmwareImage::Data() const {
  // Zero-initialised static storage: the system maps it as zero pages.
  static std::uint8_t blank[kImageSize];
  return bytes_ ? bytes_.get() : blank;
}
