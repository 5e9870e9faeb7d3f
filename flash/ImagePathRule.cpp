#include <algorithm>
#include <cstddef>
#include <string_view>

#include "flash/FirmwareImage.h"

namespace {

inline constexpr std::size_t kJudgedLength = 3;
inline constexpr std::string_view kHexWord = "HEX";
inline constexpr std::string_view kBinWord = "BIN";

// Only a to z can ever meet the upper-case words above.
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsWord(std::string_view tail, std::string_view upperWord) {
  return std::equal(tail.begin(), tail.end(), upperWord.begin(), upperWord.end(),
                    [](char c, char w) { return AsciiUpper(c) == w; });
}

}  // namespace

ImageFileKind JudgeImagePath(std::string_view path) {
  // Neither a dot nor the file name matters: "firmware.xbin" counts as BIN.
  const std::string_view tail = path.substr(path.size() - std::min(path.size(), kJudgedLength));
  if (IsWord(tail, kHexWord)) return ImageFileKind::Hex;
  if (IsWord(tail, kBinWord)) return ImageFileKind::Bin;
  return ImageFileKind::Other;
}
