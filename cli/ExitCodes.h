#pragma once
// What comboflash's exit status tells a script; --help, the man page and the
// README list the same values.
enum ExitCode : int {
  kExitOk = 0,            // listed; the file would be flashed; flash complete; dry run printed
  kExitFlashFailed = 1,   // pages were sent, and the drive did not take them all
  kExitUsage = 2,         // the command line is not understood
  kExitDrive = 3,         // the drive cannot be used: missing, not optical, no access, in use, no answer
  kExitFile = 4,          // the firmware file is refused
  kExitMismatch = 5,      // the firmware does not carry the drive's identity
  kExitNotConfirmed = 6,  // the flash was not confirmed
  kExitBattery = 7,       // on battery below the limit, without --force
  kExitNoRawIo = 8,       // this process may not send the drive vendor commands
};
