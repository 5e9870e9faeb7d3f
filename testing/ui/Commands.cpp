#include "testing/ui/Commands.h"

#include "testing/ui/Windows.h"

#include <string>
#include <vector>

namespace uidriver {

bool ReadTarget(Words& words, HWND& target, std::string& error) {
  const auto window = words.NextHandle();
  if (!window || !IsWindow(*window)) {
    error = "no such window";
    return false;
  }
  target = *window;
  if (words.Empty()) return true;
  const auto id = words.NextNumber();
  if (!id) {
    error = "the control id is not a number";
    return false;
  }
  target = FindControl(*window, static_cast<int>(*id));
  if (!target) {
    error = "window " + FormatHandle(*window) + " has no control " + Number(*id);
    return false;
  }
  return true;
}

bool ReadControl(Words& words, HWND& control, std::string& error) {
  const auto window = words.NextHandle();
  const auto id = words.NextNumber();
  if (!window || !id) {
    error = "expected a window handle and a control id";
    return false;
  }
  if (!IsWindow(*window)) {
    error = "no such window " + FormatHandle(*window);
    return false;
  }
  control = FindControl(*window, static_cast<int>(*id));
  if (!control) {
    error = "window " + FormatHandle(*window) + " has no control " + Number(*id);
    return false;
  }
  return true;
}

Answer Usage(const char* usage) { return Answer::Error(std::string("usage: ") + usage); }

std::string Number(long long value) { return std::to_string(value); }

static std::vector<Command> AllCommands() {
  std::vector<Command> all;
  for (auto group : {WindowCommands(), ControlCommands(), ListCommands(), MessageBoxCommands(), ProcessCommands()})
    all.insert(all.end(), group.begin(), group.end());
  return all;
}

Answer RunCommand(Session& session, std::string_view line, bool& quit) {
  Words words(line);
  const auto name = words.Next();
  if (!name) return Answer::Error("empty command");
  if (*name == "quit") {
    quit = true;
    return Answer::Ok();
  }
  const std::vector<Command> all = AllCommands();
  if (*name == "help") {
    Answer help = Answer::Ok();
    help.details.push_back("quit");
    for (const Command& command : all) help.details.push_back(command.usage);
    return help;
  }
  for (const Command& command : all)
    if (*name == command.name) return command.run(session, words);
  return Answer::Error("unknown command " + *name + " (try help)");
}

}  // namespace uidriver
