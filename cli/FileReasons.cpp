#include "cli/FileReasons.h"

#include "cli/CliTexts.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"

using namespace cli_text;

std::string FileOpenFailedText(const std::string& file, const OpenFailure& failure) {
  const std::string system = SystemErrorText(failure.systemError);
  switch (failure.kind) {
    case OpenFailureKind::Unstated: return Fill(kFileOpenFailed, {file});
    case OpenFailureKind::NoSuchFile: return Fill(kFileMissing, {file, system});
    case OpenFailureKind::Folder: return Fill(kFileIsFolder, {file});
    case OpenFailureKind::NotRegularFile: return Fill(kFileNotRegular, {file});
    case OpenFailureKind::NoPermission: return Fill(kFileNoPermission, {file, system});
    case OpenFailureKind::Other: return Fill(kFileOpenError, {file, system});
  }
  return Fill(kFileOpenFailed, {file});
}

std::string_view VerdictName(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Accepted: return json::kAccepted;
    case CheckVerdict::HexFile: return json::kHexFile;
    case CheckVerdict::NotBinFile: return json::kNotBinFile;
    case CheckVerdict::OpenFailed: return json::kOpenFailed;
    case CheckVerdict::Empty: return json::kEmpty;
    case CheckVerdict::TooLarge: return json::kTooLarge;
    case CheckVerdict::ReadFailed: return json::kReadFailed;
    case CheckVerdict::Mismatch: return json::kMismatch;
  }
  return {};
}

std::optional<std::string_view> OpenFailureName(const FirmwareCheck& check) {
  if (check.verdict != CheckVerdict::OpenFailed) return std::nullopt;
  switch (check.openFailure.kind) {
    case OpenFailureKind::Unstated: return std::nullopt;
    case OpenFailureKind::NoSuchFile: return json::kNoSuchFile;
    case OpenFailureKind::Folder: return json::kFolder;
    case OpenFailureKind::NotRegularFile: return json::kNotRegularFile;
    case OpenFailureKind::NoPermission: return json::kNoPermission;
    case OpenFailureKind::Other: return json::kSystemError;
  }
  return std::nullopt;
}
