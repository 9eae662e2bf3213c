// Helpers shared by the benchmarks: 800 x 600 surfaces with random content,
// a megapixel-per-second counter, and the list of benchmark rows.
//
// A row is registered once, with AddRow: it makes a Case (the surfaces and
// the one call timed on them), which Google Benchmark times as a benchmark of
// the row's name and the level sweep (level_sweep.cpp) times at every SIMD
// level, after checking that every level writes the same bytes.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <pixelops/dd_surface.h>

namespace pixelops {

namespace bench {

inline constexpr int32_t kWidth = 800, kHeight = 600;

using Surface = std::shared_ptr<DDSurface>;

inline Surface RandomSurface(PixelFormat f, int32_t w = kWidth, int32_t h = kHeight, uint32_t seed = 1) {
  Surface s = DDSurface::Make(w, h, f);
  std::mt19937 rng(seed);
  const PixelBuffer& b = s->Buffer();
  const size_t n = static_cast<size_t>(b.pitch) * h;
  for (size_t i = 0; i < n; ++i) b.pixels[i] = static_cast<uint8_t>(rng());
  if (f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A)
    for (size_t i = 2; i < n; i += 4) b.pixels[i] &= 15;
  return s;
}

// The pixel memory of a surface, padding included, appended to out.
inline void AppendBytes(const DDSurface& s, std::vector<uint8_t>& out) {
  const PixelBuffer& b = s.Buffer();
  out.insert(out.end(), b.pixels, b.pixels + static_cast<size_t>(b.pitch) * b.bounds.bottom);
}

// One benchmark row's call on the surfaces made for it.
struct Case {
  std::function<void()> run;    // the call timed
  std::function<void()> reset;  // run untimed before each call where set
  // Every byte the call may write (the level sweep checks that each level
  // gives the same after one call on a fresh case).
  std::function<std::vector<uint8_t>()> written;
  int64_t pixels = int64_t{kWidth} * kHeight;  // destination pixels one call draws
};

// The usual case: draw(*dst) timed, dst's bytes the ones written.
inline Case Drawing(Surface dst, std::function<void(DDSurface&)> draw,
                    int64_t pixels = int64_t{kWidth} * kHeight) {
  Case c;
  c.run = [dst, draw] { draw(*dst); };
  c.written = [dst] {
    std::vector<uint8_t> bytes;
    AppendBytes(*dst, bytes);
    return bytes;
  };
  c.pixels = pixels;
  return c;
}

struct Row {
  std::string name;
  std::function<Case()> make;
};

// Every row registered, in the order of registration.
inline std::vector<Row>& Rows() {
  static std::vector<Row> rows;
  return rows;
}

// Reports destination pixels per second ("pixels=480M/s" reads 480 megapixels a second).
inline void CountPixels(benchmark::State& state, int64_t pixelsPerIteration) {
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixelsPerIteration) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// Registers a row, with a Google Benchmark of its name.
inline void AddRow(const std::string& name, std::function<Case()> make) {
  Rows().push_back({name, make});
  benchmark::RegisterBenchmark(name.c_str(), [make](benchmark::State& state) {
    const Case c = make();
    for (auto _ : state) {
      if (c.reset) {
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
      }
      c.run();
      benchmark::ClobberMemory();
    }
    CountPixels(state, c.pixels);
  });
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
