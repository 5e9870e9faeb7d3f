#include "cli/Arguments.h"

#include <optional>
#include <string_view>

#include "cli/CliTexts.h"
#include "cli/TextFill.h"

namespace {

struct Allowed {
  bool json = false;
  bool flashOptions = false;
  bool needsFile = false;
  bool identity = false;  // --identity, and --drive may be left out
};

constexpr std::size_t kVendorLength = 8;
constexpr std::size_t kProductLength = 16;
constexpr std::size_t kKeyLength = kVendorLength + kProductLength;

// The identity key of --identity: the 24 characters themselves, or vendor and
// product as 'list' shows them, with one blank between.
std::optional<std::string> IdentityKeyOf(const std::string& given) {
  if (given.size() == kKeyLength) return given;
  if (given.size() == kKeyLength + 1 && given[kVendorLength] == ' ') {
    return given.substr(0, kVendorLength) + given.substr(kVendorLength + 1);
  }
  return std::nullopt;
}

// The value of an option given as "--name value" or "--name=value"; nothing
// when word is not that option. at moves past a value taken from the next word.
std::optional<std::string> OptionValue(const std::vector<std::string>& words, std::size_t& at,
                                       std::string_view name) {
  const std::string& word = words[at];
  if (word == name) {
    if (at + 1 == words.size() || words[at + 1].starts_with("--")) return std::string();
    return words[++at];
  }
  if (word.starts_with(name) && word.size() > name.size() && word[name.size()] == '=') {
    return word.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string>& words) {
  using namespace cli_text;
  Arguments arguments;
  if (words.empty()) return std::string(kNoCommand);
  // Asking for help or the version always works, whatever else is wrong.
  for (const std::string& word : words) {
    if (word == "--help" || word == "-h") return arguments;
  }
  if (words[0] == "help") return arguments;
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
    allowed = {.json = true, .needsFile = true, .identity = true};
  } else if (command == "flash") {
    arguments.command = Arguments::Command::Flash;
    allowed = {.json = true, .flashOptions = true, .needsFile = true};
  } else {
    return Fill(kUnknownCommand, {command});
  }

  for (std::size_t at = 1; at < words.size(); ++at) {
    const std::string& word = words[at];
    std::optional<std::string> drive;
    std::optional<std::string> identity;
    if (allowed.needsFile) drive = OptionValue(words, at, "--drive");
    if (!drive && allowed.identity) identity = OptionValue(words, at, "--identity");
    if (identity) {
      if (identity->empty()) return std::string(kMissingIdentityValue);
      const std::optional<std::string> key = IdentityKeyOf(*identity);
      if (!key) return Fill(kBadIdentity, {*identity});
      arguments.identity = *key;
    } else if (drive) {
      if (drive->empty()) return std::string(kMissingDriveValue);
      // Never guess which of two drives a firmware was meant for.
      if (!arguments.drive.empty() && *drive != arguments.drive) return Fill(kTwoDrives, {arguments.drive, *drive});
      arguments.drive = *drive;
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
  if (allowed.needsFile && !allowed.identity && arguments.drive.empty()) return Fill(kMissingDrive, {command});
  if (!arguments.drive.empty() && !arguments.identity.empty()) return std::string(kDriveAndIdentity);
  if (arguments.json && arguments.command == Arguments::Command::Flash) {
    if (arguments.dryRun) return std::string(kJsonAndDryRun);
    if (!arguments.yes) return std::string(kJsonNeedsYes);
  }
  return arguments;
}
