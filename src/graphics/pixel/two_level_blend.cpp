// BltBlend: the two-level blend of a source onto the destination. BltBlendKey:
// the same for every source pixel that is not the source's colour key.
#include "graphics/pixel/two_level_blend.h"

#include <type_traits>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/row_kernels.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

struct TwoLevelValues {
  uint32_t a;  // source level, low byte counts
  uint32_t b;  // destination level, low byte counts
};

struct KeyedTwoLevelValues {
  uint32_t key = 0;
  uint32_t a;
  uint32_t b;
};

// Bytes 0-2: P[ws][s_i] + P[wd][d_i], modulo 256. The source bytes are all
// read before the first store.
inline void MixBytes(const BlendTables& t, uint32_t ws, uint32_t wd, const uint8_t* s, uint8_t* d) {
  const uint8_t s0 = s[0], s1 = s[1], s2 = s[2];
  d[0] = static_cast<uint8_t>(t.P(ws, s0) + t.P(wd, d[0]));
  d[1] = static_cast<uint8_t>(t.P(ws, s1) + t.P(wd, d[1]));
  d[2] = static_cast<uint8_t>(t.P(ws, s2) + t.P(wd, d[2]));
}

// Two colour words mixed channel by channel: each channel widened to a byte,
// P[ws][s] + P[wd][d] modulo 256, narrowed back.
template <class C>
inline uint16_t MixChannels(const BlendTables& t, uint32_t ws, uint32_t wd, uint32_t sw, uint32_t dw) {
  const px::Channels sc = C::Widen(sw), dc = C::Widen(dw);
  return C::Narrow(static_cast<uint8_t>(t.P(ws, sc.r) + t.P(wd, dc.r)),
                   static_cast<uint8_t>(t.P(ws, sc.g) + t.P(wd, dc.g)),
                   static_cast<uint8_t>(t.P(ws, sc.b) + t.P(wd, dc.b)));
}

// Two colour words at 16 levels: T[ls][s] + T[ld][d] as a 16-bit sum. Levels
// adding up past 15 carry from one channel into the next.
template <class C>
inline uint16_t MixLevels(const BlendTables& t, uint32_t ls, uint32_t ld, uint32_t sw, uint32_t dw) {
  return static_cast<uint16_t>(C::Level(t, ls, sw) + C::Level(t, ld, dw));
}

template <class F>
inline void BlendPixel16A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  const uint32_t ws = t.P(F::Alpha(s) * 16, a & 0xFF);
  const uint32_t wd = t.P(F::Alpha(d) * 16, b & 0xFF);
  F::SetColourWord(d, MixChannels<typename F::Colour>(t, ws, wd, F::ColourWord(s), F::ColourWord(d)));
}

}  // namespace

void BlendPixelAlphaTo24(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  // The destination weight is P[255][b], which is b.
  MixBytes(t, t.P(s[3], a & 0xFF), b & 0xFF, s, d);
}

void BlendPixelAlphaTo32(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  MixBytes(t, t.P(s[3], a & 0xFF), b & 0xFF, s, d);
  d[3] = 0;
}

void BlendPixel565A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  BlendPixel16A<px::Rgb565A>(d, s, a, b, t);
}

void BlendPixel555A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  BlendPixel16A<px::Rgb555A>(d, s, a, b, t);
}

void BlendPixel32A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t) {
  MixBytes(t, t.P(s[3], a & 0xFF), t.P(d[3], b & 0xFF), s, d);
  d[3] = 255;
}

namespace {

// The kernel op of the two-level rules, and their kernel: whole rows at
// levels a and b.
constexpr kernels::Op kTwoLevelOp = kernels::Op::TwoLevel;
template <class S, class D, class V>
kernels::RowKernel TwoLevelKernel(const V& v) {
  return kernels::RowKernelFor<S, D>(kTwoLevelOp,
                                     kernels::RowArgs{.level = v.a & 0xFF, .destLevel = v.b & 0xFF});
}

// 16-bit colour destinations. Equal formats take the levels a >> 4 and b >> 4;
// an alpha source takes P[a][16 x alpha] >> 4, and the destination then takes
// P[b][240] >> 4 whatever the source's alpha.
template <class S, class D>
struct WordRule {
  const BlendTables& t;
  uint32_t ld;
  uint8_t levelOf[16];  // the source level by source alpha (one entry without alpha)
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kTwoLevelOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TwoLevelKeyed;
  template <class V>
  explicit WordRule(const V& v)
      : t(Tables()),
        ld(S::kHasAlpha ? exact::AlphaLevel(15, v.b & 0xFF) : (v.b & 0xFF) >> 4),
        kernel(TwoLevelKernel<S, D>(v)) {
    for (uint32_t alpha = 0; alpha < 16; ++alpha)
      levelOf[alpha] = S::kHasAlpha ? exact::AlphaLevel(alpha, v.a & 0xFF) : (v.a & 0xFF) >> 4;
  }
  void operator()(const uint8_t* s, uint8_t* d) const {
    uint32_t level = levelOf[0];
    if constexpr (S::kHasAlpha) level = levelOf[S::Alpha(s)];
    D::SetColourWord(d, MixLevels<typename D::Colour>(t, level, ld, S::ColourWord(s), D::ColourWord(d)));
  }
};

// Equal 24- and 32-bit colour formats: bytes 0-2 at the full levels a and b;
// X is written 0.
template <class S, class D>
struct ByteRule {
  const BlendTables& t;
  uint32_t a, b;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kTwoLevelOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TwoLevelKeyed;
  template <class V>
  explicit ByteRule(const V& v)
      : t(Tables()), a(v.a & 0xFF), b(v.b & 0xFF), kernel(TwoLevelKernel<S, D>(v)) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    MixBytes(t, a, b, s, d);
    if constexpr (D::kKind == px::Kind::Bytes32X) d[3] = 0;
  }
};

// Alpha sources onto 24- and 32-bit colour formats and onto their own format:
// the named pixel routines.
template <class S, class D>
struct AlphaSourceRule {
  const BlendTables& t;
  uint32_t a, b;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kTwoLevelOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TwoLevelKeyed;
  template <class V>
  explicit AlphaSourceRule(const V& v)
      : t(Tables()), a(v.a & 0xFF), b(v.b & 0xFF), kernel(TwoLevelKernel<S, D>(v)) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    if constexpr (D::kKind == px::Kind::Bytes24) BlendPixelAlphaTo24(d, s, a, b, t);
    else if constexpr (D::kKind == px::Kind::Bytes32X) BlendPixelAlphaTo32(d, s, a, b, t);
    else if constexpr (D::kKind == px::Kind::Bytes32Alpha) BlendPixel32A(d, s, a, b, t);
    else if constexpr (D::Colour::kIs565) BlendPixel565A(d, s, a, b, t);
    else BlendPixel555A(d, s, a, b, t);
  }
};

// The rule of each pair: colour-word destinations the level blend, equal 24-
// and 32-bit colour formats the byte mix, alpha sources onto the others the
// alpha source routines.
template <class S, class D>
using TwoLevelRule =
    std::conditional_t<px::kIsWord16<D>, WordRule<S, D>,
                       std::conditional_t<S::kHasAlpha, AlphaSourceRule<S, D>, ByteRule<S, D>>>;

template <class V, template <class, class> class Rule>
constexpr auto& kPairs = ServeSet<format_pairs::kBlend, Rule, V>;

}  // namespace

BlitResult DDSurface::BltBlend(DDSurface* src, int32_t x, int32_t y, int32_t a, int32_t b,
                               const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kPairs<TwoLevelValues, TwoLevelRule>,
                  TwoLevelValues{static_cast<uint32_t>(a) & 0xFF, static_cast<uint32_t>(b) & 0xFF},
                  Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltBlendKey(DDSurface* src, int32_t x, int32_t y, int32_t a, int32_t b,
                                  const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kPairs<KeyedTwoLevelValues, KeyedRule<TwoLevelRule>::For>,
                  KeyedTwoLevelValues{0, static_cast<uint32_t>(a) & 0xFF, static_cast<uint32_t>(b) & 0xFF},
                  Placement{x, y, srcRect, dstSize, clip});
}

}  // namespace pixelops
