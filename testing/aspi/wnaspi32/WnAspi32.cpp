// Our wnaspi32.dll: the emulated ASPI layer as a real library, configured by
// the file named in COMBOFLASH_ASPI_CONFIG and reporting to the file named in
// COMBOFLASH_ASPI_REPORT (formats in AspiConfig.cpp and AspiReport.cpp).
#include <windows.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>

#include "device/windows-rules/AspiRequests.h"
#include "testing/aspi/AspiConfig.h"
#include "testing/aspi/AspiReport.h"
#include "testing/aspi/EmulatedAspiLayer.h"

namespace {

HMODULE self = nullptr;

// A test under Wine may name its files with Unix paths: "/tmp/x" would
// otherwise mean the root of whatever drive is current, so it is taken on
// Wine's drive Z:, which is the Unix root.
std::string EnvironmentPath(const char* name) {
  char value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return {};
  const std::string path(value, length);
  return path[0] == '/' ? "Z:" + path : path;
}

void SetPostProcEvent(void* postProc) { SetEvent(static_cast<HANDLE>(postProc)); }

struct DeferredWork {
  std::chrono::milliseconds delay;
  std::function<void()> work;
};

// Each deferred request holds a reference on this library until its thread
// has left it, so a caller's FreeLibrary never unmaps running code.
DWORD WINAPI RunDeferred(void* parameter) {
  {
    std::unique_ptr<DeferredWork> deferred(static_cast<DeferredWork*>(parameter));
    Sleep(static_cast<DWORD>(deferred->delay.count()));
    deferred->work();
  }
  FreeLibraryAndExitThread(self, 0);
}

void RunLater(std::chrono::milliseconds delay, std::function<void()> work) {
  HMODULE pinned = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&RunDeferred), &pinned);
  auto* deferred = new DeferredWork{delay, std::move(work)};
  HANDLE thread = CreateThread(nullptr, 0, RunDeferred, deferred, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
  } else {
    delete deferred;
    FreeLibrary(pinned);
  }
}

struct LayerState {
  EmulatedAspiLayer layer{SetPostProcEvent, RunLater};
  std::string configError;
};

LayerState* state = nullptr;
std::once_flag stateMade;

LayerState& State() {
  std::call_once(stateMade, [] {
    state = new LayerState;
    const std::string reportPath = EnvironmentPath(kAspiReportVariable);
    const std::string configPath = EnvironmentPath(kAspiConfigVariable);
    if (!configPath.empty()) {
      std::ifstream file(configPath, std::ios::binary);
      std::stringstream text;
      text << file.rdbuf();
      const AspiConfigResult parsed = file ? ParseAspiConfig(text.str()) : AspiConfigResult{{}, "cannot read " + configPath};
      if (parsed.config) {
        ApplyAspiConfig(*parsed.config, state->layer);
      } else {
        state->configError = parsed.error;
      }
    }
    if (reportPath.empty()) return;
    if (!state->configError.empty()) {
      std::ofstream(reportPath, std::ios::trunc) << "config error: " << state->configError << "\n";
      return;
    }
    state->layer.SetOnRequestEnded([reportPath](const std::vector<AspiRequestRecord>& records) {
      WriteAspiReport(reportPath, records, state->layer.Drives());
    });
  });
  return *state;
}

}  // namespace

extern "C" DWORD GetASPI32SupportInfo(void) {
  LayerState& layer = State();
  if (!layer.configError.empty()) return static_cast<DWORD>(aspi::SS_FAILED_INIT) << 8;
  return layer.layer.GetSupportInfo();
}

extern "C" DWORD SendASPI32Command(void* srb) {
  LayerState& layer = State();
  if (!layer.configError.empty()) {
    static_cast<aspi::SRB_Header*>(srb)->SRB_Status = aspi::SS_FAILED_INIT;
    return aspi::SS_FAILED_INIT;
  }
  return layer.layer.SendCommand(srb);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // FreeLibrary: no deferred thread is left (each holds a reference).
    delete state;
    state = nullptr;
  }
  return TRUE;
}
