#include "flash/FirmwareCheck.h"

#include <array>
#include <cassert>
#include <cstdio>

#include "flash/FlashTexts.h"

namespace {

CheckVerdict VerdictOfLoad(LoadResult result) {
  switch (result) {
    case LoadResult::Loaded: return CheckVerdict::Accepted;
    case LoadResult::OpenFailed: return CheckVerdict::OpenFailed;
    case LoadResult::Empty: return CheckVerdict::Empty;
    case LoadResult::TooLarge: return CheckVerdict::TooLarge;
    case LoadResult::ReadFailed: return CheckVerdict::ReadFailed;
  }
  return CheckVerdict::ReadFailed;
}

template <typename... Arguments>
std::string Format(const char* format, Arguments... arguments) {
  std::array<char, kFirmwareChecksumLineLength + 1> line{};
  const int length = std::snprintf(line.data(), line.size(), format, arguments...);
  return std::string(line.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

FirmwareCheck CheckFirmwareFile(FirmwareImage& image, const std::string& path, FirmwareFile& file) {
  FirmwareCheck check;
  switch (JudgeImagePath(path)) {
    case ImageFileKind::Hex: check.verdict = CheckVerdict::HexFile; return check;
    case ImageFileKind::Other: check.verdict = CheckVerdict::NotBinFile; return check;
    case ImageFileKind::Bin: break;
  }
  check.verdict = VerdictOfLoad(image.LoadFromFile(path, file));
  if (check.verdict == CheckVerdict::OpenFailed) check.openFailure = file.LastOpenFailure();
  return check;
}

FirmwareCheck MatchFirmware(const FirmwareImage& image, FirmwareCheck loaded, std::string_view rowText) {
  assert(loaded.verdict == CheckVerdict::Accepted);
  const IdentityCheck identity = image.MatchesIdentity(rowText);
  loaded.checksum = identity.checksum;
  loaded.pageChecksums = identity.pageChecksums;
  if (!identity.matches) loaded.verdict = CheckVerdict::Mismatch;
  return loaded;
}

FirmwareCheck CheckFirmware(FirmwareImage& image, const std::string& path, FirmwareFile& file,
                            std::string_view rowText) {
  const FirmwareCheck check = CheckFirmwareFile(image, path, file);
  if (check.verdict != CheckVerdict::Accepted) return check;
  return MatchFirmware(image, check, rowText);
}

std::string FirmwareChecksumLine(std::uint16_t checksum) {
  return Format(kFirmwareChecksumFormat, unsigned{checksum});
}

std::string PageChecksumLine(int page, std::uint16_t checksum) {
  return Format(kPageChecksumFormat, page, unsigned{checksum});
}
