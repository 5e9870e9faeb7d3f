#include "cli/Comboflash.h"

#include <ostream>
#include <variant>

#include "cli/Arguments.h"
#include "cli/CliTexts.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/TextFill.h"

int RunComboflash(const std::vector<std::string>& words, CliContext& context) {
  const auto parsed = ParseArguments(words);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    context.err << Fill(cli_text::kUsageHint, {*problem});
    return kExitUsage;
  }
  const Arguments& arguments = std::get<Arguments>(parsed);
  switch (arguments.command) {
    case Arguments::Command::Help:
      context.out << cli_text::kHelp;
      return kExitOk;
    case Arguments::Command::Version:
      context.out << Fill(cli_text::kVersion, {COMBOFLASH_VERSION});
      return kExitOk;
    case Arguments::Command::List: return RunList(arguments, context);
    case Arguments::Command::Check: return RunCheck(arguments, context);
    case Arguments::Command::Flash: return RunFlash(arguments, context);
  }
  return kExitUsage;
}
