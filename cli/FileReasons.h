#pragma once
// The firmware file's refusals in comboflash's words, and the names --json
// gives the check's verdicts and a failed open's reasons.
#include <optional>
#include <string>
#include <string_view>

#include "flash/FirmwareCheck.h"

// Why file did not open, in one sentence.
std::string FileOpenFailedText(const std::string& file, const OpenFailure& failure);
std::string_view VerdictName(CheckVerdict verdict);
// The reason of a failed open, where the file layer told it; nothing otherwise.
std::optional<std::string_view> OpenFailureName(const FirmwareCheck& check);
