#pragma once
// The target's report as tests read it, one fact per line: every command the
// kernel handed it, in order, then the emulated drive's lines (format in
// testing/drive/DriveReport.h; the one drive goes unaddressed):
//   command: <cdb bytes in hex> data <length> status <hex> [sense <key>/<asc>/<ascq>]
//   unanswered: <cdb bytes in hex>
//   drive commands=<n> pages=<accepted> verdict=<text>
//   sequence number=<k> pages=<accepted> verdict=<text>
#include <string>
#include <vector>

#include "testing/drive/EmulatedDrive.h"
#include "testing/tcmu/CdromTarget.h"

std::string TargetReportText(const EmulatedDrive& drive, const std::vector<TargetCommand>& log);
bool WriteTargetReport(const std::string& path, const EmulatedDrive& drive, const std::vector<TargetCommand>& log);
