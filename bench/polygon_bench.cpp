// A 256 x 256 picture turned and scaled onto an 800 x 600 surface for every
// pair of both polygon families, in destination megapixels per second.
#include <cstring>
#include <vector>

#include "bench/bench_support.h"
#include "graphics/pixel/row_kernels.h"
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
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
    for (int32_t x = 0; x < bench::kWidth; ++x) n += b.pixels[int64_t{y} * b.pitch + x * 4] == 0;
  return n;
}

bench::Case Polygon(Pair pair, bool keyed) {
  auto src = bench::RandomSurface(pair.src, 256, 256, 2);
  src->SetColorKey(0x00FF00FF);
  RotatedQuad quad;
  MakeRotatedQuad(*src, bench::kWidth / 2, bench::kHeight / 2, kAngle, kScaleX, kScaleY, &quad);
  static const int64_t covered = CoveredPixels(quad);
  return bench::Drawing(
      bench::RandomSurface(pair.dst),
      [src, quad, keyed](DDSurface& dst) {
        if (keyed) {
          DrawRotatedScaled(&dst, src.get(), bench::kWidth / 2, bench::kHeight / 2, kAngle, kScaleX, kScaleY);
        } else {
          dst.DrawPolygon(src.get(), quad.src, quad.dst, nullptr, 0, 4);
        }
      },
      covered);
}

// The spans at scale 1: a 256 x 256 sprite turned by 30 degrees about the
// middle of the screen, counted in covered pixels.
constexpr int32_t kSpanAngle = 43;

int64_t CoveredAtScaleOne() {
  auto src = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
  RotatedQuad quad;
  MakeRotatedQuad(*src, bench::kWidth / 2, bench::kHeight / 2, kSpanAngle, 65536, 65536, &quad);
  return CoveredPixels(quad);
}

// Keyed (DrawRotatedScaled) or blended at an alpha (DrawRotatedSprite).
bench::Case RotatedSpan(Pair pair, int32_t alpha) {
  auto src = bench::RandomSurface(pair.src, 256, 256, 2);
  src->SetColorKey(0x00FF00FF);
  static const int64_t covered = CoveredAtScaleOne();
  return bench::Drawing(
      bench::RandomSurface(pair.dst),
      [src, alpha](DDSurface& dst) {
        if (alpha >= 256) {
          DrawRotatedScaled(&dst, src.get(), bench::kWidth / 2, bench::kHeight / 2, kSpanAngle, 65536, 65536);
        } else {
          DrawRotatedSprite(&dst, src.get(), bench::kWidth / 2, bench::kHeight / 2, kSpanAngle, 65536, 65536,
                            alpha);
        }
      },
      covered);
}

// A 32-bit blit one to one, or stretched by 1.5 on both axes, onto the same
// 600 x 450 destination pixels.
bench::Case StretchBlit(bool add, bool stretched) {
  auto src = bench::RandomSurface(PixelFormat::Bgrx32, stretched ? 400 : 600, stretched ? 300 : 450, 2);
  return bench::Drawing(
      bench::RandomSurface(PixelFormat::Bgrx32),
      [src, add](DDSurface& dst) {
        const Size size{600, 450};
        if (add) dst.BltAdd(src.get(), 100, 75, nullptr, &size, nullptr);
        else dst.BltAlpha(src.get(), 100, 75, 128, nullptr, &size, nullptr);
      },
      int64_t{600} * 450);
}

// The stretched walk's gather of one 800-pixel row of a source row of
// `source` pixels: the gather of the level in force, or (pixelByPixel) the
// walk's own copy loop where a level has none.
template <int32_t kBytes>
void BM_StretchGather(benchmark::State& state, int32_t source, bool pixelByPixel) {
  const int32_t n = bench::kWidth;
  std::vector<int32_t> columns(static_cast<size_t>(n));
  for (int32_t k = 0; k < n; ++k)
    columns[static_cast<size_t>(k)] = static_cast<int32_t>(int64_t{k} * source / n);
  std::vector<uint8_t> row(static_cast<size_t>(source) * kBytes, 7);
  std::vector<uint8_t> out(static_cast<size_t>(n) * kBytes);
  constexpr PixelFormat f = kBytes == 1   ? PixelFormat::Index8
                            : kBytes == 2 ? PixelFormat::Rgb565
                            : kBytes == 3 ? PixelFormat::Bgr24
                                          : PixelFormat::Bgrx32;
  const auto gather = kernels::Find<kernels::GatherFn>(kernels::Op::Gather, f, f);
  for (auto _ : state) {
    if (gather != nullptr && !pixelByPixel) {
      gather(row.data(), columns.data(), n, source, out.data());
    } else {
      for (int32_t col = 0; col < n; ++col) {
        std::memcpy(out.data() + int64_t{col} * kBytes,
                    row.data() + int64_t{columns[static_cast<size_t>(col)]} * kBytes, kBytes);
      }
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, n);
}

template <int32_t kBytes>
void RegisterStretchGather() {
  for (int32_t source : {533, 1067, 2000}) {
    for (bool pixelByPixel : {false, true}) {
      const std::string name = "Stretch/Gather/" + std::to_string(kBytes) + "bytes/from_" +
                               std::to_string(source) + (pixelByPixel ? "/pixel_by_pixel" : "");
      benchmark::RegisterBenchmark(name.c_str(), BM_StretchGather<kBytes>, source, pixelByPixel);
    }
  }
}

const bool registered = [] {
  using F = PixelFormat;
  RegisterStretchGather<1>();
  RegisterStretchGather<2>();
  RegisterStretchGather<3>();
  RegisterStretchGather<4>();
  const auto span = [](const char* name, Pair pair, int32_t alpha) {
    bench::AddRow(name, [pair, alpha] { return RotatedSpan(pair, alpha); });
  };
  span("Spans/DrawRotatedScaled/Bgrx32", Pair{F::Bgrx32, F::Bgrx32}, 256);
  span("Spans/DrawRotatedSprite/alpha255/Bgra32_onto_Bgrx32", Pair{F::Bgra32, F::Bgrx32}, 255);
  span("Spans/DrawRotatedSprite/alpha128/Rgb565A_onto_Rgb565A", Pair{F::Rgb565A, F::Rgb565A}, 128);
  span("Spans/DrawRotatedSprite/alpha128/Rgb555A_onto_Rgb555A", Pair{F::Rgb555A, F::Rgb555A}, 128);
  for (bool add : {false, true}) {
    for (bool stretched : {false, true}) {
      const std::string name = std::string("Stretch/") + (add ? "BltAdd" : "BltAlpha") + "/Bgrx32/" +
                               (stretched ? "stretched_1.5" : "one_to_one");
      bench::AddRow(name, [add, stretched] { return StretchBlit(add, stretched); });
    }
  }
  for (bool keyed : {true, false}) {
    for (const Pair& p : kPairs) {
      const std::string name = std::string(keyed ? "DrawPolygonKeyed/" : "DrawPolygon/") +
                               PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst);
      bench::AddRow(name, [p, keyed] { return Polygon(p, keyed); });
    }
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
