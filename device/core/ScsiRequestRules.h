#pragma once
// What every back end reads the same way from a request and from a drive's
// answer.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/core/ScsiRequest.h"

// How many bytes the request moves, either way: the size of dataIn or of
// dataOut as its direction says, 0 for none.
std::size_t TransferLength(const ScsiRequest& request);

// The sense a drive gave with CHECK CONDITION, whichever back end carried
// it: key, ASC and ASCQ from fixed-format (response code 0x70, 0x71) or
// descriptor-format (0x72, 0x73) sense, each only when the drive gave that
// many bytes; none for any other response code. raw keeps what fits.
SenseData DecodeSense(std::span<const std::uint8_t> given);
