#include <ostream>

#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/Reasons.h"
#include "cli/TextFill.h"

using namespace cli_text;

int RunList(const Arguments& arguments, CliContext& context) {
  const auto drives = FindOpticalDrives(context.sysfsRoot, context.devRoot);
  if (!drives) {
    Refuse(context, Fill(kCannotList, {(context.sysfsRoot / "class" / "block").string()}));
    return kExitDrive;
  }
  if (arguments.json) context.out << "{\"drives\":[";
  if (drives->empty() && !arguments.json) context.out << kNoDrives;
  bool first = true;
  for (const OpticalDriveNode& drive : *drives) {
    const DriveProbe probe = ProbeDrive(context.nodes, context.sysfsRoot, context.devRoot, drive.devicePath, DriveAccess::Query);
    const bool answered = probe.failure == DriveProbe::Failure::None;
    const std::string reason = ProbeFailureReason(drive.devicePath, probe, DriveAccess::Query);
    if (!arguments.json) {
      context.out << (answered ? Fill(kListLine, {drive.devicePath, drive.bus, ShownIdentity(probe)})
                               : Fill(kListUnaskedLine, {drive.devicePath, drive.bus, reason}));
      continue;
    }
    context.out << (first ? "" : ",") << "{\"device\":" << JsonString(drive.devicePath)
                << ",\"bus\":" << JsonString(drive.bus);
    if (answered) {
      context.out << ",\"vendor\":" << JsonString(probe.Vendor()) << ",\"product\":" << JsonString(probe.Product())
                  << ",\"revision\":" << JsonString(probe.Revision()) << ",\"error\":null}";
    } else {
      context.out << ",\"vendor\":null,\"product\":null,\"revision\":null,\"error\":" << JsonString(reason) << "}";
    }
    first = false;
  }
  if (arguments.json) context.out << "]}\n";
  return kExitOk;
}
