#pragma once
// The emulated drive's own lines, the same in every report a carrier writes
// (after the carrier's lines about what it carried):
//
//   drive[ <address>] commands=<n> pages=<accepted> verdict=<text>
//   sequence[ <address>] number=<k> pages=<accepted> verdict=<text>
//
// <address> is how the carrier names the drive (e.g. "ha=0 target=1"), left
// out where it carries only one. verdict is "image complete and consistent"
// or the drive's objections. The drive line's pages are the latest
// sequence's, its verdict covers them all; one sequence line follows per
// flash the drive was sent (a page 1 after a page 32 starts the next),
// judged on its own.
#include <string>

#include "testing/drive/EmulatedDrive.h"

std::string DriveReportLines(const EmulatedDrive& drive, const std::string& address = {});
