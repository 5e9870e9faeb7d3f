#pragma once
// The texts discovery and the Flash command build from a drive letter.
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The letters of the roots GetLogicalDriveStringsA gave: one root every 4
// characters ("E:\" and its terminator), up to the first empty text.
std::vector<char> DriveLetters(std::span<const char> driveStrings);

std::string RootText(char letter);    // "%c:\"
std::string DevicePath(char letter);  // "\\.\%c:"
// A drive-list row: "%s %s" of the root text and the identity.
std::string DriveRowText(const std::string& root, std::string_view identity);

// toupper of the C locale: only a to z change.
char UpperDriveLetter(char letter);
