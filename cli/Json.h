#pragma once
// Just enough JSON for comboflash's objects: strings quoted and escaped.
#include <string>
#include <string_view>

// A JSON string; bytes past ASCII are taken as Latin-1, so any identity a
// drive gives stays valid JSON.
std::string JsonString(std::string_view text);
