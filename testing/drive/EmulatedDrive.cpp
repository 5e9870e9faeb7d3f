#include "testing/drive/EmulatedDrive.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

namespace {

constexpr std::uint8_t kGood = 0x00;
constexpr std::uint8_t kCheckCondition = 0x02;
constexpr std::uint8_t kInquiryOpcode = 0x12;
constexpr std::size_t kInquiryLength = 36;
constexpr std::uint8_t kWriteOpcode = 0xFD;
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
  std::copy_n(text.begin(), std::min(text.size(), width), out);
}

}  // namespace

EmulatedDrive::EmulatedDrive(InquiryData inquiry, DriveBehaviour behaviour)
    : inquiry_(std::move(inquiry)), behaviour_(behaviour) {}

void EmulatedDrive::Violation(std::string text) {
  violations_.push_back("command " + std::to_string(commands_.size()) + ": " + std::move(text));
}

std::uint8_t EmulatedDrive::Execute(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                                    std::size_t transferLength) {
  commands_.push_back({std::vector<std::uint8_t>(cdb.begin(), cdb.end()), direction, transferLength, kGood});
  std::uint8_t status = kCheckCondition;
  if (cdb.empty()) {
    Violation("empty command");
  } else if (cdb[0] == kInquiryOpcode) {
    status = Inquire(cdb, direction, data, transferLength);
  } else if (cdb[0] == kWriteOpcode) {
    status = WritePage(cdb, direction, data, transferLength);
  } else {
    Violation("unknown operation code " + Hex(cdb[0]));
  }
  commands_.back().scsiStatus = status;
  return status;
}

std::uint8_t EmulatedDrive::Inquire(std::span<const std::uint8_t> cdb, DataDirection direction, std::uint8_t* data,
                                    std::size_t transferLength) {
  if (cdb.size() < 6 || cdb[4] != kInquiryLength || cdb[1] != 0 || cdb[2] != 0) {
    Violation("INQUIRY is not a standard INQUIRY for 36 bytes");
  }
  if (direction != DataDirection::In || transferLength != kInquiryLength || !data) {
    Violation("INQUIRY without a 36-byte data-in phase");
    return kCheckCondition;
  }
  if (behaviour_.refuseInquiry) return kCheckCondition;
  std::array<std::uint8_t, kInquiryLength> answer{};
  answer[0] = inquiry_.peripheral;
  answer[4] = kInquiryLength - 5;  // additional length
  CopyPadded(inquiry_.vendor, &answer[8], 8);
  CopyPadded(inquiry_.product, &answer[16], 16);
  CopyPadded(inquiry_.revision, &answer[32], 4);
  std::copy(answer.begin(), answer.end(), data);
  return kGood;
}

std::uint8_t EmulatedDrive::WritePage(std::span<const std::uint8_t> cdb, DataDirection direction,
                                      const std::uint8_t* data, std::size_t transferLength) {
  if (cdb.size() != kWriteCommandLength) {
    Violation("page write of " + std::to_string(cdb.size()) + " command bytes, not 12");
    return kCheckCondition;
  }
  if (!std::equal(kWriteSignature.begin(), kWriteSignature.end(), cdb.begin() + 1)) {
    Violation("bytes 1 to 5 are not 07 'ZYNK'");
    return kCheckCondition;
  }
  if (cdb[11] != kPageCount) Violation("byte 11 is " + Hex(cdb[11]) + ", not 0x20");
  const int page = cdb[10];
  if (page < 1 || page > kPageCount) {
    Violation("page number " + std::to_string(page) + " outside 1 to 32");
    return kCheckCondition;
  }
  if (page != lastPage_ + 1) {
    Violation("page " + std::to_string(page) + " after page " + std::to_string(lastPage_));
  }
  lastPage_ = page;
  if (direction != DataDirection::Out || transferLength != kPageSize || !data) {
    Violation("page " + std::to_string(page) + " without a 16384-byte data-out phase");
    return kCheckCondition;
  }
  const std::uint16_t pageChecksum = static_cast<std::uint16_t>(cdb[6] << 8 | cdb[7]);
  const std::uint16_t imageChecksum = static_cast<std::uint16_t>(cdb[8] << 8 | cdb[9]);
  const std::uint16_t dataChecksum = Sum16(data, kPageSize);
  if (pageChecksum != dataChecksum) {
    Violation("page " + std::to_string(page) + " checksum " + Hex(pageChecksum) + " but its data sums to " +
              Hex(dataChecksum));
  }
  if (!imageChecksum_) {
    imageChecksum_ = imageChecksum;
  } else if (*imageChecksum_ != imageChecksum) {
    Violation("image checksum " + Hex(imageChecksum) + " differs from the first command's " + Hex(*imageChecksum_));
  }
  const auto pageStart = static_cast<std::ptrdiff_t>((page - 1) * kPageSize);
  std::copy_n(data, kPageSize, sent_.begin() + pageStart);
  if (page == kPageCount) {
    const std::uint16_t sum = Sum16(sent_.data(), sent_.size());
    if (sum != *imageChecksum_) {
      Violation("image checksum " + Hex(*imageChecksum_) + " but the pages sum to " + Hex(sum));
    }
  }
  if (behaviour_.refusedPage == page) return kCheckCondition;

  std::copy_n(data, kPageSize, image_.begin() + pageStart);
  accepted_.set(static_cast<std::size_t>(page - 1));
  return kGood;
}

bool EmulatedDrive::ImageCompleteAndConsistent() const { return violations_.empty() && accepted_.all(); }

std::string EmulatedDrive::Verdict() const {
  if (ImageCompleteAndConsistent()) return "image complete and consistent";
  std::string verdict;
  if (!accepted_.all()) verdict = "image incomplete: " + std::to_string(accepted_.count()) + " of 32 pages accepted";
  for (const std::string& violation : violations_) {
    if (!verdict.empty()) verdict += "; ";
    verdict += violation;
  }
  return verdict;
}
