#pragma once
// The floor both firmware benchmarks measure against: the work no
// implementation avoids, reading the whole file into a buffer of the image's
// size and a plain byte sum over it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "flash/FlashConstants.h"

// Reads the whole file into buffer (of the image's size) and sums it.
inline bool ReadAndSumOnce(const std::string& path, std::vector<std::uint8_t>& buffer) {
  const int descriptor = ::open(path.c_str(), O_RDONLY);
  const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
  ::close(descriptor);
  std::uint32_t sum = 0;
  for (const std::uint8_t byte : buffer) sum += byte;
  benchmark::DoNotOptimize(sum);
  benchmark::ClobberMemory();
  return count == static_cast<ssize_t>(kImageSize);
}

inline void ReadAndSumFloor(benchmark::State& state, const std::string& path) {
  std::vector<std::uint8_t> buffer(kImageSize);
  for (auto _ : state) {
    if (!ReadAndSumOnce(path, buffer)) state.SkipWithError("read failed");
  }
}
