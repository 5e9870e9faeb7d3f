#include <cstdio>
#include <istream>
#include <ostream>
#include <string>

#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FlashProgress.h"
#include "cli/PowerSupply.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"
#include "device/ScsiPageChannel.h"
#include "device/linux/SgIoTransport.h"
#include "flash/FlashConstants.h"
#include "flash/FlashSequence.h"
#include "flash/FlashTexts.h"
#include "flash/PageWriteCommand.h"

using namespace cli_text;

namespace {

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

std::string CommandHex(const PageWriteCommand& command) {
  std::string hex;
  for (const std::uint8_t byte : command.bytes) {
    if (!hex.empty()) hex += ' ';
    hex += Hex(byte, 2);
  }
  for (char& character : hex) character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  return hex;
}

std::string TwoColumns(int number) {
  char text[8];
  std::snprintf(text, sizeof text, "%2d", number);
  return text;
}

void PrintDryRun(CliContext& context, const std::string& devicePath, const FirmwareCheck& check) {
  context.out << Fill(kDryRunHeader, {devicePath});
  for (int page = 1; page <= kPageCount; ++page) {
    const PageWriteCommand command = BuildPageWriteCommand(page, check.PageChecksum(page), check.checksum);
    context.out << Fill(kDryRunLine, {TwoColumns(page), CommandHex(command)});
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
int WriteCheckedPages(CliContext& context, DeviceNode& node, FlashProgress& progress, const FirmwareImage& image,
                      const FirmwareCheck& check) {
  if (const auto why = context.inhibitor.Hold()) Refuse(context, Fill(kNoInhibitor, {*why}));
  context.interruptions.Begin();
  SgIoTransport transport(node);
  ScsiPageChannel channel(transport, progress);
  FlashSequence(progress, context.file).WritePages(channel, image, check, TransportMode::PassThrough);
  const int held = context.interruptions.End();
  context.inhibitor.Release();
  return held;
}

int RunFlash(const Arguments& arguments, CliContext& context) {
  const std::string devicePath = DevicePathOf(arguments.drive, context);
  // A rehearsal only asks the drive who it is; writing needs it to ourselves.
  const DriveAccess access = arguments.dryRun ? DriveAccess::Query : DriveAccess::Exclusive;
  DriveProbe probe = ProbeDrive(context.nodes, devicePath, access);
  if (probe.failure != DriveProbe::Failure::None) {
    Refuse(context, ProbeFailureReason(devicePath, probe, access));
    return kExitDrive;
  }

  FirmwareImage image;
  const FirmwareCheck check = CheckFirmware(image, arguments.file, context.file, RowTextOf(probe.identity));
  context.out << Fill(kDriveLine, {devicePath, ShownIdentity(probe)}) << Fill(kFileLine, {arguments.file});
  if (const std::string refusal = CheckRefusal(check, arguments.file, probe.identity); !refusal.empty()) {
    Refuse(context, refusal);
    return ExitCodeOf(check);
  }
  context.out << WithoutLineEnd(FirmwareChecksumLine(check.checksum)) << '\n';

  if (arguments.dryRun) {
    PrintDryRun(context, devicePath, check);
    return kExitOk;
  }
  if (!context.rawIo) {
    Refuse(context, std::string(kNoRawIo));
    return kExitNoRawIo;
  }
  if (!arguments.force) {
    const auto battery = BatteryPercentOnBatteryPower(context.powerSupplyRoot);
    if (battery && *battery < kLowBatteryPercent) {
      Refuse(context, Fill(kBatteryLow, {std::to_string(*battery), std::to_string(kLowBatteryPercent)}));
      return kExitBattery;
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

  FlashProgress progress(context.out, context.outputIsTerminal);
  const int held = WriteCheckedPages(context, *probe.node, progress, image, check);
  probe.node.reset();

  context.out << progress.Verdict() << '\n';
  const int exitCode = progress.Complete() ? kExitOk : kExitFlashFailed;
  context.out.flush();
  if (held != 0) context.interruptions.Deliver(held);
  return exitCode;
}
