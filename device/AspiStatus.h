#pragma once
// What the user is told about an ASPI status.
#include <cstdint>
#include <string>

#include "flash/MessageSink.h"

inline constexpr const char* kAspiStatusCaption = "Status Message";

// The text of a status; a byte no layer defines is named in lower-case hex.
std::string AspiStatusText(std::uint8_t status);

// The status box: its text, caption "Status Message", information icon.
void ShowAspiStatus(MessageSink& sink, std::uint8_t status);
