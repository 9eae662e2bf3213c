// Helpers shared by the benchmarks: 800 x 600 surfaces with random content and
// a megapixel-per-second counter.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

#include <pixelops/dd_surface.h>

namespace pixelops {

namespace bench {

inline constexpr int32_t kWidth = 800, kHeight = 600;

inline std::unique_ptr<DDSurface> RandomSurface(PixelFormat f, int32_t w = kWidth,
                                                int32_t h = kHeight, uint32_t seed = 1) {
  auto s = DDSurface::Make(w, h, f);
  std::mt19937 rng(seed);
  const PixelBuffer& b = s->Buffer();
  const size_t n = static_cast<size_t>(b.pitch) * h;
  for (size_t i = 0; i < n; ++i) b.pixels[i] = static_cast<uint8_t>(rng());
  if (f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A)
    for (size_t i = 2; i < n; i += 4) b.pixels[i] &= 15;
  return s;
}

// Reports destination pixels per second ("pixels=480M/s" reads 480 megapixels a second).
inline void CountPixels(benchmark::State& state, int64_t pixelsPerIteration) {
  state.counters["pixels"] = benchmark::Counter(
      static_cast<double>(pixelsPerIteration) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

// The yardstick: memcpy of the destination's bytes.
inline void MemcpyYardstick(benchmark::State& state, int32_t bytesPerPixel) {
  const size_t n = static_cast<size_t>(kWidth) * kHeight * bytesPerPixel;
  std::unique_ptr<uint8_t[]> a(new uint8_t[n]()), b(new uint8_t[n]());
  for (auto _ : state) {
    std::memcpy(b.get(), a.get(), n);
    benchmark::DoNotOptimize(b.get());
  }
  CountPixels(state, int64_t{kWidth} * kHeight);
}

}  // namespace bench

}  // namespace pixelops
