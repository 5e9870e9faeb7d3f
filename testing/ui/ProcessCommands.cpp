// Programs under test: starting them, waiting for their end.
#include "testing/ui/Commands.h"

namespace uidriver {
namespace {

Answer ChangeDirectory(Session& session, Words& words) {
  session.directory = words.Rest();
  return Answer::Ok();
}

Answer Start(Session& session, Words& words) {
  const std::string command_line = words.Rest();
  if (command_line.empty()) return Usage("start COMMAND_LINE");
  DWORD process = 0;
  std::string error;
  if (!session.processes.Start(command_line, session.directory, process, error)) return Answer::Error(error);
  Answer answer = Answer::Ok(Number(process));
  if (!session.processes.JobReady()) answer.details.push_back("no job object: the program outlives the driver");
  return answer;
}

Answer WaitExit(Session& session, Words& words) {
  const auto process = words.NextUnsigned();
  const auto timeout = words.NextTimeout();
  if (!process || !timeout) return Usage("wait-exit PID TIMEOUT_MS");
  std::string error;
  const auto code = session.processes.WaitForExit(*process, *timeout, error);
  return code ? Answer::Ok(Number(*code)) : Answer::Error(error);
}

Answer Kill(Session& session, Words& words) {
  const auto process = words.NextUnsigned();
  if (!process) return Usage("kill PID");
  if (!session.processes.Kill(*process)) return Answer::Error("process " + Number(*process) + " was not started here");
  return Answer::Ok();
}

constexpr Command kCommands[] = {
    {"cd", "cd DIRECTORY   -> working directory of the programs started from now on (empty: the driver's)",
     ChangeDirectory},
    {"start", "start COMMAND_LINE   -> process id of the started program", Start},
    {"wait-exit", "wait-exit PID TIMEOUT_MS   -> exit code of a program started here", WaitExit},
    {"kill", "kill PID   -> ends a program started here", Kill},
};

}  // namespace

std::span<const Command> ProcessCommands() { return kCommands; }

}  // namespace uidriver
