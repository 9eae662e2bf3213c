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
bench::Surface KeyedSource(PixelFormat f) {
  auto s = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 2);
  s->SetColorKey(0x00FF00FF);
  const uint32_t key = s->GetColorKey();
  const PixelBuffer& b = s->Buffer();
  const int32_t bpp = BytesPerPixel(f);
  const int32_t compared = bpp == 4 && (f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A) ? 2
                           : bpp == 4 && (f == PixelFormat::Bgra32 || f == PixelFormat::Rgba32) ? 3
                                                                                                : bpp;
  for (int32_t y = 0; y < bench::kHeight; ++y)
    for (int32_t x = (y & 3); x < bench::kWidth; x += 4)
      std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * bpp, &key, compared);
  return s;
}

bench::Case BltTranslucentKey(Pair pair) {
  auto src = KeyedSource(pair.src);
  return bench::Drawing(bench::RandomSurface(pair.dst), [src](DDSurface& dst) {
    dst.BltTranslucentKey(src.get(), 0, 0, 128, nullptr, nullptr, nullptr);
  });
}

// Source over changes the alphas it meets: every call starts from the same
// destination, put back untimed.
bench::Case BltAlphaChannel(Pair pair) {
  auto src = bench::RandomSurface(pair.src, bench::kWidth, bench::kHeight, 2);
  auto fresh = bench::RandomSurface(pair.dst);
  auto dst = bench::RandomSurface(pair.dst);
  bench::Case c = bench::Drawing(
      dst, [src](DDSurface& d) { d.BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr); });
  c.reset = [dst, fresh] { dst->Blt(fresh.get(), 0, 0); };
  return c;
}

const bool registered = [] {
  for (const Pair& p : kKeyedPairs) {
    const std::string name = std::string("BltTranslucentKey/") + PixelFormatName(p.src) + "_onto_" +
                             PixelFormatName(p.dst) + "/1to1";
    bench::AddRow(name, [p] { return BltTranslucentKey(p); });
  }
  for (const Pair& p : kAlphaChannelPairs) {
    const std::string name = std::string("BltAlphaChannel/") + PixelFormatName(p.src) + "_onto_" +
                             PixelFormatName(p.dst) + "/1to1";
    bench::AddRow(name, [p] { return BltAlphaChannel(p); });
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
