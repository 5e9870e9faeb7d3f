#pragma once
// Every text the Windows program shows of its own, in one place: message
// texts, captions, formats and the labels it sets at run time. The flash
// run's texts live with the engine (flash/FlashTexts.h); the dialog
// templates and the About string with the resources.
//
// Used exactly as they stand. Where a spelling looks wrong it is on purpose:
// users and their guides know these boxes by these words; those are marked
// "[sic]".

// ---- Drive list and file selection (the main dialog)
inline constexpr char kDriveListColumn[] = "Drive Letter :";
inline constexpr char kFileFilter[] = "Bin Files (*.bin)|*.bin||";
inline constexpr char kDefaultExtension[] = "bin";
inline constexpr char kInitialFileName[] = "*.bin";

// ---- Flash command
inline constexpr char kNoDriveSelectedText[] = "No drive Select!";  // [sic]
inline constexpr char kNoDriveSelectedCaption[] = "Error Status";
inline constexpr char kDriveHandleErrorText[] = "Drive handle error";
inline constexpr char kDriveHandleErrorCaption[] = "Error";
// Argument: the marked row's first character, the drive letter.
inline constexpr char kProcessingFormat[] = "Drive %c: is processing";

// ---- The ASPI layer at start-up: shown before the dialog has a window
inline constexpr char kLoadLayerCaption[] = "Error Status";
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
