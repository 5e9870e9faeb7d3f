#pragma once
// An open drive as the pass-through transport reaches it: DeviceIoControl on
// the drive's handle. Closing the handle is the owner's destructor's job.
#include <cstdint>

struct IoControlResult {
  bool succeeded = false;
  std::uint32_t error = 0;  // GetLastError right after a failed call
};

class DriveHandle {
 public:
  virtual ~DriveHandle() = default;

  // One synchronous request: no overlapped structure; the returned byte count
  // is not kept.
  virtual IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                                    std::uint32_t outputLength) = 0;
};
