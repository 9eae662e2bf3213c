// BltAlphaChannel: an alpha source weighted by its own alpha alone. Onto its
// colour format it is the alpha blit at full opacity (P[255][c] = c, so the
// level is the source's alpha level and the weight its alpha byte); onto its
// own alpha format it composites the source over the destination.
#include "graphics/pixel/alpha_channel_blit.h"

#include <array>
#include <type_traits>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

template <class F>
uint8_t* Over16(uint8_t* d, const uint8_t* source) {
  const auto s = px::Hold<F>(source);  // read whole before the first store
  const Over16Step& step = kOver16[F::Alpha(s)][F::Alpha(d)];
  d[F::kAlphaByte] = step.alpha;
  if (!step.mix) return d;
  const BlendTables& t = Tables();
  using C = typename F::Colour;
  F::SetColourWord(d, static_cast<uint16_t>(C::Level(t, step.ws, F::ColourWord(s)) +
                                            C::Level(t, step.wd, F::ColourWord(d))));
  return d;
}

// x x 255 / t for 0 <= x <= t <= 255 as a multiplication: with
// m = 2^24 / t + 1, (n x m) >> 24 is n / t for every n up to 2^24 / t.
constexpr auto kReciprocal = [] {
  std::array<uint32_t, 256> m{};
  for (uint32_t t = 1; t < 256; ++t) m[t] = (1u << 24) / t + 1;
  return m;
}();

constexpr uint32_t Times255Over(uint32_t x, uint32_t t) {
  return static_cast<uint32_t>((uint64_t{x} * 255 * kReciprocal[t]) >> 24);
}

constexpr bool ReciprocalIsExact() {
  for (uint32_t t = 1; t < 256; ++t)
    for (uint32_t x = 0; x <= t; ++x)
      if (Times255Over(x, t) != x * 255 / t) return false;
  return true;
}
static_assert(ReciprocalIsExact());

template <class S, class D>
struct OverStep {
  template <class V>
  explicit OverStep(const V&) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    if constexpr (px::kIsWord16Alpha<D>) {
      if constexpr (D::Colour::kIs565) OverPixel565A(d, s);
      else OverPixel555A(d, s);
    } else {
      OverPixel32A(d, s);
    }
  }
};

// A rule of this blit with the blit's row kernel for its pair, where the
// level in force has one (the opacity is always 255 here).
template <template <class, class> class Rule>
struct WithKernel {
  template <class S, class D>
  struct For : Rule<S, D> {
    static constexpr kernels::Op kKernelOp = kernels::Op::AlphaChannel;
    kernels::RowKernel kernel;
    template <class V>
    explicit For(const V& v) : Rule<S, D>(v), kernel(kernels::RowKernelFor<S, D>(kKernelOp, {})) {}
  };
};

using V = OpacityValues;

// Onto an alpha format the source goes over it; onto a colour format it is the
// alpha blit's rule at full opacity.
template <class S, class D>
using CompositeStep = std::conditional_t<D::kHasAlpha, OverStep<S, D>, translucent::OpacityRule<S, D>>;
template <class S, class D>
using CompositeRule = WithKernel<CompositeStep>::For<S, D>;

constexpr auto& kPairs = ServeSet<format_pairs::kAlphaComposite, CompositeRule, V>;

}  // namespace

uint8_t* OverPixel565A(uint8_t* dst, const uint8_t* src) { return Over16<px::Rgb565A>(dst, src); }

uint8_t* OverPixel555A(uint8_t* dst, const uint8_t* src) { return Over16<px::Rgb555A>(dst, src); }

uint8_t* OverPixel32A(uint8_t* dst, const uint8_t* source) {
  const auto src = px::Hold<px::Bgra32>(source);  // read whole before the first store
  const uint32_t sa = src[3];
  if (sa == 255) {  // opaque: ws = 255, wd = 0, the source's colour
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    dst[3] = 255;
    return dst;
  }
  if (sa == 0) {  // r = da = t: ws = 0, wd = 255, the colour stays
    if (dst[3] != 0) dst[3] = 255;
    return dst;
  }
  const BlendTables& t = Tables();
  const uint32_t left = t.P(dst[3], 255 - sa);  // the destination coverage the source leaves
  const uint32_t total = sa + left;             // 1..255
  const uint32_t ws = Times255Over(sa, total), wd = Times255Over(left, total);  // ws + wd <= 255
  for (int i = 0; i < 3; ++i) dst[i] = static_cast<uint8_t>(t.P(ws, src[i]) + t.P(wd, dst[i]));
  dst[3] = 255;
  return dst;
}

// Every other pair, equal formats without alpha included, is not served.
BlitResult DDSurface::BltAlphaChannel(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                      const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kPairs, V{255}, Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitPairNotServed, kBlitPairNotServed});
}

}  // namespace pixelops
