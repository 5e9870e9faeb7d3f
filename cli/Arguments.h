#pragma once
// comboflash's command line, taken apart.
#include <string>
#include <variant>
#include <vector>

struct Arguments {
  enum class Command { Help, Version, List, Check, Flash };
  Command command = Command::Help;
  std::string file;
  std::string drive;     // empty: none named (check may go without)
  std::string identity;  // check --identity: the 24 characters of vendor and product
  bool json = false;
  bool yes = false;
  bool dryRun = false;
  bool force = false;
};

// The arguments after the program's name; a text saying what is wrong when
// they are not understood.
std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string>& words);
