// Report file of our wnaspi32.dll
// ===============================
// Written anew, whole, to the path in the environment variable
// COMBOFLASH_ASPI_REPORT after every request the layer ends (and after every
// abort), before the layer sets the request's event, so a caller that waited
// for a request finds it in the report. One line per request in arrival order,
// then each configured drive's lines, addressed "ha=<a> target=<t>" (format
// in testing/drive/DriveReport.h):
//
//   request <n> exec ha=<a> target=<t> lun=<l> flags=0x<ff> length=<bytes> sense=<n> cdb=<hex> status=0x<ss>|pending
//   request <n> abort ha=<a> status=0x<ss>
//   request <n> other cmd=0x<cc> ha=<a> status=0x<ss>
//   drive ha=<a> target=<t> commands=<n> pages=<accepted> verdict=<text>
//   sequence ha=<a> target=<t> number=<k> pages=<accepted> verdict=<text>
//
// <hex> is the command bytes as lower-case hex, no blanks. A configuration
// error gives the single line "config error: <message>".
//
// Beside it, for every drive that was sent at least one page write, the
// 524,288 bytes the latest sequence left in the drive (pages it did not
// accept read as zero) in "<report path>.ha<a>-t<t>.bin".
#include "testing/aspi/AspiReport.h"

#include <cstdio>
#include <fstream>

#include "device/windows-rules/AspiRequests.h"
#include "testing/drive/DriveReport.h"
#include "testing/drive/ScsiWireValues.h"

namespace {

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x", value & 0xFFu);
  return text;
}

bool SentPages(const EmulatedDrive& drive) {
  for (const ReceivedCommand& command : drive.Commands()) {
    if (!command.cdb.empty() && command.cdb[0] == scsi_wire::kPageWriteOpcode) return true;
  }
  return false;
}

}  // namespace

std::string FormatAspiReport(const std::vector<AspiRequestRecord>& records, const EmulatedDrives& drives) {
  std::string report;
  int request = 1;
  for (const AspiRequestRecord& record : records) {
    report += "request " + std::to_string(request++) + " ";
    const std::string status = record.ended ? "0x" + Hex2(record.status) : "pending";
    if (record.command == aspi::SC_EXEC_SCSI_CMD) {
      std::string cdb;
      for (const std::uint8_t byte : record.cdb) cdb += Hex2(byte);
      report += "exec ha=" + std::to_string(record.hostAdapter) + " target=" + std::to_string(record.target) +
                " lun=" + std::to_string(record.lun) + " flags=0x" + Hex2(record.flags) +
                " length=" + std::to_string(record.bufferLength) + " sense=" + std::to_string(record.senseLength) +
                " cdb=" + cdb + " status=" + status + "\n";
    } else if (record.command == aspi::SC_ABORT_SRB) {
      report += "abort ha=" + std::to_string(record.hostAdapter) + " status=" + status + "\n";
    } else {
      report += "other cmd=0x" + Hex2(record.command) + " ha=" + std::to_string(record.hostAdapter) +
                " status=" + status + "\n";
    }
  }
  for (const auto& [address, drive] : drives) {
    report += DriveReportLines(*drive, "ha=" + std::to_string(address.first) + " target=" + std::to_string(address.second));
  }
  return report;
}

std::string ImageDumpPath(const std::string& reportPath, std::uint8_t hostAdapter, std::uint8_t target) {
  return reportPath + ".ha" + std::to_string(hostAdapter) + "-t" + std::to_string(target) + ".bin";
}

bool WriteAspiReport(const std::string& reportPath, const std::vector<AspiRequestRecord>& records,
                     const EmulatedDrives& drives) {
  std::ofstream report(reportPath, std::ios::binary | std::ios::trunc);
  report << FormatAspiReport(records, drives);
  bool written = static_cast<bool>(report);
  for (const auto& [address, drive] : drives) {
    if (!SentPages(*drive)) continue;
    std::ofstream image(ImageDumpPath(reportPath, address.first, address.second), std::ios::binary | std::ios::trunc);
    const auto bytes = drive->Image();
    image.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    written = written && static_cast<bool>(image);
  }
  return written;
}
