#include <istream>
#include <ostream>
#include <string>

#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FileReasons.h"
#include "cli/FlashProgress.h"
#include "cli/FlashRecord.h"
#include "cli/PowerSupply.h"
#include "cli/Reasons.h"
#include "cli/RunJson.h"
#include "cli/TextFill.h"
#include "device/core/ScsiPageChannel.h"
#include "device/linux/SgIoTransport.h"
#include "flash/FlashConstants.h"
#include "flash/FlashSequence.h"
#include "flash/PageWriteCommand.h"

using namespace cli_text;

namespace {

std::string CommandHex(const PageWriteCommand& command) {
  std::string hex;
  for (const std::uint8_t byte : command.bytes) {
    if (!hex.empty()) hex += ' ';
    hex += Hex(byte, 2);
  }
  for (char& character : hex) character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  return hex;
}

void PrintDryRun(CliContext& context, const std::string& devicePath, const FirmwareCheck& check) {
  context.out << Fill(kDryRunHeader, {devicePath});
  for (int page = 1; page <= kPageCount; ++page) {
    const PageWriteCommand command = BuildPageWriteCommand(page, check.PageChecksum(page), check.checksum);
    context.out << Fill(kDryRunLine, {PageNumberText(page), CommandHex(command)});
  }
}

bool Confirmed(CliContext& context, const std::string& file, const std::string& devicePath,
               const std::string& identity) {
  context.out << Fill(kConfirmQuestion, {file, devicePath, identity});
  context.out.flush();
  std::string answer;
  if (!std::getline(context.in, answer)) {
    context.out << '\n';
    return false;
  }
  while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\r')) answer.pop_back();
  return answer == kConfirmWord;
}

}  // namespace

// The engine writes the image as it was checked and confirmed, not the file
// read anew.
int WriteCheckedPages(CliContext& context, DeviceNode& node, FlashObserver& observer, PageOutcomeObserver& pages,
                      const FirmwareImage& image, const FirmwareCheck& check) {
  if (const auto why = context.inhibitor.Hold()) Refuse(context, Fill(kNoInhibitor, {*why}));
  context.interruptions.Begin();
  SgIoTransport transport(node);
  ScsiPageChannel channel(transport, pages);
  FlashSequence(observer, context.file).WritePages(channel, image, check);
  const int held = context.interruptions.End();
  context.inhibitor.Release();
  return held;
}

// flash: the file's own rules first, so that a file that could never be
// flashed is refused before the drive is opened; then the drive, the
// identity, the rights, the power and the confirmation; then the pages.
int RunFlash(const Arguments& arguments, CliContext& context) {
  const std::string devicePath = DevicePathOf(arguments.drive, context);
  RunValues values{.drive = devicePath, .file = arguments.file};
  // With --json every refusal is the one object on standard output.
  const auto refuse = [&](int exitCode, std::string_view verdict, const std::string& reason) {
    if (arguments.json) {
      values.verdict = verdict;
      values.error = reason;
      context.out << RunJson(values);
    } else {
      Refuse(context, reason);
    }
    return exitCode;
  };

  FirmwareImage image;
  FirmwareCheck check = CheckFirmwareFile(image, arguments.file, context.file);
  if (check.verdict != CheckVerdict::Accepted) return RefuseFile(context, arguments, devicePath, check);

  // A rehearsal only asks the drive who it is; writing needs it to ourselves.
  const DriveAccess access = arguments.dryRun ? DriveAccess::Query : DriveAccess::Exclusive;
  DriveProbe probe = ProbeDrive(context.nodes, context.sysfsRoot, context.devRoot, devicePath, access);
  if (probe.failure != DriveProbe::Failure::None) {
    return refuse(kExitDrive, json::kDriveRefused, ProbeFailureReason(devicePath, probe, access));
  }
  values.probe = &probe;
  values.identity = IdentityKeyOfDrive(probe);

  check = MatchFirmware(image, check, probe.identity);
  values.check = &check;
  if (!arguments.json) {
    context.out << Fill(kDriveLine, {devicePath, ShownIdentity(probe)}) << Fill(kFileLine, {arguments.file});
  }
  if (const std::string refusal = CheckRefusal(check, arguments.file, probe.identity); !refusal.empty()) {
    return refuse(ExitCodeOf(check), VerdictName(check.verdict), refusal);
  }
  values.accepted = true;
  if (!arguments.json) context.out << Fill(kFirmwareChecksumLine, {ChecksumText(check.checksum)});

  if (arguments.dryRun) {
    PrintDryRun(context, devicePath, check);
    return kExitOk;
  }
  if (!context.rawIo) return refuse(kExitNoRawIo, json::kNoRawIo, std::string(kNoRawIo));
  if (!arguments.force) {
    const auto battery = BatteryPercentOnBatteryPower(context.powerSupplyRoot);
    if (battery && *battery < kLowBatteryPercent) {
      return refuse(kExitBattery, json::kBatteryLow,
                    Fill(kBatteryLow, {std::to_string(*battery), std::to_string(kLowBatteryPercent)}));
    }
  }
  if (!arguments.yes) {
    if (!context.inputIsTerminal) {
      Refuse(context, std::string(kNoTerminal));
      return kExitNotConfirmed;
    }
    if (!Confirmed(context, arguments.file, devicePath, ShownIdentity(probe))) {
      Refuse(context, std::string(kNotConfirmed));
      return kExitNotConfirmed;
    }
  }

  int held = 0;
  int exitCode = kExitOk;
  if (arguments.json) {
    // The announcement still reaches whoever watches, on standard error.
    FlashRecord record(context.err);
    held = WriteCheckedPages(context, *probe.node, record, record, image, check);
    probe.node.reset();
    probe.held.clear();
    values.pages = &record.Pages();
    values.verdict = record.Complete() ? json::kComplete : json::kFailed;
    if (!record.Complete()) values.error = record.Verdict();
    context.out << RunJson(values);
    exitCode = record.Complete() ? kExitOk : kExitFlashFailed;
  } else {
    FlashProgress progress(context.out, context.outputIsTerminal, check);
    held = WriteCheckedPages(context, *probe.node, progress, progress, image, check);
    probe.node.reset();
    probe.held.clear();
    context.out << progress.Verdict() << '\n';
    exitCode = progress.Complete() ? kExitOk : kExitFlashFailed;
  }
  context.out.flush();
  if (held != 0) context.interruptions.Deliver(held);
  return exitCode;
}
