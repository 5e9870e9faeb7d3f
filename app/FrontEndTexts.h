#pragma once
#include <cstddef>

#include "flash/FlashConstants.h"

// Every text the Windows program shows of its own, in one place: message
// texts, captions, formats and the labels it sets at run time. The dialog
// templates and the About string live with the resources.
//
// Used exactly as they stand. Where a spelling looks wrong it is on purpose:
// users and their guides know these boxes by these words; those are marked
// "[sic]".

// ---- Captions several boxes share
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kErrorStatusCaption[] = "Error Status";

// ---- Drive list and file selection (the main dialog)
inline constexpr char kDriveListColumn[] = "Drive Letter :";
inline constexpr char kFileFilter[] = "Bin Files (*.bin)|*.bin||";
inline constexpr char kDefaultExtension[] = "bin";
inline constexpr char kInitialFileName[] = "*.bin";

// ---- Flash command
inline constexpr char kNoDriveSelectedText[] = "No drive Select!";  // [sic]
inline constexpr char kDriveHandleErrorText[] = "Drive handle error";
// Argument: the marked row's first character, the drive letter.
inline constexpr char kProcessingFormat[] = "Drive %c: is processing";

// ---- A flash run: the file refused before the first page
inline constexpr char kNoBinFileText[] = "No Bin file to Open!";
inline constexpr char kErrorMessageCaption[] = "Error Message";
// Refused while loading; all under kErrorCaption, without an icon.
inline constexpr char kOpenFileErrorText[] = "Open binary file error";
inline constexpr char kEmptyFileText[] = "The firmware file is empty!";
inline constexpr char kFileTooLargeText[] = "The firmware file is larger than 512 KB!";
inline constexpr char kReadFileErrorText[] = "Read binary file error";
// An image without the drive's identity: shown with an empty caption.
inline constexpr char kMismatchText[] = "This firmware does not match your drive!";
inline constexpr char kMismatchCaption[] = "";

// ---- A flash run: announcement, checksum log, verdict
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

// ---- The ASPI layer at start-up: shown before the dialog has a window
inline constexpr char kLoadLayerFailText[] = "Load wnaspi32.dll Fail!";
inline constexpr char kEntryPointsMissingText[] = "Get ASPI32 Information and Send Command Error!";

// ---- Pass-through requests
inline constexpr char kPassThroughErrorCaption[] = "Status Error Message";
// Argument: the system's error code, as a signed decimal.
inline constexpr char kPassThroughErrorFormat[] = "Error code:%d";
inline constexpr char kCommandNotCompleteText[] = "Command Not Complete!";
inline constexpr char kCommandNotCompleteCaption[] = "Satus Message";  // [sic]

// ---- ASPI statuses: one text per status, all under one caption
inline constexpr char kAspiStatusCaption[] = "Status Message";
inline constexpr char kAspiPendingText[] = "SRB being processed!";
inline constexpr char kAspiCompletedText[] = "SRB completed without error!";
inline constexpr char kAspiAbortedText[] = "SRB aborted!";
inline constexpr char kAspiAbortFailedText[] = "Unable to abort SRB";  // [sic] no '!'
inline constexpr char kAspiErrorText[] = "SRB completed with error!";
inline constexpr char kAspiInvalidCommandText[] = "Invalid ASPI command!";
inline constexpr char kAspiInvalidHostAdapterText[] = "Invalid host adapter number!";
inline constexpr char kAspiNoDeviceText[] = "SCSI device not installed!";
inline constexpr char kAspiInvalidSrbText[] = "Invalid parameter set in SRB!";
inline constexpr char kAspiFailedInitText[] = "ASPI for windows failed init!";  // [sic] "windows"
inline constexpr char kAspiBusyText[] = "No resources available to execute cmd!";
inline constexpr char kAspiBufferTooBigText[] = "Buffer size to big to handle!";  // [sic] "to big"
// Argument: a status no layer defines, in lower-case hex.
inline constexpr char kAspiUnknownStatusFormat[] = "Unknown error code = %x!";
