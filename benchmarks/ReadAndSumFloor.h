#pragma once
// The floor both firmware benchmarks measure against: the work no
// implementation avoids, reading the whole file into a buffer of the image's
// size and summing it. The sum is the engine's own, the fastest we have: a
// plainer one would flatter everything measured against it. The plain byte
// loop is kept as a second floor, the one earlier figures were measured
// against, so the two can be told apart.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "flash/ByteSum.h"
#include "flash/FlashConstants.h"

enum class FloorSum { Engine, PlainLoop };

// Reads the whole file into buffer (of the image's size) and sums it.
inline bool ReadAndSumOnce(const std::string& path, std::vector<std::uint8_t>& buffer,
                           FloorSum how = FloorSum::Engine) {
  const int descriptor = ::open(path.c_str(), O_RDONLY);
  const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
  ::close(descriptor);
  std::uint32_t sum = 0;
  if (how == FloorSum::Engine) {
    sum = SumBytes(buffer);
  } else {
    for (const std::uint8_t byte : buffer) sum += byte;
  }
  benchmark::DoNotOptimize(sum);
  benchmark::ClobberMemory();
  return count == static_cast<ssize_t>(kImageSize);
}

inline void ReadAndSumFloor(benchmark::State& state, const std::string& path, FloorSum how = FloorSum::Engine) {
  std::vector<std::uint8_t> buffer(kImageSize);
  for (auto _ : state) {
    if (!ReadAndSumOnce(path, buffer, how)) state.SkipWithError("read failed");
  }
}
