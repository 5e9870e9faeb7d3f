#include <ostream>

#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FileReasons.h"
#include "cli/Reasons.h"
#include "cli/RunJson.h"
#include "cli/TextFill.h"
#include "flash/FlashConstants.h"
#include "flash/IdentityScan.h"

using namespace cli_text;

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7E;
constexpr char kUnprintableShownAs = '?';

}  // namespace

std::string DevicePathOf(const std::string& drive, const CliContext& context) {
  if (drive.find('/') != std::string::npos) return drive;
  return (context.devRoot / drive).string();
}

std::string ShownDriveText(std::string_view text) {
  std::string shown(text);
  for (char& character : shown) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte < kFirstPrintable || byte > kLastPrintable) character = kUnprintableShownAs;
  }
  return shown;
}

std::string ShownIdentity(const DriveProbe& probe) {
  return ShownDriveText(probe.Vendor() + " " + probe.Product() + " " + probe.Revision());
}

void Refuse(CliContext& context, const std::string& reason) { context.err << Fill(kRefusal, {reason}); }

std::string CheckRefusal(const FirmwareCheck& check, const std::string& file, const std::string& identity) {
  switch (check.verdict) {
    case CheckVerdict::Accepted: return {};
    case CheckVerdict::HexFile: return Fill(kHexFile, {file});
    case CheckVerdict::NotBinFile: return Fill(kNotBinFile, {file});
    case CheckVerdict::OpenFailed: return FileOpenFailedText(file, check.openFailure);
    case CheckVerdict::Empty: return Fill(kFileEmpty, {file});
    case CheckVerdict::TooLarge: return Fill(kFileTooLarge, {file});
    case CheckVerdict::ReadFailed: return Fill(kFileReadFailed, {file});
    case CheckVerdict::Mismatch:
      return Fill(kMismatch, {ShownDriveText(identity.substr(0, kIdentityKeyLength))});
  }
  return {};
}

int ExitCodeOf(const FirmwareCheck& check) {
  switch (check.verdict) {
    case CheckVerdict::Accepted: return kExitOk;
    case CheckVerdict::Mismatch: return kExitMismatch;
    default: return kExitFile;
  }
}

std::string IdentityKeyOfDrive(const DriveProbe& probe) { return probe.identity.substr(0, kIdentityKeyLength); }

int RefuseFile(CliContext& context, const Arguments& arguments, const std::optional<std::string>& devicePath,
               const FirmwareCheck& check) {
  const std::string refusal = CheckRefusal(check, arguments.file, {});
  if (arguments.json) {
    context.out << RunJson({.drive = devicePath,
                            .file = arguments.file,
                            .verdict = VerdictName(check.verdict),
                            .reason = OpenFailureName(check),
                            .error = refusal,
                            .check = &check});
  } else {
    context.out << Fill(kFileLine, {arguments.file});
    Refuse(context, refusal);
  }
  return ExitCodeOf(check);
}

// check: the file's own rules first, which need no drive; then, when a drive
// is named, the drive's identity, or else the one given with --identity.
int RunCheck(const Arguments& arguments, CliContext& context) {
  std::optional<std::string> devicePath;
  if (!arguments.drive.empty()) devicePath = DevicePathOf(arguments.drive, context);

  FirmwareImage image;
  FirmwareCheck check = CheckFirmwareFile(image, arguments.file, context.file);
  if (check.verdict != CheckVerdict::Accepted) return RefuseFile(context, arguments, devicePath, check);

  DriveProbe probe;
  std::optional<std::string> identity;
  if (!arguments.identity.empty()) identity = arguments.identity;
  if (devicePath) {
    probe = ProbeDrive(context.nodes, context.sysfsRoot, context.devRoot, *devicePath, DriveAccess::Query);
    if (probe.failure != DriveProbe::Failure::None) {
      const std::string reason = ProbeFailureReason(*devicePath, probe, DriveAccess::Query);
      if (arguments.json) {
        context.out << RunJson({.drive = devicePath,
                                .file = arguments.file,
                                .verdict = json::kDriveRefused,
                                .error = reason});
      } else {
        Refuse(context, reason);
      }
      return kExitDrive;
    }
    identity = IdentityKeyOfDrive(probe);
  }
  // Without an identity the pass still gives the checksums; nothing matches.
  check = MatchFirmware(image, check, identity ? *identity : std::string());
  const bool matched = identity.has_value();
  const std::string refusal = matched ? CheckRefusal(check, arguments.file, *identity) : std::string();
  const int exitCode = matched ? ExitCodeOf(check) : kExitOk;

  if (arguments.json) {
    context.out << RunJson({.drive = devicePath,
                            .file = arguments.file,
                            .probe = devicePath ? &probe : nullptr,
                            .identity = identity,
                            .accepted = matched && check.verdict == CheckVerdict::Accepted,
                            .verdict = matched ? VerdictName(check.verdict) : json::kIdentityNotChecked,
                            .error = refusal,
                            .check = &check});
    return exitCode;
  }

  if (devicePath) context.out << Fill(kDriveLine, {*devicePath, ShownIdentity(probe)});
  context.out << Fill(kFileLine, {arguments.file});
  if (!refusal.empty()) {
    Refuse(context, refusal);
    return exitCode;
  }
  context.out << (matched ? Fill(kIdentityFound, {ShownDriveText(*identity)}) : std::string(kIdentityNotMatched));
  context.out << Fill(kFirmwareChecksumLine, {ChecksumText(check.checksum)});
  for (int page = 1; page <= kPageCount; ++page) {
    context.out << Fill(kPageChecksumLine, {PageNumberText(page), ChecksumText(check.PageChecksum(page))});
  }
  context.out << (devicePath ? kWouldFlash : matched ? kCarriesIdentity : kFileRulesPassed);
  return exitCode;
}
