#pragma once
// The two commands the program sends, built once for every back end: the
// standard INQUIRY that gives a drive's identity, and the vendor page write.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "device/core/DriveIdentity.h"
#include "device/core/ScsiRequest.h"
#include "flash/FlashConstants.h"
#include "flash/PageWriteCommand.h"

// Every command goes out as long as the page write, the INQUIRY padded.
inline constexpr auto kCommandLength = static_cast<std::uint8_t>(kPageWriteCommandLength);

inline constexpr std::uint8_t kScsiStatusGood = 0x00;
inline constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

inline constexpr std::uint8_t kInquiryOpcode = 0x12;
// A 6-byte standard INQUIRY for 36 bytes, sent as 12 bytes like every command.
inline constexpr std::array<std::uint8_t, kCommandLength> kInquiryCommand = {
    kInquiryOpcode, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(kInquiryDataLength), 0x00,
    0x00,           0x00, 0x00, 0x00, 0x00,                                          0x00};

// How long the system may let the drive take over each command.
inline constexpr std::chrono::seconds kInquiryTimeout{5000};
inline constexpr std::chrono::seconds kPageWriteTimeout{25000};

// The INQUIRY, its answer written to answer.
ScsiRequest MakeInquiryRequest(std::span<std::uint8_t, kInquiryDataLength> answer);

// The page write: the command with the page's own bytes as data-out.
ScsiRequest MakePageWriteRequest(const PageWriteCommand& command, std::span<const std::uint8_t, kPageSize> page);

// INQUIRY data byte 0: the peripheral qualifier in its top bits, the device
// type below.
inline constexpr std::uint8_t kPeripheralTypeMask = 0x1F;
inline constexpr std::uint8_t kPeripheralTypeCdRom = 0x05;  // CD and DVD drives

// What the INQUIRY gave: the outcome, and when it is good the peripheral
// byte (data byte 0) and the drive's 36-character identity.
struct InquiryAnswer {
  ScsiOutcome outcome;
  std::uint8_t peripheral = 0;
  std::string identity;  // empty unless the outcome is good

  // The device type; the qualifier bits are not looked at.
  std::uint8_t DeviceType() const { return peripheral & kPeripheralTypeMask; }
};

// Sends the INQUIRY through transport and reads its answer; a back end may
// give the drive a time-out of its own.
InquiryAnswer InquireIdentity(ScsiTransport& transport, std::chrono::seconds timeout = kInquiryTimeout);
