#pragma once
// An emulated combo drive: answers a standard INQUIRY and takes the vendor
// page-write command, checking every command the way the real drive would,
// and keeps what it received so a test can judge the whole flash.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/core/ScsiRequest.h"
#include "flash/FlashConstants.h"
#include "testing/drive/ScsiWireValues.h"

struct InquiryData {
  std::uint8_t peripheral = 0x05;  // qualifier 0, type 5: CD-ROM
  std::string vendor = "EMULATED";
  std::string product = "COMBO DRIVE RW";
  std::string revision = "1.00";
};

// A sense key with its additional sense code and qualifier.
struct SenseCode {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
  bool operator==(const SenseCode&) const = default;
};

inline constexpr SenseCode kSenseInvalidOpcode{0x05, 0x20, 0x00};  // ILLEGAL REQUEST, invalid command operation code
inline constexpr SenseCode kSenseInvalidField{0x05, 0x24, 0x00};   // ILLEGAL REQUEST, invalid field in CDB

// Current sense in fixed format, as a drive gives it with CHECK CONDITION.
std::array<std::uint8_t, scsi_wire::kFixedSenseLength> FixedSense(SenseCode code);

// How the drive misbehaves on request. How whatever carries its commands
// misbehaves is that carrier's own to say.
struct DriveBehaviour {
  bool refuseInquiry = false;   // CHECK CONDITION to an INQUIRY
  int refusedPage = 0;          // CHECK CONDITION to the write of this page; 0: none
  int refusedInSequence = 0;    // ... in this sequence only (1: the first flash); 0: in every one
  SenseCode refusalSense = kSenseInvalidField;  // the sense of either refusal
};

// What the drive answers to one command: its status and, with CHECK
// CONDITION, its sense in fixed format (empty otherwise).
struct DriveAnswer {
  std::uint8_t status = 0;
  std::vector<std::uint8_t> sense;
};

// One command as the drive received it.
struct ReceivedCommand {
  std::vector<std::uint8_t> cdb;
  DataDirection direction = DataDirection::In;
  std::size_t transferLength = 0;
  std::uint8_t scsiStatus = 0;  // what the drive answered
};

// One flash as the drive saw it: the page writes from a page 1 up to the
// next page 1 that follows a page 32, judged on their own.
struct PageSequence {
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kImageSize);  // accepted pages
  std::vector<std::uint8_t> sent = std::vector<std::uint8_t>(kImageSize);   // every page sent, refused or not
  std::bitset<kPageCount> accepted;
  int lastPage = 0;
  std::optional<std::uint16_t> imageChecksum;  // as the sequence's first page command gave it
  std::vector<std::string> violations;         // the drive's objections to this sequence

  int PagesAccepted() const { return static_cast<int>(accepted.count()); }
  bool CompleteAndConsistent() const { return violations.empty() && accepted.all(); }
  // "image complete and consistent", or what is wrong with this sequence.
  std::string Verdict() const;
};

class EmulatedDrive {
 public:
  explicit EmulatedDrive(InquiryData inquiry = {}, DriveBehaviour behaviour = {});

  const InquiryData& Inquiry() const { return inquiry_; }
  DriveBehaviour& Behaviour() { return behaviour_; }
  const DriveBehaviour& Behaviour() const { return behaviour_; }

  // Carries out one command; data is the transfer buffer of transferLength
  // bytes (filled for In, read for Out). The status is GOOD (0) or CHECK
  // CONDITION (2), the latter with the sense saying why.
  DriveAnswer Execute(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                       std::size_t transferLength);

  const std::vector<ReceivedCommand>& Commands() const { return commands_; }
  // Every flash the drive was sent, in order. A page 1 after a page 32 starts
  // a new one: the drive takes a second flash as a fresh start.
  const std::vector<PageSequence>& Sequences() const { return sequences_; }
  // The drive's firmware as the latest sequence left it: the pages it
  // accepted; the others read as zero (a new flash starts from nothing).
  std::span<const std::uint8_t, kImageSize> Image() const;
  int PagesAccepted() const { return sequences_.empty() ? 0 : sequences_.back().PagesAccepted(); }

  // Everything a real drive would have objected to, in order of arrival.
  const std::vector<std::string>& Violations() const { return violations_; }
  // At least one sequence, and in every one all pages arrived in order and
  // were accepted, and the image checksum of its commands is the sum of its
  // pages; no violation.
  bool ImageCompleteAndConsistent() const;
  // "image complete and consistent", or what is wrong, one line; with more
  // than one sequence, each one that went wrong, by its number.
  std::string Verdict() const;

 private:
  // Each gives the sense of its refusal, or nothing for GOOD.
  std::optional<SenseCode> Inquire(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                                   std::size_t transferLength);
  std::optional<SenseCode> WritePage(std::span<const std::uint8_t> cdb, DataDirection direction, const std::uint8_t* data,
                         std::size_t transferLength);
  // An objection of the drive; one to a page write also counts against its sequence.
  void Violation(std::string text, PageSequence* sequence = nullptr);
  // The sequence a page write with this number belongs to.
  PageSequence& SequenceFor(int page);

  InquiryData inquiry_;
  DriveBehaviour behaviour_;
  std::vector<ReceivedCommand> commands_;
  std::vector<std::string> violations_;
  std::vector<std::string> outsideSequences_;  // objections to commands of no sequence
  std::vector<PageSequence> sequences_;
};
