// The row kernels of the alpha-channel blit, the pattern blit, the colour copy
// keeping alpha, the alpha from a mask and the fade: every served pair at
// every vector level gives the scalar level's bytes on random placements, and
// the arithmetic that stands in for the tables gives the tables' bytes over
// its whole domain (surfaces that hold every input once, drawn at every
// level and compared with the scalar level, which reads the tables).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <pixelops/dd_surface.h>
#include <pixelops/simd.h>

#include "graphics/blend_tables.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "tests/kernel_check.h"
#include "tests/test_support.h"

namespace pixelops {
namespace {

using F = PixelFormat;

struct PairCase {
  F src, dst;
};

std::string PairName(const testing::TestParamInfo<PairCase>& info) {
  return std::string(PixelFormatName(info.param.src)) + "_onto_" + PixelFormatName(info.param.dst);
}

// ---------------------------------------------------------------- random placements

class AlphaChannelKernels : public testing::TestWithParam<PairCase> {};

TEST_P(AlphaChannelKernels, LevelsAgree) {
  test::ExpectLevelsAgree(
      GetParam().src, GetParam().dst,
      [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r, const Size* size,
         const Rect* clip) { return d.BltAlphaChannel(&s, x, y, r, size, clip); },
      11);
}

INSTANTIATE_TEST_SUITE_P(Pairs, AlphaChannelKernels,
                         testing::Values(PairCase{F::Rgb565A, F::Rgb565}, PairCase{F::Rgb555A, F::Rgb555},
                                         PairCase{F::Bgra32, F::Bgr24}, PairCase{F::Rgba32, F::Rgb24},
                                         PairCase{F::Bgra32, F::Bgrx32}, PairCase{F::Rgba32, F::Rgbx32},
                                         PairCase{F::Rgb565A, F::Rgb565A}, PairCase{F::Rgb555A, F::Rgb555A},
                                         PairCase{F::Bgra32, F::Bgra32}, PairCase{F::Rgba32, F::Rgba32}),
                         PairName);

// Patterns: random entries, only the ends (0 and 255), and a ramp by column.
std::vector<uint8_t> Pattern(int kind, std::mt19937& rng) {
  std::vector<uint8_t> p(256);
  for (int i = 0; i < 256; ++i) {
    if (kind == 0) p[i] = static_cast<uint8_t>(rng());
    if (kind == 1) p[i] = rng() % 2 ? 255 : 0;
    if (kind == 2) p[i] = static_cast<uint8_t>((i & 15) * 17);
  }
  return p;
}

class PatternKernels : public testing::TestWithParam<PairCase> {};

// The pattern of each placement is one of the three kinds, chosen by the
// placement (so every SIMD level draws the same one).
TEST_P(PatternKernels, LevelsAgree) {
  std::mt19937 rng(21);
  const std::vector<uint8_t> patterns[3] = {Pattern(0, rng), Pattern(1, rng), Pattern(2, rng)};
  test::ExpectLevelsAgree(
      GetParam().src, GetParam().dst,
      [&](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r, const Size* size,
          const Rect* clip) {
        const uint32_t kind = static_cast<uint32_t>(x * 7 + y * 3 + (r ? r->right : 0)) % 3;
        return d.BltPattern(&s, x, y, patterns[kind].data(), r, size, clip);
      },
      30);
}

INSTANTIATE_TEST_SUITE_P(Pairs, PatternKernels,
                         testing::Values(PairCase{F::Rgb565, F::Rgb565}, PairCase{F::Rgb555, F::Rgb555},
                                         PairCase{F::Rgb565A, F::Rgb565}, PairCase{F::Rgb555A, F::Rgb555},
                                         PairCase{F::Bgr24, F::Bgr24}, PairCase{F::Rgb24, F::Rgb24},
                                         PairCase{F::Bgrx32, F::Bgrx32}, PairCase{F::Rgbx32, F::Rgbx32},
                                         PairCase{F::Bgra32, F::Bgr24}, PairCase{F::Rgba32, F::Rgb24},
                                         PairCase{F::Bgra32, F::Bgrx32}, PairCase{F::Rgba32, F::Rgbx32}),
                         PairName);

class KeepAlphaKernels : public testing::TestWithParam<PairCase> {};

TEST_P(KeepAlphaKernels, LevelsAgree) {
  test::ExpectLevelsAgree(
      GetParam().src, GetParam().dst,
      [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r, const Size* size,
         const Rect* clip) { return d.BltColorKeepAlpha(&s, x, y, r, size, clip); },
      41);
}

INSTANTIATE_TEST_SUITE_P(Pairs, KeepAlphaKernels,
                         testing::Values(PairCase{F::Rgb565A, F::Rgb565A}, PairCase{F::Rgb555A, F::Rgb555A},
                                         PairCase{F::Bgra32, F::Bgra32}, PairCase{F::Rgba32, F::Rgba32}),
                         PairName);

// The ramp of each placement is one of several, chosen by the placement.
class MaskAlphaKernels : public testing::TestWithParam<PairCase> {};

TEST_P(MaskAlphaKernels, LevelsAgree) {
  struct Ramp {
    int32_t lo, hi, a, b;
  };
  static constexpr Ramp kRamps[] = {
      {64, 192, 0, 255}, {-5, 300, 255, 0}, {100, 100, 17, 200}, {0, 255, 3, 250}};
  test::ExpectLevelsAgree(
      GetParam().src, GetParam().dst,
      [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r, const Size* size,
         const Rect* clip) {
        const Ramp& m = kRamps[static_cast<uint32_t>(x * 3 + y + (r ? r->right : 0)) % 4];
        return d.AlphaFromMaskRamp(&s, m.lo, m.hi, m.a, m.b, x, y, r, size, clip);
      },
      61);
}

INSTANTIATE_TEST_SUITE_P(Pairs, MaskAlphaKernels,
                         testing::Values(PairCase{F::Rgb565, F::Rgb565A}, PairCase{F::Rgb565A, F::Rgb565A},
                                         PairCase{F::Rgb555, F::Rgb555A}, PairCase{F::Rgb555A, F::Rgb555A},
                                         PairCase{F::Bgrx32, F::Bgra32}, PairCase{F::Bgra32, F::Bgra32},
                                         PairCase{F::Bgr24, F::Bgra32}, PairCase{F::Rgbx32, F::Rgba32},
                                         PairCase{F::Rgba32, F::Rgba32}, PairCase{F::Rgb24, F::Rgba32}),
                         PairName);

// Fade on one surface: the placement's position and source rectangle's size
// give the rectangle (reaching past the surface at times); the source is not
// drawn. The fade level, one of several (16-level ends included), is chosen
// by the placement.
class FadeKernels : public testing::TestWithParam<F> {};

TEST_P(FadeKernels, LevelsAgree) {
  static constexpr int32_t kLevels[] = {0, 15, 16, 77, 128, 240, 255, 0x1234};
  test::ExpectLevelsAgree(
      GetParam(), GetParam(),
      [](DDSurface& d, DDSurface&, int32_t x, int32_t y, const Rect* r, const Size* size, const Rect*) {
        const int32_t w = size ? size->width : r->right - r->left;
        const int32_t h = size ? size->height : r->bottom - r->top;
        const Rect rect{x, y, x + w, y + h};
        return d.Fade(kLevels[static_cast<uint32_t>(x * 5 + y * 3 + w) % 8], &rect);
      },
      50);
}

INSTANTIATE_TEST_SUITE_P(Formats, FadeKernels,
                         testing::Values(F::Rgb565, F::Rgb555, F::Rgb565A, F::Rgb555A, F::Bgr24, F::Rgb24,
                                         F::Bgrx32, F::Rgbx32, F::Bgra32, F::Rgba32),
                         [](const testing::TestParamInfo<F>& info) {
                           return std::string(PixelFormatName(info.param));
                         });

// ---------------------------------------------------------------- whole domains

// Fills a width x height surface pixel by pixel from fill(index, bytes).
using PixelFill = std::function<void(uint32_t index, uint8_t* p)>;

std::unique_ptr<DDSurface> Domain(F format, int32_t width, int32_t height, const PixelFill& fill) {
  auto s = DDSurface::Make(width, height, format);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      fill(static_cast<uint32_t>(y) * static_cast<uint32_t>(width) + static_cast<uint32_t>(x),
           test::PixelAt(*s, x, y));
  return s;
}

// Draws draw(dst, src) at every level from the same destination and expects
// the scalar level's bytes.
void ExpectDomainAgrees(DDSurface& dst, DDSurface& src,
                        const std::function<void(DDSurface&, DDSurface&)>& draw) {
  test::ExpectSameAtEveryLevel(dst, [&] { draw(dst, src); });
}

void AlphaChannelAt(DDSurface& d, DDSurface& s) { d.BltAlphaChannel(&s, 0, 0, nullptr, nullptr, nullptr); }

// d + D[w][s - d] (the weighted channel) for every weight, source byte and
// destination byte: row w holds the weight as every source alpha, and its
// pixels' three colour bytes run through the 65536 (s, d) pairs.
TEST(AlphaChannelDomain, WeightedChannelEveryWeightAndBytePair) {
  constexpr int32_t kWidth = 21846;  // 3 x 21846 >= 65536
  for (F dstFormat : {F::Bgrx32, F::Bgr24}) {
    auto src = Domain(F::Bgra32, kWidth, 256, [](uint32_t i, uint8_t* p) {
      for (uint32_t b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>((3 * (i % kWidth) + b) >> 8);
      p[3] = static_cast<uint8_t>(i / kWidth);
    });
    auto dst = Domain(dstFormat, kWidth, 256, [&](uint32_t i, uint8_t* p) {
      for (uint32_t b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>(3 * (i % kWidth) + b);
      if (dstFormat == F::Bgrx32) p[3] = static_cast<uint8_t>(i * 7);
    });
    ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
  }
}

// The 16-level blend L[a][s] + L[15 - a][d] for every level and every pair
// of channel values: red and blue run 0..31, green 0..63 (bit 15 of the 555
// words set at random, which the tables ignore).
TEST(AlphaChannelDomain, LevelBlendEveryLevelAndChannelPair) {
  for (bool is565 : {true, false}) {
    const F sf = is565 ? F::Rgb565A : F::Rgb555A, df = is565 ? F::Rgb565 : F::Rgb555;
    auto word = [is565](uint32_t c, uint32_t extra) {
      const uint32_t five = c & 31;
      return is565 ? (five << 11) | (c << 5) | five : (five << 10) | ((c & 31) << 5) | five | (extra << 15);
    };
    auto src = Domain(sf, 256, 256, [&](uint32_t i, uint8_t* p) {
      const uint32_t w = word((i >> 6) & 63, (i >> 3) & 1);
      p[0] = static_cast<uint8_t>(w);
      p[1] = static_cast<uint8_t>(w >> 8);
      p[2] = static_cast<uint8_t>(i >> 12);
      p[3] = static_cast<uint8_t>(i * 13);
    });
    auto dst = Domain(df, 256, 256, [&](uint32_t i, uint8_t* p) {
      const uint32_t w = word(i & 63, (i >> 5) & 1);
      p[0] = static_cast<uint8_t>(w);
      p[1] = static_cast<uint8_t>(w >> 8);
    });
    ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
  }
}

// The 16-level scaling (blend::LevelWord) scales each channel of a colour word where it lies: with
// m = exact::LevelMultiplier(level), the field c x 2^p of red and green times m, high half,
// doubled and masked, and blue as 2c x m, high half. Lane by lane in
// 16-bit arithmetic, equal to the tables for every word and level.
TEST(AlphaChannelDomain, LevelWordEveryWordAndLevel) {
  const BlendTables& t = Tables();
  const auto high = [](uint32_t x, uint32_t m) { return ((x & 0xFFFF) * m) >> 16; };
  for (bool is565 : {true, false}) {
    const uint32_t red = is565 ? 0xF800 : 0x7C00, green = is565 ? 0x07E0 : 0x03E0;
    for (uint32_t level = 0; level < 16; ++level) {
      const uint32_t m = exact::LevelMultiplier(level);
      for (uint32_t w = 0; w < 65536; ++w) {
        const uint32_t rg = (high(w & red, m) & (red >> 1)) | (high(w & green, m) & (green >> 1));
        const uint32_t b = high((w + w) & 0x3E, m);
        const uint32_t got = (((rg + rg) & 0xFFFF) | b) & 0xFFFF;
        ASSERT_EQ(got, is565 ? t.L565(level, w) : t.L555(level, w)) << is565 << " " << level << " " << w;
      }
    }
  }
}

// The 32-bit masks' ramp look-up by byte shuffles of 16-entry pieces: every
// mask byte in every lane position (row r holds (x + 37 r) & 255), under
// ramps that rise, fall, step and clamp, onto random alphas and colours.
TEST(AlphaChannelDomain, RampLookupEveryMaskByteAndLane) {
  struct Ramp {
    int32_t lo, hi, a, b;
  };
  static constexpr Ramp kRamps[] = {
      {0, 255, 0, 255}, {64, 192, 0, 255}, {-10, 300, 255, 0}, {100, 101, 7, 250}, {3, 250, 200, 13}};
  for (PairCase pair : {PairCase{F::Bgra32, F::Bgra32}, PairCase{F::Rgbx32, F::Rgba32}}) {
    auto mask = Domain(pair.src, 300, 16, [](uint32_t i, uint8_t* p) {
      const uint32_t x = i % 300, y = i / 300;
      for (uint32_t b = 0; b < 4; ++b) p[b] = static_cast<uint8_t>((x + 37 * y) * (b == 1 ? 5 : 1) + b);
    });
    auto dst = Domain(pair.dst, 300, 16, [](uint32_t i, uint8_t* p) {
      for (uint32_t b = 0; b < 4; ++b) p[b] = static_cast<uint8_t>(i * 2654435761u >> (8 * b));
    });
    for (const Ramp& r : kRamps)
      ExpectDomainAgrees(*dst, *mask, [&r](DDSurface& d, DDSurface& s) {
        d.AlphaFromMaskRamp(&s, r.lo, r.hi, r.a, r.b, 0, 0, nullptr, nullptr, nullptr);
      });
  }
}

// The telescoped form of that look-up, for any table: one chain of indices
// x - 16k (k = 0..8), a byte shuffle giving 0 where an index has its top bit
// set; pieces T0, Tk ^ T(k-1) at k = 0..7 for x < 128, and T(k+7) ^ T(k+8)
// at k = 1..7, T15 at k = 8 for x >= 128. Every x, random and ramp tables.
TEST(AlphaChannelDomain, RampTelescopeEveryByteAnyTable) {
  std::mt19937 rng(11);
  for (int round = 0; round < 64; ++round) {
    uint8_t t[256];
    for (uint32_t x = 0; x < 256; ++x)
      t[x] = static_cast<uint8_t>(round == 0 ? x : round == 1 ? 255 - x : rng());
    const auto shuffle = [&t](int piece, uint8_t index) -> uint8_t {
      return (index & 0x80) != 0 ? 0 : t[16 * piece + (index & 15)];
    };
    for (uint32_t x = 0; x < 256; ++x) {
      uint8_t low = 0, high = 0;
      for (int k = 0; k < 9; ++k) {
        const uint8_t i = static_cast<uint8_t>(x - 16 * k);
        if (k < 8) low ^= static_cast<uint8_t>(shuffle(k, i) ^ (k > 0 ? shuffle(k - 1, i) : 0));
        if (k > 0) high ^= static_cast<uint8_t>(shuffle(k + 7, i) ^ (k < 8 ? shuffle(k + 8, i) : 0));
      }
      ASSERT_EQ(x < 128 ? low : high, t[x]) << round << " " << x;
    }
  }
}

// The pattern kernels' level of a 16-level alpha source, P[entry][16 A] >> 4,
// is P[A][entry], which they form with A's fixed multiplier: every entry and
// level.
TEST(AlphaChannelDomain, PatternLevelOfAlphaSourceEveryEntryAndLevel) {
  const BlendTables& t = Tables();
  for (uint32_t e = 0; e < 256; ++e)
    for (uint32_t a = 0; a < 16; ++a) ASSERT_EQ(t.P(a, e), t.P(e, 16 * a) >> 4u) << e << " " << a;
}

// An x / 255 for 32-bit lanes, (x + 1 + (x >> 8)) >> 8: exact for every
// product of two bytes.
TEST(AlphaChannelDomain, Quotient255In32BitLanesEveryProductOfTwoBytes) {
  for (uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ((x + 1 + (x >> 8)) >> 8, x / 255) << x;
}

// Source over onto 32-bit alpha: every pair of alphas. Colours (255, 0, c)
// over (0, 255, e) show the two quotients themselves in bytes 0 and 1
// (P[ws][255] = ws, P[wd][255] = wd); further rounds mix random colours.
TEST(AlphaChannelDomain, Over32EveryAlphaPair) {
  std::mt19937 rng(5);
  for (int round = 0; round < 4; ++round) {
    auto src = Domain(F::Bgra32, 256, 256, [&](uint32_t i, uint8_t* p) {
      p[0] = round == 0 ? 255 : static_cast<uint8_t>(rng());
      p[1] = round == 0 ? 0 : static_cast<uint8_t>(rng());
      p[2] = static_cast<uint8_t>(rng());
      p[3] = static_cast<uint8_t>(i >> 8);
    });
    auto dst = Domain(F::Bgra32, 256, 256, [&](uint32_t i, uint8_t* p) {
      p[0] = round == 0 ? 0 : static_cast<uint8_t>(rng());
      p[1] = round == 0 ? 255 : static_cast<uint8_t>(rng());
      p[2] = static_cast<uint8_t>(rng());
      p[3] = static_cast<uint8_t>(i);
    });
    ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
  }
}

// Source over onto 32-bit alpha where every destination alpha is 0 or 255
// (an opaque back buffer, or one with holes): every source alpha over both,
// in rows of only 255, of only 0, and of either at random, with random
// colours (the kernels treat such steps apart).
TEST(AlphaChannelDomain, Over32OntoOpaqueOrClearDestinations) {
  std::mt19937 rng(7);
  auto src = Domain(F::Bgra32, 256, 96, [&](uint32_t i, uint8_t* p) {
    for (int b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>(rng());
    p[3] = static_cast<uint8_t>(i + i / 256 * 7);
  });
  auto dst = Domain(F::Bgra32, 256, 96, [&](uint32_t i, uint8_t* p) {
    for (int b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>(rng());
    const uint32_t kind = i / 256 % 3;
    p[3] = kind == 0 ? 255 : kind == 1 ? 0 : (rng() % 2 ? 255 : 0);
  });
  ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
}

// Source over onto 32-bit alpha with the alphas of neighbouring pixels drawn
// apart, so that a vector's lanes mix every kind the kernels tell apart
// (clear, opaque and partial sources over clear, opaque and partial
// destinations, and the weights of 254 and 1 beside them), in rows that hold
// only opaque or clear destinations and rows that hold any.
TEST(AlphaChannelDomain, Over32LanesOfEveryKindSideBySide) {
  std::mt19937 rng(8);
  const auto alpha = [&rng] {
    const uint8_t ends[] = {0, 255, 1, 254};
    return rng() % 2 ? ends[rng() % 4] : static_cast<uint8_t>(rng());
  };
  for (int round = 0; round < 8; ++round) {
    auto src = Domain(F::Bgra32, 509, 64, [&](uint32_t, uint8_t* p) {
      for (int b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>(rng());
      p[3] = alpha();
    });
    auto dst = Domain(F::Bgra32, 509, 64, [&](uint32_t i, uint8_t* p) {
      for (int b = 0; b < 3; ++b) p[b] = static_cast<uint8_t>(rng());
      const uint8_t a = alpha();
      p[3] = i / 509 % 2 ? a : (a < 128 ? 0 : 255);
    });
    ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
  }
}

// Source over onto 16-bit alpha: every pair of alpha levels with every pair
// of channel values (alpha bytes above 15 read by their low bits, pad bytes
// random).
TEST(AlphaChannelDomain, Over16EveryLevelPairAndChannelPair) {
  std::mt19937 rng(6);
  for (F f : {F::Rgb565A, F::Rgb555A}) {
    const bool is565 = f == F::Rgb565A;
    auto word = [is565](uint32_t c) {
      const uint32_t five = c & 31;
      return is565 ? (five << 11) | (c << 5) | five : (five << 10) | (five << 5) | five | ((c >> 5) << 15);
    };
    auto src = Domain(f, 1024, 1024, [&](uint32_t i, uint8_t* p) {
      const uint32_t w = word((i >> 6) & 63);
      p[0] = static_cast<uint8_t>(w);
      p[1] = static_cast<uint8_t>(w >> 8);
      p[2] = static_cast<uint8_t>((i >> 16) | (rng() % 4 == 0 ? rng() & 0xF0 : 0));
      p[3] = static_cast<uint8_t>(rng());
    });
    auto dst = Domain(f, 1024, 1024, [&](uint32_t i, uint8_t* p) {
      const uint32_t w = word(i & 63);
      p[0] = static_cast<uint8_t>(w);
      p[1] = static_cast<uint8_t>(w >> 8);
      p[2] = static_cast<uint8_t>(((i >> 12) & 15) | (rng() % 4 == 0 ? rng() & 0xF0 : 0));
      p[3] = static_cast<uint8_t>(rng());
    });
    ExpectDomainAgrees(*dst, *src, AlphaChannelAt);
  }
}

}  // namespace
}  // namespace pixelops
