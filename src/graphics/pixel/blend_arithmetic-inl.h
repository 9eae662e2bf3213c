// Lane arithmetic shared by the blend kernels (translucent, alpha-channel,
// pattern, fade and polygon), built on the identities of
// exact_arithmetic-inl.h: the products, complements and signed differences of
// the blend tables (P, K, D), the 16-level scaling and blend of the colour
// words (L565, L555), and the moves of 16-bit colour words between pixels,
// bytes and lanes, computed in vector lanes so that a kernel needs no table
// look-up. Each helper gives, lane by lane, exactly the entry of the table it
// stands for; tests/exact_arithmetic_test.cpp proves each one against its
// table over the whole input domain.
//
// Per-target code: include it after hwy/highway.h from a file compiled through
// hwy/foreach_target.h (the guard below lets it be included once per target).

#if defined(PIXELOPS_BLEND_ARITHMETIC_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PIXELOPS_BLEND_ARITHMETIC_INL_H_
#undef PIXELOPS_BLEND_ARITHMETIC_INL_H_
#else
#define PIXELOPS_BLEND_ARITHMETIC_INL_H_
#endif

#include <hwy/highway.h>

#include <cstdint>

#include "graphics/pixel/exact_arithmetic-inl.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace blend {
namespace hn = hwy::HWY_NAMESPACE;

// P[a][c] = a x c / 255 in 16-bit lanes holding bytes.
template <class V>
HWY_INLINE V Product(V a, V c) {
  return exact::Div255(hn::Mul(a, c));
}

// K[a][c] = c x (255 - a) / 255 = P[255 - a][c] in 16-bit lanes holding bytes.
template <class V>
HWY_INLINE V Complement(V a, V c) {
  const hn::DFromV<V> d;
  return Product(hn::Sub(hn::Set(d, 255), a), c);
}

// The weights of the byte forms below. A weight is a tag saying its form and
// a vector (vectors stay out of structs: some targets' vectors have no size):
//   ByteWeight   a vector of bytes, each byte's own weight (0..255);
//   LaneWeight   a 16-bit vector, a weight (0..255) in each lane for both
//                of its bytes;
//   FixedWeight  a 16-bit vector, exact::FixedMultiplier(w) = 257w + 1 in each
//                lane for a weight w <= 254: P[w][c] is the high half of
//                c x (257w + 1);
//   FullWeight   the weight 255, P[255][c] = c; its vector is not used.
struct ByteWeight {};
struct LaneWeight {};
struct FixedWeight {};
struct FullWeight {};

// P[even][c] and P[odd][c] for the even and odd byte c of each 16-bit lane.
// The odd bytes' quotients come out where they stand (exact::Div255InHighByte).
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytesByHalves(D8 d8, hn::Vec<hn::Repartition<uint16_t, D8>> even,
                                            hn::Vec<hn::Repartition<uint16_t, D8>> odd, hn::Vec<D8> c) {
  const hn::Repartition<uint16_t, D8> d16;
  const auto c16 = hn::BitCast(d16, c);
  const auto lo = exact::Div255(hn::Mul(even, hn::And(c16, hn::Set(d16, 0xFF))));
  const auto hi = exact::Div255InHighByte(hn::Mul(odd, hn::ShiftRight<8>(c16)));
  return hn::OddEven(hn::BitCast(d8, hi), hn::BitCast(d8, lo));
}

// P[w][c] for every byte c, w the byte's weight.
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytes(D8 d8, ByteWeight, hn::Vec<D8> w, hn::Vec<D8> c) {
  const hn::Repartition<uint16_t, D8> d16;
  const auto w16 = hn::BitCast(d16, w);
  return ProductBytesByHalves(d8, hn::And(w16, hn::Set(d16, 0xFF)), hn::ShiftRight<8>(w16), c);
}
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytes(D8 d8, LaneWeight, hn::Vec<hn::Repartition<uint16_t, D8>> w,
                                    hn::Vec<D8> c) {
  return ProductBytesByHalves(d8, w, w, c);
}

template <class D8>
HWY_INLINE hn::Vec<hn::Repartition<uint16_t, D8>> MakeFixedWeight(D8, uint32_t w) {  // w <= 254
  const hn::Repartition<uint16_t, D8> d16;
  return hn::Set(d16, static_cast<uint16_t>(pixelops::exact::FixedMultiplier(w)));
}

// Calls body(form, vector) with the form of weight w (0..255) that runs
// fastest.
template <class D8, class Body>
HWY_INLINE void WithWeight(D8 d8, uint32_t w, const Body& body) {
  if (w >= 255) body(FullWeight{}, hn::Zero(hn::Repartition<uint16_t, D8>()));
  else body(FixedWeight{}, MakeFixedWeight(d8, w));
}

// P[w][x] for 16-bit lanes x holding bytes, w one weight.
template <class V16>
HWY_INLINE V16 ProductLanes(FixedWeight, V16 m, V16 x) {
  return hn::MulHigh(x, m);
}
template <class V16>
HWY_INLINE V16 ProductLanes(FullWeight, V16, V16 x) {
  return x;
}

// P[w][c] for every byte c at one weight w <= 254 (m = 257w + 1).
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytes(D8 d8, FixedWeight, hn::Vec<hn::Repartition<uint16_t, D8>> m,
                                    hn::Vec<D8> c) {
  return exact::ProductBytes(d8, m, c);
}
template <class D8, class V>
HWY_INLINE hn::Vec<D8> ProductBytes(D8, FullWeight, V, hn::Vec<D8> c) {
  return c;
}

// The weighted blend of bytes held in 16-bit lanes (w in 0..255 per lane):
// d + D[w][s - d] = d + P[w][s - d] where s >= d and d - P[w][d - s] where
// s < d, i.e. d + (s - d) x w / 255 truncated towards zero.
template <class V>
HWY_INLINE V WeightLanes(V s, V d, V w) {
  const auto hi = hn::Max(s, d), lo = hn::Min(s, d);
  const auto q = Product(hn::Sub(hi, lo), w);
  return hn::IfThenElse(hn::Eq(hi, s), hn::Add(d, q), hn::Sub(d, q));
}

// The weighted blend of every byte: d + D[w][s - d] modulo 256, that is
// d + P[w][s - d] where s >= d and d - P[w][d - s] where s < d.
template <class D8, class W, class VW>
HWY_INLINE hn::Vec<D8> WeightBytes(D8 d8, W form, VW w, hn::Vec<D8> s, hn::Vec<D8> d) {
  const auto hi = hn::Max(s, d);
  const auto q = ProductBytes(d8, form, w, hn::Sub(hi, hn::Min(s, d)));
  return hn::IfThenElse(hn::Eq(hi, s), hn::Add(d, q), hn::Sub(d, q));
}

// The two-level mix of every byte: P[ws][s] + P[wd][d] modulo 256.
template <class D8, class WS, class VS, class WD, class VD>
HWY_INLINE hn::Vec<D8> MixBytes(D8 d8, WS formS, VS ws, hn::Vec<D8> s, WD formD, VD wd, hn::Vec<D8> d) {
  return hn::Add(ProductBytes(d8, formS, ws, s), ProductBytes(d8, formD, wd, d));
}

// L565[level][w] (k565) or L555[level][w]: each channel of the colour word
// times level / 15, truncated; m = exact::LevelMultiplier(level) per lane.
// A channel c (<= 63) scales exactly as the high half of 2c x m. Red and
// green are multiplied where they stand: a channel at bit k is the lane value
// c x 2^k, and the high half of that times m is c x m / 2^(16-k) truncated,
// which holds the wanted 2c x m / 2^16 from bit k - 1 on (for red,
// c x m / 32 < 2^15; for green it stays below bit k + 5, under the red bits).
// Red (masked) and green are joined, moved up one bit, and the bits under
// green's field are masked off; blue is taken out already doubled. The 555
// form ignores bit 15 and leaves it 0.
template <bool k565, class V>
HWY_INLINE V LevelWord(V w, V m) {
  const hn::DFromV<V> d;
  constexpr uint16_t kRed = k565 ? 0xF800 : 0x7C00, kGreen = k565 ? 0x07E0 : 0x03E0;
  const auto b = hn::MulHigh(hn::And(hn::ShiftLeft<1>(w), hn::Set(d, 0x3E)), m);
  const auto r = hn::MulHigh(hn::And(w, hn::Set(d, kRed)), m);
  const auto g = hn::MulHigh(hn::And(w, hn::Set(d, kGreen)), m);
  const auto rg = hn::OrAnd(g, r, hn::Set(d, static_cast<uint16_t>(kRed >> 1)));
  return hn::OrAnd(b, hn::ShiftLeft<1>(rg), hn::Set(d, static_cast<uint16_t>(kRed | kGreen)));
}

// LevelWord from the level (0..15) itself: each channel c x level, then
// exact::Div15. The same words; two multiplies a channel instead of one, but no
// multiplier to form first, which measures faster where the levels of every
// lane come from a look-up just made (the 16-bit source-over rows).
template <bool k565, class V>
HWY_INLINE V LevelWordByLevel(V w, V level) {
  const hn::DFromV<V> d;
  constexpr int kRedShift = k565 ? 11 : 10;
  const V r = hn::And(hn::ShiftRight<kRedShift>(w), hn::Set(d, 31));
  const V g = hn::And(hn::ShiftRight<5>(w), hn::Set(d, k565 ? 63 : 31));
  const V b = hn::And(w, hn::Set(d, 31));
  return hn::Or(hn::Or(hn::ShiftLeft<kRedShift>(exact::Div15(hn::Mul(r, level))),
                       hn::ShiftLeft<5>(exact::Div15(hn::Mul(g, level)))),
                exact::Div15(hn::Mul(b, level)));
}

// The 16-level blend L[level][s] + L[15 - level][d] of colour words, level
// (0..15) per lane. The channels of the two terms sum to at most the
// channel's maximum, so the words add without carries. The multiplier of
// 15 - level is that of 15 less that of level.
template <bool k565, class V>
HWY_INLINE V LevelBlend(V s, V d, V level) {
  const hn::DFromV<V> dv;
  const V m = exact::LevelMultiplier(level);
  return hn::Add(LevelWord<k565>(s, m),
                 LevelWord<k565>(d, hn::Sub(exact::LevelMultiplier(hn::Set(dv, 15)), m)));
}

// The low 16-bit halves of the 32-bit lanes of a and b (the colour words of
// two vectors of 4-byte 16-bit-colour pixels) packed into one vector: a's in
// the even 16-bit lanes, b's in the odd ones. Lane j of the answer is the
// low half of 32-bit lane j / 2 of a (even j) or of b (odd j).
template <class V16>
HWY_INLINE V16 PackWords(V16 a, V16 b) {
  const hn::DFromV<V16> d16;
  const hn::Repartition<uint32_t, decltype(d16)> d32;
  return hn::OddEven(hn::BitCast(d16, hn::ShiftLeft<16>(hn::BitCast(d32, b))), a);
}

// The words of w (packed as PackWords packs them) put back into a, or into
// b, beside those pixels' high halves.
template <class V16>
HWY_INLINE V16 UnpackWordsLow(V16 w, V16 a) {
  return hn::OddEven(a, w);
}
template <class V16>
HWY_INLINE V16 UnpackWordsHigh(V16 w, V16 b) {
  const hn::DFromV<V16> d16;
  const hn::Repartition<uint32_t, decltype(d16)> d32;
  return hn::OddEven(b, hn::BitCast(d16, hn::ShiftRight<16>(hn::BitCast(d32, w))));
}

// The channels of colour words as bytes, the channel's bits at the top.
template <bool k565, class V>
HWY_INLINE void Widen(V w, V& r, V& g, V& b) {
  const hn::DFromV<V> d;
  b = hn::And(hn::ShiftLeft<3>(w), hn::Set(d, 0xFF));
  if constexpr (k565) {
    r = hn::And(hn::ShiftRight<8>(w), hn::Set(d, 0xF8));
    g = hn::And(hn::ShiftRight<3>(w), hn::Set(d, 0xFC));
  } else {
    r = hn::And(hn::ShiftRight<7>(w), hn::Set(d, 0xF8));
    g = hn::And(hn::ShiftRight<2>(w), hn::Set(d, 0xF8));
  }
}

// Channel bytes (each taken modulo 256) narrowed back into a colour word.
template <bool k565, class V>
HWY_INLINE V Narrow(V r, V g, V b) {
  const hn::DFromV<V> d;
  const auto blue = hn::ShiftRight<3>(hn::And(b, hn::Set(d, 0xFF)));
  if constexpr (k565) {
    return hn::Or(hn::Or(hn::ShiftLeft<8>(hn::And(r, hn::Set(d, 0xF8))),
                         hn::ShiftLeft<3>(hn::And(g, hn::Set(d, 0xFC)))),
                  blue);
  } else {
    return hn::Or(hn::Or(hn::ShiftLeft<7>(hn::And(r, hn::Set(d, 0xF8))),
                         hn::ShiftLeft<2>(hn::And(g, hn::Set(d, 0xF8)))),
                  blue);
  }
}

}  // namespace blend
}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // PIXELOPS_BLEND_ARITHMETIC_INL_H_
