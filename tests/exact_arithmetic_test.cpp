// The exact integer identities of exact_arithmetic-inl.h and the blend lane
// arithmetic built on them: each lane form proved, over its whole input
// domain, against plain integer division or the table it stands for, on
// every vector target this machine runs; each scalar form the same way.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tests/exact_arithmetic_test.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstdint>
#include <vector>

#include "graphics/blend_tables.h"
#include "graphics/pixel/blend_arithmetic-inl.h"

#ifndef PIXELOPS_EXACT_ARITHMETIC_TEST_ONCE
#define PIXELOPS_EXACT_ARITHMETIC_TEST_ONCE
namespace pixelops::test {
namespace {
// The inputs and the expected answers of ProductBytesByByte3, computed once
// in plain code, out of line: GCC 12 vectorises these loops wrongly within
// the SVE_256 target's code (seen under qemu), which the proof must not
// depend on.
// Pixels whose byte 3 is a and bytes 0-2 run from c0 up.
HWY_NOINLINE void ByByte3Pixels(uint8_t* bytes, size_t n, uint32_t a, uint32_t c0) {
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i % 4 == 3 ? a : c0 + i / 4);
}
// The entries of products that differ from bytes 0-2 x a / 255 and byte 3 0.
HWY_NOINLINE uint64_t ByByte3Mismatches(const uint8_t* products, const uint8_t* bytes, size_t n, uint32_t a) {
  uint64_t bad = 0;
  for (size_t i = 0; i < n; ++i) bad += products[i] != (i % 4 == 3 ? 0u : bytes[i] * a / 255);
  return bad;
}
}  // namespace
}  // namespace pixelops::test
#endif

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace {
namespace hn = hwy::HWY_NAMESPACE;

// Each proof returns the number of entries where the lanes and the table
// differ (0 expected). The kernels never run on the one-lane scalar target,
// which the proofs skip.
#if HWY_TARGET != HWY_SCALAR

// The identities themselves: Div255 for every 16-bit x, Div15 up to 4693,
// FixedMultiplier for every weight up to 254 (as the scalar form gives it),
// and the byte moves, on bytes that differ at every position.
uint64_t IdentityMismatches() {
  const hn::ScalableTag<uint8_t> d8;
  const hn::ScalableTag<uint16_t> d16;
  const hn::Repartition<uint32_t, decltype(d8)> d32;
  const size_t lanes = hn::Lanes(d16), lanes8 = hn::Lanes(d8);
  std::vector<uint16_t> q(lanes), f(lanes), m(lanes), high(lanes), level(lanes), complement(lanes),
      halves(lanes), spread(lanes);
  std::vector<uint8_t> bytes(lanes8);
  uint64_t bad = 0;
  for (uint32_t base = 0; base < 65536; base += static_cast<uint32_t>(lanes)) {
    const auto x = hn::Iota(d16, base);
    hn::StoreU(exact::Div255(x), d16, q.data());
    hn::StoreU(exact::Div15(x), d16, f.data());
    hn::StoreU(exact::FixedMultiplier(x), d16, m.data());
    hn::StoreU(exact::Div255InHighByte(x), d16, high.data());
    hn::StoreU(exact::LevelMultiplier(x), d16, level.data());
    hn::StoreU(exact::ComplementMultiplier(exact::FixedMultiplier(x)), d16, complement.data());
    for (size_t j = 0; j < lanes; ++j) {
      const uint32_t v = base + static_cast<uint32_t>(j);
      bad += q[j] != v / 255;
      if (v <= 4693) bad += f[j] != v / 15;
      if (v <= 254) bad += m[j] != pixelops::exact::FixedMultiplier(v);
      if (v <= 65279) bad += (high[j] >> 8) != v / 255;
      if (v <= 15) bad += level[j] != pixelops::exact::LevelMultiplier(v);
      if (v >= 1 && v <= 255) bad += complement[j] != pixelops::exact::FixedMultiplier(255 - v);
    }
  }
  for (uint32_t seed = 0; seed < 256; seed += 37) {
    for (size_t i = 0; i < lanes8; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    const auto px = hn::LoadU(d8, bytes.data());
    hn::StoreU(exact::Byte3InHalves(d8, px), d16, halves.data());
    for (size_t j = 0; j < lanes; ++j) bad += halves[j] != bytes[j / 2 * 4 + 3];
    auto spreadEach = [&](auto index, size_t byte) {
      hn::StoreU(exact::SpreadByte(d8, hn::BitCast(d32, px), index), d16, spread.data());
      for (size_t j = 0; j < lanes; ++j) bad += spread[j] != 257u * bytes[j / 2 * 4 + byte];
      hn::StoreU(exact::SpreadFixedMultiplier(d8, hn::BitCast(d32, px), index), d16, spread.data());
      for (size_t j = 0; j < lanes; ++j)
        bad += spread[j] != static_cast<uint16_t>(pixelops::exact::FixedMultiplier(bytes[j / 2 * 4 + byte]));
    };
    spreadEach(exact::SpreadIndex<0>(d8), 0);
    spreadEach(exact::SpreadIndex<1>(d8), 1);
    spreadEach(exact::SpreadIndex<2>(d8), 2);
    spreadEach(exact::SpreadIndex<3>(d8), 3);
  }
  // ProductBytesByByte3: every colour byte c against every alpha a, in each
  // of bytes 0-2.
  std::vector<uint8_t> products(lanes8);
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t c0 = 0; c0 < 256; c0 += static_cast<uint32_t>(lanes8 / 4)) {
      test::ByByte3Pixels(bytes.data(), lanes8, a, c0);
      hn::StoreU(exact::ProductBytesByByte3(d8, hn::LoadU(d8, bytes.data())), d8, products.data());
      bad += test::ByByte3Mismatches(products.data(), bytes.data(), lanes8, a);
    }
  }
  return bad;
}

// P and K: every a, c in 0..255, in 16-bit lanes.
uint64_t ProductAndComplementMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d16);
  std::vector<uint16_t> p(lanes), k(lanes);
  uint64_t bad = 0;
  for (uint32_t base = 0; base < 65536; base += static_cast<uint32_t>(lanes)) {
    const auto i = hn::Iota(d16, base);
    const auto a = hn::ShiftRight<8>(i), c = hn::And(i, hn::Set(d16, 0xFF));
    hn::StoreU(blend::Product(a, c), d16, p.data());
    hn::StoreU(blend::Complement(a, c), d16, k.data());
    for (size_t j = 0; j < lanes; ++j) {
      const uint32_t idx = base + static_cast<uint32_t>(j);
      bad += p[j] != t.P(idx >> 8, idx & 0xFF);
      bad += k[j] != t.K(idx >> 8, idx & 0xFF);
    }
  }
  return bad;
}

// P on bytes, with a different weight in every byte and in the one-weight
// forms (one multiply per lane below 255, none at 255): every w, c in 0..255.
uint64_t ProductBytesMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint8_t> d8;
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d8), lanes16 = hn::Lanes(d16);
  std::vector<uint8_t> out(lanes);
  std::vector<uint16_t> out16(lanes16);
  uint64_t bad = 0;
  for (uint32_t c = 0; c < 256; ++c) {
    for (uint32_t w0 = 0; w0 < 256; w0 += static_cast<uint32_t>(lanes)) {
      const auto w = hn::Iota(d8, w0);
      hn::StoreU(blend::ProductBytes(d8, blend::ByteWeight{}, w, hn::Set(d8, static_cast<uint8_t>(c))), d8,
                 out.data());
      for (size_t j = 0; j < lanes; ++j) bad += out[j] != t.P((w0 + j) & 0xFF, c);
    }
  }
  // The one-multiply form with a weight per lane, for weights up to 254.
  for (uint32_t c = 0; c < 256; ++c) {
    for (uint32_t w0 = 0; w0 < 255; w0 += static_cast<uint32_t>(lanes16)) {
      const auto m = exact::FixedMultiplier(hn::Iota(d16, w0));
      hn::StoreU(blend::ProductLanes(blend::FixedWeight{}, m, hn::Set(d16, static_cast<uint16_t>(c))), d16,
                 out16.data());
      for (size_t j = 0; j < lanes16 && w0 + j < 255; ++j) bad += out16[j] != t.P(w0 + j, c);
    }
  }
  for (uint32_t w = 0; w < 256; ++w) {
    blend::WithWeight(d8, w, [&](auto form, auto m) {
      for (uint32_t c0 = 0; c0 < 256; c0 += static_cast<uint32_t>(lanes)) {
        hn::StoreU(blend::ProductBytes(d8, form, m, hn::Iota(d8, c0)), d8, out.data());
        for (size_t j = 0; j < lanes; ++j) bad += out[j] != t.P(w, (c0 + j) & 0xFF);
      }
      for (uint32_t c0 = 0; c0 < 256; c0 += static_cast<uint32_t>(lanes16)) {
        hn::StoreU(blend::ProductLanes(form, m, hn::Iota(d16, c0)), d16, out16.data());
        for (size_t j = 0; j < lanes16 && c0 + j < 256; ++j) bad += out16[j] != t.P(w, c0 + j);
      }
    });
  }
  return bad;
}

// d + D[w][s - d] modulo 256 (and P[w][s] + P[255 - w][d], the two-level
// mix): every w, s and d in 0..255, so every w and delta -255..255.
uint64_t WeightBytesMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint8_t> d8;
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d8), lanes16 = hn::Lanes(d16);
  std::vector<uint8_t> out(lanes), mix(lanes);
  std::vector<uint16_t> out16(lanes16);
  uint64_t bad = 0;
  for (uint32_t w = 0; w < 256; ++w) {
    const blend::LaneWeight same;
    const auto ws = hn::Set(d16, static_cast<uint16_t>(w)), wd = hn::Set(d16, static_cast<uint16_t>(255 - w));
    std::vector<uint8_t> fixed(lanes);
    for (uint32_t s = 0; s < 256; ++s) {
      const auto vs = hn::Set(d8, static_cast<uint8_t>(s));
      for (uint32_t d0 = 0; d0 < 256; d0 += static_cast<uint32_t>(lanes)) {
        const auto vd = hn::Iota(d8, d0);
        hn::StoreU(blend::WeightBytes(d8, same, ws, vs, vd), d8, out.data());
        hn::StoreU(blend::MixBytes(d8, same, ws, vs, same, wd, vd), d8, mix.data());
        blend::WithWeight(d8, w, [&](auto form, auto m) {
          hn::StoreU(blend::WeightBytes(d8, form, m, vs, vd), d8, fixed.data());
        });
        for (size_t j = 0; j < lanes; ++j) {
          const uint32_t d = (d0 + static_cast<uint32_t>(j)) & 0xFF;
          bad +=
              out[j] != static_cast<uint8_t>(d + t.D(w, static_cast<int32_t>(s) - static_cast<int32_t>(d)));
          bad += mix[j] != static_cast<uint8_t>(t.P(w, s) + t.P(255 - w, d));
          bad += fixed[j] != out[j];
        }
      }
      // The same blend of bytes held in 16-bit lanes.
      const auto ls = hn::Set(d16, static_cast<uint16_t>(s));
      const auto lw = hn::Set(d16, static_cast<uint16_t>(w));
      for (uint32_t d0 = 0; d0 < 256; d0 += static_cast<uint32_t>(lanes16)) {
        hn::StoreU(blend::WeightLanes(ls, hn::Iota(d16, d0), lw), d16, out16.data());
        for (size_t j = 0; j < lanes16 && d0 + j < 256; ++j) {
          const uint32_t d = d0 + static_cast<uint32_t>(j);
          bad +=
              out16[j] != static_cast<uint8_t>(d + t.D(w, static_cast<int32_t>(s) - static_cast<int32_t>(d)));
        }
      }
    }
  }
  return bad;
}

// L565 and L555 (both forms): every level
// 0..15 and every word, bit 15 included; the 16-level blend of every word
// over its complement.
uint64_t LevelWordMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d16);
  std::vector<uint16_t> w565(lanes), w555(lanes), l565(lanes), l555(lanes), b565(lanes), b555(lanes);
  uint64_t bad = 0;
  for (uint16_t level = 0; level < 16; ++level) {
    const auto m = exact::LevelMultiplier(hn::Set(d16, level));
    for (uint32_t base = 0; base < 65536; base += static_cast<uint32_t>(lanes)) {
      const auto w = hn::Iota(d16, base);
      hn::StoreU(blend::LevelWord<true>(w, m), d16, w565.data());
      hn::StoreU(blend::LevelWord<false>(w, m), d16, w555.data());
      const auto lv = hn::Set(d16, level);
      hn::StoreU(blend::LevelWordByLevel<true>(w, lv), d16, l565.data());
      hn::StoreU(blend::LevelWordByLevel<false>(w, lv), d16, l555.data());
      hn::StoreU(blend::LevelBlend<true>(w, hn::Not(w), lv), d16, b565.data());
      hn::StoreU(blend::LevelBlend<false>(w, hn::Not(w), lv), d16, b555.data());
      for (size_t j = 0; j < lanes; ++j) {
        const uint32_t s = base + static_cast<uint32_t>(j), d = s ^ 0xFFFF;
        bad += w565[j] != t.L565(level, s);
        bad += w555[j] != t.L555(level, s);
        bad += l565[j] != w565[j];
        bad += l555[j] != w555[j];
        bad += b565[j] != static_cast<uint16_t>(t.L565(level, s) + t.L565(15 - level, d));
        bad += b555[j] != static_cast<uint16_t>(t.L555(level, s) + t.L555(15 - level, d));
      }
    }
  }
  return bad;
}

// AlphaLevel: every 4-bit alpha at every opacity, against the table form
// P[w][16 x alpha] >> 4.
uint64_t AlphaLevelMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d16);
  std::vector<uint16_t> level(lanes);
  uint64_t bad = 0;
  for (uint16_t alpha = 0; alpha < 16; ++alpha) {
    for (uint32_t w0 = 0; w0 < 256; w0 += static_cast<uint32_t>(lanes)) {
      hn::StoreU(exact::AlphaLevel(hn::Set(d16, alpha), hn::Iota(d16, w0)), d16, level.data());
      for (size_t j = 0; j < lanes && w0 + j < 256; ++j)
        bad += level[j] != t.P(w0 + static_cast<uint32_t>(j), 16u * alpha) >> 4;
    }
  }
  return bad;
}

#else
uint64_t AlphaLevelMismatches() { return 0; }
uint64_t IdentityMismatches() { return 0; }
uint64_t ProductAndComplementMismatches() { return 0; }
uint64_t ProductBytesMismatches() { return 0; }
uint64_t WeightBytesMismatches() { return 0; }
uint64_t LevelWordMismatches() { return 0; }
#endif

}  // namespace
}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include "graphics/pixel/formats.h"
#include "graphics/pixel/level_scaling.h"
#include "tests/test_support.h"

namespace pixelops::kernels {
HWY_EXPORT(IdentityMismatches);
HWY_EXPORT(ProductAndComplementMismatches);
HWY_EXPORT(ProductBytesMismatches);
HWY_EXPORT(WeightBytesMismatches);
HWY_EXPORT(LevelWordMismatches);
HWY_EXPORT(AlphaLevelMismatches);

// The checks at the target in force (dispatched from beside their exports,
// which is where a build of a single target finds them).
uint64_t DispatchIdentityMismatches() { return HWY_DYNAMIC_DISPATCH(IdentityMismatches)(); }
uint64_t DispatchProductMismatches() { return HWY_DYNAMIC_DISPATCH(ProductAndComplementMismatches)(); }
uint64_t DispatchProductBytesMismatches() { return HWY_DYNAMIC_DISPATCH(ProductBytesMismatches)(); }
uint64_t DispatchWeightBytesMismatches() { return HWY_DYNAMIC_DISPATCH(WeightBytesMismatches)(); }
uint64_t DispatchLevelWordMismatches() { return HWY_DYNAMIC_DISPATCH(LevelWordMismatches)(); }
uint64_t DispatchAlphaLevelMismatches() { return HWY_DYNAMIC_DISPATCH(AlphaLevelMismatches)(); }
}  // namespace pixelops::kernels

namespace pixelops {
namespace {

// Runs fn at every vector target this build has and this machine runs.
template <class Fn>
void ForEveryTarget(const Fn& fn) {
  for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
    if (target == HWY_SCALAR) continue;
    hwy::SetSupportedTargetsForTest(target);
    SCOPED_TRACE(hwy::TargetName(target));
    fn();
  }
  hwy::SetSupportedTargetsForTest(0);
}

TEST(ExactArithmeticLanes, IdentitiesHoldOverTheirDomains) {
  ForEveryTarget([] { EXPECT_EQ(kernels::DispatchIdentityMismatches(), 0u); });
}

TEST(ExactArithmeticLanes, ProductsAndComplementsEqualTheirTables) {
  ForEveryTarget([] {
    EXPECT_EQ(kernels::DispatchProductMismatches(), 0u);
    EXPECT_EQ(kernels::DispatchProductBytesMismatches(), 0u);
  });
}

TEST(ExactArithmeticLanes, SignedDifferencesAndMixesEqualTheirTables) {
  ForEveryTarget([] { EXPECT_EQ(kernels::DispatchWeightBytesMismatches(), 0u); });
}

TEST(ExactArithmeticLanes, LevelScalingEqualsTheLevelTables) {
  ForEveryTarget([] {
    EXPECT_EQ(kernels::DispatchLevelWordMismatches(), 0u);
    EXPECT_EQ(kernels::DispatchAlphaLevelMismatches(), 0u);
  });
}

// The scalar forms against plain division over their whole domains, and
// against the tables they stand for.
TEST(ExactArithmetic, QuotientsBy255AreTheProductTables) {
  for (uint32_t x = 0; x <= 65535; ++x) ASSERT_EQ(exact::Div255(x), x / 255) << x;
  for (uint32_t x = 0; x <= 65279; ++x) {
    const auto x16 = static_cast<uint16_t>(x);
    ASSERT_EQ(exact::Div255In16(x16), x / 255) << x;
    ASSERT_EQ(static_cast<uint16_t>(x16 + 1 + (x16 >> 8)) >> 8, x / 255) << x;  // in 16 bits
    // Each half of the pair form beside others at the ends and in between.
    for (uint32_t y : {0u, 65279u, x * 7919 % 65280}) {
      ASSERT_EQ(exact::Div255In16Pair(x | y << 16), (x / 255) | (y / 255) << 16) << x << " " << y;
      ASSERT_EQ(exact::Div255In16Pair(y | x << 16), (y / 255) | (x / 255) << 16) << x << " " << y;
    }
  }
  const BlendTables& t = Tables();
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t c = 0; c < 256; ++c) {
      ASSERT_EQ(t.P(a, c), exact::Div255(a * c)) << a << " " << c;
      ASSERT_EQ(t.K(a, c), exact::Div255(c * (255 - a))) << a << " " << c;
    }
    for (int32_t delta = -255; delta <= 255; ++delta) {
      const uint32_t q = exact::Div255(static_cast<uint32_t>(delta < 0 ? -delta : delta) * a);
      ASSERT_EQ(t.D(a, delta), static_cast<uint8_t>(delta < 0 ? -static_cast<int32_t>(q) : q))
          << a << " " << delta;
    }
  }
}

TEST(ExactArithmetic, QuotientsBy15AreTheLevelTables) {
  for (uint32_t x = 0; x <= 4693; ++x) ASSERT_EQ(exact::Div15(x), x / 15) << x;
  const BlendTables& t = Tables();
  for (uint32_t l = 0; l < 16; ++l) {
    for (uint32_t w = 0; w < 65536; ++w) {
      using exact::Div15;
      const uint32_t w565 =
          (Div15((w >> 11) * l) << 11) | (Div15(((w >> 5) & 63) * l) << 5) | Div15((w & 31) * l);
      const uint32_t w555 =
          (Div15(((w >> 10) & 31) * l) << 10) | (Div15(((w >> 5) & 31) * l) << 5) | Div15((w & 31) * l);
      ASSERT_EQ(w565, t.L565(l, w)) << l << " " << w;
      ASSERT_EQ(w555, t.L555(l, w)) << l << " " << w;
    }
  }
}

// The level of a 4-bit alpha at an opacity, against the table form and the
// other ways it has been written: P[w][16 x alpha] >> 4 either way round,
// 16 x alpha x w / 255 >> 4, and Div255(16 x alpha x w) >> 4.
TEST(ExactArithmetic, AlphaLevelsAreTheProductTablesInSixteenths) {
  const BlendTables& t = Tables();
  for (uint32_t alpha = 0; alpha < 16; ++alpha) {
    for (uint32_t w = 0; w < 256; ++w) {
      const uint32_t level = exact::AlphaLevel(alpha, w);
      ASSERT_EQ(level, t.P(w, alpha * 16) >> 4u) << alpha << " " << w;
      ASSERT_EQ(level, t.P(alpha * 16, w) >> 4u) << alpha << " " << w;
      ASSERT_EQ(level, w * alpha * 16 / 255 >> 4) << alpha << " " << w;
      ASSERT_EQ(level, exact::Div255(16 * alpha * w) >> 4) << alpha << " " << w;
      ASSERT_LE(level, 15u);
    }
  }
}

TEST(ExactArithmetic, LevelMultipliersScaleEveryChannelByItsLevel) {
  for (uint32_t l = 0; l < 16; ++l) {
    const uint32_t m = exact::LevelMultiplier(l);
    ASSERT_LT(m, 65536u);
    for (uint32_t c = 0; c < 64; ++c) ASSERT_EQ((2 * c * m) >> 16, c * l / 15) << l << " " << c;
  }
}

TEST(ExactArithmetic, FixedMultipliersAreTheProductTables) {
  for (uint32_t w = 1; w < 256; ++w)
    ASSERT_EQ(exact::ComplementMultiplier(exact::FixedMultiplier(w)), exact::FixedMultiplier(255 - w)) << w;
  const BlendTables& t = Tables();
  for (uint32_t a = 0; a < 255; ++a) {
    const uint32_t m = exact::FixedMultiplier(a);
    ASSERT_LT(m, 65536u);
    for (uint32_t c = 0; c < 256; ++c) ASSERT_EQ((c * m) >> 16, t.P(a, c)) << a << " " << c;
    // The widened scaling of every 565 and 555 word, by fields where they lie.
    for (uint32_t w = 0; w < 65536; ++w) {
      uint32_t fields565 = 0, fields555 = 0;
      for (uint32_t f : {0xF800u, 0x07E0u, 0x001Fu}) fields565 |= (((w & f) * m) >> 16) & f;
      for (uint32_t f : {0x7C00u, 0x03E0u, 0x001Fu}) fields555 |= (((w & f) * m) >> 16) & f;
      ASSERT_EQ(fields565, scaling::Widened<px::Colour565>(t, a, w)) << a << " " << w;
      ASSERT_EQ(fields555, scaling::Widened<px::Colour555>(t, a, w)) << a << " " << w;
      // The same with each channel taken to bit 0, scaled and put back.
      const uint32_t taken565 =
          (((w >> 11) * m) >> 16) << 11 | ((((w >> 5) & 63) * m) >> 16) << 5 | (((w & 31) * m) >> 16);
      const uint32_t taken555 =
          ((((w >> 10) & 31) * m) >> 16) << 10 | ((((w >> 5) & 31) * m) >> 16) << 5 | (((w & 31) * m) >> 16);
      ASSERT_EQ(taken565, fields565) << a << " " << w;
      ASSERT_EQ(taken555, fields555) << a << " " << w;
    }
  }
}

}  // namespace
}  // namespace pixelops

#endif  // HWY_ONCE
