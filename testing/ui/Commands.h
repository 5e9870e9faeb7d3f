#pragma once
// The driver's commands. Each group lives in its own file and hands its
// table to Commands.cpp, which looks commands up and prints the help.
#include "testing/ui/Processes.h"
#include "testing/ui/Protocol.h"

#include <span>
#include <string>
#include <string_view>

namespace uidriver {

struct Session {
  Processes processes;
  // The working directory of the programs started from now on.
  std::string directory;
};

struct Command {
  const char* name;
  const char* usage;
  Answer (*run)(Session&, Words&);
};

std::span<const Command> WindowCommands();
std::span<const Command> ControlCommands();
std::span<const Command> ListCommands();
std::span<const Command> MessageBoxCommands();
std::span<const Command> ProcessCommands();

// Runs one command line; `quit` is set when the line asks the driver to end.
Answer RunCommand(Session& session, std::string_view line, bool& quit);

// Shared by the command groups -----------------------------------------

// Reads "HWND [ID]": the window, or its control with that id when an id follows.
bool ReadTarget(Words& words, HWND& target, std::string& error);
bool ReadControl(Words& words, HWND& control, std::string& error);  // "HWND ID"
Answer Usage(const char* usage);

// Reads "HWND [ID]" and answers with `use` of that window or control.
template <typename Use>
Answer OnTarget(Words& words, Use use) {
  HWND target = nullptr;
  std::string error;
  if (!ReadTarget(words, target, error)) return Answer::Error(error);
  return use(target);
}

// Reads "HWND ID" and answers with `use` of that control.
template <typename Use>
Answer OnControl(Words& words, Use use) {
  HWND control = nullptr;
  std::string error;
  if (!ReadControl(words, control, error)) return Answer::Error(error);
  return use(control);
}
std::string Number(long long value);

}  // namespace uidriver
