#pragma once
// comboflash as a function of its command line and its machine: the exit
// status is the result, everything else goes through the context.
#include <string>
#include <vector>

#include "cli/CliContext.h"

int RunComboflash(const std::vector<std::string>& words, CliContext& context);
