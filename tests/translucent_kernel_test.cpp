// The kernels of the translucent blits and the two-level blends.
//
// First the lane arithmetic they are built on, proved equal to the blend
// tables over each table's whole input domain on every vector target this
// machine runs; then every served pair of each operation drawn at every SIMD
// level against the scalar reference (kernel_check.h), at opacities and
// levels 0, 1, 127, 128, 254, 255, 256 and a random one.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tests/translucent_kernel_test.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstdint>
#include <vector>

#include "graphics/blend_tables.h"
#include "graphics/pixel/blend_arithmetic-inl.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace {
namespace hn = hwy::HWY_NAMESPACE;

// Each proof returns the number of entries where the lanes and the table
// differ (0 expected). The kernels never run on the one-lane scalar target,
// which the proofs skip.
#if HWY_TARGET != HWY_SCALAR

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
      const auto m = blend::LaneFixedWeight(hn::Iota(d16, w0));
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
          bad += out[j] != static_cast<uint8_t>(
                               d + t.D(w, static_cast<int32_t>(s) - static_cast<int32_t>(d)));
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
          bad += out16[j] != static_cast<uint8_t>(
                                 d + t.D(w, static_cast<int32_t>(s) - static_cast<int32_t>(d)));
        }
      }
    }
  }
  return bad;
}

// x / 15 for every x up to 4693; L565 and L555 (both forms): every level
// 0..15 and every word, bit 15 included; the 16-level blend of every word
// over its complement.
uint64_t LevelWordMismatches() {
  const BlendTables& t = Tables();
  const hn::ScalableTag<uint16_t> d16;
  const size_t lanes = hn::Lanes(d16);
  std::vector<uint16_t> w565(lanes), w555(lanes), l565(lanes), l555(lanes), b565(lanes), b555(lanes);
  uint64_t bad = 0;
  for (uint32_t base = 0; base <= 4693; base += static_cast<uint32_t>(lanes)) {
    hn::StoreU(blend::Div15(hn::Iota(d16, base)), d16, w565.data());
    for (size_t j = 0; j < lanes && base + j <= 4693; ++j) bad += w565[j] != (base + j) / 15;
  }
  for (uint16_t level = 0; level < 16; ++level) {
    const auto m = blend::LevelMultiplier(hn::Set(d16, level));
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

#else
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
#include <pixelops/format_pairs.h>

#include <cstring>
#include <functional>
#include <string_view>

#include "tests/kernel_check.h"

namespace pixelops::kernels {
HWY_EXPORT(ProductAndComplementMismatches);
HWY_EXPORT(ProductBytesMismatches);
HWY_EXPORT(WeightBytesMismatches);
HWY_EXPORT(LevelWordMismatches);

// The checks at the target in force (dispatched from beside their exports,
// which is where a build of a single target finds them).
uint64_t DispatchProductMismatches() {
  return HWY_DYNAMIC_DISPATCH(ProductAndComplementMismatches)();
}
uint64_t DispatchProductBytesMismatches() { return HWY_DYNAMIC_DISPATCH(ProductBytesMismatches)(); }
uint64_t DispatchWeightBytesMismatches() { return HWY_DYNAMIC_DISPATCH(WeightBytesMismatches)(); }
uint64_t DispatchLevelWordMismatches() { return HWY_DYNAMIC_DISPATCH(LevelWordMismatches)(); }
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

TEST(BlendArithmetic, ProductsAndComplementsEqualTheirTables) {
  ForEveryTarget([] {
    EXPECT_EQ(kernels::DispatchProductMismatches(), 0u);
    EXPECT_EQ(kernels::DispatchProductBytesMismatches(), 0u);
  });
}

TEST(BlendArithmetic, SignedDifferencesAndMixesEqualTheirTables) {
  ForEveryTarget([] { EXPECT_EQ(kernels::DispatchWeightBytesMismatches(), 0u); });
}

TEST(BlendArithmetic, LevelScalingEqualsTheLevelTables) {
  ForEveryTarget([] { EXPECT_EQ(kernels::DispatchLevelWordMismatches(), 0u); });
}

// ---------------------------------------------------------------------------

enum class Blit { Alpha, AlphaOpacity, TranslucentKey, Blend, BlendKey };

struct Case {
  Blit blit;
  FormatPair pair;
};

const char* BlitName(Blit b) {
  switch (b) {
    case Blit::Alpha:
      return "BltAlpha";
    case Blit::AlphaOpacity:
      return "BltAlphaOpacity";
    case Blit::TranslucentKey:
      return "BltTranslucentKey";
    case Blit::Blend:
      return "BltBlend";
    case Blit::BlendKey:
      return "BltBlendKey";
  }
  return "";
}

void PrintTo(const Case& c, std::ostream* os) {
  *os << BlitName(c.blit) << " " << PixelFormatName(c.pair.src) << " onto "
      << PixelFormatName(c.pair.dst);
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (Blit b :
       {Blit::Alpha, Blit::AlphaOpacity, Blit::TranslucentKey, Blit::Blend, Blit::BlendKey}) {
    for (const FormatPair& p : format_pairs::kBlend) {
      // BltAlphaOpacity serves the alpha sources onto their colour formats only.
      if (b == Blit::AlphaOpacity && p.src == p.dst) continue;
      cases.push_back({b, p});
    }
  }
  return cases;
}

class TranslucentKernels : public ::testing::TestWithParam<Case> {};

// Opacities (and levels) at the ends of the byte, at the middle, one past
// the byte (only its low byte counts), and a random one. Each placement of the
// check draws at one of them (the same at every level), chosen from the
// placement, so that every value meets widths, alignments and stretches.
TEST_P(TranslucentKernels, EveryLevelMatchesScalar) {
  const Case c = GetParam();
  const uint32_t seed = static_cast<uint32_t>(c.pair.src) * 131 +
                        static_cast<uint32_t>(c.pair.dst) * 7 + static_cast<uint32_t>(c.blit);
  const int32_t values[8] = {0,   1,   127, 128,
                             254, 255, 256, static_cast<int32_t>(std::mt19937(seed)() % 256)};
  const Blit blit = c.blit;
  test::ExpectLevelsAgree(
      c.pair.src, c.pair.dst,
      [blit, &values](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r,
                      const Size* z, const Rect* cl) {
        const uint32_t pick = static_cast<uint32_t>(
            x * 31 + y * 17 + (r ? r->left * 7 + r->right * 13 + r->bottom : 0) +
            (z ? z->width * 5 : 0) + (cl ? cl->right : 0));
        const int32_t a = values[pick % 8], b = values[(pick / 8 + pick) % 8];
        switch (blit) {
          case Blit::Alpha:
            return d.BltAlpha(&s, x, y, a, r, z, cl);
          case Blit::AlphaOpacity:
            return d.BltAlphaOpacity(&s, x, y, a, r, z, cl);
          case Blit::TranslucentKey:
            return d.BltTranslucentKey(&s, x, y, a, r, z, cl);
          case Blit::Blend:
            return d.BltBlend(&s, x, y, a, b, r, z, cl);
          case Blit::BlendKey:
            return d.BltBlendKey(&s, x, y, a, b, r, z, cl);
        }
        return kBlitDone;
      },
      seed);
}

INSTANTIATE_TEST_SUITE_P(Pairs, TranslucentKernels, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(BlitName(info.param.blit)) + "_" +
                                  PixelFormatName(info.param.pair.src) + "_onto_" +
                                  PixelFormatName(info.param.pair.dst);
                         });

// Surfaces that the random fill seldom makes: destination words equal to
// the source words below them (the equal 16-bit formats leave those alone),
// long runs of key pixels, and 32-bit sources whose colour bytes are the key's
// but whose fourth byte is not (Bgrx32 draws them, Bgra32 skips them).
TEST(TranslucentKernelEdges, EqualWordsKeyRunsAndFourthBytes) {
  std::mt19937 rng(5);
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Bgrx32,
                        PixelFormat::Bgra32, PixelFormat::Rgb565A, PixelFormat::Bgr24}) {
    SCOPED_TRACE(PixelFormatName(f));
    const int32_t bpp = BytesPerPixel(f), w = 203, h = 4;
    auto src = DDSurface::Make(w, h, f), dst = DDSurface::Make(w, h, f);
    ASSERT_TRUE(src && dst);
    src->SetColorKey(0x00123456);
    test::FillRandom(*src, rng);
    test::FillRandom(*dst, rng);
    const uint32_t key = src->GetColorKey();
    uint8_t* sm = test::Memory(*src);
    uint8_t* dm = test::Memory(*dst);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* sp = sm + int64_t{y} * src->Buffer().pitch + x * bpp;
        uint8_t* dp = dm + int64_t{y} * dst->Buffer().pitch + x * bpp;
        const int32_t run = (x / 37 + y) % 4;  // runs of one kind of pixel
        if (run == 1) std::memcpy(dp, sp, bpp);
        if (run == 2) {
          for (int32_t k = 0; k < bpp; ++k) sp[k] = static_cast<uint8_t>(key >> (8 * k));
          if (bpp == 4 && rng() % 2) sp[3] ^= 0x40;  // the fourth byte differs from the key's
        }
        if (run == 3 && rng() % 2) std::memcpy(dp, sp, bpp);
      }
    }
    for (int32_t opacity : {0, 16, 128, 200, 255}) {
      SCOPED_TRACE(opacity);
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltAlpha(src.get(), 0, 0, opacity, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->BltTranslucentKey(src.get(), 0, 0, opacity, nullptr, nullptr, nullptr);
      });
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->BltBlendKey(src.get(), 0, 0, opacity, 255 - opacity, nullptr, nullptr, nullptr);
      });
      // The Image draws that reach these blits, off the surface's origin.
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->DrawTranslucent(src.get(), 3, 1, opacity, nullptr, nullptr, nullptr);
      });
      test::ExpectSameAtEveryLevel(*dst, [&] { dst->DrawAlphaLevel(src.get(), -5, 0, opacity); });
    }
  }
}

// The kernels' own byte products and level words, proved over their whole
// domains through the blits: every pair of bytes at every opacity (BltAlpha,
// byte products of every difference), every byte at every level on either
// side (BltBlend), and every colour word, bit 15 included, at every level on
// either side (BltBlend of the 16-bit colour formats), at every SIMD level
// against the scalar rules.
TEST(TranslucentKernelEdges, ByteProductsAndLevelWordsOverTheirWholeDomain) {
  auto fill = [](DDSurface& s, const std::function<uint32_t(int32_t, int32_t)>& value) {  // 256 x 256
    const int32_t bpp = BytesPerPixel(s.Format());
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) {
        const uint32_t v = value(x, y);
        std::memcpy(test::Memory(s) + int64_t{y} * s.Buffer().pitch + x * bpp, &v,
                    static_cast<size_t>(bpp));
      }
  };
  {
    // Byte k of source pixel (x, y) is x ^ 85k, of the destination pixel y ^ 85k:
    // every pair of bytes in every byte position.
    auto src = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
    auto dst = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t) {
      const uint32_t b = static_cast<uint32_t>(x);
      return b | (b ^ 85) << 8 | (b ^ 170) << 16 | (b ^ 255) << 24;
    });
    fill(*dst, [](int32_t, int32_t y) {
      const uint32_t b = static_cast<uint32_t>(y);
      return b | (b ^ 85) << 8 | (b ^ 170) << 16 | (b ^ 255) << 24;
    });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltAlpha(src.get(), 0, 0, w, nullptr, nullptr, nullptr); });
      const Rect row{0, w, 256, w + 1};  // one row: every byte against one
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, w, 0, &row, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, w, 0, w, &row, nullptr, nullptr); });
    }
  }
  // The source level of each alpha of Rgb565A / Rgb555A (a look-up built per
  // row) at every opacity and level, every alpha against many words.
  for (FormatPair p : {FormatPair{PixelFormat::Rgb565A, PixelFormat::Rgb565},
                       FormatPair{PixelFormat::Rgb555A, PixelFormat::Rgb555}}) {
    SCOPED_TRACE(PixelFormatName(p.src));
    auto src = DDSurface::Make(256, 256, p.src), dst = DDSurface::Make(256, 256, p.dst);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t y) {
      const uint32_t word = static_cast<uint32_t>(y * 256 + x) * 40503u & 0xFFFF;
      return word | static_cast<uint32_t>(x * 7 + y) % 256 << 16 | static_cast<uint32_t>(y) << 24;
    });
    fill(*dst, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 256 + y) ^ 0xA5A5; });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      const Rect rows{0, w / 4 * 4, 256, w / 4 * 4 + 4};
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltAlpha(src.get(), 0, 0, w, &rows, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, w, 255 - w, &rows, nullptr, nullptr); });
    }
  }
  // Equal Rgb565A / Rgb555A: pixel i has alpha i % 16, source channels
  // (i / 16) % 64 and destination channels (i / 1024) % 64 (red and blue
  // their low 5 bits), so that every alpha meets every pair of channel values,
  // at every opacity and level.
  for (PixelFormat f : {PixelFormat::Rgb565A, PixelFormat::Rgb555A}) {
    SCOPED_TRACE(PixelFormatName(f));
    auto src = DDSurface::Make(256, 256, f), dst = DDSurface::Make(256, 256, f);
    ASSERT_TRUE(src && dst);
    const bool is565 = f == PixelFormat::Rgb565A;
    auto wordOf = [is565](uint32_t c) {
      return is565 ? (c & 31) << 11 | c << 5 | (c & 31) : (c & 31) << 10 | (c & 31) << 5 | (c & 31);
    };
    fill(*src, [&](int32_t x, int32_t y) {
      const uint32_t i = static_cast<uint32_t>(y * 256 + x);
      return wordOf(i / 16 % 64) | (i % 16) << 16 | (i & 0xF0) << 20;
    });
    fill(*dst, [&](int32_t x, int32_t y) {
      const uint32_t i = static_cast<uint32_t>(y * 256 + x);
      return wordOf(i / 1024 % 64) | (15 - i % 16) << 16 | 0x80000000u;
    });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltAlpha(src.get(), 0, 0, w, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, w, 255 - w, nullptr, nullptr, nullptr); });
    }
  }
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555}) {
    SCOPED_TRACE(PixelFormatName(f));
    auto src = DDSurface::Make(256, 256, f), dst = DDSurface::Make(256, 256, f);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t y) { return static_cast<uint32_t>(y * 256 + x); });
    fill(*dst, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 256 + y) ^ 0x5A5A; });
    for (int32_t level = 0; level < 16; ++level) {
      SCOPED_TRACE(level);
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->BltBlend(src.get(), 0, 0, level * 16 + 3, 0, nullptr, nullptr, nullptr);
      });
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->BltBlend(src.get(), 0, 0, 0, level * 16 + 9, nullptr, nullptr, nullptr);
      });
    }
  }
}

}  // namespace
}  // namespace pixelops

#endif  // HWY_ONCE
