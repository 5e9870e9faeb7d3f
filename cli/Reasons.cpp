#include "cli/Reasons.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CliTexts.h"
#include "cli/TextFill.h"

using namespace cli_text;

namespace {

constexpr unsigned kHostStatusShift = 16;
constexpr unsigned kByteMask = 0xFF;

}  // namespace

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

unsigned HostStatusOf(const ScsiOutcome& outcome) { return outcome.transportStatus >> kHostStatusShift & kByteMask; }

unsigned DriverStatusOf(const ScsiOutcome& outcome) { return outcome.transportStatus & kByteMask; }

std::string ChecksumText(std::uint16_t checksum) {
  char text[8];
  std::snprintf(text, sizeof text, "%4x", unsigned{checksum});
  return text;
}

std::string PageNumberText(int page) {
  char text[8];
  std::snprintf(text, sizeof text, "%2d", page);
  return text;
}

std::string SystemErrorText(int error) { return std::strerror(error); }

std::string OpenFailureReason(const std::string& devicePath, int error, DriveAccess access) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return Fill(kNoSuchDevice, {devicePath});
    case EACCES:
    case EPERM:
    case EROFS:
      return Fill(access == DriveAccess::Query ? kNoReadAccess : kNoReadWriteAccess, {devicePath});
    case EBUSY:
      return Fill(kDeviceBusy, {devicePath, devicePath});
    default:
      return Fill(kOpenFailed, {devicePath, SystemErrorText(error)});
  }
}

std::string ProbeFailureReason(const std::string& devicePath, const DriveProbe& probe, DriveAccess access) {
  switch (probe.failure) {
    case DriveProbe::Failure::None:
      return {};
    case DriveProbe::Failure::Open:
      return OpenFailureReason(devicePath, probe.openError, access);
    case DriveProbe::Failure::NotOptical:
      return Fill(kNotOptical, {devicePath, std::to_string(probe.peripheralType)});
    case DriveProbe::Failure::Inquiry: {
      const bool noScsi = probe.inquiry.kind == OutcomeKind::SystemError &&
                          (probe.inquiry.systemError == ENOTTY || probe.inquiry.systemError == EINVAL ||
                           probe.inquiry.systemError == ENOSYS);
      if (noScsi) return Fill(kNotScsi, {devicePath});
      return Fill(kNoAnswer, {devicePath, OutcomeText(probe.inquiry)});
    }
  }
  return {};
}

std::string OutcomeText(const ScsiOutcome& outcome) {
  switch (outcome.kind) {
    case OutcomeKind::Good:
      return std::string(kOutcomeGood);
    case OutcomeKind::SystemError: {
      const int error = static_cast<int>(outcome.systemError);
      if (error == EPERM) return std::string(kOutcomeNoRawIo);
      return Fill(kOutcomeSystemError, {std::to_string(error), SystemErrorText(error)});
    }
    case OutcomeKind::TransportStatus:
      return Fill(kOutcomeTransport, {Hex(HostStatusOf(outcome), 2), Hex(DriverStatusOf(outcome), 2)});
    case OutcomeKind::ScsiStatus:
      if (outcome.sense.length == 0) return Fill(kOutcomeScsiNoSense, {Hex(outcome.scsiStatus, 2)});
      return Fill(kOutcomeScsi, {Hex(outcome.scsiStatus, 2), Hex(outcome.sense.key, 1), Hex(outcome.sense.asc, 2),
                                 Hex(outcome.sense.ascq, 2)});
  }
  return {};
}
