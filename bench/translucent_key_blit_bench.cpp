// BltTranslucentKey and BltAlphaChannel on 800 x 600 surfaces for every served
// pair, one to one. The keyed sources have a quarter of their pixels on the key;
// the alpha sources have random alphas (every pixel takes the full arithmetic).
#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kKeyedPairs = format_pairs::kBlend;

constexpr auto& kAlphaChannelPairs = format_pairs::kAlphaComposite;

// A random source whose every fourth pixel is its colour key.
std::unique_ptr<DDSurface> KeyedSource(PixelFormat f) {
  auto s = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 2);
  s->SetColorKey(0x00FF00FF);
  const uint32_t key = s->GetColorKey();
  const PixelBuffer& b = s->Buffer();
  const int32_t bpp = BytesPerPixel(f);
  const int32_t compared = bpp == 4 && (f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A)
                               ? 2
                               : bpp == 4 && (f == PixelFormat::Bgra32 || f == PixelFormat::Rgba32)
                                     ? 3
                                     : bpp;
  for (int32_t y = 0; y < bench::kHeight; ++y)
    for (int32_t x = (y & 3); x < bench::kWidth; x += 4)
      std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * bpp, &key, compared);
  return s;
}

void BM_BltTranslucentKey(benchmark::State& state, Pair pair) {
  auto dst = bench::RandomSurface(pair.dst);
  auto src = KeyedSource(pair.src);
  for (auto _ : state) {
    dst->BltTranslucentKey(src.get(), 0, 0, 128, nullptr, nullptr, nullptr);
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, int64_t{bench::kWidth} * bench::kHeight);
}

void BM_BltAlphaChannel(benchmark::State& state, Pair pair) {
  auto dst = bench::RandomSurface(pair.dst);
  auto src = bench::RandomSurface(pair.src, bench::kWidth, bench::kHeight, 2);
  auto fresh = bench::RandomSurface(pair.dst);  // source over changes the alphas it meets
  for (auto _ : state) {
    state.PauseTiming();
    dst->Blt(fresh.get(), 0, 0);
    state.ResumeTiming();
    dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr);
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, int64_t{bench::kWidth} * bench::kHeight);
}

const bool registered = [] {
  for (const Pair& p : kKeyedPairs) {
    const std::string name = std::string("BltTranslucentKey/") + PixelFormatName(p.src) +
                             "_onto_" + PixelFormatName(p.dst) + "/1to1";
    benchmark::RegisterBenchmark(name.c_str(), BM_BltTranslucentKey, p);
  }
  for (const Pair& p : kAlphaChannelPairs) {
    const std::string name = std::string("BltAlphaChannel/") + PixelFormatName(p.src) +
                             "_onto_" + PixelFormatName(p.dst) + "/1to1";
    benchmark::RegisterBenchmark(name.c_str(), BM_BltAlphaChannel, p);
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
