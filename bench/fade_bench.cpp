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
bench::Case Fade(PixelFormat f) {
  return bench::Drawing(bench::RandomSurface(f), [](DDSurface& s) { s.Fade(255, nullptr); });
}

// One pair of calls: two halves darkened, four full-screen copies. The
// transition's work images are written too.
bench::Case DrawFadedScreenPair(PixelFormat f) {
  auto transition = std::make_shared<ScreenTransition>(f);
  auto target = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 2);
  auto picture = bench::RandomSurface(f, bench::kWidth, bench::kHeight, 3);
  bench::Case c;
  c.run = [transition, target, picture] {
    DrawFadedScreen(target.get(), transition.get(), picture.get(), 128, 0);
    DrawFadedScreen(target.get(), transition.get(), picture.get(), 128, 1);
  };
  c.written = [transition, target] {
    std::vector<uint8_t> bytes;
    bench::AppendBytes(*target, bytes);
    for (int32_t slot = 0; slot < ScreenTransition::kBufferCount; ++slot)
      bench::AppendBytes(*transition->Buffer(slot), bytes);
    return bytes;
  };
  return c;
}

const bool registered = [] {
  for (PixelFormat f : kFormats) {
    bench::AddRow(std::string("Fade/") + PixelFormatName(f), [f] { return Fade(f); });
  }
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
    bench::AddRow(std::string("DrawFadedScreen/pair/") + PixelFormatName(f),
                  [f] { return DrawFadedScreenPair(f); });
  }
  return true;
}();

}  // namespace

}  // namespace pixelops
