#pragma once
// The SCSI values the emulated drives and kernels speak, written out here
// rather than taken from device/, so that the doubles hold the program to the
// standard and not to its own constants.
#include <cstddef>
#include <cstdint>

namespace scsi_wire {

inline constexpr std::uint8_t kStatusGood = 0x00;
inline constexpr std::uint8_t kStatusCheckCondition = 0x02;
inline constexpr std::uint8_t kStatusTaskAborted = 0x40;
inline constexpr std::uint8_t kTestUnitReadyOpcode = 0x00;
inline constexpr std::uint8_t kInquiryOpcode = 0x12;
inline constexpr std::uint8_t kPageWriteOpcode = 0xFD;  // the drive's vendor command
inline constexpr std::size_t kStandardInquiryLength = 36;
inline constexpr std::size_t kFixedSenseLength = 18;
inline constexpr int kPeripheralTypeDisk = 0x00;
inline constexpr int kPeripheralTypeCdRom = 0x05;

}  // namespace scsi_wire
