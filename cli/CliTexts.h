#pragma once
// Every text comboflash shows, in one place. "{}" marks where Fill puts an
// argument, in order. Lines that the Windows program shows too keep its
// spelling, so a user's guide fits both.
#include <string_view>

namespace cli_text {

// The version comes from the build (the project's version).
inline constexpr std::string_view kVersion = "comboflash {}\n";

inline constexpr std::string_view kHelp =
    "Usage: comboflash list [--json]\n"
    "       comboflash check FILE [--drive DEV | --identity ID] [--json]\n"
    "       comboflash flash FILE --drive DEV [--yes] [--dry-run] [--force] [--json]\n"
    "       comboflash help [COMMAND] | --help | --version\n"
    "\n"
    "Rewrites the firmware of a CD-RW/DVD combo drive with a .bin image of up to\n"
    "512 KiB, sent as 32 pages of 16 KiB. A file that does not carry the drive's\n"
    "identity (its vendor and product as the drive reports them) is refused.\n"
    "\n"
    "Commands:\n"
    "  list          every optical drive (/dev/sr*), with its identity and bus\n"
    "  check FILE    the file rules, the drive's identity in the image, and the\n"
    "                image and page checksums; only the identity inquiry is sent.\n"
    "                Without --drive no drive is asked: the file rules and the\n"
    "                checksums, and the identity only when --identity gives it\n"
    "  flash FILE    check, ask for confirmation, then write the 32 pages\n"
    "  help          this text\n"
    "\n"
    "A file that breaks the file rules is refused before the drive is opened.\n"
    "\n"
    "Options:\n"
    "  --drive DEV   the drive: its node /dev/srN or /dev/sgN, a link to one such\n"
    "                as /dev/cdrom, or a name under /dev (sr0, sg0, cdrom)\n"
    "  --identity ID check without a drive: the vendor and product the image must\n"
    "                carry, blanks included, as list shows them, such as\n"
    "                \"ACME     COMBO DVD/RW 52X\" (or the 24 characters without\n"
    "                the blank between)\n"
    "  --json        print one JSON object instead of text; flash --json needs\n"
    "                --yes and gives each page's outcome\n"
    "  --yes         flash without asking; needed when there is no terminal\n"
    "  --dry-run     print the 32 commands in hex and send nothing\n"
    "  --force       flash even on battery power below 30%\n"
    "  --help        this text\n"
    "  --version     the program's version\n"
    "\n"
    "Rights: check and list need read access to the drive's node (usually the\n"
    "cdrom group); flash needs root, since Linux passes the drive's vendor\n"
    "command only from a process with CAP_SYS_RAWIO. While it writes, flash\n"
    "holds the drive under every node (srN and sgN): a mounted disc, another\n"
    "program using the drive, or a second comboflash by any name is refused.\n"
    "\n"
    "Exit status:\n"
    "  0  done: drives listed, the file would be flashed (without a drive: it\n"
    "     passes the file rules), flash complete, or the dry run printed\n"
    "  1  flash failed: the drive did not take every page\n"
    "  2  the command line is not understood\n"
    "  3  the drive cannot be used: no such device, not an optical drive,\n"
    "     no access, in use, or it does not answer\n"
    "  4  the firmware file is refused: not .bin, cannot be opened, empty, too\n"
    "     large\n"
    "  5  the firmware does not match the drive\n"
    "  6  the flash was not confirmed\n"
    "  7  on battery below 30% without --force\n"
    "  8  no right to send the drive vendor commands (CAP_SYS_RAWIO)\n";

// Command line.
inline constexpr std::string_view kUsageHint = "comboflash: {}\nTry 'comboflash --help'.\n";
inline constexpr std::string_view kNoCommand = "no command given";
inline constexpr std::string_view kUnknownCommand = "unknown command '{}'";
inline constexpr std::string_view kUnknownOption = "unknown option '{}' for {}";
inline constexpr std::string_view kMissingDrive = "{} needs --drive DEV";
inline constexpr std::string_view kMissingDriveValue = "--drive needs a device, such as /dev/sr0";
inline constexpr std::string_view kTwoDrives = "--drive given twice, as '{}' and '{}': name one drive";
inline constexpr std::string_view kMissingFile = "{} needs the firmware FILE";
inline constexpr std::string_view kExtraArgument = "unexpected argument '{}'";
inline constexpr std::string_view kMissingIdentityValue =
    "--identity needs the drive's vendor and product, such as \"ACME    COMBO DVD/RW 52X\"";
inline constexpr std::string_view kBadIdentity =
    "--identity '{}' is no drive identity: give the 8 characters of vendor and the 16 of product, blanks "
    "included, as 'comboflash list' shows them (24 characters, or 25 with the blank between)";
inline constexpr std::string_view kDriveAndIdentity =
    "give --drive or --identity, not both: with --drive the drive's own identity is matched";
inline constexpr std::string_view kJsonNeedsYes = "flash --json needs --yes: there is no question asked in JSON";
inline constexpr std::string_view kJsonAndDryRun =
    "flash --json does not go with --dry-run, which prints the commands as text";

// Prefix of every refusal and warning on standard error.
inline constexpr std::string_view kRefusal = "comboflash: {}\n";

// Drives.
inline constexpr std::string_view kNoSuchDevice =
    "no such device: {}. 'comboflash list' shows the optical drives.";
inline constexpr std::string_view kNoReadAccess =
    "no read access to {}: join the group that owns it, usually cdrom "
    "(sudo usermod -aG cdrom $USER, then log in again), or run as root.";
// Flashing needs root whatever the node's group: the kernel passes the
// vendor command only from a process with CAP_SYS_RAWIO.
inline constexpr std::string_view kNoReadWriteAccess =
    "no read-write access to {}: writing firmware needs root, since Linux passes the drive's vendor command only "
    "from a process with CAP_SYS_RAWIO. Run comboflash as root (sudo comboflash flash ...).";
inline constexpr std::string_view kDeviceBusy =
    "{} is in use: a disc from it is mounted, or another program holds the drive. "
    "Unmount the disc (umount {}) or close that program, then try again.";
inline constexpr std::string_view kGenericNodeBusy =
    "{} is in use: another program holds the drive through {}. Close that program, then try again.";
inline constexpr std::string_view kDriveLocked =
    "{} is in use: another program holds a lock on the drive ({}), such as another comboflash using it. "
    "Wait until it is done, then try again.";
inline constexpr std::string_view kNoSysfsForDrive =
    "cannot find the drive behind {} in sysfs, so it cannot be held against other programs while it is written: "
    "is sysfs mounted?";
inline constexpr std::string_view kOpenFailed = "cannot open {}: {}.";
inline constexpr std::string_view kNotScsi = "{} is not an optical drive: it takes no SCSI commands.";
inline constexpr std::string_view kNotOptical =
    "{} is not an optical drive: it answers as SCSI device type {}. 'comboflash list' shows the optical drives.";
inline constexpr std::string_view kNoAnswer =
    "{} did not answer the identity inquiry: {}. Check the drive's cable or enclosure and try again.";
inline constexpr std::string_view kCannotList = "cannot read the list of block devices in {}: is sysfs mounted?";
inline constexpr std::string_view kNoDrives = "No optical drive found.\n";
inline constexpr std::string_view kListLine = "{}  {}  {}\n";           // node, bus, identity
inline constexpr std::string_view kListUnaskedLine = "{}  {}  cannot be asked: {}\n";  // node, bus, reason

// What became of one command.
inline constexpr std::string_view kOutcomeGood = "written";
inline constexpr std::string_view kOutcomeNoRawIo =
    "refused by the kernel (EPERM): Linux passes vendor commands only from a process with "
    "CAP_SYS_RAWIO; run comboflash as root";
inline constexpr std::string_view kOutcomeSystemError = "system error {} ({})";
inline constexpr std::string_view kOutcomeTransport = "the transport failed: host status 0x{}, driver status 0x{}";
inline constexpr std::string_view kOutcomeScsi = "the drive answered status 0x{}, sense key 0x{}, ASC 0x{}, ASCQ 0x{}";
inline constexpr std::string_view kOutcomeScsiNoSense = "the drive answered status 0x{} without sense data";
// What the kernel meant, after its bare code: "{code}: {meaning}".
inline constexpr std::string_view kOutcomeMeaning = "{}: {}";
inline constexpr std::string_view kMeaningGone =
    "the drive is gone: it was removed or disconnected, so nothing more reaches it";
inline constexpr std::string_view kMeaningNoConnect =
    "the kernel lost its connection to the drive (no connect): it was removed, or its cable or enclosure came loose";
inline constexpr std::string_view kMeaningBusBusy = "the bus stayed busy until the kernel gave up (bus busy)";
inline constexpr std::string_view kMeaningTimeOut =
    "the drive did not answer in time, and the kernel aborted the command (time-out)";
inline constexpr std::string_view kMeaningBadTarget = "the kernel cannot reach the drive any more (bad target)";
inline constexpr std::string_view kMeaningAbort = "the command was aborted before the drive answered (abort)";
inline constexpr std::string_view kMeaningParity = "the data was garbled on its way (parity error)";
inline constexpr std::string_view kMeaningHostError = "the drive's adapter failed the command (host error)";
inline constexpr std::string_view kMeaningReset = "the drive or its bus was reset during the command (reset)";
inline constexpr std::string_view kMeaningDisrupted =
    "the connection to the drive broke during the command (transport disrupted)";
inline constexpr std::string_view kMeaningDriverTimeOut = "the command timed out in the kernel's driver (time-out)";
inline constexpr std::string_view kMeaningDriverError = "the kernel's driver failed the command";

// Firmware file.
inline constexpr std::string_view kHexFile = "{}: a .hex file is not flashed; give the raw .bin image.";
inline constexpr std::string_view kNotBinFile = "{}: not a .bin file. Give the firmware as a raw image whose name ends in .bin.";
inline constexpr std::string_view kFileOpenFailed = "{}: the firmware file cannot be opened: check the path and that you may read it.";
// A failed open with its reason: path, then the system's words where it gave them.
inline constexpr std::string_view kFileMissing =
    "{}: the firmware file cannot be opened: no such file ({}). Check the path.";
inline constexpr std::string_view kFileIsFolder =
    "{}: the firmware file cannot be opened: it is a folder. Give the path of the .bin file in it.";
inline constexpr std::string_view kFileNotRegular =
    "{}: the firmware file cannot be opened: it is not a regular file but a named pipe, a device or a socket. The "
    "image is measured before it is sent: save it to a file and give that file.";
inline constexpr std::string_view kFileNoPermission =
    "{}: the firmware file cannot be opened: no permission ({}). Check that you may read it (ls -l).";
inline constexpr std::string_view kFileOpenError = "{}: the firmware file cannot be opened: {}.";
inline constexpr std::string_view kFileEmpty = "{}: the firmware file is empty.";
inline constexpr std::string_view kFileTooLarge =
    "{}: the firmware file is larger than 512 KiB (524288 bytes), so it is no image for this drive.";
inline constexpr std::string_view kFileReadFailed = "{}: the firmware file could not be read whole; try again or copy it anew.";
inline constexpr std::string_view kMismatch =
    "This firmware does not match your drive! The image does not carry the drive's identity \"{}\" "
    "(vendor and product). Use a firmware file made for this drive.";

// check.
inline constexpr std::string_view kDriveLine = "Drive:    {}  {}\n";  // node, identity
inline constexpr std::string_view kFileLine = "File:     {}\n";
inline constexpr std::string_view kIdentityFound = "Identity: \"{}\" found in the image\n";
// The checksum log's lines: checksums as ChecksumText, pages as PageNumberText.
inline constexpr std::string_view kFirmwareChecksumLine = "Firmware Checksum: {}\n";
inline constexpr std::string_view kPageChecksumLine = "Page-{} Checksum: {}\n";
inline constexpr std::string_view kWouldFlash = "The file would be flashed to this drive.\n";
inline constexpr std::string_view kIdentityNotMatched =
    "Identity: not matched against a drive (give --drive DEV, or --identity with the drive's vendor and product)\n";
inline constexpr std::string_view kFileRulesPassed =
    "The file passes the file rules; whether it fits a drive was not checked.\n";
inline constexpr std::string_view kCarriesIdentity = "The file carries this identity; no drive was asked.\n";

// flash.
inline constexpr std::string_view kNoRawIo =
    "this process may not send the drive's vendor command: Linux passes it only from a process with "
    "CAP_SYS_RAWIO. Run comboflash as root (sudo comboflash flash ...).";
inline constexpr std::string_view kBatteryLow =
    "on battery at {}% (below {}%): a flash that stops halfway can leave the drive unusable. "
    "Connect the charger and try again, or give --force to flash anyway.";
inline constexpr std::string_view kConfirmQuestion =
    "Write {} to {} ({})? A drive left half written may not start again. Type yes to go on: ";
inline constexpr std::string_view kNoTerminal =
    "not flashing: there is no terminal to confirm on. Give --yes to flash without asking.";
inline constexpr std::string_view kNotConfirmed = "not flashing: not confirmed.";
inline constexpr std::string_view kConfirmWord = "yes";
inline constexpr std::string_view kNoInhibitor =
    "cannot hold off sleep and shutdown: logind did not answer ({}); do not suspend or power off the machine until the flash is done.";
inline constexpr std::string_view kInhibitorWho = "comboflash";
inline constexpr std::string_view kInhibitorWhy = "Writing an optical drive's firmware";
inline constexpr char kSignalHeld[] =
    "comboflash: not stopping now: a drive left half written may not start again. "
    "The signal takes effect after the last page.\n";
inline constexpr std::string_view kFlashNow = "Flash Now!Please don't Power off!\n";
inline constexpr std::string_view kPageOutcomeLine = "Page-{} Checksum: {}  {}\n";  // page, checksum, outcome
inline constexpr std::string_view kFlashComplete = "Flash Complete!";
inline constexpr std::string_view kFlashFailed = "Flash Failed!\n{} of 32 pages were not written.";  // pages refused
inline constexpr std::string_view kProgressBar = "\r[{}] {}/32 ";
inline constexpr char kProgressDone = '#';
inline constexpr char kProgressToDo = '.';
inline constexpr std::string_view kClearLine = "\r\033[K";

// --dry-run.
inline constexpr std::string_view kDryRunHeader =
    "Dry run: these 32 commands would go to {}, each with its page's 16384 bytes. Nothing is sent.\n";
inline constexpr std::string_view kDryRunLine = "Page-{}: {}\n";

// Words for scripts: the values of --json's "verdict", "reason" and "outcome".
namespace json {
inline constexpr std::string_view kAccepted = "accepted";
inline constexpr std::string_view kHexFile = "hex-file";
inline constexpr std::string_view kNotBinFile = "not-bin-file";
inline constexpr std::string_view kOpenFailed = "open-failed";
inline constexpr std::string_view kEmpty = "empty";
inline constexpr std::string_view kTooLarge = "too-large";
inline constexpr std::string_view kReadFailed = "read-failed";
inline constexpr std::string_view kMismatch = "mismatch";
inline constexpr std::string_view kDriveRefused = "drive-refused";
inline constexpr std::string_view kIdentityNotChecked = "identity-not-checked";
inline constexpr std::string_view kNoRawIo = "no-raw-io";
inline constexpr std::string_view kBatteryLow = "battery-low";
inline constexpr std::string_view kComplete = "complete";
inline constexpr std::string_view kFailed = "failed";
// Why a file did not open.
inline constexpr std::string_view kNoSuchFile = "no-such-file";
inline constexpr std::string_view kFolder = "folder";
inline constexpr std::string_view kNotRegularFile = "not-regular-file";
inline constexpr std::string_view kNoPermission = "no-permission";
inline constexpr std::string_view kSystemError = "system-error";
// What became of a page.
inline constexpr std::string_view kPageAccepted = "accepted";
inline constexpr std::string_view kPageDriveStatus = "drive-status";
inline constexpr std::string_view kPageSystemError = "system-error";
inline constexpr std::string_view kPageTransportError = "transport-error";
}  // namespace json

}  // namespace cli_text
