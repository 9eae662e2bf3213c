// Signed products of two 64-bit integers held exactly in 128 bits, in standard
// C++: what the placement and edge arithmetic needs where a product of two
// 33-bit differences no longer fits 64 bits.
#pragma once

#include <cstdint>

namespace pixelops::wide {

// The value hi x 2^64 + lo.
struct Int128 {
  int64_t hi = 0;
  uint64_t lo = 0;
  friend constexpr bool operator==(const Int128&, const Int128&) = default;
};

constexpr uint64_t Magnitude(int64_t v) {
  return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// The 128-bit product of two unsigned 64-bit numbers, as high and low halves.
constexpr void MulUnsigned(uint64_t a, uint64_t b, uint64_t* hi, uint64_t* lo) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  *lo = (mid << 32) | (p00 & 0xFFFFFFFFu);
  *hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

constexpr Int128 Negate(Int128 v) {
  const uint64_t lo = 0 - v.lo;
  const uint64_t hi = ~static_cast<uint64_t>(v.hi) + (v.lo == 0 ? 1 : 0);
  return {static_cast<int64_t>(hi), lo};
}

constexpr Int128 Mul(int64_t a, int64_t b) {
  uint64_t hi = 0, lo = 0;
  MulUnsigned(Magnitude(a), Magnitude(b), &hi, &lo);
  const Int128 m{static_cast<int64_t>(hi), lo};
  return (a < 0) != (b < 0) ? Negate(m) : m;
}

// a - b; the caller keeps the difference within 128 bits.
constexpr Int128 Sub(Int128 a, Int128 b) {
  const uint64_t lo = a.lo - b.lo;
  const uint64_t hi = static_cast<uint64_t>(a.hi) - static_cast<uint64_t>(b.hi) - (a.lo < b.lo ? 1 : 0);
  return {static_cast<int64_t>(hi), lo};
}

// -1, 0 or 1.
constexpr int32_t Sign(Int128 v) {
  if (v.hi < 0) return -1;
  return v.hi == 0 && v.lo == 0 ? 0 : 1;
}

// The sign of a x b - c x d.
constexpr int32_t SignOfCross(int64_t a, int64_t b, int64_t c, int64_t d) {
  return Sign(Sub(Mul(a, b), Mul(c, d)));
}

}  // namespace pixelops::wide
