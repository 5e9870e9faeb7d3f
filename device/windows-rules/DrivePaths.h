#pragma once
// What discovery and the Flash command build from a drive letter: the
// letters of the roots, each root path, the device path the drive opens by,
// and the list row that shows a root with its identity.
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
