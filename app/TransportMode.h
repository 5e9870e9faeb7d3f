#pragma once
// How the program reaches drives, fixed once at start-up from the platform family.
enum class TransportMode : int {
  Aspi = 0,         // the Windows 95 family and Win32s: the ASPI layer library
  PassThrough = 1,  // the NT family: SCSI pass-through requests on a drive handle
};
