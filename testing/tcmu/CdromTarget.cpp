#include "testing/tcmu/CdromTarget.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

#include "flash/FlashConstants.h"
#include "flash/PageWriteCommand.h"
#include "testing/drive/ScsiWireValues.h"

namespace {

constexpr std::uint8_t kRemovable = 0x80;
constexpr std::uint8_t kVersionSpc3 = 0x05;
constexpr std::uint8_t kResponseFormat = 0x02;
// The kernel's target passes a vendor command's first 10 bytes only; the
// emulated drive is given bytes 10 and 11 as they should have been (the next
// page, the page count), and the initiator's own trace checks what was sent.
constexpr std::size_t kDeliveredVendorCdbLength = 10;

constexpr SenseCode kNoMedium{0x02, 0x3A, 0x00};
constexpr SenseCode kAbortedCommand{0x0B, 0x00, 0x00};

void Pad(const std::string& text, std::uint8_t* out, std::size_t width) {
  std::fill_n(out, width, static_cast<std::uint8_t>(' '));
  // memcpy, not copy_n: GCC 12 misreads the latter's bound and warns of an overflow.
  std::memcpy(out, text.data(), std::min(text.size(), width));
}

}  // namespace

TcmuAnswer CheckCondition(SenseCode sense) {
  TcmuAnswer answer;
  answer.scsiStatus = scsi_wire::kStatusCheckCondition;
  answer.sense = FixedSense(sense);
  return answer;
}

CdromTarget::CdromTarget(EmulatedDrive& drive)
    : drive_(drive), sleep_([](std::chrono::milliseconds wait) {
        std::this_thread::sleep_for(wait);
      }) {}

std::optional<TcmuAnswer> CdromTarget::Handle(const TcmuCommand& command) {
  TargetCommand entry;
  entry.cdb.assign(command.cdb.begin(), command.cdb.end());
  entry.dataLength = command.DataLength();
  std::optional<TcmuAnswer> answer;
  const std::uint8_t opcode = command.cdb.empty() ? 0xFF : command.cdb[0];
  if (command.cdb.empty()) {
    answer = CheckCondition(kSenseInvalidOpcode);
  } else if (opcode == scsi_wire::kInquiryOpcode) {
    answer = Inquiry(command);
  } else if (opcode == scsi_wire::kTestUnitReadyOpcode) {
    answer = CheckCondition(kNoMedium);
  } else if (opcode == scsi_wire::kPageWriteOpcode) {
    answer = PageWrite(command);
  } else {
    answer = CheckCondition(kSenseInvalidOpcode);
  }
  entry.answered = answer.has_value();
  if (answer) {
    entry.scsiStatus = answer->scsiStatus;
    if (answer->scsiStatus == scsi_wire::kStatusCheckCondition) entry.sense = {answer->sense[2], answer->sense[12], answer->sense[13]};
  }
  log_.push_back(std::move(entry));
  return answer;
}

std::optional<TcmuAnswer> CdromTarget::Overtaken(const TcmuCommand& held, const TcmuCommand& later) {
  // One INQUIRY at a time and a flash's pages one after another: a second of
  // the kind means the kernel is done with the first, and ignores its answer.
  if (held.cdb.empty() || later.cdb.empty() || held.cdb[0] != later.cdb[0]) return std::nullopt;
  return CheckCondition(kAbortedCommand);
}

std::optional<TcmuAnswer> CdromTarget::Inquiry(const TcmuCommand& command) {
  if (timing_.inquiry == AnswerTiming::When::Never) return std::nullopt;
  if (timing_.inquiry == AnswerTiming::When::Late) sleep_(timing_.lateBy);
  constexpr std::uint8_t kEnableVitalData = 0x01;
  if (command.cdb.size() < 6 || (command.cdb[1] & kEnableVitalData) || command.cdb[2] != 0) {
    return CheckCondition(kSenseInvalidField);
  }
  const InquiryData& identity = drive_.Inquiry();
  std::array<std::uint8_t, scsi_wire::kStandardInquiryLength> answer{};
  answer[0] = identity.peripheral;
  answer[1] = kRemovable;
  answer[2] = kVersionSpc3;
  answer[3] = kResponseFormat;
  answer[4] = scsi_wire::kStandardInquiryLength - 5;
  Pad(identity.vendor, &answer[8], 8);
  Pad(identity.product, &answer[16], 16);
  Pad(identity.revision, &answer[32], 4);
  const std::size_t allocation = static_cast<std::size_t>(command.cdb[3] << 8 | command.cdb[4]);
  command.CopyIn(std::span<const std::uint8_t>(answer).first(std::min(allocation, answer.size())));
  TcmuAnswer good;
  good.scsiStatus = scsi_wire::kStatusGood;
  return good;
}

std::optional<TcmuAnswer> CdromTarget::PageWrite(const TcmuCommand& command) {
  std::vector<std::uint8_t> cdb(command.cdb.begin(), command.cdb.end());
  if (cdb.size() == kDeliveredVendorCdbLength) {
    pagesSeen_ = pagesSeen_ % kPageCount + 1;
    cdb.push_back(static_cast<std::uint8_t>(pagesSeen_));
    cdb.push_back(static_cast<std::uint8_t>(kPageCount));
  }
  const int page = cdb.size() > kPageNumberByte ? cdb[kPageNumberByte] : 0;
  if (page != 0 && page == detachPage_ && detach_) {
    std::function<void()> detach = std::move(detach_);
    detach_ = nullptr;
    detach();
  }

  const bool silent = page != 0 && (page == silentPage_ || page == detachPage_);
  if (silent || timing_.pages == AnswerTiming::When::Never) return std::nullopt;
  if (timing_.pages == AnswerTiming::When::Late) sleep_(timing_.lateBy);
  std::vector<std::uint8_t> data = command.CopyOut();
  // A page write carries data out; with none the drive sees no data phase.
  const DriveAnswer drive = drive_.Execute(cdb, DataDirection::Out, data.empty() ? nullptr : data.data(), data.size());
  TcmuAnswer answer;
  answer.scsiStatus = drive.status;
  std::copy_n(drive.sense.begin(), std::min(drive.sense.size(), answer.sense.size()), answer.sense.begin());
  return answer;
}
