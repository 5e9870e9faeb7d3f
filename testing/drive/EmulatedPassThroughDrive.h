#pragma once
// An emulated drive behind the pass-through seam: takes the request blocks
// exactly as DeviceIoControl would, checks their lengths and offsets, hands
// the command to the drive and writes back its status and sense.
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/windows-rules/DriveHandle.h"
#include "testing/drive/EmulatedDrive.h"

inline constexpr std::uint32_t kErrorInvalidFunction = 1;    // ERROR_INVALID_FUNCTION
inline constexpr std::uint32_t kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t kErrorSemTimeout = 121;       // ERROR_SEM_TIMEOUT: the request's time-out passed

struct IoControlCall {
  std::uint32_t code = 0;
  std::uint32_t inputLength = 0;
  std::uint32_t outputLength = 0;
  bool sameBlock = false;  // input and output are the same block
};

class EmulatedPassThroughDrive final : public DriveHandle {
 public:
  explicit EmulatedPassThroughDrive(EmulatedDrive& drive) : drive_(drive) {}

  // Every DeviceIoControl fails with this error; nothing: calls reach the drive.
  void FailCallsWith(std::optional<std::uint32_t> error) { callError_ = error; }
  // The drive never answers the write of this page (0: the INQUIRY): the
  // system waits out the request's TimeOutValue (counted in Waited(), not
  // slept) and fails the call with ERROR_SEM_TIMEOUT.
  void LeaveUnanswered(int page) { silentPage_ = page; }
  std::optional<std::chrono::milliseconds> Waited() const { return waited_; }

  IoControlResult IoControl(std::uint32_t code, void* input, std::uint32_t inputLength, void* output,
                            std::uint32_t outputLength) override;

  const std::vector<IoControlCall>& Calls() const { return calls_; }

 private:
  // Whether the drive leaves this command unanswered; if so, the system's wait is counted.
  template <typename Header>
  bool Unanswered(const Header& header);
  IoControlResult PassThrough(void* block, std::uint32_t inputLength, std::uint32_t outputLength);
  IoControlResult PassThroughDirect(void* block, std::uint32_t inputLength, std::uint32_t outputLength);

  EmulatedDrive& drive_;
  std::optional<std::uint32_t> callError_;
  std::optional<int> silentPage_;
  std::optional<std::chrono::milliseconds> waited_;
  std::vector<IoControlCall> calls_;
};
