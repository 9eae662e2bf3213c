// The exact integer identities the blend arithmetic rests on: quotients by
// 255 and by 15 as a multiply and a shift, the fixed-weight multiplier, and
// the byte moves that put an alpha byte where those multiplies want it. Each
// is stated once, with the domain over which it gives exactly the quotient
// (and so exactly the table entry it replaces); tests/exact_arithmetic_test.cpp
// proves each, scalar and lane form, over that whole domain.
//
// The first section (scalar, constexpr) serves any file. The second, the lane
// forms of the same names, is present only where the file is included after
// hwy/highway.h; from a file compiled through hwy/foreach_target.h it is
// emitted once per target (the toggle guard below), so such a file must
// include this one (directly or through blend_arithmetic-inl.h) in every pass.

#ifndef PIXELOPS_EXACT_ARITHMETIC_SCALAR_H_
#define PIXELOPS_EXACT_ARITHMETIC_SCALAR_H_

#include <cstdint>

namespace pixelops::exact {

// x / 255 truncated, for every x <= 65535: (x x 0x8081) >> 23. 0x8081 / 2^23
// exceeds 1 / 255 by 1 / (255 x 2^23), so x / 255 gains less than
// 65536 / (255 x 2^23) < 1 / 255, while its fraction is at most 254 / 255:
// the gain never reaches the next integer.
constexpr uint32_t Div255(uint32_t x) { return (x * 0x8081u) >> 23; }

// x / 255 truncated without leaving 16 bits, for x <= 65279:
// (x + 1 + (x >> 8)) >> 8. With x = 255q + r (r <= 254, q <= 256), x >> 8 is
// q - 1 or q (x / 256 = q + (r - q) / 256, |r - q| < 256), so the sum is
// 256q + r + 1 or 256q + r: in 256q..256q + 255. The sum stays below 2^16 up
// to x = 65279, so it runs in 16-bit lanes as the compiler vectorises it.
constexpr uint32_t Div255In16(uint16_t x) { return static_cast<uint32_t>((x + 1 + (x >> 8)) >> 8); }

// Div255In16 of both 16-bit halves of x at once (each half <= 65279): no
// half's sum carries into the other, and the mask drops what the shift moves
// from the high half into the low one.
constexpr uint32_t Div255In16Pair(uint32_t x) {
  return ((x + 0x00010001u + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// x / 15 truncated, for x <= 4693 (every channel c <= 63 times a level
// <= 15): (x x 4370) >> 16. 4370 / 65536 exceeds 1 / 15 by 14 / 983040; that
// error, x x 14 / 983040, reaches 1 / 15 only from x = 4682 on, and first
// lifts a quotient at x = 4694, the first x there whose fraction is 14 / 15.
constexpr uint32_t Div15(uint32_t x) { return (x * 4370u) >> 16; }

// The multiplier of a level (0..15) for many channels: 2185 x level. For a
// channel c <= 63, (2c x LevelMultiplier(level)) >> 16 = Div15(c x level),
// as 2 x 2185 = 4370 and c x level <= 945 lies inside Div15's domain.
constexpr uint32_t LevelMultiplier(uint32_t level) { return level * 2185u; }

// The 16-level level of a 4-bit alpha (0..15) at an opacity w (0..255):
// P[w][16 x alpha] >> 4, at which the 16-bit alpha formats blend their colour
// words. As floor(floor(x) / 16) = floor(x / 16) for every x >= 0, it is
// floor(16 x alpha x w / 255 / 16) = floor(alpha x w / 255), and
// alpha x w <= 3825 lies inside Div255's domain.
constexpr uint32_t AlphaLevel(uint32_t alpha, uint32_t w) { return Div255(alpha * w); }

// The multiplier of a weight w <= 254 fixed for many products: 257w + 1,
// below 2^16, and (c x (257w + 1)) >> 16 = c x w / 255 truncated for every
// c <= 255. As 257 x 255 = 65535, c x (257w + 1) / 65536 exceeds c x w / 255
// by c x (255 - w) / (255 x 65536) < 255 / 65536 < 1 / 255, less than the
// distance from c x w / 255 to the next integer. A field of bits F of a word
// scales where it lies: ((v & F) x (257w + 1) >> 16) & F, the field's value
// c at bit k being c x 2^k and floor(2^k y) keeping floor(y) above bit k.
constexpr uint32_t FixedMultiplier(uint32_t w) { return w * 257 + 1; }

// The fixed multiplier of the complement weight 255 - w from that of w, in 16
// bits, for 1 <= w <= 255: 1 - FixedMultiplier(w) modulo 2^16. As
// 257 x 255 = 65535 = -1 modulo 2^16, 257(255 - w) + 1 = -257w
// = 1 - (257w + 1).
constexpr uint32_t ComplementMultiplier(uint32_t m) { return (1u - m) & 0xFFFFu; }

}  // namespace pixelops::exact

#endif  // PIXELOPS_EXACT_ARITHMETIC_SCALAR_H_

#ifdef HWY_NAMESPACE

#if defined(PIXELOPS_EXACT_ARITHMETIC_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PIXELOPS_EXACT_ARITHMETIC_INL_H_
#undef PIXELOPS_EXACT_ARITHMETIC_INL_H_
#else
#define PIXELOPS_EXACT_ARITHMETIC_INL_H_
#endif

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE::exact {
namespace hn = hwy::HWY_NAMESPACE;

// Div255 in 16-bit lanes, every x: the high half of x x 0x8081, shifted
// right by 7.
template <class V>
HWY_INLINE V Div255(V x) {
  const hn::DFromV<V> d;
  return hn::ShiftRight<7>(hn::MulHigh(x, hn::Set(d, 0x8081)));
}

// Div255 of a 16-bit lane in its high byte, x <= 65279 (a quotient below 256):
// the high half of x x 0x8081 moved up one bit; its low byte is not the
// quotient's, and callers mask it off. Bits 8..15 of that are bits 7..14 of
// the high half, which is Div255(x).
template <class V>
HWY_INLINE V Div255InHighByte(V x) {
  const hn::DFromV<V> d;
  return hn::ShiftLeft<1>(hn::MulHigh(x, hn::Set(d, 0x8081)));
}

// Div15 in 16-bit lanes, x <= 4693: the high half of x x 4370.
template <class V>
HWY_INLINE V Div15(V x) {
  const hn::DFromV<V> d;
  return hn::MulHigh(x, hn::Set(d, 4370));
}

// LevelMultiplier per 16-bit lane (level <= 15).
template <class V>
HWY_INLINE V LevelMultiplier(V level) {
  const hn::DFromV<V> d;
  return hn::Mul(level, hn::Set(d, static_cast<hn::TFromV<V>>(pixelops::exact::LevelMultiplier(1))));
}

// FixedMultiplier per lane (16-bit lanes: w <= 254; wider lanes: any w).
template <class V>
HWY_INLINE V FixedMultiplier(V w) {
  const hn::DFromV<V> d;
  return hn::Add(hn::Mul(w, hn::Set(d, 257)), hn::Set(d, 1));
}

// AlphaLevel per 16-bit lane (alpha <= 15, w <= 255): the high half of
// w x FixedMultiplier(alpha), which is floor(alpha x w / 255) (FixedMultiplier
// with c = w).
template <class V>
HWY_INLINE V AlphaLevel(V alpha, V w) {
  return hn::MulHigh(w, FixedMultiplier(alpha));
}

// ComplementMultiplier per 16-bit lane (1 <= w <= 255 for m = FixedMultiplier(w)).
template <class V>
HWY_INLINE V ComplementMultiplier(V m) {
  const hn::DFromV<V> d;
  return hn::Sub(hn::Set(d, 1), m);
}

// c x w / 255 truncated for every byte c, m = FixedMultiplier(w) in every
// 16-bit lane (w <= 254): the even bytes as FixedMultiplier says; the odd
// byte c of a lane is multiplied where it stands (256c), and the high half
// of 256c x m, which is c x m / 256 truncated (below 2^16), holds
// c x m / 65536 in its high byte.
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytes(D8, hn::Vec<hn::Repartition<uint16_t, D8>> m, hn::Vec<D8> c) {
  const hn::Repartition<uint16_t, D8> d16;
  const auto c16 = hn::BitCast(d16, c);
  const auto high = hn::Set(d16, 0xFF00);
  const auto even = hn::MulHigh(hn::AndNot(high, c16), m);
  const auto odd = hn::MulHigh(hn::And(c16, high), m);
  return hn::BitCast(D8(), hn::OrAnd(even, odd, high));
}

// Byte 3 of each 32-bit lane of px in both of its 16-bit halves (the high
// bytes 0): a pixel's alpha as a 16-bit weight for both pairs of its bytes.
template <class D8>
HWY_INLINE hn::Vec<hn::Repartition<uint16_t, D8>> Byte3InHalves(D8 d8, hn::Vec<D8> px) {
  constexpr uint8_t Z = 0x80;  // a byte made 0
  alignas(16) static constexpr uint8_t kIndex[16] = {3, Z, 3, Z, 7, Z, 7, Z, 11, Z, 11, Z, 15, Z, 15, Z};
  return hn::BitCast(hn::Repartition<uint16_t, D8>(),
                     hn::TableLookupBytesOr0(px, hn::LoadDup128(d8, kIndex)));
}

// Bytes 0-2 of each 32-bit lane of v each times byte 3 of the lane / 255,
// truncated (Div255 of each product); byte 3 becomes 0. The odd bytes'
// products p (< 2^15) come out in their high byte (Div255InHighByte).
template <class D8>
HWY_INLINE hn::Vec<D8> ProductBytesByByte3(D8 d8, hn::Vec<D8> v) {
  const hn::Repartition<uint16_t, D8> d16;
  const hn::Repartition<uint32_t, D8> d32;
  const auto a = Byte3InHalves(d8, v);
  const auto v16 = hn::BitCast(d16, v);
  const auto even = Div255(hn::Mul(hn::And(v16, hn::Set(d16, 0xFF)), a));
  const auto odd = Div255InHighByte(hn::Mul(hn::ShiftRight<8>(v16), a));
  const auto byte1 = hn::BitCast(d16, hn::Set(d32, 0xFF00));
  return hn::BitCast(d8, hn::Or(even, hn::And(odd, byte1)));
}

// The byte indices that copy byte kByte (0..3) of each 32-bit lane to its
// four bytes, for SpreadByte.
template <int kByte, class D8>
HWY_INLINE hn::Vec<D8> SpreadIndex(D8 d8) {
  static_assert(kByte >= 0 && kByte <= 3);
  if constexpr (kByte == 0) return hn::And(hn::Iota(d8, 0), hn::Set(d8, 12));
  else return hn::Or(hn::And(hn::Iota(d8, 0), hn::Set(d8, 12)), hn::Set(d8, kByte));
}

// The byte b of each 32-bit lane that index picks (SpreadIndex) in its four
// bytes (b x 0x01010101), seen as 16-bit lanes: 257b in both halves, so
// FixedMultiplier(b) is one Add of 1 away.
template <class D8>
HWY_INLINE hn::Vec<hn::Repartition<uint16_t, D8>> SpreadByte(D8 d8, hn::Vec<hn::Repartition<uint32_t, D8>> v,
                                                             hn::Vec<D8> index) {
  return hn::BitCast(hn::Repartition<uint16_t, D8>(), hn::TableLookupBytes(hn::BitCast(d8, v), index));
}

// FixedMultiplier(b) in both 16-bit halves of each 32-bit lane, b the byte
// that index picks (b <= 254; b = 255 wraps to 0).
template <class D8>
HWY_INLINE hn::Vec<hn::Repartition<uint16_t, D8>> SpreadFixedMultiplier(
    D8 d8, hn::Vec<hn::Repartition<uint32_t, D8>> v, hn::Vec<D8> index) {
  return hn::Add(SpreadByte(d8, v, index), hn::Set(hn::Repartition<uint16_t, D8>(), 1));
}

// The colour words and the alpha-and-pad halves of 2 x N16 / 2 pixels of a
// 16-bit alpha format at p (colour word, alpha byte, pad byte), one pixel per
// 16-bit lane (vector targets only).
#if HWY_TARGET != HWY_SCALAR
template <class D16>
HWY_INLINE void LoadWordAlpha(D16 d16, const uint8_t* p, hn::Vec<D16>& words, hn::Vec<D16>& alphaPad) {
  const hn::Repartition<uint8_t, D16> d8;
  const hn::Vec<D16> lo = hn::BitCast(d16, hn::LoadU(d8, p));
  const hn::Vec<D16> hi = hn::BitCast(d16, hn::LoadU(d8, p + hn::Lanes(d8)));
  words = hn::ConcatEven(d16, hi, lo);
  alphaPad = hn::ConcatOdd(d16, hi, lo);
}
#endif

}  // namespace pixelops::kernels::HWY_NAMESPACE::exact
HWY_AFTER_NAMESPACE();

#endif  // PIXELOPS_EXACT_ARITHMETIC_INL_H_
#endif  // HWY_NAMESPACE
