// What a flash run does before its first page leaves: load the file through
// CFile, then the identity search with the image checksum. Measured against
// the floor no implementation avoids: reading the same file into a buffer of
// the image's size and summing its bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ReadAndSumFloor.h"
#include "files/CFile.h"
#include "flash/FirmwareImage.h"

namespace {

const std::string kRow = "E:\\ ACME    COMBO DVD/RW 52X1.02        ";

// A full-size firmware file of random bytes whose key sits at the last place
// it can, so the search has to cover the whole image. Read once beforehand,
// so it is in the page cache for every measurement.
class FirmwareOnDisk {
 public:
  FirmwareOnDisk() {
    std::vector<std::uint8_t> bytes(kImageSize);
    std::mt19937 random(20240611);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    const std::string key = kRow.substr(4, 24);
    std::copy(key.begin(), key.end(), bytes.end() - static_cast<std::ptrdiff_t>(key.size()));
    path_ = std::filesystem::temp_directory_path() / ("comboflash-bench-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    std::vector<char> warm(kImageSize);
    std::ifstream(path_, std::ios::binary).read(warm.data(), static_cast<std::streamsize>(warm.size()));
  }
  ~FirmwareOnDisk() { std::filesystem::remove(path_); }

  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

const FirmwareOnDisk& File() {
  static const FirmwareOnDisk file;
  return file;
}

void Preflight(benchmark::State& state) {
  const std::string path = File().Path();
  CFile file;
  FirmwareImage image;
  for (auto _ : state) {
    if (image.LoadFromFile(path, file) != LoadResult::Loaded) state.SkipWithError("load failed");
    const IdentityCheck check = image.MatchesIdentity(kRow);
    if (!check.matches) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(check);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}

void Floor(benchmark::State& state) {
  ReadAndSumFloor(state, File().Path());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}

void PlainLoopFloor(benchmark::State& state) {
  ReadAndSumFloor(state, File().Path(), FloorSum::PlainLoop);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}

BENCHMARK(Preflight)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Floor)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(PlainLoopFloor)->Repetitions(9)->ReportAggregatesOnly(true);

// Prints the usual table, then the ratio of the medians.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
  }

  void PrintRatio(const char* label, const char* floorName) const {
    const auto preflight = medians_.find("Preflight");
    const auto floor = medians_.find(floorName);
    if (preflight == medians_.end() || floor == medians_.end() || floor->second <= 0) return;
    std::printf("ratio %s (median real time): %.2f\n", label, preflight->second / floor->second);
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("preflight/floor", "Floor");
  reporter.PrintRatio("preflight/plain-loop-floor", "PlainLoopFloor");
  benchmark::Shutdown();
  return 0;
}
