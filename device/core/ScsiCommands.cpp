#include "device/core/ScsiCommands.h"

#include <algorithm>

namespace {

template <std::size_t N>
Cdb MakeCdb(const std::array<std::uint8_t, N>& bytes) {
  static_assert(N <= kMaxCdbLength);
  Cdb cdb;
  std::copy(bytes.begin(), bytes.end(), cdb.bytes.begin());
  cdb.length = static_cast<std::uint8_t>(N);
  return cdb;
}

}  // namespace

ScsiRequest MakeInquiryRequest(std::span<std::uint8_t, kInquiryDataLength> answer) {
  ScsiRequest request;
  request.cdb = MakeCdb(kInquiryCommand);
  request.direction = DataDirection::In;
  request.dataIn = answer;
  request.timeout = kInquiryTimeout;
  return request;
}

ScsiRequest MakePageWriteRequest(const PageWriteCommand& command, std::span<const std::uint8_t, kPageSize> page) {
  ScsiRequest request;
  request.cdb = MakeCdb(command.bytes);
  request.direction = DataDirection::Out;
  request.dataOut = page;
  request.timeout = kPageWriteTimeout;
  return request;
}

InquiryAnswer InquireIdentity(ScsiTransport& transport, std::chrono::seconds timeout) {
  // The identity reaches past the answer: those bytes must read as zero.
  std::array<std::uint8_t, kInquiryDataAreaLength> data{};
  ScsiRequest request = MakeInquiryRequest(std::span(data).first<kInquiryDataLength>());
  request.timeout = timeout;
  InquiryAnswer answer;
  answer.outcome = transport.Execute(request);
  if (!answer.outcome.IsGood()) return answer;
  answer.peripheral = data[0];
  answer.identity = MakeDriveIdentity(data);
  return answer;
}
