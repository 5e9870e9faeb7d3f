#pragma once
// Just enough JSON for comboflash's objects: strings quoted and escaped.
#include <string>
#include <string_view>

// A JSON string. Well-formed UTF-8 (a file name on Linux) is kept as it is,
// but for control characters, which are escaped; any other byte past ASCII
// is taken as Latin-1, so whatever a drive or a file name holds stays valid
// JSON.
std::string JsonString(std::string_view text);
