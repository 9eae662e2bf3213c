// BltPattern: a translucent blit whose opacity comes, pixel by pixel, from a
// 16 x 16 table of opacity bytes laid over the source picture (anchored to
// source coordinates, repeated in both directions).
#include <type_traits>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/formats.h"

namespace pixelops {

namespace {

struct PatternValues {
  const uint8_t* pattern;  // 256 bytes, row-major
};

// The entry over source pixel (sx, sy).
inline uint32_t PatternEntry(const uint8_t* pattern, int32_t sx, int32_t sy) {
  return pattern[((static_cast<uint32_t>(sy) & 15) << 4) | (static_cast<uint32_t>(sx) & 15)];
}

// The rules' kernel op, and the pair's row kernel: it reads the pattern row
// over the source row from the source column on, so it runs one to one only.
constexpr kernels::Op kPatternOp = kernels::Op::Pattern;
template <class S, class D>
kernels::RowKernel PatternKernel(const PatternValues& v) {
  kernels::RowArgs args;
  args.table = v.pattern;
  return kernels::RowKernelFor<S, D>(kPatternOp, args, true);
}

// 16-bit colour destinations, 16 levels. Equal formats blend at entry >> 4 and
// leave a destination already equal to the source alone (the truncating level
// tables would darken it); an alpha source blends at P[entry][16 x alpha] >> 4.
template <class S, class D>
struct PatternWordRule {
  const BlendTables& t;
  const uint8_t* pattern;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kPatternOp;
  explicit PatternWordRule(const PatternValues& v)
      : t(Tables()), pattern(v.pattern), kernel(PatternKernel<S, D>(v)) {}
  void operator()(const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy) const {
    const uint32_t p = PatternEntry(pattern, sx, sy);
    const uint32_t sw = S::ColourWord(s), dw = D::ColourWord(d);
    uint32_t level;
    if constexpr (S::kHasAlpha) {
      level = exact::AlphaLevel(S::Alpha(s), p);
    } else {
      if (sw == dw) return;
      level = p >> 4;
    }
    D::SetColourWord(d, px::LevelBlend<typename D::Colour>(t, level, sw, dw));
  }
};

// 24- and 32-bit colour destinations: bytes 0-2 weighted at the entry, or at
// P[A][entry] for an alpha source; X is written 0.
template <class S, class D>
struct PatternWeightRule {
  const BlendTables& t;
  const uint8_t* pattern;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kPatternOp;
  explicit PatternWeightRule(const PatternValues& v)
      : t(Tables()), pattern(v.pattern), kernel(PatternKernel<S, D>(v)) {}
  void operator()(const uint8_t* source, uint8_t* d, int32_t sx, int32_t sy) const {
    const auto s = px::Hold<S>(source);  // read whole before the first store
    uint32_t w = PatternEntry(pattern, sx, sy);
    if constexpr (S::kHasAlpha) w = t.P(S::Alpha(s), w);
    d[0] = px::WeightChannel(t, w, s[0], d[0]);
    d[1] = px::WeightChannel(t, w, s[1], d[1]);
    d[2] = px::WeightChannel(t, w, s[2], d[2]);
    if constexpr (D::kKind == px::Kind::Bytes32X) d[3] = 0;
  }
};

using V = PatternValues;

// Colour words take the 16 levels, bytes the weights.
template <class S, class D>
using PatternRule = std::conditional_t<px::kIsWord16<D>, PatternWordRule<S, D>, PatternWeightRule<S, D>>;

constexpr auto& kPatternPairs = ServeSet<format_pairs::kPattern, PatternRule, V>;

}  // namespace

BlitResult DDSurface::BltPattern(DDSurface* src, int32_t x, int32_t y, const uint8_t* pattern,
                                 const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  // No pattern: nothing to draw with, answered like a missing source.
  if (pattern == nullptr) return kBlitLockRefused;
  // Different formats without a routine answer 1; equal ones (the alpha
  // formats, Index8) draw nothing and answer 0.
  return RunBlend(*this, src, kPatternPairs, V{pattern}, Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitLockRefused, kBlitDone});
}

}  // namespace pixelops
