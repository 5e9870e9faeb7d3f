#pragma once
// Every text a flash run shows: message texts, captions and log line formats,
// used exactly as they stand.
#include <cstddef>

#include "flash/FlashConstants.h"

// Path refused before the file is opened.
inline constexpr char kNoBinFileText[] = "No Bin file to Open!";
inline constexpr char kErrorMessageCaption[] = "Error Message";

// File refused while loading; all under kErrorCaption, without an icon.
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kOpenFileErrorText[] = "Open binary file error";
inline constexpr char kEmptyFileText[] = "The firmware file is empty!";
inline constexpr char kFileTooLargeText[] = "The firmware file is larger than 512 KB!";
inline constexpr char kReadFileErrorText[] = "Read binary file error";

// Image that does not carry the drive's identity: shown with an empty caption.
inline constexpr char kMismatchText[] = "This firmware does not match your drive!";
inline constexpr char kMismatchCaption[] = "";

inline constexpr char kStatusCaption[] = "Status";
inline constexpr char kFlashNowText[] = "Flash Now!Please don't Power off!";
inline constexpr char kFlashCompleteText[] = "Flash Complete!";
inline constexpr char kFlashCompleteAspiText[] = "Flash Complete!\r\nPlease Restart Window,Let Window Detect New Device!";
// Argument: how many pages the drive refused.
inline constexpr char kFlashFailedFormat[] = "Flash Failed!\r\n%d of 32 pages were not written.";
static_assert(kPageCount == 32, "kFlashFailedFormat names the page count");

// Checksum log lines. %4x: lower-case hex, blank-padded to four columns;
// %2d: page number, blank-padded to two.
inline constexpr char kFirmwareChecksumFormat[] = "Firmware Checksum: %4x\r\n";
inline constexpr char kPageChecksumFormat[] = "Page-%2d Checksum: %4x\r\n";
inline constexpr std::size_t kFirmwareChecksumLineLength = 25;
inline constexpr std::size_t kPageChecksumLineLength = 24;
inline constexpr std::size_t kLogBufferSize = 65536;  // characters, reserved once per run

// What the status line shows once a run has completed: a line of blanks.
inline constexpr char kIdleStatusText[] = "                         ";
static_assert(sizeof(kIdleStatusText) - 1 == 25);
