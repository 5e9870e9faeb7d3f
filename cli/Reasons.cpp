#include "cli/Reasons.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CliTexts.h"
#include "cli/TextFill.h"
#include "device/linux/SgIoTransport.h"

using namespace cli_text;

namespace {

constexpr unsigned kByteMask = 0xFF;

// The kernel's host status values (DID_*) that a drive going away or going
// silent produces, and the driver status values older kernels still give
// (DRIVER_*, low nibble; the high nibble only suggests what to do next).
constexpr unsigned kHostNoConnect = 0x01, kHostBusBusy = 0x02, kHostTimeOut = 0x03, kHostBadTarget = 0x04,
                   kHostAbort = 0x05, kHostParity = 0x06, kHostError = 0x07, kHostReset = 0x08,
                   kHostTransportDisrupted = 0x0E, kHostTransportFailfast = 0x0F;
constexpr unsigned kDriverStatusMask = 0x0F;
constexpr unsigned kDriverError = 0x04, kDriverTimeOut = 0x06, kDriverHard = 0x07;

std::string_view HostStatusMeaning(unsigned host) {
  switch (host) {
    case kHostNoConnect: return kMeaningNoConnect;
    case kHostBusBusy: return kMeaningBusBusy;
    case kHostTimeOut: return kMeaningTimeOut;
    case kHostBadTarget: return kMeaningBadTarget;
    case kHostAbort: return kMeaningAbort;
    case kHostParity: return kMeaningParity;
    case kHostError: return kMeaningHostError;
    case kHostReset: return kMeaningReset;
    case kHostTransportDisrupted:
    case kHostTransportFailfast: return kMeaningDisrupted;
    default: return {};
  }
}

std::string_view DriverStatusMeaning(unsigned driver) {
  switch (driver & kDriverStatusMask) {
    case kDriverTimeOut: return kMeaningDriverTimeOut;
    case kDriverError:
    case kDriverHard: return kMeaningDriverError;
    default: return {};
  }
}

std::string WithMeaning(std::string code, std::string_view meaning) {
  return meaning.empty() ? code : Fill(kOutcomeMeaning, {code, meaning});
}

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
      if (probe.failedPath == devicePath || probe.failedPath.empty()) {
        return OpenFailureReason(devicePath, probe.openError, access);
      }
      // Another node of the same drive.
      if (probe.openError != EBUSY) return OpenFailureReason(probe.failedPath, probe.openError, access);
      if (probe.failedKind == NodeStatus::Kind::Block) return Fill(kDeviceBusy, {devicePath, probe.failedPath});
      return Fill(kGenericNodeBusy, {devicePath, probe.failedPath});
    case DriveProbe::Failure::Locked:
      return Fill(kDriveLocked, {devicePath, probe.failedPath});
    case DriveProbe::Failure::NoSysfs:
      return Fill(kNoSysfsForDrive, {devicePath});
    case DriveProbe::Failure::NotScsi:
      return Fill(kNotScsi, {devicePath});
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
      // The node of a drive the kernel has removed answers ENODEV (ENXIO on some drivers).
      const bool gone = error == ENODEV || error == ENXIO;
      return WithMeaning(Fill(kOutcomeSystemError, {std::to_string(error), SystemErrorText(error)}),
                         gone ? kMeaningGone : std::string_view{});
    }
    case OutcomeKind::TransportStatus: {
      const unsigned host = HostStatusOf(outcome);
      const unsigned driver = DriverStatusOf(outcome);
      const std::string_view meaning = host != 0 ? HostStatusMeaning(host) : DriverStatusMeaning(driver);
      return WithMeaning(Fill(kOutcomeTransport, {Hex(host, 2), Hex(driver, 2)}), meaning);
    }
    case OutcomeKind::ScsiStatus:
      if (outcome.sense.length == 0) return Fill(kOutcomeScsiNoSense, {Hex(outcome.scsiStatus, 2)});
      return Fill(kOutcomeScsi, {Hex(outcome.scsiStatus, 2), Hex(outcome.sense.key, 1), Hex(outcome.sense.asc, 2),
                                 Hex(outcome.sense.ascq, 2)});
  }
  return {};
}
