#pragma once
// Where the data of the page a command names starts in the image.
#include <cstddef>
#include <optional>

#include "flash/FlashConstants.h"
#include "flash/PageWriteCommand.h"

// Nothing for a page number outside 1..kPageCount: no transport sends such a
// command, since its data would lie outside the image.
inline std::optional<std::size_t> PageDataOffset(const PageWriteCommand& command) {
  const int page = command.PageNumber();
  if (page < 1 || page > kPageCount) return std::nullopt;
  return static_cast<std::size_t>(page - 1) * kPageSize;
}
