#include <ostream>

#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"
#include "flash/FlashConstants.h"
#include "flash/FlashTexts.h"
#include "flash/IdentityScan.h"

using namespace cli_text;

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7E;
constexpr char kUnprintableShownAs = '?';

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

const char* VerdictName(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Accepted: return "accepted";
    case CheckVerdict::HexFile: return "hex-file";
    case CheckVerdict::NotBinFile: return "not-bin-file";
    case CheckVerdict::OpenFailed: return "open-failed";
    case CheckVerdict::Empty: return "empty";
    case CheckVerdict::TooLarge: return "too-large";
    case CheckVerdict::ReadFailed: return "read-failed";
    case CheckVerdict::Mismatch: return "mismatch";
  }
  return "";
}

void PrintJson(CliContext& context, const std::string& devicePath, const std::string& file, const DriveProbe* probe,
               const FirmwareCheck* check, const std::string& error) {
  std::ostream& out = context.out;
  out << "{\"drive\":" << JsonString(devicePath) << ",\"file\":" << JsonString(file);
  if (probe) {
    out << ",\"vendor\":" << JsonString(probe->Vendor()) << ",\"product\":" << JsonString(probe->Product())
        << ",\"revision\":" << JsonString(probe->Revision());
  } else {
    out << ",\"vendor\":null,\"product\":null,\"revision\":null";
  }
  const bool accepted = check && check->verdict == CheckVerdict::Accepted;
  out << ",\"accepted\":" << (accepted ? "true" : "false");
  out << ",\"verdict\":" << (check ? JsonString(VerdictName(check->verdict)) : "\"drive-refused\"");
  out << ",\"error\":" << (error.empty() ? "null" : JsonString(error));
  if (check && check->Loaded()) {
    out << ",\"firmwareChecksum\":" << check->checksum << ",\"pages\":[";
    for (int page = 1; page <= kPageCount; ++page) {
      out << (page == 1 ? "" : ",") << "{\"page\":" << page << ",\"checksum\":" << check->PageChecksum(page) << "}";
    }
    out << "]";
  } else {
    out << ",\"firmwareChecksum\":null,\"pages\":[]";
  }
  out << "}\n";
}

}  // namespace

std::string DevicePathOf(const std::string& drive, const CliContext& context) {
  if (drive.find('/') != std::string::npos) return drive;
  return (context.devRoot / drive).string();
}

std::string RowTextOf(const std::string& identity) { return std::string(kIdentityKeyOffset, ' ') + identity; }

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
    case CheckVerdict::OpenFailed: return Fill(kFileOpenFailed, {file});
    case CheckVerdict::Empty: return Fill(kFileEmpty, {file});
    case CheckVerdict::TooLarge: return Fill(kFileTooLarge, {file});
    case CheckVerdict::ReadFailed: return Fill(kFileReadFailed, {file});
    case CheckVerdict::Mismatch:
      return Fill(kMismatch, {kMismatchText, ShownDriveText(identity.substr(0, kIdentityKeyLength)), "vendor and product"});
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

int RunCheck(const Arguments& arguments, CliContext& context) {
  const std::string devicePath = DevicePathOf(arguments.drive, context);
  const DriveProbe probe = ProbeDrive(context.nodes, devicePath, DriveAccess::Query);
  if (probe.failure != DriveProbe::Failure::None) {
    const std::string reason = ProbeFailureReason(devicePath, probe, DriveAccess::Query);
    if (arguments.json) {
      PrintJson(context, devicePath, arguments.file, nullptr, nullptr, reason);
    } else {
      Refuse(context, reason);
    }
    return kExitDrive;
  }

  FirmwareImage image;
  const FirmwareCheck check = CheckFirmware(image, arguments.file, context.file, RowTextOf(probe.identity));
  const std::string refusal = CheckRefusal(check, arguments.file, probe.identity);
  if (arguments.json) {
    PrintJson(context, devicePath, arguments.file, &probe, &check, refusal);
    return ExitCodeOf(check);
  }

  context.out << Fill(kDriveLine, {devicePath, ShownIdentity(probe)}) << Fill(kFileLine, {arguments.file});
  if (!refusal.empty()) {
    Refuse(context, refusal);
    return ExitCodeOf(check);
  }
  context.out << Fill(kIdentityFound, {ShownDriveText(probe.identity.substr(0, kIdentityKeyLength))});
  context.out << WithoutLineEnd(FirmwareChecksumLine(check.checksum)) << '\n';
  for (int page = 1; page <= kPageCount; ++page) {
    context.out << WithoutLineEnd(PageChecksumLine(page, check.PageChecksum(page))) << '\n';
  }
  context.out << kWouldFlash;
  return kExitOk;
}
