#include "device/linux/OpticalDrives.h"

#include <fcntl.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>
#include <utility>

#include "device/core/ScsiCommands.h"
#include "device/linux/SgIoTransport.h"

namespace {

constexpr std::string_view kOpticalPrefix = "sr";

std::optional<unsigned> DriveNumber(std::string_view name) {
  if (!name.starts_with(kOpticalPrefix) || name.size() == kOpticalPrefix.size()) return std::nullopt;
  const std::string_view digits = name.substr(kOpticalPrefix.size());
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

}  // namespace

std::string BusOfSysfsPath(std::string_view devicePath) {
  // The first bridge on the way from the root decides: a drive in a USB
  // enclosure is a SCSI device below a USB interface.
  struct Marker {
    std::string_view component;
    std::string_view bus;
  };
  constexpr std::array<Marker, 4> kMarkers = {{{"/usb", "usb"}, {"/ata", "ata"}, {"/fw", "firewire"}, {"/virtio", "virtio"}}};
  std::size_t first = std::string_view::npos;
  std::string_view bus = "scsi";
  for (const Marker& marker : kMarkers) {
    const std::size_t at = devicePath.find(marker.component);
    if (at < first) {
      first = at;
      bus = marker.bus;
    }
  }
  return std::string(bus);
}

std::optional<std::vector<OpticalDriveNode>> FindOpticalDrives(const std::filesystem::path& sysfsRoot,
                                                               const std::filesystem::path& devRoot) {
  const std::filesystem::path blockClass = sysfsRoot / "class" / "block";
  std::error_code error;
  std::filesystem::directory_iterator entries(blockClass, error);
  if (error) return std::nullopt;

  std::vector<std::pair<unsigned, OpticalDriveNode>> found;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    const std::optional<unsigned> number = DriveNumber(name);
    if (!number) continue;
    const std::filesystem::path resolved = std::filesystem::canonical(entry.path(), error);
    const std::string sysfsPath = error ? entry.path().string() : resolved.string();
    found.push_back({*number, {name, (devRoot / name).string(), BusOfSysfsPath(sysfsPath)}});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<OpticalDriveNode> drives;
  for (auto& [number, drive] : found) drives.push_back(std::move(drive));
  return drives;
}

int OpenFlags(DriveAccess access) {
  // O_NONBLOCK lets a drive without a disc be opened at all.
  switch (access) {
    case DriveAccess::Query: return O_RDONLY | O_NONBLOCK;
    case DriveAccess::Exclusive: return O_RDWR | O_NONBLOCK | O_EXCL;
  }
  return O_RDONLY | O_NONBLOCK;
}

DriveProbe ProbeDrive(DeviceNodes& nodes, const std::string& devicePath, DriveAccess access) {
  DriveProbe probe;
  OpenedNode opened = nodes.Open(devicePath, OpenFlags(access));
  if (!opened.node) {
    probe.failure = DriveProbe::Failure::Open;
    probe.openError = opened.error;
    return probe;
  }

  SgIoTransport transport(*opened.node);
  InquiryAnswer answer = InquireIdentity(transport);
  probe.inquiry = answer.outcome;
  if (!probe.inquiry.IsGood()) {
    probe.failure = DriveProbe::Failure::Inquiry;
    return probe;
  }
  probe.peripheralType = answer.DeviceType();
  probe.identity = std::move(answer.identity);
  if (probe.peripheralType != kPeripheralTypeCdRom) {
    probe.failure = DriveProbe::Failure::NotOptical;
    return probe;
  }
  probe.failure = DriveProbe::Failure::None;
  probe.node = std::move(opened.node);
  return probe;
}
