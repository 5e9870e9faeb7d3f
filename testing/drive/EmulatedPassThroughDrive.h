#pragma once
// An emulated drive behind the pass-through seam: takes the request blocks
// exactly as DeviceIoControl would, checks their lengths and offsets, and
// hands the command to the drive.
#include <cstdint>
#include <vector>

#include "device/windows-rules/DriveHandle.h"
#include "testing/drive/EmulatedDrive.h"

inline constexpr std::uint32_t kErrorInvalidFunction = 1;    // ERROR_INVALID_FUNCTION
inline constexpr std::uint32_t kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER

struct IoControlCall {
  std::uint32_t code = 0;
  std::uint32_t inputLength = 0;
  std::uint32_t outputLength = 0;
  bool sameBlock = false;  // input and output are the same block
};

class EmulatedPassThroughDrive final : public DriveHandle {
 public:
  explicit EmulatedPassThroughDrive(EmulatedDrive& drive) : drive_(drive) {}

  IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                            std::uint32_t outputLength) override;

  const std::vector<IoControlCall>& Calls() const { return calls_; }

 private:
  IoControlResult PassThrough(void* block, std::uint32_t inputLength, std::uint32_t outputLength);
  IoControlResult PassThroughDirect(void* block, std::uint32_t inputLength, std::uint32_t outputLength);

  EmulatedDrive& drive_;
  std::vector<IoControlCall> calls_;
};
