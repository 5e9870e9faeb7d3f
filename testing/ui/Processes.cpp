#include "testing/ui/Processes.h"

#include <cstdio>
#include <vector>

namespace uidriver {

// Exit code given to a program that the driver ends itself.
constexpr UINT kKilledExitCode = 255;
constexpr DWORD kKillWaitMs = 5000;

static std::string SystemError(const char* what) {
  char text[128];
  std::snprintf(text, sizeof text, "%s failed with error %lu", what, GetLastError());
  return text;
}

Processes::Processes() {
  job_ = CreateJobObjectA(nullptr, nullptr);
  if (!job_) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job_);
    job_ = nullptr;
  }
}

Processes::~Processes() {
  for (auto& [id, process] : started_) {
    TerminateProcess(process, kKilledExitCode);
    CloseHandle(process);
  }
  if (job_) CloseHandle(job_);
}

bool Processes::Start(const std::string& command_line, const std::string& directory, DWORD& process_id,
                      std::string& error) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
    error = SystemError("CreateProcessA");
    return false;
  }
  if (job_) AssignProcessToJobObject(job_, started.hProcess);
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  started_[started.dwProcessId] = started.hProcess;
  process_id = started.dwProcessId;
  return true;
}

std::optional<DWORD> Processes::WaitForExit(DWORD process_id, unsigned timeout_ms, std::string& error) {
  const auto found = started_.find(process_id);
  if (found == started_.end()) {
    error = "process " + std::to_string(process_id) + " was not started by the driver";
    return std::nullopt;
  }
  const DWORD waited = WaitForSingleObject(found->second, timeout_ms);
  if (waited == WAIT_TIMEOUT) {
    error = "process " + std::to_string(process_id) + " still runs after " + std::to_string(timeout_ms) + " ms";
    return std::nullopt;
  }
  DWORD code = 0;
  if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(found->second, &code)) {
    error = SystemError("waiting for the process");
    return std::nullopt;
  }
  return code;
}

bool Processes::Kill(DWORD process_id) {
  const auto found = started_.find(process_id);
  if (found == started_.end()) return false;
  TerminateProcess(found->second, kKilledExitCode);
  WaitForSingleObject(found->second, kKillWaitMs);
  return true;
}

}  // namespace uidriver
