// Registers a benchmark per served pair of an additive or subtractive blit on
// 800 x 600 surfaces, one to one and stretched. The source carries the key
// colour on about a quarter of its pixels, so that keyed forms skip some.
#pragma once

#include <functional>
#include <string>

#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace satbench {

using Blit = std::function<BlitResult(DDSurface& dst, DDSurface* src, const Size* size)>;

using Pair = FormatPair;

inline constexpr auto& kPairs = format_pairs::kBlend;

inline void PlantKey(DDSurface& s) {
  s.SetColorKey(0x00FF00FF);
  const uint32_t key = s.GetColorKey();
  const PixelBuffer& b = s.Buffer();
  const int32_t bpp = BytesPerPixel(s.Format());
  const PixelFormat f = s.Format();
  const bool word = f == PixelFormat::Rgb565 || f == PixelFormat::Rgb555 || f == PixelFormat::Rgb565A ||
                    f == PixelFormat::Rgb555A;
  const bool wholeWord = f == PixelFormat::Bgrx32 || f == PixelFormat::Rgbx32;
  const int32_t n = word ? 2 : wholeWord ? 4 : 3;  // the bytes the key test compares
  for (int32_t y = 0; y < b.bounds.bottom; ++y)
    for (int32_t x = (y * 7) % 4; x < b.bounds.right; x += 4)
      std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * bpp, &key, n);
}

inline void Register(const std::string& op, const Blit& blit) {
  for (const Pair& p : kPairs) {
    for (const bool stretched : {false, true}) {
      const std::string name = op + "/" + PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst) +
                               (stretched ? "/stretched" : "/1to1");
      bench::AddRow(name, [p, blit, stretched] {
        auto src =
            bench::RandomSurface(p.src, stretched ? 533 : bench::kWidth, stretched ? 400 : bench::kHeight, 2);
        PlantKey(*src);
        return bench::Drawing(bench::RandomSurface(p.dst), [src, blit, stretched](DDSurface& dst) {
          const Size size{bench::kWidth, bench::kHeight};
          blit(dst, src.get(), stretched ? &size : nullptr);
        });
      });
    }
  }
}

}  // namespace satbench

}  // namespace pixelops
