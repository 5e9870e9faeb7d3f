#pragma once
// The emulated drive's report as tests read it, one fact per line:
//   verdict: <the drive's verdict>
//   pages accepted: <n>
//   command: <cdb bytes in hex> data <length> status <hex> [sense <key>/<asc>/<ascq>]
//   unanswered: <cdb bytes in hex>
#include <string>
#include <vector>

#include "testing/drive/EmulatedDrive.h"
#include "testing/tcmu/CdromTarget.h"

std::string TargetReportText(const EmulatedDrive& drive, const std::vector<TargetCommand>& log);
bool WriteTargetReport(const std::string& path, const EmulatedDrive& drive, const std::vector<TargetCommand>& log);
