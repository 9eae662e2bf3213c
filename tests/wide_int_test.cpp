// The 128-bit products that replace compiler extensions in the edge and ramp
// arithmetic: checked against 64-bit products where they fit, and against
// values known exactly beyond that.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "graphics/wide_int.h"

namespace pixelops {
namespace {

TEST(WideInt, ProductsAndCrossSignsMatchNarrowArithmetic) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const int64_t a = static_cast<int32_t>(rng()), b = static_cast<int32_t>(rng());
    const int64_t c = static_cast<int32_t>(rng()), d = static_cast<int32_t>(rng());
    const wide::Int128 p = wide::Mul(a, b);
    ASSERT_EQ(p.hi, a * b < 0 ? -1 : 0);
    ASSERT_EQ(p.lo, static_cast<uint64_t>(a * b));
    // a*b - c*d of 32-bit values fits 64 bits.
    const int64_t cross = a * b - c * d;
    ASSERT_EQ(wide::SignOfCross(a, b, c, d), (cross > 0) - (cross < 0));
  }
}

TEST(WideInt, ProductsBeyond64Bits) {
  const int64_t big = int64_t{1} << 32;
  EXPECT_EQ(wide::Mul(big, big), (wide::Int128{1, 0}));
  EXPECT_EQ(wide::Mul(-big, big), (wide::Int128{-1, 0}));
  EXPECT_EQ(wide::Mul(INT64_MIN, 1), (wide::Int128{-1, uint64_t{1} << 63}));
  // (2^32 - 1)^2 = 2^64 - 2^33 + 1.
  EXPECT_EQ(wide::Mul(big - 1, big - 1), (wide::Int128{0, 0 - (uint64_t{1} << 33) + 1}));
  // Differences of 33-bit values whose products differ by one.
  EXPECT_EQ(wide::SignOfCross(big, big, big - 1, big + 1), 1);
  EXPECT_EQ(wide::SignOfCross(big - 1, big + 1, big, big), -1);
  EXPECT_EQ(wide::SignOfCross(-big, big, big, -big), 0);
  EXPECT_EQ(wide::SignOfCross(-big, -big, big - 1, big), 1);
}

}  // namespace
}  // namespace pixelops
