#include "testing/drive/EmulatedDrive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <utility>

#include "testing/drive/ScsiWireValues.h"

namespace {

constexpr std::uint8_t kFixedSenseCurrent = 0x70;
constexpr std::uint8_t kFixedSenseAdditionalLength = scsi_wire::kFixedSenseLength - 8;
constexpr std::size_t kSenseKeyAt = 2;
constexpr std::size_t kAdditionalLengthAt = 7;
constexpr std::size_t kAscAt = 12;
constexpr std::size_t kAscqAt = 13;

constexpr std::array<std::uint8_t, 5> kWriteSignature = {0x07, 'Z', 'Y', 'N', 'K'};
constexpr std::size_t kWriteCommandLength = 12;

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::uint16_t Sum16(const std::uint8_t* bytes, std::size_t count) {
  return static_cast<std::uint16_t>(std::accumulate(bytes, bytes + count, 0u) & 0xFFFFu);
}

void CopyPadded(const std::string& text, std::uint8_t* out, std::size_t width) {
  std::fill_n(out, width, static_cast<std::uint8_t>(' '));
  // memcpy, not copy_n: GCC 12 misreads the latter's bound and warns of an overflow.
  std::memcpy(out, text.data(), std::min(text.size(), width));
}

}  // namespace

std::array<std::uint8_t, scsi_wire::kFixedSenseLength> FixedSense(SenseCode code) {
  std::array<std::uint8_t, scsi_wire::kFixedSenseLength> sense{};
  sense[0] = kFixedSenseCurrent;
  sense[kSenseKeyAt] = code.key;
  sense[kAdditionalLengthAt] = kFixedSenseAdditionalLength;
  sense[kAscAt] = code.asc;
  sense[kAscqAt] = code.ascq;
  return sense;
}

EmulatedDrive::EmulatedDrive(InquiryData inquiry, DriveBehaviour behaviour)
    : inquiry_(std::move(inquiry)), behaviour_(behaviour) {}

void EmulatedDrive::Violation(std::string text, PageSequence* sequence) {
  text = "command " + std::to_string(commands_.size()) + ": " + std::move(text);
  (sequence != nullptr ? sequence->violations : outsideSequences_).push_back(text);
  violations_.push_back(std::move(text));
}

PageSequence& EmulatedDrive::SequenceFor(int page) {
  if (sequences_.empty() || (page == 1 && sequences_.back().lastPage == kPageCount)) sequences_.emplace_back();
  return sequences_.back();
}

DriveAnswer EmulatedDrive::Execute(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                                   std::size_t transferLength) {
  commands_.push_back({std::vector<std::uint8_t>(cdb.begin(), cdb.end()), direction, transferLength, scsi_wire::kStatusGood});
  std::optional<SenseCode> refusal = kSenseInvalidOpcode;
  if (cdb.empty()) {
    Violation("empty command");
  } else if (cdb[0] == scsi_wire::kInquiryOpcode) {
    refusal = Inquire(cdb, direction, data, transferLength);
  } else if (cdb[0] == scsi_wire::kPageWriteOpcode) {
    refusal = WritePage(cdb, direction, data, transferLength);
  } else {
    Violation("unknown operation code " + Hex(cdb[0]));
  }
  DriveAnswer answer;
  if (refusal) {
    answer.status = scsi_wire::kStatusCheckCondition;
    const auto sense = FixedSense(*refusal);
    answer.sense.assign(sense.begin(), sense.end());
  }
  commands_.back().scsiStatus = answer.status;
  return answer;
}

std::optional<SenseCode> EmulatedDrive::Inquire(std::span<const std::uint8_t> cdb, DataDirection direction,
                                                std::uint8_t* data, std::size_t transferLength) {
  if (cdb.size() < 6 || cdb[4] != scsi_wire::kStandardInquiryLength || cdb[1] != 0 || cdb[2] != 0) {
    Violation("INQUIRY is not a standard INQUIRY for 36 bytes");
  }
  if (direction != DataDirection::In || transferLength != scsi_wire::kStandardInquiryLength || !data) {
    Violation("INQUIRY without a 36-byte data-in phase");
    return kSenseInvalidField;
  }
  if (behaviour_.refuseInquiry) return behaviour_.refusalSense;
  std::array<std::uint8_t, scsi_wire::kStandardInquiryLength> answer{};
  answer[0] = inquiry_.peripheral;
  answer[4] = scsi_wire::kStandardInquiryLength - 5;  // additional length
  CopyPadded(inquiry_.vendor, &answer[8], 8);
  CopyPadded(inquiry_.product, &answer[16], 16);
  CopyPadded(inquiry_.revision, &answer[32], 4);
  std::copy(answer.begin(), answer.end(), data);
  return std::nullopt;
}

std::optional<SenseCode> EmulatedDrive::WritePage(std::span<const std::uint8_t> cdb, DataDirection direction,
                                                  const std::uint8_t* data, std::size_t transferLength) {
  if (cdb.size() != kWriteCommandLength) {
    Violation("page write of " + std::to_string(cdb.size()) + " command bytes, not 12");
    return kSenseInvalidField;
  }
  if (!std::equal(kWriteSignature.begin(), kWriteSignature.end(), cdb.begin() + 1)) {
    Violation("bytes 1 to 5 are not 07 'ZYNK'");
    return kSenseInvalidField;
  }
  const int page = cdb[10];
  const bool pageInRange = page >= 1 && page <= kPageCount;
  PageSequence* sequence = pageInRange ? &SequenceFor(page) : nullptr;
  if (cdb[11] != kPageCount) Violation("byte 11 is " + Hex(cdb[11]) + ", not 0x20", sequence);
  if (!pageInRange) {
    Violation("page number " + std::to_string(page) + " outside 1 to 32");
    return kSenseInvalidField;
  }
  if (page != sequence->lastPage + 1) {
    Violation("page " + std::to_string(page) + " after page " + std::to_string(sequence->lastPage), sequence);
  }
  sequence->lastPage = page;
  if (direction != DataDirection::Out || transferLength != kPageSize || !data) {
    Violation("page " + std::to_string(page) + " without a 16384-byte data-out phase", sequence);
    return kSenseInvalidField;
  }
  const std::uint16_t pageChecksum = static_cast<std::uint16_t>(cdb[6] << 8 | cdb[7]);
  const std::uint16_t imageChecksum = static_cast<std::uint16_t>(cdb[8] << 8 | cdb[9]);
  const std::uint16_t dataChecksum = Sum16(data, kPageSize);
  if (pageChecksum != dataChecksum) {
    Violation("page " + std::to_string(page) + " checksum " + Hex(pageChecksum) + " but its data sums to " +
                  Hex(dataChecksum),
              sequence);
  }
  if (!sequence->imageChecksum) {
    sequence->imageChecksum = imageChecksum;
  } else if (*sequence->imageChecksum != imageChecksum) {
    Violation("image checksum " + Hex(imageChecksum) + " differs from the first command's " +
                  Hex(*sequence->imageChecksum),
              sequence);
  }
  const auto pageStart = static_cast<std::ptrdiff_t>((page - 1) * kPageSize);
  std::copy_n(data, kPageSize, sequence->sent.begin() + pageStart);
  if (page == kPageCount) {
    const std::uint16_t sum = Sum16(sequence->sent.data(), sequence->sent.size());
    if (sum != *sequence->imageChecksum) {
      Violation("image checksum " + Hex(*sequence->imageChecksum) + " but the pages sum to " + Hex(sum), sequence);
    }
  }
  const bool refusedHere = behaviour_.refusedInSequence == 0 ||
                           behaviour_.refusedInSequence == static_cast<int>(sequences_.size());
  if (behaviour_.refusedPage == page && refusedHere) return behaviour_.refusalSense;

  std::copy_n(data, kPageSize, sequence->image.begin() + pageStart);
  sequence->accepted.set(static_cast<std::size_t>(page - 1));
  return std::nullopt;
}

namespace {

void AppendObjections(std::string& verdict, const std::vector<std::string>& objections) {
  for (const std::string& objection : objections) {
    if (!verdict.empty()) verdict += "; ";
    verdict += objection;
  }
}

std::string Incompleteness(const std::bitset<kPageCount>& accepted) {
  if (accepted.all()) return {};
  return "image incomplete: " + std::to_string(accepted.count()) + " of 32 pages accepted";
}

constexpr char kCompleteVerdict[] = "image complete and consistent";

}  // namespace

std::string PageSequence::Verdict() const {
  if (CompleteAndConsistent()) return kCompleteVerdict;
  std::string verdict = Incompleteness(accepted);
  AppendObjections(verdict, violations);
  return verdict;
}

std::span<const std::uint8_t, kImageSize> EmulatedDrive::Image() const {
  static const std::vector<std::uint8_t> kNothingWritten(kImageSize);
  const std::vector<std::uint8_t>& image = sequences_.empty() ? kNothingWritten : sequences_.back().image;
  return std::span<const std::uint8_t, kImageSize>(image.data(), kImageSize);
}

bool EmulatedDrive::ImageCompleteAndConsistent() const {
  return violations_.empty() && !sequences_.empty() &&
         std::all_of(sequences_.begin(), sequences_.end(),
                     [](const PageSequence& sequence) { return sequence.CompleteAndConsistent(); });
}

std::string EmulatedDrive::Verdict() const {
  if (ImageCompleteAndConsistent()) return kCompleteVerdict;
  std::string verdict;
  if (sequences_.size() <= 1) {
    verdict = Incompleteness(sequences_.empty() ? std::bitset<kPageCount>() : sequences_.front().accepted);
    AppendObjections(verdict, violations_);
    return verdict;
  }
  for (std::size_t number = 1; number <= sequences_.size(); ++number) {
    const PageSequence& sequence = sequences_[number - 1];
    if (sequence.CompleteAndConsistent()) continue;
    if (!verdict.empty()) verdict += "; ";
    verdict += "sequence " + std::to_string(number) + ": " + sequence.Verdict();
  }
  AppendObjections(verdict, outsideSequences_);
  return verdict;
}
