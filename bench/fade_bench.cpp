// DDSurface::Fade over a whole 800 x 600 surface of every format, and
// DrawFadedScreen as the title screens call it: a half-0 call and a half-1
// call at the same level, beside a memcpy of the same bytes.
#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>
#include <pixelops/faded_screen.h>
#include <pixelops/screen_transition.h>

namespace pixelops {

namespace {

constexpr auto& kFormats = format_pairs::kBlendedFormats;

// Level 255 keeps the colours as they are, so the surface stays random from
// one iteration to the next; the work done is the same at every level.
void BM_Fade(benchmark::State& state, PixelFormat f) {
  auto s = bench::RandomSurface(f);
  for (auto _ : state) {
    s->Fade(255, nullptr);
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, int64_t{bench::kWidth} * bench::kHeight);
}

// One pair of calls: two halves darkened, four full-screen copies.
void BM_DrawFadedScreenPair(benchmark::State& state, PixelFormat f) {
  ScreenTransition transition(f);
  auto target = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 2);
  auto picture = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 3);
  for (auto _ : state) {
    DrawFadedScreen(target.get(), &transition, picture.get(), 128, 0);
    DrawFadedScreen(target.get(), &transition, picture.get(), 128, 1);
    benchmark::ClobberMemory();
  }
  bench::CountPixels(state, int64_t{bench::kWidth} * bench::kHeight);
}

const bool registered = [] {
  for (PixelFormat f : kFormats) {
    benchmark::RegisterBenchmark((std::string("Fade/") + PixelFormatName(f)).c_str(), BM_Fade, f);
  }
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
    benchmark::RegisterBenchmark(
        (std::string("DrawFadedScreen/pair/") + PixelFormatName(f)).c_str(), BM_DrawFadedScreenPair,
        f);
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
