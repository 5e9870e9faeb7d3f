#include "cli/Arguments.h"

#include <string_view>

#include "cli/CliTexts.h"
#include "cli/TextFill.h"

namespace {

struct Allowed {
  bool json = false;
  bool flashOptions = false;
  bool needsFile = false;
};

}  // namespace

std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string>& words) {
  using namespace cli_text;
  Arguments arguments;
  if (words.empty()) return std::string(kNoCommand);
  // Asking for help or the version always works, whatever else is wrong.
  for (const std::string& word : words) {
    if (word == "--help" || word == "-h") return arguments;
  }
  for (const std::string& word : words) {
    if (word == "--version") {
      arguments.command = Arguments::Command::Version;
      return arguments;
    }
  }

  const std::string& command = words[0];
  Allowed allowed;
  if (command == "list") {
    arguments.command = Arguments::Command::List;
    allowed.json = true;
  } else if (command == "check") {
    arguments.command = Arguments::Command::Check;
    allowed = {true, false, true};
  } else if (command == "flash") {
    arguments.command = Arguments::Command::Flash;
    allowed = {false, true, true};
  } else {
    return Fill(kUnknownCommand, {command});
  }

  for (std::size_t at = 1; at < words.size(); ++at) {
    const std::string& word = words[at];
    const bool driveWord = word == "--drive" || word.starts_with("--drive=");
    if (driveWord && allowed.needsFile) {
      std::string drive;
      if (word == "--drive") {
        if (at + 1 == words.size() || words[at + 1].starts_with("--")) return std::string(kMissingDriveValue);
        drive = words[++at];
      } else {
        drive = word.substr(std::string_view("--drive=").size());
      }
      if (drive.empty()) return std::string(kMissingDriveValue);
      // Never guess which of two drives a firmware was meant for.
      if (!arguments.drive.empty() && drive != arguments.drive) return Fill(kTwoDrives, {arguments.drive, drive});
      arguments.drive = drive;
    } else if (word == "--json" && allowed.json) {
      arguments.json = true;
    } else if (word == "--yes" && allowed.flashOptions) {
      arguments.yes = true;
    } else if (word == "--dry-run" && allowed.flashOptions) {
      arguments.dryRun = true;
    } else if (word == "--force" && allowed.flashOptions) {
      arguments.force = true;
    } else if (word.starts_with("-") && word != "-") {
      return Fill(kUnknownOption, {word, command});
    } else if (allowed.needsFile && arguments.file.empty()) {
      arguments.file = word;
    } else {
      return Fill(kExtraArgument, {word});
    }
  }
  if (allowed.needsFile && arguments.file.empty()) return Fill(kMissingFile, {command});
  if (allowed.needsFile && arguments.drive.empty()) return Fill(kMissingDrive, {command});
  return arguments;
}
