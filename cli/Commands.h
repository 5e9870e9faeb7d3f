#pragma once
// The three commands, and what check and flash share.
#include <optional>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/CliContext.h"
#include "cli/FlashProgress.h"
#include "device/linux/OpticalDrives.h"
#include "flash/FirmwareCheck.h"

int RunList(const Arguments& arguments, CliContext& context);
int RunCheck(const Arguments& arguments, CliContext& context);
int RunFlash(const Arguments& arguments, CliContext& context);

// --drive as a device node: a bare name is looked for in the device root.
std::string DevicePathOf(const std::string& drive, const CliContext& context);
// Vendor, product and revision at their widths, a blank between each, as
// ShownDriveText shows them.
std::string ShownIdentity(const DriveProbe& probe);
// What a drive says, fit for a terminal: a byte that is not printable ASCII
// is shown as '?', so a drive cannot send the terminal control sequences.
std::string ShownDriveText(std::string_view text);
// Why the engine's check refuses, in comboflash's words; empty when accepted.
std::string CheckRefusal(const FirmwareCheck& check, const std::string& file, const std::string& identity);
int ExitCodeOf(const FirmwareCheck& check);
// The drive's vendor and product: what the image must carry.
std::string IdentityKeyOfDrive(const DriveProbe& probe);
// A file refused by its own rules, before any drive is asked: as --json's
// object or in words; returns the exit code.
int RefuseFile(CliContext& context, const Arguments& arguments, const std::optional<std::string>& devicePath,
               const FirmwareCheck& check);
void Refuse(CliContext& context, const std::string& reason);

// A confirmed flash's writing: the pages of the checked image through the
// engine to node, with sleep held off and the stopping signals held back;
// returns the signal held back, or 0.
int WriteCheckedPages(CliContext& context, DeviceNode& node, FlashObserver& observer, PageOutcomeObserver& pages,
                      const FirmwareImage& image, const FirmwareCheck& check);
