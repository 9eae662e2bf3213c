// A 256 x 256 sprite turned, scaled and blended at alpha 128 onto 800 x 600,
// for every pair that FillTexturedQuad serves, in destination pixels a second.
#include "bench/bench_support.h"
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kPolygon;

// The number of pixels the quad covers, counted once by an opaque drawing.
int64_t CoveredPixels(DDSurface& sprite, int32_t angle, int32_t scale) {
  auto target = DDSurface::Make(bench::kWidth, bench::kHeight, F::Bgrx32);
  auto white = DDSurface::Make(256, 256, F::Bgrx32);
  const PixelBuffer& w = white->Buffer();
  std::memset(w.pixels, 0xFF, static_cast<size_t>(w.pitch) * 256);
  RotatedQuad quad;
  MakeRotatedQuad(sprite, 400, 300, angle, scale, scale, &quad);
  target->DrawPolygon(white.get(), quad.src, quad.dst, nullptr, 0, 4);
  int64_t n = 0;
  const PixelBuffer& t = target->Buffer();
  for (int32_t i = 0; i < bench::kWidth * bench::kHeight; ++i) n += t.pixels[i * 4] == 0xFF;
  return n;
}

bench::Case RotatedSprite(Pair pair) {
  auto sprite = bench::RandomSurface(pair.src, 256, 256, 3);
  constexpr int32_t kAngle = 37, kScale = 2 * 65536;
  return bench::Drawing(
      bench::RandomSurface(pair.dst),
      [sprite](DDSurface& dst) {
        DrawRotatedSprite(&dst, sprite.get(), 400, 300, kAngle, kScale, kScale, 128);
      },
      CoveredPixels(*sprite, kAngle, kScale));
}

const bool registered = [] {
  for (const Pair& p : kPairs) {
    const std::string name = std::string("DrawRotatedSprite/alpha128/") + PixelFormatName(p.src) + "_onto_" +
                             PixelFormatName(p.dst);
    bench::AddRow(name, [p] { return RotatedSprite(p); });
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
