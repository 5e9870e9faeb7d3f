#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "flash/FirmwareImage.h"

namespace {

inline constexpr std::size_t kJudgedLength = 3;
inline constexpr std::string_view kHexWord = "HEX";
inline constexpr std::string_view kBinWord = "BIN";

// Only a to z can ever meet the upper-case words above.
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

ImageFileKind JudgeImagePath(std::string_view path) {
  // Neither a dot nor the file name matters: "firmware.xbin" counts as BIN.
  const std::string_view tail = path.substr(path.size() - std::min(path.size(), kJudgedLength));
  std::array<char, kJudgedLength> upper{};
  std::transform(tail.begin(), tail.end(), upper.begin(), AsciiUpper);
  const std::string_view word(upper.data(), tail.size());
  if (word == kHexWord) return ImageFileKind::Hex;
  if (word == kBinWord) return ImageFileKind::Bin;
  return ImageFileKind::Other;
}
