// Row kernels of the pattern blit (pattern_blit.cpp), compiled for every
// vector target of the build (see row_kernels.h). The pattern's entries
// weigh the source through the exact identities of exact_arithmetic-inl.h.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/pattern_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Pattern)
#else
namespace {

using rows::ForEachStep;
using rows::kMaxStep;
using rows::Pixels;

// The pattern row over source row sy from column sx on: entry k of the
// answer lies over source pixel sx + k, for k < kPatternRow, so that a step
// starting at pixel i reads its entries from wrow + (i & 15). The row is
// the pattern's row turned by sx, repeated.
constexpr size_t kPatternRow = 16 + 2 * kMaxStep;
HWY_INLINE void PatternRow(const uint8_t* pattern, int32_t sx, int32_t sy, uint8_t* wrow) {
  const uint8_t* row = pattern + ((static_cast<uint32_t>(sy) & 15) << 4);
  const uint32_t turn = static_cast<uint32_t>(sx) & 15;
  std::memcpy(wrow, row + turn, 16 - turn);
  std::memcpy(wrow + 16 - turn, row, turn);
  for (size_t k = 16; k < kPatternRow; k += 16) std::memcpy(wrow + k, wrow, 16);
}

// 24- and 32-bit destinations: colour bytes weighted at the entry, or at
// P[A][entry] for an alpha source; X written 0. SB, DB: bytes per pixel.
template <int SB, int DB, bool kAlphaSource>
void PatternWeightRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t sx,
                      int32_t sy) {
  alignas(64) uint8_t wrow[kPatternRow];
  PatternRow(args.table, sx, sy, wrow);
  if constexpr (DB == 4) {
    const D32 d32;
    const D8 d8;
    const D16 d16;
    const hn::Rebind<uint8_t, D32> dq;
    const V32 colour = hn::Set(d32, 0x00FFFFFFu);
    if constexpr (kAlphaSource) {
      // The entries as 32-bit lanes, once a row; w = P[entry][A] per pixel,
      // as its exact::FixedMultiplier in both 16-bit halves
      // (exact::SpreadFixedMultiplier); lanes of w = 255 take the source. Steps of
      // only clear sources leave the colour.
      const V8 lowSpread = exact::SpreadIndex<0>(d8);
      alignas(64) uint32_t erow[kPatternRow];
      for (size_t k = 0; k < 16 + hn::Lanes(d32); k += hn::Lanes(d32))
        hn::Store(hn::PromoteTo(d32, hn::LoadU(dq, wrow + k)), d32, erow + k);
      const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V32 colour, V8 lowSpread) HWY_ATTR {
        const V32 sv = rows::LoadU(d32, sp);
        const V32 dv = rows::LoadU(d32, dp);
        if (hn::AllFalse(d32, hn::Gt(sv, colour))) {
          rows::StoreU(hn::And(dv, colour), d32, dp);
          return;
        }
        // entry x A < 2^16: formed in the low 16-bit half of each lane (the
        // high halves give 0), w spread to the lane's bytes by a shuffle.
        const V16 product = hn::Mul(hn::BitCast(d16, hn::LoadU(d32, erow + (i & 15))),
                                    hn::BitCast(d16, hn::ShiftRight<24>(sv)));
        const V32 w = hn::BitCast(d32, exact::Div255(product));
        const V16 m = exact::SpreadFixedMultiplier(d8, w, lowSpread);
        const V8 mixed =
            blend::WeightBytes(d8, blend::FixedWeight{}, m, hn::BitCast(d8, sv), hn::BitCast(d8, dv));
        const V32 out = hn::IfThenElse(hn::Eq(w, hn::Set(d32, 255)), sv, hn::BitCast(d32, mixed));
        rows::StoreU(hn::And(out, colour), d32, dp);
      };
      ForEachStep<SB, 4>(s, d, Pixels(width), hn::Lanes(d32), step, colour, lowSpread);
    } else {
      // The exact::FixedMultiplier of each entry in both 16-bit halves, once
      // a row; an entry of 255 wraps to 0 and takes the source.
      alignas(64) uint32_t mrow[kPatternRow];
      for (size_t k = 0; k < 16 + hn::Lanes(d32); k += hn::Lanes(d32)) {
        const V32 e = hn::PromoteTo(d32, hn::LoadU(dq, wrow + k));
        const V32 half = hn::And(exact::FixedMultiplier(e), hn::Set(d32, 0xFFFF));
        hn::Store(hn::Or(half, hn::ShiftLeft<16>(half)), d32, mrow + k);
      }
      const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V32 colour) HWY_ATTR {
        const V32 sv = rows::LoadU(d32, sp);
        const V32 m = hn::LoadU(d32, mrow + (i & 15));
        const V8 mixed = blend::WeightBytes(d8, blend::FixedWeight{}, hn::BitCast(d16, m),
                                            hn::BitCast(d8, sv), hn::LoadU(d8, dp));
        const V32 out = hn::IfThenElse(hn::Eq(m, hn::Zero(d32)), sv, hn::BitCast(d32, mixed));
        rows::StoreU(hn::And(out, colour), d32, dp);
      };
      ForEachStep<SB, 4>(s, d, Pixels(width), hn::Lanes(d32), step, colour);
    }
  } else {
    const D8 d8;
    ForEachStep<SB, 3>(s, d, Pixels(width), hn::Lanes(d8),
                       [&](const uint8_t* sp, uint8_t* dp, size_t i) HWY_ATTR {
                         V8 s0, s1, s2, d0, d1, d2;
                         V8 w = hn::LoadU(d8, wrow + (i & 15));
                         if constexpr (SB == 4) {
                           V8 a;
                           hn::LoadInterleaved4(d8, sp, s0, s1, s2, a);
                           w = blend::ProductBytes(d8, blend::ByteWeight{}, a, w);
                         } else {
                           hn::LoadInterleaved3(d8, sp, s0, s1, s2);
                         }
                         hn::LoadInterleaved3(d8, dp, d0, d1, d2);
                         const blend::ByteWeight byte;
                         hn::StoreInterleaved3(blend::WeightBytes(d8, byte, w, s0, d0),
                                               blend::WeightBytes(d8, byte, w, s1, d1),
                                               blend::WeightBytes(d8, byte, w, s2, d2), d8, dp);
                       });
  }
}

// 16-bit colour destinations. Equal formats blend at entry >> 4 and leave a
// destination equal to the source alone; an alpha source blends at
// P[entry][16 x alpha] >> 4.
template <bool k565, bool kAlphaSource>
void PatternWordRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t sx,
                    int32_t sy) {
  alignas(64) uint8_t wrow[kPatternRow];
  PatternRow(args.table, sx, sy, wrow);
  const D16 d16;
  const hn::Rebind<uint8_t, D16> dh;
  // 555 words lose bit 15 in every blend; at level 0 the blend is the
  // destination word, at 15 the source word, so masked.
  const V16 kept = hn::Set(d16, k565 ? 0xFFFF : 0x7FFF);
  if constexpr (kAlphaSource) {
    // The entries as 16-bit lanes, once a row.
    alignas(64) uint16_t erow[kPatternRow];
    for (size_t k = 0; k < 16 + hn::Lanes(d16); k += hn::Lanes(d16))
      hn::Store(hn::PromoteTo(d16, hn::LoadU(dh, wrow + k)), d16, erow + k);
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V16 kept) HWY_ATTR {
      V16 sw, alphaPad;
      exact::LoadWordAlpha(d16, sp, sw, alphaPad);
      const V16 dw = rows::LoadU(d16, dp);
      const V16 alpha = hn::And(alphaPad, hn::Set(d16, 15));
      if (hn::AllTrue(d16, hn::Eq(alpha, hn::Zero(d16)))) {  // every level 0
        if (!k565) rows::StoreU(hn::And(dw, kept), d16, dp);
        return;
      }
      // P[entry][16 A] >> 4, the alpha's level at the entry.
      const V16 level = exact::AlphaLevel(alpha, hn::LoadU(d16, erow + (i & 15)));
      rows::StoreU(blend::LevelBlend<k565>(sw, dw, level), d16, dp);
    };
    ForEachStep<4, 2>(s, d, Pixels(width), hn::Lanes(d16), step, kept);
  } else {
    // The LevelWord multipliers of level entry >> 4 and of 15 less that
    // level, once a row.
    alignas(64) uint16_t msrc[kPatternRow], mdst[kPatternRow];
    for (size_t k = 0; k < 16 + hn::Lanes(d16); k += hn::Lanes(d16)) {
      const V16 m = exact::LevelMultiplier(hn::ShiftRight<4>(hn::PromoteTo(d16, hn::LoadU(dh, wrow + k))));
      hn::Store(m, d16, msrc + k);
      hn::Store(hn::Sub(hn::Set(d16, static_cast<uint16_t>(pixelops::exact::LevelMultiplier(15))), m), d16,
                mdst + k);
    }
    ForEachStep<2, 2>(
        s, d, Pixels(width), hn::Lanes(d16), [&](const uint8_t* sp, uint8_t* dp, size_t i) HWY_ATTR {
          const V16 sw = rows::LoadU(d16, sp);
          const V16 dw = rows::LoadU(d16, dp);
          const V16 mixed = hn::Add(blend::LevelWord<k565>(sw, hn::LoadU(d16, msrc + (i & 15))),
                                    blend::LevelWord<k565>(dw, hn::LoadU(d16, mdst + (i & 15))));
          rows::StoreU(hn::IfThenElse(hn::Eq(sw, dw), dw, mixed), d16, dp);
        });
  }
}

void SetKernels(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::Pattern, F::Rgb565, F::Rgb565, &PatternWordRow<true, false>);
  t.Set(Op::Pattern, F::Rgb555, F::Rgb555, &PatternWordRow<false, false>);
  t.Set(Op::Pattern, F::Rgb565A, F::Rgb565, &PatternWordRow<true, true>);
  t.Set(Op::Pattern, F::Rgb555A, F::Rgb555, &PatternWordRow<false, true>);
  t.Set(Op::Pattern, F::Bgr24, F::Bgr24, &PatternWeightRow<3, 3, false>);
  t.Set(Op::Pattern, F::Rgb24, F::Rgb24, &PatternWeightRow<3, 3, false>);
  t.Set(Op::Pattern, F::Bgrx32, F::Bgrx32, &PatternWeightRow<4, 4, false>);
  t.Set(Op::Pattern, F::Rgbx32, F::Rgbx32, &PatternWeightRow<4, 4, false>);
  t.Set(Op::Pattern, F::Bgra32, F::Bgr24, &PatternWeightRow<4, 3, true>);
  t.Set(Op::Pattern, F::Rgba32, F::Rgb24, &PatternWeightRow<4, 3, true>);
  t.Set(Op::Pattern, F::Bgra32, F::Bgrx32, &PatternWeightRow<4, 4, true>);
  t.Set(Op::Pattern, F::Rgba32, F::Rgbx32, &PatternWeightRow<4, 4, true>);
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Pattern)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Pattern)
#endif
