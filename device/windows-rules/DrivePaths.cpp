#include "device/windows-rules/DrivePaths.h"

namespace {
constexpr std::size_t kRootStride = 4;  // "E:\" and its terminator
}

std::vector<char> DriveLetters(std::span<const char> driveStrings) {
  std::vector<char> letters;
  for (std::size_t at = 0; at < driveStrings.size() && driveStrings[at] != '\0'; at += kRootStride) {
    letters.push_back(driveStrings[at]);
  }
  return letters;
}

std::string RootText(char letter) { return std::string{letter, ':', '\\'}; }

std::string DevicePath(char letter) { return std::string{'\\', '\\', '.', '\\', letter, ':'}; }

std::string DriveRowText(const std::string& root, std::string_view identity) {
  std::string row = root;
  row += ' ';
  row += identity;
  return row;
}

char UpperDriveLetter(char letter) {
  return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
}
