#pragma once
// Why a drive cannot be used, and what became of a command, in the user's
// words.
#include <cstdint>
#include <string>

#include "device/core/ScsiRequest.h"
#include "device/linux/OpticalDrives.h"

std::string OpenFailureReason(const std::string& devicePath, int error, DriveAccess access);
// A probe that failed: why, in one sentence.
std::string ProbeFailureReason(const std::string& devicePath, const DriveProbe& probe, DriveAccess access);
std::string OutcomeText(const ScsiOutcome& outcome);
// The two halves of a TransportStatus outcome's code on Linux.
unsigned HostStatusOf(const ScsiOutcome& outcome);
unsigned DriverStatusOf(const ScsiOutcome& outcome);
std::string SystemErrorText(int error);
std::string Hex(unsigned value, int digits);
// A checksum as the checksum log shows it: lower-case hex, blank-padded to four.
std::string ChecksumText(std::uint16_t checksum);
// A page number blank-padded to two columns.
std::string PageNumberText(int page);
