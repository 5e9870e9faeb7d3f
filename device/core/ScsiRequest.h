#pragma once
// One SCSI command as every back end takes it, and what became of it, as a
// value. A back end builds its system's request from a ScsiRequest, makes the
// call and classifies the result; it shows nothing and keeps no state
// between calls that a caller can see.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kMaxCdbLength = 16;
// The sense bytes every back end asks the system for: the ASPI layer's SENSE_LEN.
inline constexpr std::uint8_t kSenseRequestLength = 14;

enum class DataDirection {
  None,
  In,   // from the drive into ScsiRequest::dataIn
  Out,  // from ScsiRequest::dataOut to the drive
};

struct Cdb {
  std::array<std::uint8_t, kMaxCdbLength> bytes{};
  std::uint8_t length = 0;  // how many of bytes go out

  std::span<const std::uint8_t> View() const { return {bytes.data(), length}; }
};

struct ScsiRequest {
  Cdb cdb;
  DataDirection direction = DataDirection::None;
  std::span<std::uint8_t> dataIn;         // direction In: where the answer goes
  std::span<const std::uint8_t> dataOut;  // direction Out: what the drive is sent
  // How long the system may let the drive take; kNoTimeLimit waits as long as
  // the drive takes, where the mechanism allows it. Pass-through and SG_IO
  // hand it to the system; ASPI, which has no field for it, waits no longer
  // than it for a request that writes nothing, within the layer's own limit,
  // and never gives up on one that writes to the drive.
  std::chrono::seconds timeout{0};
};

inline constexpr std::chrono::seconds kNoTimeLimit{0};

// The drive's sense, as far as a caller decides anything on it (see DecodeSense).
struct SenseData {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
  std::uint8_t length = 0;  // bytes of raw the drive gave
  std::array<std::uint8_t, 32> raw{};
};

enum class OutcomeKind {
  Good,             // the system carried the command and the drive said GOOD
  SystemError,      // the system call itself failed: systemError holds its code
  TransportStatus,  // the carrier reported a failure: transportStatus holds its code
  ScsiStatus,       // the drive answered with a status other than GOOD
};

struct ScsiOutcome {
  OutcomeKind kind = OutcomeKind::SystemError;
  std::uint32_t systemError = 0;      // GetLastError or errno
  // The carrier's own status: the ASPI SRB_Status (kept for every ASPI
  // outcome, GOOD included), or Linux host status << 16 | driver status.
  std::uint32_t transportStatus = 0;
  std::uint8_t scsiStatus = 0;
  SenseData sense;

  bool IsGood() const { return kind == OutcomeKind::Good; }
};

// One mechanism that carries commands to one drive.
class ScsiTransport {
 public:
  virtual ScsiOutcome Execute(const ScsiRequest& request) = 0;

 protected:
  ~ScsiTransport() = default;
};
