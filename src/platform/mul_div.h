// (a x b) / c with a 64-bit product, rounded to the nearest integer, halves
// away from zero. Answers -1 when c is 0 or the quotient does not fit 32 bits,
// as the system function it stands in for does.
#pragma once

#include <cstdint>

namespace pixelops {

namespace platform {

constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t n = static_cast<int64_t>(a) * b;
  const uint64_t an = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  const uint64_t ac = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
  const uint64_t q = (an + ac / 2) / ac;
  const bool negative = (n < 0) != (c < 0);
  if (negative ? q > uint64_t{1} << 31 : q > INT32_MAX) return -1;
  return negative ? static_cast<int32_t>(0 - static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

}  // namespace platform

using platform::MulDiv;

}  // namespace pixelops
