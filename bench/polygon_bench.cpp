// A 256 x 256 picture turned and scaled onto an 800 x 600 surface for every
// pair of both polygon families, in destination megapixels per second.
#include "bench/bench_support.h"
#include <pixelops/polygon.h>
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kPolygon;

// Turned by 30 degrees and scaled 2.1 x 1.9 about the middle of the screen.
constexpr int32_t kAngle = 43, kScaleX = 137626, kScaleY = 124518;

// Destination pixels the picture covers.
int64_t CoveredPixels(const RotatedQuad& quad) {
  auto src = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
  auto dst = DDSurface::Make(bench::kWidth, bench::kHeight, PixelFormat::Bgrx32);
  src->FillRect(nullptr);
  dst->SetFillColor(0x00FFFFFF);
  dst->FillRect(nullptr);
  dst->DrawPolygon(src.get(), quad.src, quad.dst, nullptr, 0, 4);
  int64_t n = 0;
  const PixelBuffer& b = dst->Buffer();
  for (int32_t y = 0; y < bench::kHeight; ++y)
    for (int32_t x = 0; x < bench::kWidth; ++x)
      n += b.pixels[int64_t{y} * b.pitch + x * 4] == 0;
  return n;
}

void BM_Polygon(benchmark::State& state, Pair pair, bool keyed) {
  auto dst = bench::RandomSurface(pair.dst);
  auto src = bench::RandomSurface(pair.src, 256, 256, 2);
  src->SetColorKey(0x00FF00FF);
  RotatedQuad quad;
  MakeRotatedQuad(*src, bench::kWidth / 2, bench::kHeight / 2, kAngle, kScaleX, kScaleY, &quad);
  for (auto _ : state) {
    if (keyed) {
      DrawRotatedScaled(dst.get(), src.get(), bench::kWidth / 2, bench::kHeight / 2, kAngle,
                        kScaleX, kScaleY);
    } else {
      dst->DrawPolygon(src.get(), quad.src, quad.dst, nullptr, 0, 4);
    }
    benchmark::ClobberMemory();
  }
  static const int64_t covered = CoveredPixels(quad);
  bench::CountPixels(state, covered);
}

const bool registered = [] {
  for (bool keyed : {true, false}) {
    for (const Pair& p : kPairs) {
      const std::string name = std::string(keyed ? "DrawPolygonKeyed/" : "DrawPolygon/") +
                               PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst);
      benchmark::RegisterBenchmark(name.c_str(), BM_Polygon, p, keyed);
    }
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
