#pragma once
// What a flash run checks before the first page, as a stage of its own: for a
// front end that shows the verdict and the checksums without writing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/FirmwareFile.h"
#include "flash/FirmwareImage.h"
#include "flash/FlashConstants.h"

enum class CheckVerdict {
  Accepted,    // the run would flash this file to this drive
  HexFile,     // the path is judged HEX: the run ends without a word
  NotBinFile,  // the path is judged neither BIN nor HEX
  OpenFailed,
  Empty,
  TooLarge,
  ReadFailed,
  Mismatch,    // loaded, but the drive's identity is not in the image
};

struct FirmwareCheck {
  CheckVerdict verdict = CheckVerdict::NotBinFile;
  std::uint16_t checksum = 0;  // the image checksum, once the file loaded
  std::array<std::uint16_t, kPageCount> pageChecksums{};  // likewise, page 1 first
  OpenFailure openFailure;  // with OpenFailed: why, as far as the file layer tells
  std::uint16_t PageChecksum(int page) const { return pageChecksums[static_cast<std::size_t>(page - 1)]; }
  bool Loaded() const { return verdict == CheckVerdict::Accepted || verdict == CheckVerdict::Mismatch; }
};

// The same rules, in the same order, as FlashSequence::Run before its
// announcement; image holds the file afterwards when it loaded. The two
// stages below, one after the other. driveIdentity is the drive's identity as
// its INQUIRY gave it (see IdentityKey).
FirmwareCheck CheckFirmware(FirmwareImage& image, const std::string& path, FirmwareFile& file,
                            std::string_view driveIdentity);

// The file's own rules, which need no drive: the kind of the path, then the
// load. Accepted here says only that image holds the file; the checksums
// come with MatchFirmware.
FirmwareCheck CheckFirmwareFile(FirmwareImage& image, const std::string& path, FirmwareFile& file);
// For an image that CheckFirmwareFile accepted: its checksums, and whether it
// carries the drive's identity, in one pass. An identity too short to hold
// vendor and product matches nothing; the checksums are the image's all the same.
FirmwareCheck MatchFirmware(const FirmwareImage& image, FirmwareCheck loaded, std::string_view driveIdentity);

