// Start-up benchmark: starts a program and a baseline dialog program in turn,
// times each from CreateProcess to its dialog being on screen, reads its peak
// working set, closes it, and reports medians and the ratio program/baseline.
//
//   StartupTimer REPETITIONS PROGRAM CAPTION BASELINE BASELINE_CAPTION
//
// "On screen" means: a visible top-level window of the started process with
// the given caption that holds the list view (control 1006). A dialog whose
// template is visible is shown only after its WM_INITDIALOG returns, so for
// the main program this is the moment its drive list is filled.
//
// A path starting with '/' is taken as a Unix path under Wine (drive Z:).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr int kListId = 1006;
constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kBytesPerMebibyte = 1024.0 * 1024.0;

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct Target {
  std::string path;
  std::string caption;
  std::vector<double> milliseconds;
  std::vector<double> peakBytes;
};

struct Measurement {
  double milliseconds;
  double peakBytes;
};

std::string WindowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER count;
  ::QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * kMillisecondsPerSecond / frequency;
}

struct Search {
  DWORD processId;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !::IsWindowVisible(window) || ::GetDlgItem(window, kListId) == nullptr) return TRUE;
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  if (*search.caption != text) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindShownDialog(DWORD processId, const std::string& caption) {
  Search search{processId, &caption, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// One start of the target; false (with a message) when it did not show up.
bool MeasureOnce(HANDLE job, const Target& target, Measurement& result) {
  std::string commandLine = "\"" + WindowsPath(target.path) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};

  const double start = Now();
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &info)) {
    std::printf("error: cannot start %s (error %lu)\n", commandLine.c_str(), ::GetLastError());
    return false;
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);
  // In the job before it runs, so it cannot outlive this program.
  ::AssignProcessToJobObject(job, process.get());
  ::ResumeThread(thread.get());

  HWND dialog = nullptr;
  while ((dialog = FindShownDialog(info.dwProcessId, target.caption)) == nullptr) {
    if (::WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0 || Now() - start > kShowTimeoutMs) {
      std::printf("error: %s showed no dialog \"%s\"\n", commandLine.c_str(), target.caption.c_str());
      ::TerminateProcess(process.get(), 1);
      return false;
    }
  }
  result.milliseconds = Now() - start;

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  result.peakBytes = ::GetProcessMemoryInfo(process.get(), &memory, sizeof(memory))
                         ? static_cast<double>(memory.PeakWorkingSetSize)
                         : 0.0;

  ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  if (::WaitForSingleObject(process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
    std::printf("error: %s did not end after Cancel\n", commandLine.c_str());
    ::TerminateProcess(process.get(), 1);
    return false;
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const char* BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

void Report(const Target& target) {
  const auto [low, high] = std::minmax_element(target.milliseconds.begin(), target.milliseconds.end());
  std::printf("%-20s start-up median %8.1f ms (min %.1f, max %.1f), peak working set median %6.1f MiB\n",
              BaseName(target.path), Median(target.milliseconds), *low, *high,
              Median(target.peakBytes) / kBytesPerMebibyte);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 || std::atoi(argv[1]) < 1) {
    std::printf("usage: StartupTimer REPETITIONS PROGRAM CAPTION BASELINE BASELINE_CAPTION\n");
    return 2;
  }
  const int repetitions = std::atoi(argv[1]);
  Target targets[] = {{argv[2], argv[3], {}, {}}, {argv[4], argv[5], {}, {}}};

  Handle job(::CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));

  Measurement measurement{};
  // One start of each first, not counted: the first start after a pause
  // pays for loading Wine's files from disk.
  for (const Target& target : targets) {
    if (!MeasureOnce(job.get(), target, measurement)) return 1;
  }
  // Interleaved, so that a slow spell of the machine touches both alike.
  for (int i = 0; i < repetitions; ++i) {
    for (Target& target : targets) {
      if (!MeasureOnce(job.get(), target, measurement)) return 1;
      target.milliseconds.push_back(measurement.milliseconds);
      target.peakBytes.push_back(measurement.peakBytes);
      std::printf("run %2d %-20s %8.1f ms %8.1f MiB\n", i + 1, BaseName(target.path), measurement.milliseconds,
                  measurement.peakBytes / kBytesPerMebibyte);
    }
  }

  for (const Target& target : targets) Report(target);
  std::printf("ratio %.2f (median start-up %s / %s, goal <= 1.1)\n",
              Median(targets[0].milliseconds) / Median(targets[1].milliseconds), BaseName(targets[0].path),
              BaseName(targets[1].path));
  // Each repetition starts the two programs back to back, so a busy spell of
  // the machine weighs on both of a pair: the median of the pairs' ratios
  // shakes off more of it than the ratio of the medians.
  std::vector<double> pairRatios;
  for (std::size_t i = 0; i < targets[0].milliseconds.size(); ++i) {
    pairRatios.push_back(targets[0].milliseconds[i] / targets[1].milliseconds[i]);
  }
  std::printf("pair ratio %.2f (median of each repetition's start-up %s / %s)\n", Median(pairRatios),
              BaseName(targets[0].path), BaseName(targets[1].path));
  std::printf("memory ratio %.2f (median peak working set %s / %s)\n",
              Median(targets[0].peakBytes) / Median(targets[1].peakBytes), BaseName(targets[0].path),
              BaseName(targets[1].path));
  std::printf("memory difference %+.1f MiB (median peak working set %s - %s, goal <= 2 MiB)\n",
              (Median(targets[0].peakBytes) - Median(targets[1].peakBytes)) / kBytesPerMebibyte,
              BaseName(targets[0].path), BaseName(targets[1].path));
  std::fflush(stdout);
  return 0;
}
