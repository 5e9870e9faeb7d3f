#pragma once
// An emulated combo drive: answers a standard INQUIRY and takes the vendor
// page-write command, checking every command the way the real drive would,
// and keeps what it received so a test can judge the whole flash.
#include <array>
#include <bitset>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/ScsiRequest.h"
#include "flash/FlashConstants.h"

struct InquiryData {
  std::uint8_t peripheral = 0x05;  // qualifier 0, type 5: CD-ROM
  std::string vendor = "EMULATED";
  std::string product = "COMBO DRIVE RW";
  std::string revision = "1.00";
};

// How the drive, and whatever carries its commands, misbehaves on request.
struct DriveBehaviour {
  enum class Timing {
    Immediate,  // a layer answers at once (or as its completion mode says)
    Late,       // a layer answers after lateBy, on a thread of its own
    Never,      // a layer never answers (until told to abort)
  };

  bool refuseInquiry = false;   // CHECK CONDITION to an INQUIRY
  int refusedPage = 0;          // CHECK CONDITION to the write of this page; 0: none
  std::uint8_t refusalAspiStatus = 0x04;  // what an ASPI layer reports for a refusal: SS_ERR
  std::optional<std::uint32_t> systemCallError;  // pass-through: DeviceIoControl fails with it
  Timing inquiryTiming = Timing::Immediate;
  Timing pageTiming = Timing::Immediate;
  std::chrono::milliseconds lateBy{100};
};

// One command as the drive received it.
struct ReceivedCommand {
  std::vector<std::uint8_t> cdb;
  DataDirection direction = DataDirection::In;
  std::size_t transferLength = 0;
  std::uint8_t scsiStatus = 0;  // what the drive answered
};

class EmulatedDrive {
 public:
  explicit EmulatedDrive(InquiryData inquiry = {}, DriveBehaviour behaviour = {});

  const InquiryData& Inquiry() const { return inquiry_; }
  DriveBehaviour& Behaviour() { return behaviour_; }
  const DriveBehaviour& Behaviour() const { return behaviour_; }

  // Carries out one command; data is the transfer buffer of transferLength
  // bytes (filled for In, read for Out). Returns the SCSI status: GOOD (0) or
  // CHECK CONDITION (2).
  std::uint8_t Execute(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                       std::size_t transferLength);

  const std::vector<ReceivedCommand>& Commands() const { return commands_; }
  // The pages as written; pages never accepted stay zero.
  std::span<const std::uint8_t, kImageSize> Image() const {
    return std::span<const std::uint8_t, kImageSize>(image_.data(), kImageSize);
  }
  int PagesAccepted() const { return static_cast<int>(accepted_.count()); }

  // Everything a real drive would have objected to, in order of arrival.
  const std::vector<std::string>& Violations() const { return violations_; }
  // All pages arrived in order, were accepted, and the image checksum of the
  // commands is the sum of the pages; no violation.
  bool ImageCompleteAndConsistent() const;
  // "image complete and consistent", or what is wrong, one line.
  std::string Verdict() const;

 private:
  std::uint8_t Inquire(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                       std::size_t transferLength);
  std::uint8_t WritePage(std::span<const std::uint8_t> cdb, DataDirection direction, const std::uint8_t* data,
                         std::size_t transferLength);
  void Violation(std::string text);

  InquiryData inquiry_;
  DriveBehaviour behaviour_;
  std::vector<ReceivedCommand> commands_;
  std::vector<std::string> violations_;
  std::vector<std::uint8_t> image_ = std::vector<std::uint8_t>(kImageSize);  // accepted pages
  std::vector<std::uint8_t> sent_ = std::vector<std::uint8_t>(kImageSize);   // every page sent, refused or not
  std::bitset<kPageCount> accepted_;
  int lastPage_ = 0;
  std::optional<std::uint16_t> imageChecksum_;  // as the first page command gave it
};
