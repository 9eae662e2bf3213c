// BltAlpha on 800 x 600 surfaces for every served pair, one to one and
// stretched, beside a memcpy of the same bytes.
#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kBlend;

bench::Case BltAlpha(Pair pair, bool stretched) {
  auto src =
      bench::RandomSurface(pair.src, stretched ? 533 : bench::kWidth, stretched ? 400 : bench::kHeight, 2);
  return bench::Drawing(bench::RandomSurface(pair.dst), [src, stretched](DDSurface& dst) {
    const Size size{bench::kWidth, bench::kHeight};
    dst.BltAlpha(src.get(), 0, 0, 128, nullptr, stretched ? &size : nullptr, nullptr);
  });
}

const bool registered = [] {
  for (int bpp : {2, 3, 4}) {
    benchmark::RegisterBenchmark(("Memcpy/" + std::to_string(bpp) + "bytes").c_str(), bench::MemcpyYardstick,
                                 bpp);
  }
  for (const Pair& p : kPairs) {
    for (bool stretched : {false, true}) {
      const std::string name = std::string("BltAlpha/") + PixelFormatName(p.src) + "_onto_" +
                               PixelFormatName(p.dst) + (stretched ? "/stretched" : "/1to1");
      bench::AddRow(name, [p, stretched] { return BltAlpha(p, stretched); });
    }
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
