// The two-level blend, its keyed form, the alpha from a mask, the colour copy
// keeping alpha and the pattern blit on 800 x 600 surfaces, for the pairs of
// their sets onto a few representative destinations, one to one (and the two-level blend stretched too).
#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

// The pairs of an operation's set drawn onto the given destinations.
template <size_t N>
std::vector<FormatPair> Onto(const std::array<FormatPair, N>& set,
                             std::initializer_list<PixelFormat> destinations) {
  std::vector<FormatPair> pairs;
  for (const FormatPair& p : set)
    for (PixelFormat d : destinations)
      if (p.dst == d) pairs.push_back(p);
  return pairs;
}

using Op = std::function<void(DDSurface& dst, DDSurface* src, const Size* size)>;

constexpr uint8_t kDither[256] = {
#define ROW(a, b, c, d) a, b, c, d, a, b, c, d, a, b, c, d, a, b, c, d
    ROW(0, 128, 32, 160), ROW(192, 64, 224, 96), ROW(48, 176, 16, 144), ROW(240, 112, 208, 80),
    ROW(0, 128, 32, 160), ROW(192, 64, 224, 96), ROW(48, 176, 16, 144), ROW(240, 112, 208, 80),
    ROW(0, 128, 32, 160), ROW(192, 64, 224, 96), ROW(48, 176, 16, 144), ROW(240, 112, 208, 80),
    ROW(0, 128, 32, 160), ROW(192, 64, 224, 96), ROW(48, 176, 16, 144), ROW(240, 112, 208, 80),
#undef ROW
};

bench::Case Run(Pair pair, bool stretched, const Op& op) {
  auto src =
      bench::RandomSurface(pair.src, stretched ? 533 : bench::kWidth, stretched ? 400 : bench::kHeight, 2);
  src->SetColorKey(0x00FF00FF);
  return bench::Drawing(bench::RandomSurface(pair.dst), [src, stretched, op](DDSurface& dst) {
    const Size size{bench::kWidth, bench::kHeight};
    op(dst, src.get(), stretched ? &size : nullptr);
  });
}

void Register(const char* name, const std::vector<Pair>& pairs, const Op& op, bool alsoStretched = false) {
  for (const Pair& p : pairs) {
    for (bool stretched : {false, true}) {
      if (stretched && !alsoStretched) continue;
      const std::string full = std::string(name) + "/" + PixelFormatName(p.src) + "_onto_" +
                               PixelFormatName(p.dst) + (stretched ? "/stretched" : "/1to1");
      bench::AddRow(full, [p, stretched, op] { return Run(p, stretched, op); });
    }
  }
}

const bool registered = [] {
  Register(
      "BltBlend", Onto(format_pairs::kBlend, {F::Rgb565, F::Bgr24, F::Bgrx32, F::Rgb565A, F::Bgra32}),
      [](DDSurface& d, DDSurface* s, const Size* size) {
        d.BltBlend(s, 0, 0, 160, 95, nullptr, size, nullptr);
      },
      true);
  Register("BltBlendKey", Onto(format_pairs::kBlend, {F::Rgb565, F::Bgr24, F::Bgrx32, F::Bgra32}),
           [](DDSurface& d, DDSurface* s, const Size* size) {
             d.BltBlendKey(s, 0, 0, 160, 95, nullptr, size, nullptr);
           });
  Register("AlphaFromMaskRamp", Onto(format_pairs::kMaskOntoAlpha, {F::Rgb565A, F::Bgra32}),
           [](DDSurface& d, DDSurface* s, const Size* size) {
             d.AlphaFromMaskRamp(s, 64, 192, 0, 255, 0, 0, nullptr, size, nullptr);
           });
  Register("BltColorKeepAlpha", Onto(format_pairs::kEqualAlpha, {F::Rgb565A, F::Bgra32}),
           [](DDSurface& d, DDSurface* s, const Size* size) {
             d.BltColorKeepAlpha(s, 0, 0, nullptr, size, nullptr);
           });
  Register("BltPattern", Onto(format_pairs::kPattern, {F::Rgb565, F::Bgr24, F::Bgrx32}),
           [](DDSurface& d, DDSurface* s, const Size* size) {
             d.BltPattern(s, 0, 0, kDither, nullptr, size, nullptr);
           });
  return true;
}();

}  // namespace

}  // namespace pixelops
