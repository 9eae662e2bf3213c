// BltAlpha on 800 x 600 surfaces for every served pair, one to one and
// stretched, beside a memcpy of the same bytes.
#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kBlend;

void BM_BltAlpha(benchmark::State& state, Pair pair, bool stretched) {
  auto dst = bench::RandomSurface(pair.dst);
  auto src = bench::RandomSurface(pair.src, stretched ? 533 : bench::kWidth,
                                  stretched ? 400 : bench::kHeight, 2);
  const Size size{bench::kWidth, bench::kHeight};
  for (auto _ : state) {
    dst->BltAlpha(src.get(), 0, 0, 128, nullptr, stretched ? &size : nullptr, nullptr);
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, int64_t{bench::kWidth} * bench::kHeight);
}

const bool registered = [] {
  for (int bpp : {2, 3, 4}) {
    benchmark::RegisterBenchmark(("Memcpy/" + std::to_string(bpp) + "bytes").c_str(),
                                 bench::MemcpyYardstick, bpp);
  }
  for (const Pair& p : kPairs) {
    for (bool stretched : {false, true}) {
      const std::string name = std::string("BltAlpha/") + PixelFormatName(p.src) + "_onto_" +
                               PixelFormatName(p.dst) + (stretched ? "/stretched" : "/1to1");
      benchmark::RegisterBenchmark(name.c_str(), BM_BltAlpha, p, stretched);
    }
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
