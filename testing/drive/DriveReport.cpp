#include "testing/drive/DriveReport.h"

std::string DriveReportLines(const EmulatedDrive& drive, const std::string& address) {
  const std::string named = address.empty() ? "" : " " + address;
  std::string lines = "drive" + named + " commands=" + std::to_string(drive.Commands().size()) +
                      " pages=" + std::to_string(drive.PagesAccepted()) + " verdict=" + drive.Verdict() + "\n";
  int number = 1;
  for (const PageSequence& sequence : drive.Sequences()) {
    lines += "sequence" + named + " number=" + std::to_string(number++) +
             " pages=" + std::to_string(sequence.PagesAccepted()) + " verdict=" + sequence.Verdict() + "\n";
  }
  return lines;
}
