#pragma once
// What our wnaspi32.dll tells a test: every request it received, and each
// drive's verdict on what it was sent (format at the top of AspiReport.cpp).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testing/aspi/EmulatedAspiLayer.h"

using EmulatedDrives = std::map<std::pair<std::uint8_t, std::uint8_t>, std::unique_ptr<EmulatedDrive>>;

std::string FormatAspiReport(const std::vector<AspiRequestRecord>& records, const EmulatedDrives& drives);

// Where the image a drive assembled is dumped, next to the report.
std::string ImageDumpPath(const std::string& reportPath, std::uint8_t hostAdapter, std::uint8_t target);

// Writes the report, and the image of every drive that was sent a page.
// False when a file cannot be written.
bool WriteAspiReport(const std::string& reportPath, const std::vector<AspiRequestRecord>& records,
                     const EmulatedDrives& drives);
