// comboflash against the floors its work stands on, each measured in the same
// run: a whole `comboflash flash --yes` against the emulated drive answering
// at once behind the emulated kernel, against 32 bare SG_IO back-end calls
// with the same commands and pages to a drive of the same kind; the flash's
// writing phase alone against the same calls; and `comboflash check` against
// reading the file and summing its bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ReadAndSumFloor.h"
#include "cli/Comboflash.h"
#include "cli/Commands.h"
#include "cli/FlashProgress.h"
#include "device/core/ScsiCommands.h"
#include "device/linux/SgIoTransport.h"
#include "files/CFile.h"
#include "flash/FirmwareCheck.h"
#include "flash/FirmwareImage.h"
#include "flash/PageWriteCommand.h"
#include "testing/drive/ScsiWireValues.h"
#include "testing/linux/EmulatedSgNodes.h"
#include "testing/linux/SysfsFixture.h"

namespace {

const InquiryData kDrive{0x05, "ACME", "COMBO DVD/RW 52X", "1.02"};
const std::string kKey = "ACME    COMBO DVD/RW 52X";

// A full-size firmware file of random bytes with the drive's key at the last
// place it can be, read once so it is in the page cache.
class FirmwareOnDisk {
 public:
  FirmwareOnDisk() {
    bytes_.resize(kImageSize);
    std::mt19937 random(20240611);
    for (std::uint8_t& byte : bytes_) byte = static_cast<std::uint8_t>(random());
    std::copy(kKey.begin(), kKey.end(), bytes_.end() - static_cast<std::ptrdiff_t>(kKey.size()));
    path_ = std::filesystem::temp_directory_path() / ("comboflash-cli-bench-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes_.data()),
                                                 static_cast<std::streamsize>(bytes_.size()));
  }
  ~FirmwareOnDisk() { std::filesystem::remove(path_); }

  std::string Path() const { return path_.string(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::filesystem::path path_;
  std::vector<std::uint8_t> bytes_;
};

const FirmwareOnDisk& File() {
  static const FirmwareOnDisk file;
  return file;
}

class NoInhibitor final : public SleepInhibitor {
 public:
  std::optional<std::string> Hold() override { return std::nullopt; }
  void Release() override {}
};

class NoInterruptions final : public InterruptionHold {
 public:
  void Begin() override {}
  int End() override { return 0; }
  void Deliver(int) override {}
};

// A drive that takes its time over each page, as real ones do: every
// request waits pageLatency before the emulated kernel sees it.
class SlowNodes final : public DeviceNodes {
 public:
  SlowNodes(DeviceNodes& inner, std::chrono::microseconds pageLatency) : inner_(inner), latency_(pageLatency) {}
  OpenedNode Open(const std::string& path, int flags) override {
    OpenedNode opened = inner_.Open(path, flags);
    if (opened.node) opened.node = std::make_unique<SlowNode>(std::move(opened.node), latency_);
    return opened;
  }
  NodeStatus Status(const std::string& path) override { return inner_.Status(path); }

 private:
  class SlowNode final : public DeviceNode {
   public:
    SlowNode(std::unique_ptr<DeviceNode> inner, std::chrono::microseconds latency)
        : inner_(std::move(inner)), latency_(latency) {}
    int Ioctl(unsigned long request, void* argument) override {
      if (latency_.count() > 0) std::this_thread::sleep_for(latency_);
      return inner_->Ioctl(request, argument);
    }
    int Lock(bool exclusive) override { return inner_->Lock(exclusive); }

   private:
    std::unique_ptr<DeviceNode> inner_;
    std::chrono::microseconds latency_;
  };
  DeviceNodes& inner_;
  std::chrono::microseconds latency_;
};

// One emulated drive and kernel per flash, made outside the timing; the
// benchmark's argument is the drive's time per command in microseconds.
// The sysfs every fresh drive is found in: one SCSI device, /dev/sr0 and
// /dev/sg0.
constexpr unsigned kDriveNumber = 0;
const SysfsFixture& Sysfs() {
  static SysfsFixture sysfs;
  static const bool filled = [] {
    sysfs.AddScsiDevice("platform/host0/target0:0:0/0:0:0:0", scsi_wire::kPeripheralTypeCdRom,
                        {{"sr0", NodeStatus::Kind::Block, kSrMajor, kDriveNumber},
                         {"sg0", NodeStatus::Kind::Character, kSgMajor, kDriveNumber}});
    return true;
  }();
  static_cast<void>(filled);
  return sysfs;
}

struct FreshDrive {
  explicit FreshDrive(std::int64_t latency = 0) : slow(kernel, std::chrono::microseconds(latency)) {
    kernel.AddDrive("/dev/sr0", drive, NodeStatus::Kind::Block, kSrMajor, kDriveNumber);
    kernel.AddDrive("/dev/sg0", drive, NodeStatus::Kind::Character, kSgMajor, kDriveNumber);
  }
  EmulatedDrive drive{kDrive};
  EmulatedSgNodes kernel;
  SlowNodes slow;
};

// What comboflash is given to run with: output to strings, no logind, no
// signal handling, the right to send vendor commands.
struct BenchContext {
  explicit BenchContext(DeviceNodes& nodes, std::ostringstream& out)
      : context{.out = out, .err = err, .in = in, .nodes = nodes, .file = file, .inhibitor = inhibitor,
                .interruptions = interruptions, .rawIo = true, .sysfsRoot = Sysfs().Root()} {
    out.str({});
  }
  std::ostringstream err;
  std::istringstream in;
  CFile file;
  NoInhibitor inhibitor;
  NoInterruptions interruptions;
  CliContext context;
};

int Comboflash(const std::vector<std::string>& words, DeviceNodes& nodes, std::ostringstream& out) {
  BenchContext bench(nodes, out);
  return RunComboflash(words, bench.context);
}

// Each flash goes to a fresh drive, made and judged with the timing paused.
// The previous drive is gone by then, so both sides find its memory warm in
// the allocator, as the flash's own image buffer is: neither pays page faults
// the other does not.
template <typename Work>
void ForEachFreshDrive(benchmark::State& state, Work work) {
  for (auto _ : state) {
    state.PauseTiming();
    auto fresh = std::make_unique<FreshDrive>(state.range(0));
    state.ResumeTiming();
    work(*fresh);
    state.PauseTiming();
    if (!fresh->drive.ImageCompleteAndConsistent()) state.SkipWithError(fresh->drive.Verdict().c_str());
    fresh.reset();
    state.ResumeTiming();
  }
}

void WholeFlash(benchmark::State& state) {
  const std::vector<std::string> words = {"flash", File().Path(), "--drive", "/dev/sr0", "--yes"};
  std::ostringstream out;
  ForEachFreshDrive(state, [&](FreshDrive& fresh) {
    if (Comboflash(words, fresh.slow, out) != 0) state.SkipWithError("flash failed");
  });
}

// The 32 commands a flash of the file sends, built beforehand.
std::vector<PageWriteCommand> FlashCommands() {
  FirmwareImage image;
  CFile file;
  image.LoadFromFile(File().Path(), file);
  std::vector<PageWriteCommand> commands;
  for (int page = 1; page <= kPageCount; ++page) {
    commands.push_back(BuildPageWriteCommand(page, image.PageChecksum(page), image.Checksum()));
  }
  return commands;
}

// Opens the drive, as the flash does too, and sends it the 32 pages, each
// with its command; pageData(page) gives the page's bytes.
template <typename PageData>
void SendPages(benchmark::State& state, FreshDrive& fresh, const std::vector<PageWriteCommand>& commands,
               PageData pageData) {
  OpenedNode node = fresh.slow.Open("/dev/sr0", O_RDWR);
  SgIoTransport transport(*node.node);
  for (int page = 1; page <= kPageCount; ++page) {
    const ScsiRequest request = MakePageWriteRequest(commands[static_cast<std::size_t>(page - 1)], pageData(page));
    if (!transport.Execute(request).IsGood()) state.SkipWithError("page refused");
  }
}

void BareCalls(benchmark::State& state) {
  const std::vector<PageWriteCommand> commands = FlashCommands();
  FirmwareImage image;
  CFile file;
  image.LoadFromFile(File().Path(), file);
  ForEachFreshDrive(state, [&](FreshDrive& fresh) {
    SendPages(state, fresh, commands, [&](int page) { return image.PageData(page); });
  });
}

// A flash's writing phase alone, as comboflash runs it once the file is
// checked and the user has said yes: the engine, the page channel and the
// progress output over the same back end, against the bare calls above.
void WritingPhase(benchmark::State& state) {
  FirmwareImage image;
  CFile file;
  const FirmwareCheck check = CheckFirmware(image, File().Path(), file, kKey + kDrive.revision);
  if (check.verdict != CheckVerdict::Accepted) state.SkipWithError("the file was not accepted");
  std::ostringstream out;
  ForEachFreshDrive(state, [&](FreshDrive& fresh) {
    BenchContext bench(fresh.slow, out);
    OpenedNode node = fresh.slow.Open("/dev/sr0", O_RDWR);
    FlashProgress progress(out, false, check);
    WriteCheckedPages(bench.context, *node.node, progress, progress, image, check);
    if (!progress.Complete()) state.SkipWithError("flash failed");
  });
}

// The floor with the file's reading in it: read the file into a buffer, sum
// it, and send its 32 pages with commands built beforehand. What a flash adds
// beyond this is the identity search, the INQUIRY, the checks and the output.
void ReadThenBareCalls(benchmark::State& state) {
  const std::vector<PageWriteCommand> commands = FlashCommands();
  std::vector<std::uint8_t> buffer(kImageSize);
  ForEachFreshDrive(state, [&](FreshDrive& fresh) {
    if (!ReadAndSumOnce(File().Path(), buffer)) state.SkipWithError("read failed");
    SendPages(state, fresh, commands, [&](int page) {
      return std::span<const std::uint8_t, kPageSize>(buffer.data() + static_cast<std::size_t>(page - 1) * kPageSize,
                                                      kPageSize);
    });
  });
}

void Check(benchmark::State& state) {
  const std::vector<std::string> words = {"check", File().Path(), "--drive", "/dev/sr0"};
  FreshDrive fresh;
  std::ostringstream out;
  for (auto _ : state) {
    if (Comboflash(words, fresh.kernel, out) != 0) state.SkipWithError("check failed");
  }
}

void ReadAndSum(benchmark::State& state) {
  ReadAndSumFloor(state, File().Path());
}

void ReadAndPlainSum(benchmark::State& state) {
  ReadAndSumFloor(state, File().Path(), FloorSum::PlainLoop);
}

// A drive that answers at once, and one that takes 2 ms per command.
constexpr std::int64_t kSlowDriveMicroseconds = 2000;
BENCHMARK(WholeFlash)->Arg(0)->Iterations(40)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BareCalls)->Arg(0)->Iterations(40)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(WritingPhase)->Arg(0)->Iterations(40)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ReadThenBareCalls)->Arg(0)->Iterations(40)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(WholeFlash)->Arg(kSlowDriveMicroseconds)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BareCalls)->Arg(kSlowDriveMicroseconds)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Check)->Iterations(200)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ReadAndSum)->Iterations(200)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ReadAndPlainSum)->Iterations(200)->Repetitions(9)->ReportAggregatesOnly(true);

// Prints the usual table, then the ratios of the medians.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
      }
    }
  }

  void PrintRatio(const char* label, const char* measured, const char* floor) const {
    const auto top = medians_.find(measured);
    const auto bottom = medians_.find(floor);
    if (top == medians_.end() || bottom == medians_.end() || bottom->second <= 0) return;
    std::printf("ratio %s (median real time): %.2f\n", label, top->second / bottom->second);
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  // Freed memory stays with the process, so no iteration pays page faults
  // for memory an earlier one gave back: on a virtual machine they cost more
  // than everything measured here, and they fell unevenly on the two sides.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("flash/bare-calls, drive answering at once", "WholeFlash/0", "BareCalls/0");
  reporter.PrintRatio("flash/read-and-sum-then-bare-calls, drive answering at once", "WholeFlash/0",
                      "ReadThenBareCalls/0");
  reporter.PrintRatio("writing phase/bare-calls, drive answering at once", "WritingPhase/0", "BareCalls/0");
  reporter.PrintRatio("flash/bare-calls, drive taking 2 ms per command", "WholeFlash/2000", "BareCalls/2000");
  reporter.PrintRatio("check/read-and-sum", "Check/", "ReadAndSum/");
  reporter.PrintRatio("check/read-and-plain-loop-sum", "Check/", "ReadAndPlainSum/");
  benchmark::Shutdown();
  return 0;
}
