#include "testing/tcmu/TargetReport.h"

#include <cstdio>
#include <fstream>

#include "testing/drive/DriveReport.h"

namespace {

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char byte[4];
  for (std::uint8_t value : bytes) {
    std::snprintf(byte, sizeof byte, "%02x", value);
    if (!text.empty()) text += ' ';
    text += byte;
  }
  return text;
}

}  // namespace

std::string TargetReportText(const EmulatedDrive& drive, const std::vector<TargetCommand>& log) {
  std::string text;
  char line[64];
  for (const TargetCommand& command : log) {
    if (!command.answered) {
      text += "unanswered: " + HexBytes(command.cdb) + "\n";
      continue;
    }
    std::snprintf(line, sizeof line, " data %zu status %02x", command.dataLength, command.scsiStatus);
    text += "command: " + HexBytes(command.cdb) + line;
    if (command.scsiStatus != 0) {
      std::snprintf(line, sizeof line, " sense %02x/%02x/%02x", command.sense.key, command.sense.asc,
                    command.sense.ascq);
      text += line;
    }
    text += "\n";
  }
  return text + DriveReportLines(drive);
}

bool WriteTargetReport(const std::string& path, const EmulatedDrive& drive, const std::vector<TargetCommand>& log) {
  std::ofstream file(path);
  file << TargetReportText(drive, log);
  return static_cast<bool>(file);
}
