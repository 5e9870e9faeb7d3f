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

inline void ReadAndSumFloor(benchmark::State& state, const std::string& path) {
  std::vector<std::uint8_t> buffer(kImageSize);
  for (auto _ : state) {
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
    ::close(descriptor);
    if (count != static_cast<ssize_t>(kImageSize)) state.SkipWithError("read failed");
    std::uint32_t sum = 0;
    for (const std::uint8_t byte : buffer) sum += byte;
    benchmark::DoNotOptimize(sum);
    benchmark::ClobberMemory();
  }
}
