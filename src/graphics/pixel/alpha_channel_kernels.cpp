// Row kernels of the alpha-channel blit (alpha_channel_blit.cpp), compiled
// for every vector target of the build (see row_kernels.h). The products by
// an alpha are the exact identities of exact_arithmetic-inl.h; the weights of
// source over, quotients of the two alphas, come from a float division
// floored exactly (32-bit alpha, see OverMultipliers) or from the scalar
// rule's table of the 256 level pairs (16-bit alpha). The AlphaChannelDomain
// tests (tests/alpha_channel_kernel_test.cpp) check every formula against the
// tables over its whole domain.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/alpha_channel_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <array>

#include "graphics/pixel/alpha_channel_blit.h"
#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(AlphaChannel)
#else
namespace {

using rows::ForEachStep;
using rows::Pixels;

using DI32 = hn::ScalableTag<int32_t>;
using DF32 = hn::ScalableTag<float>;

// A 32-bit lane's weight w <= 254 becomes its fixed multiplier in both 16-bit
// halves by spreading w to the lane's four bytes and adding 1 to each half
// (exact::SpreadFixedMultiplier); at w = 255 the halves wrap to 0, so lanes
// of weight 255 are taken from elsewhere.

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
  const D8 d8;
  ma = exact::SpreadFixedMultiplier(d8, hn::BitCast(D32(), qa), lowSpread);
  mb = exact::SpreadFixedMultiplier(d8, hn::BitCast(D32(), qb), lowSpread);
}

// Bgra32 -> Bgrx32, Rgba32 -> Rgbx32: bytes 0-2 weighted by the source's
// alpha w, X written 0. d + D[w][s - d] is d plus or minus P[w][|s - d|]
// (the truncation is towards zero), taken from the source where w = 255.
// Steps of only opaque sources are the source's colour; steps of only clear
// sources leave the colour and are stored only if an X byte was not 0.
void AlphaWeight32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 spread) HWY_ATTR {
    const V32 sv = rows::LoadU(d32, sp);
    const V32 dv = rows::LoadU(d32, dp);  // early: storing fetches the line anyway
    const V32 colour = hn::Set(d32, 0x00FFFFFFu);
    const auto opaque = hn::Gt(sv, hn::Set(d32, 0xFEFFFFFFu));
    if (hn::AllTrue(d32, opaque)) {
      rows::StoreU(hn::And(sv, colour), d32, dp);
      return;
    }
    if (hn::AllFalse(d32, hn::Gt(sv, colour))) {
      if (!hn::AllFalse(d32, hn::Gt(dv, colour))) rows::StoreU(hn::And(dv, colour), d32, dp);
      return;
    }
    const V8 s8 = hn::BitCast(d8, sv), d8v = hn::BitCast(d8, dv);
    const V8 up = hn::SaturatedSub(s8, d8v), down = hn::SaturatedSub(d8v, s8);
    const V16 multiplier = exact::SpreadFixedMultiplier(d8, sv, spread);
    const V8 q = blend::ProductBytes(d8, blend::FixedWeight{}, multiplier, hn::Or(up, down));
    const V8 mixed = hn::IfThenElse(hn::Eq(up, hn::Zero(d8)), hn::Sub(d8v, q), hn::Add(d8v, q));
    rows::StoreU(hn::And(hn::IfThenElse(opaque, sv, hn::BitCast(d32, mixed)), colour), d32, dp);
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, exact::SpreadIndex<3>(d8));
}

// Bgra32 -> Bgr24, Rgba32 -> Rgb24.
void AlphaWeight24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D8 d8;
  ForEachStep<4, 3>(s, d, Pixels(width), hn::Lanes(d8), [&](const uint8_t* sp, uint8_t* dp, size_t) HWY_ATTR {
    V8 s0, s1, s2, a, d0, d1, d2;
    hn::LoadInterleaved4(d8, sp, s0, s1, s2, a);
    hn::LoadInterleaved3(d8, dp, d0, d1, d2);
    const blend::ByteWeight byte;
    hn::StoreInterleaved3(blend::WeightBytes(d8, byte, a, s0, d0), blend::WeightBytes(d8, byte, a, s1, d1),
                          blend::WeightBytes(d8, byte, a, s2, d2), d8, dp);
  });
}

// Rgb565A -> Rgb565, Rgb555A -> Rgb555: the level is the source's alpha level.
template <bool k565>
void AlphaLevelRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D16 d16;
  ForEachStep<4, 2>(s, d, Pixels(width), hn::Lanes(d16),
                    [&](const uint8_t* sp, uint8_t* dp, size_t) HWY_ATTR {
                      V16 words, alphaPad;
                      exact::LoadWordAlpha(d16, sp, words, alphaPad);
                      const V16 dw = rows::LoadU(d16, dp);
                      const V16 level = hn::And(alphaPad, hn::Set(d16, 15));
                      // Level 0 gives the destination word, 15 the source word (555: both
                      // without bit 15).
                      const V16 kept = hn::Set(d16, k565 ? 0xFFFF : 0x7FFF);
                      if (hn::AllTrue(d16, hn::Eq(level, hn::Zero(d16)))) {
                        if (!k565) rows::StoreU(hn::And(dw, kept), d16, dp);
                        return;
                      }
                      if (hn::AllTrue(d16, hn::Eq(level, hn::Set(d16, 15)))) {
                        rows::StoreU(hn::And(words, kept), d16, dp);
                        return;
                      }
                      rows::StoreU(blend::LevelBlend<k565>(words, dw, level), d16, dp);
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
//
// The products are formed with the weights' fixed multipliers (257 w + 1 in
// both 16-bit halves of a lane), which wrap to 0 at w = 255; the other
// weight is then 0, with multiplier 1, so both products of such a lane are 0
// and its colour is or-ed in from the source. The alpha byte's products are
// overwritten by the alpha 255. A clear source (sa = 0) leaves the pixel
// with its alpha set to 255 unless it is 0.
void Over32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  const D16 d16;
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 spread, V8 lowSpread) HWY_ATTR {
    const V32 sv = rows::LoadU(d32, sp);
    const V32 dv = rows::LoadU(d32, dp);  // early: storing fetches the line anyway
    const V32 sa = hn::ShiftRight<24>(sv), da = hn::ShiftRight<24>(dv);
    const V32 zero = hn::Zero(d32), full = hn::Set(d32, 255), opaque = hn::Set(d32, 0xFF000000u);
    const auto sOpaque = hn::Eq(sa, full);
    if (hn::AllTrue(d32, sOpaque)) {
      rows::StoreU(sv, d32, dp);
      return;
    }
    const auto sZero = hn::Eq(sa, zero), dZero = hn::Eq(da, zero);
    const bool dExtremes = hn::AllTrue(d32, hn::Or(dZero, hn::Eq(da, full)));
    const V32 clear = hn::Or(dv, hn::AndNot(hn::VecFromMask(d32, dZero), opaque));
    if (hn::AllTrue(d32, sZero)) {
      if (!dExtremes) rows::StoreU(clear, d32, dp);
      return;
    }
    V16 ms, md;
    V32 fromSource;
    if (dExtremes) {
      // Every da is 0 or 255. At 255, left = 255 - sa = t - sa: ws = sa and
      // wd = 255 - sa, multipliers 257 sa + 1 and -257 sa in 16 bits; at 0,
      // left = 0: ws = 255, as if sa were 255.
      fromSource = hn::VecFromMask(d32, hn::Or(sOpaque, dZero));
      const V16 x = hn::Or(exact::SpreadByte(D8(), sv, spread), hn::BitCast(d16, fromSource));
      ms = hn::Add(x, hn::Set(d16, 1));
      md = exact::ComplementMultiplier(ms);
    } else {
      // left = P[da][255 - sa], by the complement of sa's multiplier; the
      // quotients by t in float.
      const V16 mleft = exact::ComplementMultiplier(exact::SpreadFixedMultiplier(D8(), sv, spread));
      const V32 left = hn::BitCast(d32, hn::MulHigh(hn::BitCast(d16, da), mleft));
      fromSource = hn::VecFromMask(d32, hn::Eq(left, zero));
      OverMultipliers(sa, left, lowSpread, ms, md);
    }
    const V16 s16 = hn::BitCast(d16, sv), d16v = hn::BitCast(d16, dv), low = hn::Set(d16, 0x00FF);
    const V16 even = hn::Add(hn::MulHigh(hn::And(s16, low), ms), hn::MulHigh(hn::And(d16v, low), md));
    const V16 odd =
        hn::Add(hn::MulHigh(hn::ShiftRight<8>(s16), ms), hn::MulHigh(hn::ShiftRight<8>(d16v), md));
    const V32 mixed = hn::BitCast(d32, hn::Or(hn::ShiftLeft<8>(odd), even));
    const V32 out = hn::Or(hn::Or(mixed, hn::And(sv, fromSource)), opaque);
    rows::StoreU(hn::IfThenElse(sZero, clear, out), d32, dp);
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, exact::SpreadIndex<3>(D8()),
                    exact::SpreadIndex<0>(D8()));
}

// Rgb565A onto Rgb565A, Rgb555A onto Rgb555A: the alpha byte and the two
// colour levels of each pixel are the scalar rule's (kOver16) for its pair of
// alpha levels, gathered from that table packed as ws | wd << 8 | alpha << 16
// at sa << 4 | da; the pad byte stays and, unless both levels are 0, the
// colour word becomes L[ws][s] + L[wd][d], in 16-bit lanes, a pixel a lane.
constexpr auto kOver16Packed = [] {
  std::array<uint32_t, 256> steps{};
  for (uint32_t sa = 0; sa < 16; ++sa) {
    for (uint32_t da = 0; da < 16; ++da) {
      const Over16Step& o = kOver16[sa][da];
      steps[sa << 4 | da] = uint32_t{o.ws} | uint32_t{o.wd} << 8 | uint32_t{o.alpha} << 16;
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
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, hn::Mask<D16> words) HWY_ATTR {
    const V32 sv = rows::LoadU(d32, sp);
    const V32 dv = rows::LoadU(d32, dp);
    const V32 k15 = hn::Set(d32, 15);
    const V32 index =
        hn::Or(hn::ShiftLeft<4>(hn::And(hn::ShiftRight<16>(sv), k15)), hn::And(hn::ShiftRight<16>(dv), k15));
    const V32 step =
        hn::BitCast(d32, hn::GatherIndex(di32, reinterpret_cast<const int32_t*>(kOver16Packed.data()),
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
    rows::StoreU(hn::IfThenElse(words, colour, alphaPad), d16, dp);
  };
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, words);
}

void SetKernels(KernelTable& t) {
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

}  // namespace
PIXELOPS_REGISTER_KERNELS(AlphaChannel)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(AlphaChannel)
#endif
