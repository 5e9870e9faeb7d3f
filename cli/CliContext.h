#pragma once
// Everything comboflash takes from the machine, in one place: main() fills it
// with the real things, the tests with doubles and fixture trees.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "device/linux/DeviceNodes.h"
#include "files/FirmwareFile.h"

// Keeps the machine from sleeping or shutting down while pages are written.
class SleepInhibitor {
 public:
  // Nothing when held; otherwise why it could not be.
  virtual std::optional<std::string> Hold() = 0;
  virtual void Release() = 0;

 protected:
  ~SleepInhibitor() = default;
};

// Holds back the signals that would stop the program, while pages are written.
class InterruptionHold {
 public:
  virtual void Begin() = 0;
  // Stops holding; the first signal that arrived meanwhile, or 0.
  virtual int End() = 0;
  // Lets a held signal take its effect now.
  virtual void Deliver(int signal) = 0;

 protected:
  ~InterruptionHold() = default;
};

struct CliContext {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool inputIsTerminal = false;
  bool outputIsTerminal = false;
  DeviceNodes& nodes;
  FirmwareFile& file;
  SleepInhibitor& inhibitor;
  InterruptionHold& interruptions;
  bool rawIo = false;  // the process may send vendor commands (CAP_SYS_RAWIO)
  std::filesystem::path sysfsRoot = "/sys";
  std::filesystem::path devRoot = "/dev";
  std::filesystem::path powerSupplyRoot = "/sys/class/power_supply";
};
