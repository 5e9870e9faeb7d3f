// uidriver: works the windows of a running program from outside, as a user
// would. Each argument is one command; with no arguments the commands come
// one per line from standard input. Every command is answered on standard
// output, see Protocol.h; "help" lists the commands.
#include "testing/ui/Commands.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {

void Print(const uidriver::Answer& answer) {
  for (const std::string& detail : answer.details) std::printf("| %s\n", uidriver::EscapeText(detail).c_str());
  const std::string value = uidriver::EscapeText(answer.value);
  std::printf("%s%s%s\n", answer.ok ? "ok" : "error", value.empty() ? "" : " ", value.c_str());
  std::fflush(stdout);
}

bool ReadLine(std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return c != EOF || !line.empty();
}

bool IsComment(const std::string& line) {
  const auto first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#';
}

}  // namespace

int main(int argc, char** argv) {
  // Answers end in a bare LF whatever reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);

  uidriver::Session session;
  bool quit = false;
  bool all_ok = true;
  if (argc > 1) {
    for (int i = 1; i < argc && !quit; ++i) {
      const uidriver::Answer answer = uidriver::RunCommand(session, argv[i], quit);
      all_ok = all_ok && answer.ok;
      Print(answer);
    }
    return all_ok ? 0 : 1;
  }
  std::string line;
  while (!quit && ReadLine(line)) {
    if (IsComment(line)) continue;
    const uidriver::Answer answer = uidriver::RunCommand(session, line, quit);
    all_ok = all_ok && answer.ok;
    Print(answer);
  }
  return all_ok ? 0 : 1;
}
