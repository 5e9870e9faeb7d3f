#pragma once
// The programs the driver starts. They run in a job that ends them when the
// driver ends, so a test that stops half-way leaves nothing running.
#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace uidriver {

class Processes {
 public:
  Processes();
  ~Processes();
  Processes(const Processes&) = delete;
  Processes& operator=(const Processes&) = delete;

  // Starts `command_line` in `directory` (empty: the driver's own); the process id, or the error text.
  bool Start(const std::string& command_line, const std::string& directory, DWORD& process_id, std::string& error);
  // The exit code once the process has ended within `timeout_ms`.
  std::optional<DWORD> WaitForExit(DWORD process_id, unsigned timeout_ms, std::string& error);
  bool Kill(DWORD process_id);
  bool JobReady() const { return job_ != nullptr; }

 private:
  HANDLE job_ = nullptr;
  std::map<DWORD, HANDLE> started_;
};

}  // namespace uidriver
