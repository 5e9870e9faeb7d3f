#include "flash/FirmwareCheck.h"

#include <cassert>

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

FirmwareCheck MatchFirmware(const FirmwareImage& image, FirmwareCheck loaded, std::string_view driveIdentity) {
  assert(loaded.verdict == CheckVerdict::Accepted);
  const IdentityCheck identity = image.MatchesIdentity(driveIdentity);
  loaded.checksum = identity.checksum;
  loaded.pageChecksums = identity.pageChecksums;
  if (!identity.matches) loaded.verdict = CheckVerdict::Mismatch;
  return loaded;
}

FirmwareCheck CheckFirmware(FirmwareImage& image, const std::string& path, FirmwareFile& file,
                            std::string_view driveIdentity) {
  const FirmwareCheck check = CheckFirmwareFile(image, path, file);
  if (check.verdict != CheckVerdict::Accepted) return check;
  return MatchFirmware(image, check, driveIdentity);
}
