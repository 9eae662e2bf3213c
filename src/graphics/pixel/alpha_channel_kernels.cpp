// Row kernels of the alpha-channel blit, the pattern blit, the colour copy
// keeping alpha, the alpha from a mask and the fade, compiled for every
// vector target of the build (see row_kernels.h).
//
// The tables of the per-pixel rules become exact integer arithmetic in lanes:
//   P[a][c] = a x c / 255          Div255(a x c), a x c <= 65025
//   D[w][s - d] added to d         d + trunc((s - d) x w / 255), by magnitude
//   L565 / L555 at level L         each channel c x L / 15 = high half of 2c x 2185 L
//   P[w][c] for w < 255            high half of c x (257 w + 1) in 16 bits
//   ramp[x], x a byte              byte shuffles of the ramp's 16-entry pieces
// (the shared forms of blend_arithmetic-inl.h)
// and the weights of the source-over blends, quotients x x 255 / t and
// x x 15 / t of the two alphas, come from a float division floored exactly
// (32-bit alpha, see OverMultipliers) or a table of the 256 level pairs
// (16-bit alpha). The test of this family proves every formula against
// the tables over its whole domain.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/alpha_channel_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>
#include <type_traits>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// One lane cannot hold the packed forms; the scalar level has no kernels.
void RegisterAll(KernelTable&) {}
#else

using DI32 = hn::ScalableTag<int32_t>;
using DF32 = hn::ScalableTag<float>;

// ---------------------------------------------------------------- row walk

using rows::ForEachStep;
using rows::kMaxStep;
using rows::Pixels;

// ---------------------------------------------------------------- arithmetic

using blend::LevelMultiplier;

// d + D[w][s - d] on every byte, each byte weighted by its own byte of w.
HWY_INLINE V8 WeighBytes(V8 s, V8 d, V8 w) {
  const D8 d8;
  return blend::WeightBytes(d8, blend::ByteWeight{}, w, s, d);
}

// ---------------------------------------------------------------- BltAlphaChannel

// P[w][c] = floor(c x w / 255) for w < 255 is one high half of a 16-bit
// product: floor(c x (257 w + 1) / 2^16) (the test of this family runs every
// c and w). A 32-bit lane's weight w becomes that multiplier in both its
// 16-bit halves by spreading w to the lane's four bytes (w x 0x01010101) and
// adding 1 to each half. At w = 255 the halves wrap to 0, so lanes of weight
// 255 must be taken from elsewhere.

// The byte indices that copy byte 3 (or byte 0) of each 32-bit lane to its
// four bytes.
HWY_INLINE V8 AlphaSpreadIndex() {
  const D8 d8;
  return hn::Or(hn::And(hn::Iota(d8, 0), hn::Set(d8, 12)), hn::Set(d8, 3));
}
HWY_INLINE V8 LowSpreadIndex() {
  const D8 d8;
  return hn::And(hn::Iota(d8, 0), hn::Set(d8, 12));
}

// Each 32-bit lane's byte a (3 or 0, by index) in its four bytes
// (a x 0x01010101), seen as 16-bit lanes: 257 a in both halves.
HWY_INLINE V16 SpreadAlpha(V32 v, V8 index) {
  return hn::BitCast(D16(), hn::TableLookupBytes(hn::BitCast(D8(), v), index));
}

// The product multipliers (257 w + 1 in both 16-bit halves of each lane) of
// wa = floor(a x 255 / t) and wb = floor(b x 255 / t), t = a + b,
// 0 <= a, b <= 255, 1 <= t <= 255 (other lanes give garbage). The quotients
// are x times 255 / t, one float division correctly rounded: with the
// roundings of the product and the sum (fused or not), each
// q = x x (255 / t) + 1 / 512 - 1 / 2 lies within 255 x 2^-22 < 1 / 4096 of
// quotient + 1 / 512 - 1 / 2. A quotient that is not an integer lies at least
// 1 / t >= 1 / 255 from the integers around it, so q rounds to the floor of
// the quotient, never to a tie: adding 1.5 x 2^23 does that rounding (floats
// there are the integers) and leaves the floor in the low mantissa byte,
// which is spread like an alpha.
HWY_INLINE void OverMultipliers(V32 a, V32 b, V8 lowSpread, V16& ma, V16& mb) {
  const DI32 di;
  const DF32 df;
  const auto af = hn::ConvertTo(df, hn::BitCast(di, a)), bf = hn::ConvertTo(df, hn::BitCast(di, b));
  const auto tf = hn::Add(af, bf);
  const auto r255 = hn::Div(hn::Set(df, 255.0f), tf);
  const auto shift = hn::Set(df, 1.0f / 512 - 0.5f), round = hn::Set(df, 12582912.0f);
  const auto qa = hn::Add(hn::MulAdd(af, r255, shift), round);
  const auto qb = hn::Add(hn::MulAdd(bf, r255, shift), round);
  const V16 one = hn::Set(D16(), 1);
  ma = hn::Add(SpreadAlpha(hn::BitCast(D32(), qa), lowSpread), one);
  mb = hn::Add(SpreadAlpha(hn::BitCast(D32(), qb), lowSpread), one);
}

// Bgra32 -> Bgrx32, Rgba32 -> Rgbx32: bytes 0-2 weighted by the source's
// alpha w, X written 0. d + D[w][s - d] is d plus or minus P[w][|s - d|]
// (the truncation is towards zero), taken from the source where w = 255.
// Steps of only opaque sources are the source's colour; steps of only clear
// sources leave the colour and are stored only if an X byte was not 0.
void AlphaWeight32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 spread) {
    uint32_t* dw = reinterpret_cast<uint32_t*>(dp);
    const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    const V32 dv = hn::LoadU(d32, dw);  // early: storing fetches the line anyway
    const V32 colour = hn::Set(d32, 0x00FFFFFFu);
    const auto opaque = hn::Gt(sv, hn::Set(d32, 0xFEFFFFFFu));
    if (hn::AllTrue(d32, opaque)) {
      hn::StoreU(hn::And(sv, colour), d32, dw);
      return;
    }
    if (hn::AllFalse(d32, hn::Gt(sv, colour))) {
      if (!hn::AllFalse(d32, hn::Gt(dv, colour))) hn::StoreU(hn::And(dv, colour), d32, dw);
      return;
    }
    const V8 s8 = hn::BitCast(d8, sv), d8v = hn::BitCast(d8, dv);
    const V8 up = hn::SaturatedSub(s8, d8v), down = hn::SaturatedSub(d8v, s8);
    const V16 multiplier = hn::Add(SpreadAlpha(sv, spread), hn::Set(D16(), 1));  // 257 w + 1
    const V8 q = blend::ProductBytes(d8, blend::FixedWeight{}, multiplier, hn::Or(up, down));
    const V8 mixed = hn::IfThenElse(hn::Eq(up, hn::Zero(d8)), hn::Sub(d8v, q), hn::Add(d8v, q));
    hn::StoreU(hn::And(hn::IfThenElse(opaque, sv, hn::BitCast(d32, mixed)), colour), d32, dw);
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, AlphaSpreadIndex());
}

// Bgra32 -> Bgr24, Rgba32 -> Rgb24.
void AlphaWeight24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D8 d8;
  ForEachStep<4, 3>(s, d, Pixels(width), hn::Lanes(d8), [&](const uint8_t* sp, uint8_t* dp, size_t) {
    V8 s0, s1, s2, a, d0, d1, d2;
    hn::LoadInterleaved4(d8, sp, s0, s1, s2, a);
    hn::LoadInterleaved3(d8, dp, d0, d1, d2);
    hn::StoreInterleaved3(WeighBytes(s0, d0, a), WeighBytes(s1, d1, a), WeighBytes(s2, d2, a), d8, dp);
  });
}

// The colour words and the alpha-and-pad halves of 2 x N16 / 2 pixels of a
// 16-bit alpha format, one pixel per 16-bit lane.
HWY_INLINE void LoadWordAlpha(const uint8_t* p, V16& words, V16& alphaPad) {
  const D16 d16;
  const V16 lo = hn::LoadU(d16, reinterpret_cast<const uint16_t*>(p));
  const V16 hi = hn::LoadU(d16, reinterpret_cast<const uint16_t*>(p) + hn::Lanes(d16));
  words = hn::ConcatEven(d16, hi, lo);
  alphaPad = hn::ConcatOdd(d16, hi, lo);
}

// Rgb565A -> Rgb565, Rgb555A -> Rgb555: the level is the source's alpha level.
template <bool k565>
void AlphaLevelRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D16 d16;
  ForEachStep<4, 2>(s, d, Pixels(width), hn::Lanes(d16), [&](const uint8_t* sp, uint8_t* dp, size_t) {
    V16 words, alphaPad;
    LoadWordAlpha(sp, words, alphaPad);
    uint16_t* p = reinterpret_cast<uint16_t*>(dp);
    const V16 dw = hn::LoadU(d16, p);
    const V16 level = hn::And(alphaPad, hn::Set(d16, 15));
    // Level 0 gives the destination word, 15 the source word (555: both
    // without bit 15).
    const V16 kept = hn::Set(d16, k565 ? 0xFFFF : 0x7FFF);
    if (hn::AllTrue(d16, hn::Eq(level, hn::Zero(d16)))) {
      if (!k565) hn::StoreU(hn::And(dw, kept), d16, p);
      return;
    }
    if (hn::AllTrue(d16, hn::Eq(level, hn::Set(d16, 15)))) {
      hn::StoreU(hn::And(words, kept), d16, p);
      return;
    }
    hn::StoreU(blend::LevelBlend<k565>(words, dw, level), d16, p);
  });
}

// Bgra32 onto Bgra32, Rgba32 onto Rgba32: source over an alpha destination.
// left = P[da][255 - sa], t = sa + left; unless t is 0 (the pixel stays),
// each colour byte becomes P[ws][s] + P[wd][d] with ws = sa x 255 / t and
// wd = left x 255 / t, and the alpha 255. A weight of 255 leaves the other
// 0 (ws + wd <= 255): the pixel is the source's or the destination's colour
// at alpha 255. Steps of only opaque sources are the source; steps of only
// clear sources set the alpha of the pixels whose alpha is not 0 to 255 and
// are stored only if that changed a pixel; steps whose destination alphas are
// all 0 or 255 need no division; the others divide in float
// (OverMultipliers).
void Over32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 spread, V8 lowSpread) {
    uint32_t* dw = reinterpret_cast<uint32_t*>(dp);
    const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    const V32 dv = hn::LoadU(d32, dw);  // early: storing fetches the line anyway
    const V32 opaque = hn::Set(d32, 0xFF000000u), colour = hn::Set(d32, 0x00FFFFFFu);
    if (hn::AllTrue(d32, hn::Gt(sv, hn::Set(d32, 0xFEFFFFFFu)))) {
      hn::StoreU(sv, d32, dw);
      return;
    }
    const V32 sa = hn::ShiftRight<24>(sv), da = hn::ShiftRight<24>(dv);
    const V32 zero = hn::Zero(d32);
    // Every da 0 or 255: da + 1 has none of the bits 1..7 of the alpha set.
    const bool extremes =
        hn::AllTrue(d32, hn::Eq(hn::And(hn::Add(dv, hn::Set(d32, 0x01000000u)), hn::Set(d32, 0xFE000000u)), zero));
    const V32 clear = hn::IfThenElse(hn::Gt(dv, colour), hn::Or(dv, opaque), dv);
    if (hn::AllFalse(d32, hn::Gt(sv, colour))) {
      if (!extremes) hn::StoreU(clear, d32, dw);
      return;
    }
    // ws = 255 (left = 0): the source's colour; sa = 0: as a clear step.
    // P[ws][s] + P[wd][d] <= 255 in each 16-bit lane: the sums are formed
    // there.
    const auto finish = [d32, dw](V16 ms, V16 md, auto sourceColour, V32 sv, V32 dv, V32 sa,
                                  V32 clear) {
      const D16 d16;
      const V32 opaque = hn::Set(d32, 0xFF000000u), zero = hn::Zero(d32);
      const V16 s16 = hn::BitCast(d16, sv), dv16 = hn::BitCast(d16, dv), low = hn::Set(d16, 0x00FF);
      const V16 even = hn::Add(hn::MulHigh(hn::And(s16, low), ms), hn::MulHigh(hn::And(dv16, low), md));
      const V16 odd = hn::Add(hn::MulHigh(hn::ShiftRight<8>(s16), ms), hn::MulHigh(hn::ShiftRight<8>(dv16), md));
      const V32 mixed = hn::BitCast(d32, hn::Or(hn::ShiftLeft<8>(odd), even));
      const V32 out = hn::Or(hn::IfThenElse(sourceColour, sv, mixed), opaque);
      hn::StoreU(hn::IfThenElse(hn::Eq(sa, zero), clear, out), d32, dw);
    };
    if (extremes) {
      // Every da is 0 or 255. At 255, left = 255 - sa = t - sa: ws = sa and
      // wd = 255 - sa, multipliers 257 sa + 1 and -257 sa in 16 bits; at 0
      // (and at sa = 255), left = 0.
      const V16 x = SpreadAlpha(sv, spread);
      finish(hn::Add(x, hn::Set(D16(), 1)), hn::Sub(hn::Zero(D16()), x),
             hn::Or(hn::Gt(sv, hn::Set(d32, 0xFEFFFFFFu)), hn::Not(hn::Gt(dv, colour))), sv, dv, sa,
             clear);
      return;
    }
    // left = P[da][255 - sa], with 257 (255 - sa) + 1 = -257 sa in 16 bits
    // (lanes of sa = 0 are done as in a clear step); the quotients by t in
    // float.
    const V16 x = SpreadAlpha(sv, spread), mleft = hn::Sub(hn::Zero(D16()), x);
    const V32 left = hn::BitCast(d32, hn::MulHigh(hn::BitCast(D16(), da), mleft));
    V16 ms, md;
    OverMultipliers(sa, left, lowSpread, ms, md);
    finish(ms, md, hn::Eq(left, zero), sv, dv, sa, clear);
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, AlphaSpreadIndex(), LowSpreadIndex());
}

// Rgb565A onto Rgb565A, Rgb555A onto Rgb555A: on the 0..240 scale of 16 x
// level, left = 16 da x (240 - 16 sa) / 240, t = 16 sa + left; the alpha byte
// becomes t >> 4 and, unless t is 0 (both levels 0), the colour word
// L[16 sa x 15 / t][s] + L[left x 15 / t][d]. The pad byte stays. Only the
// two levels decide the weights and the alpha, so they are worked out once
// for the 256 pairs (ws | wd << 8 | alpha << 16 at sa << 4 | da) and looked
// up; the blend itself runs in 16-bit lanes, a pixel a lane.
struct Over16Steps {
  uint32_t step[256];
};
constexpr Over16Steps kOver16Steps = [] {
  Over16Steps steps{};
  for (uint32_t sa = 0; sa < 16; ++sa) {
    for (uint32_t da = 0; da < 16; ++da) {
      const uint32_t s16 = sa * 16, left = da * 16 * (240 - s16) / 240, total = left + s16;
      const uint32_t ws = total != 0 ? s16 * 15 / total : 0, wd = total != 0 ? left * 15 / total : 0;
      steps.step[sa << 4 | da] = ws | wd << 8 | (total >> 4) << 16;
    }
  }
  return steps;
}();

template <bool k565>
void Over16Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D16 d16;
  const D32 d32;
  const DI32 di32;
  // 16-bit lanes of the pixels: even lanes hold the colour words, odd lanes
  // the alpha and pad bytes.
  const auto words = hn::Eq(hn::And(hn::Iota(d16, 0), hn::Set(d16, 1)), hn::Zero(d16));
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, hn::Mask<D16> words) {
    const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    const V32 dv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(dp));
    const V32 k15 = hn::Set(d32, 15);
    const V32 index = hn::Or(hn::ShiftLeft<4>(hn::And(hn::ShiftRight<16>(sv), k15)),
                             hn::And(hn::ShiftRight<16>(dv), k15));
    const V32 step = hn::BitCast(d32, hn::GatherIndex(di32, reinterpret_cast<const int32_t*>(kOver16Steps.step),
                                                      hn::BitCast(di32, index)));
    // Even lanes: ws | wd << 8; odd lanes: the alpha.
    const V16 step16 = hn::BitCast(d16, step);
    const V16 ws = hn::And(step16, hn::Set(d16, 0xFF)), wd = hn::ShiftRight<8>(step16);
    const V16 s16 = hn::BitCast(d16, sv), dw16 = hn::BitCast(d16, dv);
    const V16 mixed =
        hn::Add(blend::LevelWordByLevel<k565>(s16, ws), blend::LevelWordByLevel<k565>(dw16, wd));
    // Both levels 0: the word stays (the alpha, 0, is written all the same).
    const V16 keep = hn::BitCast(d16, hn::VecFromMask(d32, hn::Eq(index, hn::Zero(d32))));
    const V16 colour = hn::IfThenElse(hn::MaskFromVec(keep), dw16, mixed);
    const V16 alphaPad = hn::Or(hn::And(dw16, hn::Set(d16, 0xFF00)), step16);
    hn::StoreU(hn::IfThenElse(words, colour, alphaPad), d16, reinterpret_cast<uint16_t*>(dp));
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, words);
}

void RegisterAlphaChannel(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::AlphaChannel, F::Bgra32, F::Bgrx32, &AlphaWeight32Row);
  t.Set(Op::AlphaChannel, F::Rgba32, F::Rgbx32, &AlphaWeight32Row);
  t.Set(Op::AlphaChannel, F::Bgra32, F::Bgr24, &AlphaWeight24Row);
  t.Set(Op::AlphaChannel, F::Rgba32, F::Rgb24, &AlphaWeight24Row);
  t.Set(Op::AlphaChannel, F::Rgb565A, F::Rgb565, &AlphaLevelRow<true>);
  t.Set(Op::AlphaChannel, F::Rgb555A, F::Rgb555, &AlphaLevelRow<false>);
  t.Set(Op::AlphaChannel, F::Bgra32, F::Bgra32, &Over32Row);
  t.Set(Op::AlphaChannel, F::Rgba32, F::Rgba32, &Over32Row);
  t.Set(Op::AlphaChannel, F::Rgb565A, F::Rgb565A, &Over16Row<true>);
  t.Set(Op::AlphaChannel, F::Rgb555A, F::Rgb555A, &Over16Row<false>);
}

// ---------------------------------------------------------------- BltPattern

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
      // as the multiplier 257 w + 1 in both 16-bit halves (w x 0x01010101
      // plus 1 in each half); lanes of w = 255 take the source. Steps of
      // only clear sources leave the colour.
      const V8 lowSpread = LowSpreadIndex();
      alignas(64) uint32_t erow[kPatternRow];
      for (size_t k = 0; k < 16 + hn::Lanes(d32); k += hn::Lanes(d32))
        hn::Store(hn::PromoteTo(d32, hn::LoadU(dq, wrow + k)), d32, erow + k);
      const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V32 colour, V8 lowSpread) {
        uint32_t* dw = reinterpret_cast<uint32_t*>(dp);
        const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
        const V32 dv = hn::LoadU(d32, dw);
        if (hn::AllFalse(d32, hn::Gt(sv, colour))) {
          hn::StoreU(hn::And(dv, colour), d32, dw);
          return;
        }
        // entry x A < 2^16: formed in the low 16-bit half of each lane (the
        // high halves give 0), w spread to the lane's bytes by a shuffle.
        const V16 product = hn::Mul(hn::BitCast(d16, hn::LoadU(d32, erow + (i & 15))),
                                    hn::BitCast(d16, hn::ShiftRight<24>(sv)));
        const V32 w = hn::BitCast(d32, blend::Div255(product));
        const V16 m = hn::Add(SpreadAlpha(w, lowSpread), hn::Set(d16, 1));
        const V8 mixed = blend::WeightBytes(d8, blend::FixedWeight{}, m, hn::BitCast(d8, sv), hn::BitCast(d8, dv));
        const V32 out = hn::IfThenElse(hn::Eq(w, hn::Set(d32, 255)), sv, hn::BitCast(d32, mixed));
        hn::StoreU(hn::And(out, colour), d32, dw);
      };
      ForEachStep<SB, 4>(s, d, Pixels(width), hn::Lanes(d32), step, colour, lowSpread);
    } else {
      // The multipliers 257 w + 1 of the entries in both 16-bit halves, once
      // a row; an entry of 255 wraps to 0 and takes the source.
      alignas(64) uint32_t mrow[kPatternRow];
      for (size_t k = 0; k < 16 + hn::Lanes(d32); k += hn::Lanes(d32)) {
        const V32 e = hn::PromoteTo(d32, hn::LoadU(dq, wrow + k));
        const V32 half = hn::And(hn::Add(hn::Mul(e, hn::Set(d32, 257)), hn::Set(d32, 1)), hn::Set(d32, 0xFFFF));
        hn::Store(hn::Or(half, hn::ShiftLeft<16>(half)), d32, mrow + k);
      }
      const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V32 colour) {
        uint32_t* dw = reinterpret_cast<uint32_t*>(dp);
        const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
        const V32 m = hn::LoadU(d32, mrow + (i & 15));
        const V8 mixed = blend::WeightBytes(d8, blend::FixedWeight{}, hn::BitCast(d16, m), hn::BitCast(d8, sv),
                                            hn::LoadU(d8, dp));
        const V32 out = hn::IfThenElse(hn::Eq(m, hn::Zero(d32)), sv, hn::BitCast(d32, mixed));
        hn::StoreU(hn::And(out, colour), d32, dw);
      };
      ForEachStep<SB, 4>(s, d, Pixels(width), hn::Lanes(d32), step, colour);
    }
  } else {
    const D8 d8;
    ForEachStep<SB, 3>(s, d, Pixels(width), hn::Lanes(d8), [&](const uint8_t* sp, uint8_t* dp, size_t i) {
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
      hn::StoreInterleaved3(WeighBytes(s0, d0, w), WeighBytes(s1, d1, w), WeighBytes(s2, d2, w), d8, dp);
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
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t i, V16 kept) {
      uint16_t* p = reinterpret_cast<uint16_t*>(dp);
      V16 sw, alphaPad;
      LoadWordAlpha(sp, sw, alphaPad);
      const V16 dw = hn::LoadU(d16, p);
      const V16 alpha = hn::And(alphaPad, hn::Set(d16, 15));
      if (hn::AllTrue(d16, hn::Eq(alpha, hn::Zero(d16)))) {  // every level 0
        if (!k565) hn::StoreU(hn::And(dw, kept), d16, p);
        return;
      }
      // P[entry][16 A] >> 4 = floor(entry x A / 255) = P[A][entry], A < 255:
      // the high half of entry x (257 A + 1).
      const V16 entry = hn::LoadU(d16, erow + (i & 15));
      const V16 level = hn::MulHigh(entry, hn::Add(hn::Mul(alpha, hn::Set(d16, 257)), hn::Set(d16, 1)));
      hn::StoreU(blend::LevelBlend<k565>(sw, dw, level), d16, p);
    };
    ForEachStep<4, 2>(s, d, Pixels(width), hn::Lanes(d16), step, kept);
  } else {
    // The LevelWord multipliers of level entry >> 4 and of 15 less that
    // level, once a row.
    alignas(64) uint16_t msrc[kPatternRow], mdst[kPatternRow];
    for (size_t k = 0; k < 16 + hn::Lanes(d16); k += hn::Lanes(d16)) {
      const V16 m = blend::LevelMultiplier(hn::ShiftRight<4>(hn::PromoteTo(d16, hn::LoadU(dh, wrow + k))));
      hn::Store(m, d16, msrc + k);
      hn::Store(hn::Sub(hn::Set(d16, 15 * 2185), m), d16, mdst + k);
    }
    ForEachStep<2, 2>(s, d, Pixels(width), hn::Lanes(d16), [&](const uint8_t* sp, uint8_t* dp, size_t i) {
      uint16_t* p = reinterpret_cast<uint16_t*>(dp);
      const V16 sw = hn::LoadU(d16, reinterpret_cast<const uint16_t*>(sp));
      const V16 dw = hn::LoadU(d16, p);
      const V16 mixed = hn::Add(blend::LevelWord<k565>(sw, hn::LoadU(d16, msrc + (i & 15))),
                                blend::LevelWord<k565>(dw, hn::LoadU(d16, mdst + (i & 15))));
      hn::StoreU(hn::IfThenElse(hn::Eq(sw, dw), dw, mixed), d16, p);
    });
  }
}

void RegisterPattern(KernelTable& t) {
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

// ---------------------------------------------------------------- BltColorKeepAlpha

// The colour bits (kColour) from the source, the rest of the destination.
template <uint32_t kColour>
void KeepAlphaRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), [&](const uint8_t* sp, uint8_t* dp, size_t) {
    const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    const V32 dv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(dp));
    const V32 colour = hn::Set(d32, kColour);
    hn::StoreU(hn::Or(hn::And(sv, colour), hn::AndNot(colour, dv)), d32, reinterpret_cast<uint32_t*>(dp));
  });
}

void RegisterKeepAlpha(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::ColourKeepAlpha, F::Rgb565A, F::Rgb565A, &KeepAlphaRow<0x0000FFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Rgb555A, F::Rgb555A, &KeepAlphaRow<0x0000FFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Bgra32, F::Bgra32, &KeepAlphaRow<0x00FFFFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Rgba32, F::Rgba32, &KeepAlphaRow<0x00FFFFFFu>);
}

// ---------------------------------------------------------------- Fade
//
// s is the row itself; the kernels read and write d only. args.a: the level.

// Rgb565, Rgb555: the 16-level table's word at L = level >> 4.
template <bool k565>
void FadeWordRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const V16 m = LevelMultiplier(hn::Set(d16, static_cast<uint16_t>((args.a & 0xFF) >> 4)));
  const auto step = [d16](const uint8_t*, uint8_t* dp, size_t, V16 m) {
    uint16_t* p = reinterpret_cast<uint16_t*>(dp);
    hn::StoreU(blend::LevelWord<k565>(hn::LoadU(d16, p), m), d16, p);
  };
  ForEachStep<2, 2>(d, d, Pixels(width), hn::Lanes(d16), step, m);
}

// Rgb565A, Rgb555A: each channel widened to the top of a byte, P[level][byte],
// narrowed back; bytes 2 and 3 kept. Widening puts the field f at f x 2^k
// and narrowing drops the low k bits again, so the new field is
// floor(floor(level x f x 2^k / 255) / 2^k) = floor(level x f / 255). The
// words of two vectors of pixels are packed into one vector of 16-bit lanes
// (one vector's words in the low halves of 32-bit lanes, the other's in the
// high halves) and put back the same way.
template <bool k565>
void FadeWordAlphaRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const D32 d32;
  const V16 level = hn::Set(d16, static_cast<uint16_t>(args.a & 0xFF));
  const size_t n32 = hn::Lanes(d32);
  const auto step = [&](const uint8_t*, uint8_t* dp, size_t, V16 level) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const V32 a = hn::LoadU(d32, p), b = hn::LoadU(d32, p + n32);
    const V16 w = blend::PackWords(hn::BitCast(d16, a), hn::BitCast(d16, b));
    constexpr int kRedShift = k565 ? 11 : 10;
    const V16 five = hn::Set(d16, 31);
    const V16 r = blend::Product(hn::And(hn::ShiftRight<kRedShift>(w), five), level);
    const V16 g = blend::Product(hn::And(hn::ShiftRight<5>(w), hn::Set(d16, k565 ? 63 : 31)), level);
    const V16 bl = blend::Product(hn::And(w, five), level);
    const V16 out = hn::Or(hn::Or(hn::ShiftLeft<kRedShift>(r), hn::ShiftLeft<5>(g)), bl);
    hn::StoreU(hn::BitCast(d32, blend::UnpackWordsLow(out, hn::BitCast(d16, a))), d32, p);
    hn::StoreU(hn::BitCast(d32, blend::UnpackWordsHigh(out, hn::BitCast(d16, b))), d32, p + n32);
  };
  ForEachStep<4, 4>(d, d, Pixels(width), 2 * n32, step, level);
}

// 24-bit: every byte of the row scaled.
void FadeBytesRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const V16 level = hn::Set(D16(), static_cast<uint16_t>(args.a & 0xFF));
  const auto step = [d8](const uint8_t*, uint8_t* dp, size_t, V16 level) {
    hn::StoreU(blend::ProductBytes(d8, blend::LaneWeight{}, level, hn::LoadU(d8, dp)), d8, dp);
  };
  ForEachStep<1, 1>(d, d, Pixels(width * 3), hn::Lanes(d8), step, level);
}

// 32-bit: bytes 0-2 scaled, byte 3 replaced by kFourth (0 or 255).
template <uint32_t kFourth>
void Fade32Row(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const D32 d32;
  const V16 level = hn::Set(D16(), static_cast<uint16_t>(args.a & 0xFF));
  const auto step = [d8, d32](const uint8_t*, uint8_t* dp, size_t, V16 level) {
    const V32 scaled = hn::BitCast(d32, blend::ProductBytes(d8, blend::LaneWeight{}, level, hn::LoadU(d8, dp)));
    hn::StoreU(hn::Or(hn::And(scaled, hn::Set(d32, 0x00FFFFFFu)), hn::Set(d32, kFourth << 24)), d32,
               reinterpret_cast<uint32_t*>(dp));
  };
  ForEachStep<4, 4>(d, d, Pixels(width), hn::Lanes(d32), step, level);
}

void RegisterFade(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::Fade, F::Rgb565, F::Rgb565, &FadeWordRow<true>);
  t.Set(Op::Fade, F::Rgb555, F::Rgb555, &FadeWordRow<false>);
  t.Set(Op::Fade, F::Rgb565A, F::Rgb565A, &FadeWordAlphaRow<true>);
  t.Set(Op::Fade, F::Rgb555A, F::Rgb555A, &FadeWordAlphaRow<false>);
  t.Set(Op::Fade, F::Bgr24, F::Bgr24, &FadeBytesRow);
  t.Set(Op::Fade, F::Rgb24, F::Rgb24, &FadeBytesRow);
  t.Set(Op::Fade, F::Bgrx32, F::Bgrx32, &Fade32Row<0>);
  t.Set(Op::Fade, F::Rgbx32, F::Rgbx32, &Fade32Row<0>);
  t.Set(Op::Fade, F::Bgra32, F::Bgra32, &Fade32Row<255>);
  t.Set(Op::Fade, F::Rgba32, F::Rgba32, &Fade32Row<255>);
}

// ---------------------------------------------------------------- AlphaFromMaskRamp

// A 16-bit mask (colour word) onto a 16-bit alpha format: the mask value is
// the five blue bits at the top of a byte, so only the 32 ramp entries
// (b << 3) are ever read, and their top four bits become the alpha level.
// They are looked up with byte shuffles of two 16-entry tables. (A 24- or
// 32-bit mask reads all 256 entries: see MaskRampRow.) SB: the mask's bytes
// per pixel.
template <int SB>
void MaskLevelRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  alignas(16) uint8_t low[16], high[16];
  for (int k = 0; k < 16; ++k) {
    low[k] = static_cast<uint8_t>(args.table[k << 3] >> 4);
    high[k] = static_cast<uint8_t>(args.table[(k + 16) << 3] >> 4);
  }
  const V8 lowTable = hn::LoadDup128(d8, low), highTable = hn::LoadDup128(d8, high);
  // Byte 2 of each lane indexes; bytes with the top bit set look up 0.
  const V32 others = hn::Set(d32, 0x80008080u), fifteen = hn::Set(d32, 15);
  const auto apply = [d8, d32](V32 w, uint8_t* dp, V8 lowTable, V8 highTable, V32 others, V32 fifteen) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const V8 index = hn::BitCast(d8, hn::Or(hn::ShiftLeft<16>(hn::And(w, fifteen)), others));
    const auto isHigh = hn::Eq(hn::And(w, hn::Set(d32, 16)), hn::Set(d32, 16));
    const V32 level = hn::IfThenElse(isHigh, hn::BitCast(d32, hn::TableLookupBytesOr0(highTable, index)),
                                     hn::BitCast(d32, hn::TableLookupBytesOr0(lowTable, index)));
    hn::StoreU(hn::Or(hn::And(hn::LoadU(d32, p), hn::Set(d32, 0xFF00FFFFu)), level), d32, p);
  };
  if constexpr (SB == 2) {
    const hn::Rebind<uint16_t, D32> dh;
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, auto... tables) {
      apply(hn::PromoteTo(d32, hn::LoadU(dh, reinterpret_cast<const uint16_t*>(sp))), dp, tables...);
    };
    ForEachStep<2, 4>(s, d, Pixels(width), hn::Lanes(d32), step, lowTable, highTable, others, fifteen);
  } else {
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, auto... tables) {
      apply(hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp)), dp, tables...);
    };
    ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, lowTable, highTable, others, fifteen);
  }
}

#if HWY_ARCH_X86 && HWY_TARGET != HWY_EMU128
// A byte mask (the blue byte of a 24- or 32-bit pixel) onto a 32-bit alpha
// format: the alpha byte becomes ramp[mask], a look-up in 256 entries done
// with byte shuffles of its sixteen 16-entry pieces T0..T15. The shuffles
// here look up the low four bits of an index and give 0 where its top bit
// is set. For x < 128 in piece j, the indices x - 16k (k = 0..7, in bytes)
// lie in 0..127 for k <= j and have the top bit set for k > j, so the
// shuffles of T0 and of Tk ^ T(k-1) (k = 1..7) at those indices XOR to
// Tj[x & 15]. For x >= 128 in piece j, the same indices x - 16k (now
// k = 1..8) lie in 0..127 for k >= j - 7 and have the top bit set for
// k < j - 7, so the shuffles of T15 (k = 8) and of T(k+7) ^ T(k+8)
// (k = 1..7) at them XOR to Tj[x & 15]: one chain of indices serves both
// halves.
struct RampPieces {
  V8 low[8], high[8];
};

HWY_INLINE RampPieces MakeRampPieces(const uint8_t* ramp) {
  const D8 d8;
  alignas(64) uint8_t table[256];
  std::memcpy(table, ramp, 256);
  RampPieces pieces;
  V8 t[16];
  for (int k = 0; k < 16; ++k) t[k] = hn::LoadDup128(d8, table + 16 * k);
  pieces.low[0] = t[0];
  for (int k = 1; k < 8; ++k) pieces.low[k] = hn::Xor(t[k], t[k - 1]);
  // high[k - 1] goes with the index x - 16k, k = 1..8.
  for (int k = 1; k < 8; ++k) pieces.high[k - 1] = hn::Xor(t[k + 7], t[k + 8]);
  pieces.high[7] = t[15];
  return pieces;
}

HWY_INLINE V8 RampLookup(const RampPieces& pieces, V8 x) {
  const D8 d8;
  const V8 sixteen = hn::Set(d8, 16);
  V8 i[9];
  i[0] = x;
  for (int k = 1; k < 9; ++k) i[k] = hn::Sub(i[k - 1], sixteen);
  const auto at = [](const V8& piece, V8 index) { return hn::TableLookupBytesOr0(piece, index); };
  const V8 low = hn::Xor(hn::Xor3(hn::Xor3(at(pieces.low[0], i[0]), at(pieces.low[1], i[1]), at(pieces.low[2], i[2])),
                                  at(pieces.low[3], i[3]), at(pieces.low[4], i[4])),
                         hn::Xor3(at(pieces.low[5], i[5]), at(pieces.low[6], i[6]), at(pieces.low[7], i[7])));
  const V8 high =
      hn::Xor(hn::Xor3(hn::Xor3(at(pieces.high[0], i[1]), at(pieces.high[1], i[2]), at(pieces.high[2], i[3])),
                       at(pieces.high[3], i[4]), at(pieces.high[4], i[5])),
              hn::Xor3(at(pieces.high[5], i[6]), at(pieces.high[6], i[7]), at(pieces.high[7], i[8])));
  const hn::RebindToSigned<D8> di8;
  return hn::IfThenElse(hn::RebindMask(d8, hn::Lt(hn::BitCast(di8, x), hn::Zero(di8))), high, low);
}

// Byte kFrom of each 32-bit lane moved to byte kTo, the other bytes 0.
template <int kFrom, int kTo>
HWY_INLINE V32 MoveByte(V32 v) {
  const D32 d32;
  V32 moved;
  if constexpr (kTo > kFrom) moved = hn::ShiftLeft<8 * (kTo - kFrom)>(v);
  else if constexpr (kTo < kFrom) moved = hn::ShiftRight<8 * (kFrom - kTo)>(v);
  else moved = v;
  return hn::And(moved, hn::Set(d32, 0xFFu << (8 * kTo)));
}

// A 32-bit mask, kBlue its blue byte. A step is one vector of bytes' worth
// of pixels, four vectors of 32-bit lanes: the blue bytes of vector j's
// lanes go to byte j of one vector's lanes for a single look-up (a 24-bit
// mask: MaskRamp24Row).
template <int kBlue>
void MaskRampRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const size_t n32 = hn::Lanes(d32), n = Pixels(width);
  const auto alphaBytes = hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u)));
  // The blue byte of each lane of v in byte j of the lane, into acc.
  const auto gather = [d32](V32 acc, V32 v, auto j) {
    constexpr int kJ = decltype(j)::value;
    V32 moved;
    if constexpr (kJ > kBlue) moved = hn::ShiftLeft<8 * (kJ - kBlue)>(v);
    else if constexpr (kJ < kBlue) moved = hn::ShiftRight<8 * (kBlue - kJ)>(v);
    else moved = v;
    return hn::IfVecThenElse(hn::Set(d32, 0xFFu << (8 * kJ)), moved, acc);
  };
  // Byte j of each lane of alpha as the alpha of the pixels at p.
  const auto put = [d8](uint32_t* p, V32 alpha, auto j, hn::Mask<D8> alphaBytes) {
    constexpr int kJ = decltype(j)::value;
    V32 moved;
    if constexpr (kJ < 3) moved = hn::ShiftLeft<8 * (3 - kJ)>(alpha);
    else moved = alpha;
    // Only the alpha bytes are stored (a masked store where the target has
    // one, else a load, a blend and a store).
    hn::BlendedStore(hn::BitCast(d8, moved), alphaBytes, d8, reinterpret_cast<uint8_t*>(p));
  };
  using J0 = std::integral_constant<int, 0>;
  using J1 = std::integral_constant<int, 1>;
  using J2 = std::integral_constant<int, 2>;
  using J3 = std::integral_constant<int, 3>;
  // Steps of four vectors, the last overlapping the one before: a pixel's
  // new alpha depends only on its mask byte (which the blit never changes)
  // and its other bytes stay. Shorter rows go a vector at a time (one pixel
  // a lane, byte 3 looked up).
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, RampPieces pieces,
                        hn::Mask<D8> alphaBytes) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const uint32_t* sw = reinterpret_cast<const uint32_t*>(sp);
    V32 index = hn::Zero(d32);
    index = gather(index, hn::LoadU(d32, sw), J0());
    index = gather(index, hn::LoadU(d32, sw + n32), J1());
    index = gather(index, hn::LoadU(d32, sw + 2 * n32), J2());
    index = gather(index, hn::LoadU(d32, sw + 3 * n32), J3());
    const V32 alpha = hn::BitCast(d32, RampLookup(pieces, hn::BitCast(d8, index)));
    put(p, alpha, J0(), alphaBytes);
    put(p + n32, alpha, J1(), alphaBytes);
    put(p + 2 * n32, alpha, J2(), alphaBytes);
    put(p + 3 * n32, alpha, J3(), alphaBytes);
  };
  const auto single = [&](const uint8_t* sp, uint8_t* dp, size_t, RampPieces pieces,
                          hn::Mask<D8> alphaBytes) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const V32 v = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    put(p, hn::BitCast(d32, RampLookup(pieces, hn::BitCast(d8, gather(hn::Zero(d32), v, J3())))), J3(),
        alphaBytes);
  };
  const RampPieces pieces = MakeRampPieces(args.table);
  if (!rows::ForEachStepOverlapping<4, 4>(s, d, n, hn::Lanes(d8), step, pieces, alphaBytes))
    ForEachStep<4, 4>(s, d, n, n32, single, pieces, alphaBytes);
}

// A 24-bit mask, kBlue its blue byte. A step is one vector of bytes' worth
// of pixels, four vectors of 32-bit lanes as in MaskRampRow: the blue byte of
// pixel q of vector j goes to byte j of lane q by a move of 32-bit lanes
// (block b gets the source's lanes 3b..3b+3, which hold pixels 4b..4b+3)
// and a byte shuffle in each block. Each vector's load reads a vector of
// bytes where its pixels fill three quarters of one, so the walk is the one
// for loads that reach past their step.
template <int kBlue>
void MaskRamp24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const size_t n32 = hn::Lanes(d32), n = Pixels(width);
  const auto alphaBytes = hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u)));
  alignas(64) int32_t laneIndex[kMaxStep / 4];
  for (size_t q = 0; q < n32; ++q) laneIndex[q] = static_cast<int32_t>(3 * (q / 4) + (q % 4 < 3 ? q % 4 : 2));
  const auto lanes = hn::SetTableIndices(d32, laneIndex);
  alignas(16) uint8_t pickBytes[4][16];
  for (int j = 0; j < 4; ++j) {
    for (int b = 0; b < 16; ++b)
      pickBytes[j][b] = (b & 3) == j ? static_cast<uint8_t>(3 * (b >> 2) + kBlue) : 0x80;
  }
  const auto blue = [d8, d32, n32](const uint8_t* sp, int j, auto lanes, V8 pick) {
    const V32 v = hn::TableLookupLanes(hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp + 3 * j * n32)), lanes);
    return hn::TableLookupBytesOr0(hn::BitCast(d8, v), pick);
  };
  const auto put = [d8](uint32_t* p, V32 alpha, int j, hn::Mask<D8> alphaBytes) {
    const V32 moved = j == 0   ? hn::ShiftLeft<24>(alpha)
                      : j == 1 ? hn::ShiftLeft<16>(alpha)
                      : j == 2 ? hn::ShiftLeft<8>(alpha)
                               : alpha;
    hn::BlendedStore(hn::BitCast(d8, moved), alphaBytes, d8, reinterpret_cast<uint8_t*>(p));
  };
  const auto body = [&](const uint8_t* sp, uint8_t* dp, RampPieces pieces, hn::Mask<D8> alphaBytes,
                        auto lanes, V8 pick0, V8 pick1, V8 pick2, V8 pick3) {
    const V8 index = hn::Or(hn::Or3(blue(sp, 0, lanes, pick0), blue(sp, 1, lanes, pick1),
                                    blue(sp, 2, lanes, pick2)),
                            blue(sp, 3, lanes, pick3));
    const V32 alpha = hn::BitCast(d32, RampLookup(pieces, index));
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    for (int j = 0; j < 4; ++j) put(p + j * n32, alpha, j, alphaBytes);
  };
  // The last vector's load ends n32 bytes (under n32 / 3 + 1 pixels) past
  // the step.
  rows::ForEachStepReaching<3, 4>(s, d, n, hn::Lanes(d8), n32 / 3 + 1, body, MakeRampPieces(args.table),
                                  alphaBytes, lanes, hn::LoadDup128(d8, pickBytes[0]),
                                  hn::LoadDup128(d8, pickBytes[1]), hn::LoadDup128(d8, pickBytes[2]),
                                  hn::LoadDup128(d8, pickBytes[3]));
}
#endif

void RegisterMaskAlpha(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::MaskAlpha, F::Rgb565, F::Rgb565A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb555, F::Rgb555A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb565A, F::Rgb565A, &MaskLevelRow<4>);
  t.Set(Op::MaskAlpha, F::Rgb555A, F::Rgb555A, &MaskLevelRow<4>);
#if HWY_ARCH_X86 && HWY_TARGET != HWY_EMU128
  t.Set(Op::MaskAlpha, F::Bgra32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Bgrx32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Rgba32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Rgbx32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Bgr24, F::Bgra32, &MaskRamp24Row<0>);
  t.Set(Op::MaskAlpha, F::Rgb24, F::Rgba32, &MaskRamp24Row<2>);
#endif
}

void RegisterAll(KernelTable& t) {
  RegisterAlphaChannel(t);
  RegisterPattern(t);
  RegisterKeepAlpha(t);
  RegisterFade(t);
  RegisterMaskAlpha(t);
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelops::kernels {
HWY_EXPORT(RegisterAll);
void RegisterAlphaChannelKernels(KernelTable& table, int64_t target) {
  RegisterTarget(HWY_DISPATCH_TABLE(RegisterAll), target, table);
}
}  // namespace pixelops::kernels
#endif
