#pragma once
// What both transports put around a command: the command field, the sense
// request, the SCSI status they look at, and the one command of their own.
#include <array>
#include <cstddef>
#include <cstdint>

#include "device/DriveIdentity.h"
#include "flash/PageWriteCommand.h"

inline constexpr std::size_t kCdbFieldLength = 16;  // the command field of every request block
inline constexpr std::uint8_t kCommandLength = 12;   // every command goes out as 12 bytes
static_assert(kCommandLength == kPageWriteCommandLength);
inline constexpr std::uint8_t kSenseRequestLength = 14;  // SENSE_LEN

inline constexpr std::uint8_t kScsiStatusGood = 0x00;
inline constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

inline constexpr std::uint8_t kInquiryOpcode = 0x12;
inline constexpr std::size_t kInquiryAllocationLengthByte = 4;
// A 6-byte standard INQUIRY for 36 bytes, sent as 12 bytes like every command.
inline constexpr std::array<std::uint8_t, kCommandLength> kInquiryCommand = {
    kInquiryOpcode, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(kInquiryDataLength), 0x00,
    0x00,           0x00, 0x00, 0x00, 0x00,                                          0x00};
