// comboflash: the real machine behind the command-line flasher.
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliTexts.h"
#include "cli/Comboflash.h"
#include "cli/LogindInhibitor.h"
#include "cli/RawIo.h"
#include "cli/SignalHold.h"
#include "files/CFile.h"

int main(int argc, char** argv) {
  // A reader that goes away (comboflash flash ... | head) must not end the
  // program halfway through the pages; output to it just fails from then on.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> words(argv + 1, argv + argc);
  CFile file;
  LogindInhibitor inhibitor{std::string(cli_text::kInhibitorWho), std::string(cli_text::kInhibitorWhy)};
  SignalHold signals(STDERR_FILENO, cli_text::kSignalHeld);
  CliContext context{.out = std::cout,
                     .err = std::cerr,
                     .in = std::cin,
                     .inputIsTerminal = ::isatty(STDIN_FILENO) == 1,
                     .outputIsTerminal = ::isatty(STDOUT_FILENO) == 1,
                     .nodes = SystemDeviceNodes(),
                     .file = file,
                     .inhibitor = inhibitor,
                     .interruptions = signals,
                     .rawIo = HasRawIoCapability()};
  const int status = RunComboflash(words, context);
  std::cout.flush();
  return status;
}
