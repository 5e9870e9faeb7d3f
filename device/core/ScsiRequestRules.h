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

// Fixed-format sense given with CHECK CONDITION: key from byte 2, ASC and
// ASCQ from bytes 12 and 13, each only when the drive gave that many bytes.
// raw keeps what fits.
SenseData DecodeSense(std::span<const std::uint8_t> given);
