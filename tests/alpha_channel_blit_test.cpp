// The alpha-channel blit and its source-over pixel routines against plain
// references of their formulas.
#include <gtest/gtest.h>

#include <random>

#include "graphics/pixel/alpha_channel_blit.h"
#include <pixelops/draw_surface.h>
#include "tests/test_support.h"

namespace pixelops {

namespace {

using PF = PixelFormat;

using Pair = FormatPair;

constexpr auto& kServed = format_pairs::kAlphaComposite;

bool Is565(PF f) { return f == PF::Rgb565 || f == PF::Rgb565A; }
bool Is16(PF f) { return BytesPerPixel(f) == 2 || f == PF::Rgb565A || f == PF::Rgb555A; }

uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }
void PutWord(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
}

// Per field: s x ls / 15 + d x ld / 15 (555 words lose bit 15).
uint32_t Mix16(bool is565, uint32_t ls, uint32_t s, uint32_t ld, uint32_t d) {
  const uint32_t fields[3][2] = {{0, 31}, {5, is565 ? 63u : 31u}, {is565 ? 11u : 10u, 31}};
  uint32_t out = 0;
  for (const auto& f : fields)
    out |= (((s >> f[0]) & f[1]) * ls / 15 + ((d >> f[0]) & f[1]) * ld / 15) << f[0];
  return out;
}

// Source over destination, 16-bit alpha formats.
void Over16Reference(bool is565, const uint8_t* s, uint8_t* d) {
  const uint32_t s16 = (s[2] & 15u) * 16, d16 = (d[2] & 15u) * 16;
  const uint32_t r = d16 * (240 - s16) / 240;
  d[2] = static_cast<uint8_t>((r + s16) >> 4);
  const uint32_t t = r + s16;
  if (t == 0) return;
  PutWord(d, Mix16(is565, s16 * 15 / t, Word(s), r * 15 / t, Word(d)));
}

// Source over destination, 32-bit alpha formats.
void Over32Reference(const uint8_t* s, uint8_t* d) {
  const uint32_t sa = s[3], r = d[3] * (255 - sa) / 255, t = sa + r;
  if (t == 0) return;
  const uint32_t ws = sa * 255 / t, wd = r * 255 / t;
  for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(ws * s[i] / 255 + wd * d[i] / 255);
  d[3] = 255;
}

void AlphaChannelReference(PF sf, PF df, const uint8_t* s, uint8_t* d) {
  if (sf == df) {
    if (Is16(df)) Over16Reference(Is565(df), s, d);
    else Over32Reference(s, d);
  } else if (Is16(df)) {
    const uint32_t level = s[2] & 15u;
    PutWord(d, Mix16(Is565(df), level, Word(s), 15 - level, Word(d)));
  } else {
    const int w = s[3];
    for (int i = 0; i < 3; ++i) {
      const int delta = s[i] - d[i];
      d[i] = static_cast<uint8_t>(d[i] + (delta < 0 ? -((-delta) * w / 255) : delta * w / 255));
    }
    if (BytesPerPixel(df) == 4) d[3] = 0;
  }
}

TEST(AlphaChannelBlit, EveryPairMatchesTheReferenceOnRandomPlacements) {
  std::mt19937 rng(0x616C7031);
  for (const Pair& p : kServed) {
    for (int round = 0; round < 60; ++round) {
      auto src = test::RandomSurface(1 + rng() % 13, 1 + rng() % 9, p.src, rng, rng() % 3 * 3);
      auto dst = test::RandomSurface(1 + rng() % 15, 1 + rng() % 11, p.dst, rng, rng() % 3 * 2);
      // Many alphas at the ends of their range, as pictures have them.
      for (int32_t y = 0; y < src->Buffer().bounds.bottom; ++y) {
        for (int32_t x = 0; x < src->Buffer().bounds.right; ++x) {
          uint8_t* a = test::PixelAt(*src, x, y) + (Is16(p.src) ? 2 : 3);
          const uint8_t top = Is16(p.src) ? 15 : 255;
          if (rng() % 3 == 0) *a = rng() % 2 ? top : 0;
        }
      }
      test::RandomPlacement place(rng, src->Buffer().bounds.right, src->Buffer().bounds.bottom,
                                  dst->Buffer().bounds.right, dst->Buffer().bounds.bottom);
      const auto srcBefore = test::Snapshot(*src);
      auto expected = test::Snapshot(*dst);
      test::ReferenceBlit(
          *dst, expected, *src, srcBefore, place.at,
          [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) { AlphaChannelReference(p.src, p.dst, s, d); });
      ASSERT_EQ(dst->BltAlphaChannel(src.get(), place.at.x, place.at.y, place.at.srcRect, place.at.dstSize,
                                     place.at.clip),
                kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(p.src) << " onto " << PixelFormatName(p.dst) << " round " << round;
      ASSERT_EQ(test::Snapshot(*src), srcBefore);
    }
  }
}

// Every pair of alphas, with random colours (and random pad bytes, which stay).
TEST(AlphaChannelBlit, SourceOverMatchesThePlainArithmeticForEveryPairOfAlphas) {
  std::mt19937 rng(2);
  for (uint32_t sa = 0; sa < 16; ++sa) {
    for (uint32_t da = 0; da < 16; ++da) {
      for (int k = 0; k < 16; ++k) {
        for (bool is565 : {true, false}) {
          uint8_t s[4] = {uint8_t(rng()), uint8_t(rng()), uint8_t(sa), uint8_t(rng())};
          uint8_t d[4] = {uint8_t(rng()), uint8_t(rng()), uint8_t(da), uint8_t(rng())};
          uint8_t e[4];
          std::memcpy(e, d, 4);
          Over16Reference(is565, s, e);
          ASSERT_EQ(is565 ? OverPixel565A(d, s) : OverPixel555A(d, s), d);
          ASSERT_EQ(std::memcmp(d, e, 4), 0) << sa << " over " << da;
        }
      }
    }
  }
  for (uint32_t sa = 0; sa < 256; ++sa) {
    for (uint32_t da = 0; da < 256; ++da) {
      for (int k = 0; k < 2; ++k) {
        uint8_t s[4] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(sa)};
        uint8_t d[4] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(da)};
        uint8_t e[4];
        std::memcpy(e, d, 4);
        Over32Reference(s, e);
        ASSERT_EQ(OverPixel32A(d, s), d);
        ASSERT_EQ(std::memcmp(d, e, 4), 0) << sa << " over " << da;
      }
    }
  }
}

// One source pixel composited over one destination pixel, as words.
uint32_t Over(uint8_t* (*over)(uint8_t*, const uint8_t*), uint32_t s, uint32_t d) {
  uint8_t sp[4], dp[4];
  std::memcpy(sp, &s, 4);
  std::memcpy(dp, &d, 4);
  over(dp, sp);
  uint32_t out;
  std::memcpy(&out, dp, 4);
  return out;
}

TEST(AlphaChannelBlit, SourceOverEdgeCases) {
  auto over16 = [](uint32_t s, uint32_t d) { return Over(OverPixel565A, s, d); };
  // Opaque source: its colour, alpha 15, pad kept.
  EXPECT_EQ(over16(0x000F1234, 0xAA03ABCD), 0xAA0F1234u);
  EXPECT_EQ(over16(0x000F1234, 0x0000ABCD), 0x000F1234u);
  // Alpha 0 source leaves the pixel as it was.
  EXPECT_EQ(over16(0x00001234, 0x550FABCD), 0x550FABCDu);
  EXPECT_EQ(over16(0x00001234, 0x0001ABCD), 0x0001ABCDu);
  EXPECT_EQ(over16(0x00001234, 0x7700ABCD), 0x7700ABCDu);
  // Alpha 8 over alpha 15: r = 112, alpha 15, colour L[8][s] + L[7][d].
  const uint32_t sc = 0xF81F, dc = 0x07E0;
  const uint32_t mixed = (31 * 8 / 15) << 11 | (63 * 7 / 15) << 5 | (31 * 8 / 15);
  EXPECT_EQ(over16(0x00080000 | sc, 0x000F0000 | dc), 0x000F0000 | mixed);
  // Alpha 8 over alpha 4: r = 64 x 112 / 240 = 29, alpha 9, colour L[12][s] + L[2][d].
  const uint32_t mixed2 = (31 * 12 / 15) << 11 | (63 * 2 / 15) << 5 | (31 * 12 / 15);
  EXPECT_EQ(over16(0x00080000 | sc, 0x00040000 | dc), 0x00090000 | mixed2);

  auto over32 = [](uint32_t s, uint32_t d) { return Over(OverPixel32A, s, d); };
  EXPECT_EQ(over32(0xFF123456, 0x40ABCDEF), 0xFF123456u);
  EXPECT_EQ(over32(0x00123456, 0x80ABCDEF), 0xFFABCDEFu);
  EXPECT_EQ(over32(0x00123456, 0x00ABCDEF), 0x00ABCDEFu);
}

// Layers of the 16-bit alpha formats drawn on again and again: a clear source
// leaves every pixel as it was, and an opaque pixel stays opaque under any
// source (odd widths, so the rows have tails).
class SixteenBitLayers : public testing::TestWithParam<PF> {
 protected:
  static constexpr int32_t kWidth = 37, kHeight = 5;
  // Random source and destination layers, then set(source pixel, destination
  // pixel, x, y) for every pixel; the destination drawn on fifteen times.
  template <class Set>
  std::unique_ptr<DDSurface> DrawnFifteenTimes(uint32_t seed, const Set& set,
                                               std::vector<uint8_t>* before = nullptr) {
    std::mt19937 rng(seed);
    auto src = test::RandomSurface(kWidth, kHeight, GetParam(), rng);
    auto dst = test::RandomSurface(kWidth, kHeight, GetParam(), rng);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x)
        set(test::PixelAt(*src, x, y), test::PixelAt(*dst, x, y), x, y, rng);
    }
    if (before != nullptr) *before = test::Snapshot(*dst);
    for (int k = 0; k < 15; ++k) EXPECT_EQ(dst->BltAlphaChannel(src.get(), 0, 0), kBlitDone);
    return dst;
  }
};

TEST_P(SixteenBitLayers, ClearSourceLeavesEveryPixelAsItWas) {
  std::vector<uint8_t> before;
  const bool is565 = Is565(GetParam());
  auto dst = DrawnFifteenTimes(
      12,
      [&](uint8_t* s, uint8_t* d, int32_t, int32_t, std::mt19937& rng) {
        s[2] = static_cast<uint8_t>(rng() & 0xF0);  // level 0
        if (!is565) d[1] &= 0x7F;                   // bit 15 unused
      },
      &before);
  EXPECT_EQ(test::Snapshot(*dst), before);
}

TEST_P(SixteenBitLayers, OpaquePixelsStayOpaqueUnderEveryLevel) {
  auto dst = DrawnFifteenTimes(13, [](uint8_t* s, uint8_t* d, int32_t x, int32_t y, std::mt19937&) {
    s[2] = static_cast<uint8_t>((x + y) % 16);
    d[2] = 15;
  });
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) EXPECT_EQ(test::PixelAt(*dst, x, y)[2], 15) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Formats, SixteenBitLayers, testing::Values(PF::Rgb565A, PF::Rgb555A),
                         [](const testing::TestParamInfo<PF>& info) { return PixelFormatName(info.param); });

TEST(AlphaChannelBlit, ColourDestinationEdgeCases) {
  auto s16 = DDSurface::Make(3, 1, PF::Rgb565A);
  auto d16 = DDSurface::Make(3, 1, PF::Rgb565);
  test::WritePixel(*s16, 0, 0, 0xEE0F1234);
  test::WritePixel(*s16, 1, 0, 0xEE001234);
  test::WritePixel(*s16, 2, 0, 0x00071234);
  test::FillPixels(*d16, 0xABCD);
  EXPECT_EQ(d16->BltAlphaChannel(s16.get(), 0, 0, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*d16, 0, 0), 0x1234u);
  EXPECT_EQ(test::ReadPixel(*d16, 1, 0), 0xABCDu);
  EXPECT_EQ(test::ReadPixel(*d16, 2, 0), Mix16(true, 7, 0x1234, 8, 0xABCD));

  auto s32 = DDSurface::Make(3, 1, PF::Bgra32);
  auto d24 = DDSurface::Make(3, 1, PF::Bgr24);
  auto d32 = DDSurface::Make(3, 1, PF::Bgrx32);
  test::WritePixel(*s32, 0, 0, 0xFF112233);
  test::WritePixel(*s32, 1, 0, 0x00112233);
  test::WritePixel(*s32, 2, 0, 0x80646464);
  test::FillPixels(*d24, 0xC8C8C8);
  test::FillPixels(*d32, 0x99C8C8C8);
  d24->BltAlphaChannel(s32.get(), 0, 0, nullptr, nullptr, nullptr);
  d32->BltAlphaChannel(s32.get(), 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*d24, 0, 0), 0x112233u);
  EXPECT_EQ(test::ReadPixel(*d24, 1, 0), 0xC8C8C8u);
  EXPECT_EQ(test::ReadPixel(*d24, 2, 0), 0x969696u);  // 200 + D[128][-100] = 150
  EXPECT_EQ(test::ReadPixel(*d32, 0, 0), 0x00112233u);
  EXPECT_EQ(test::ReadPixel(*d32, 1, 0), 0x00C8C8C8u);  // X written 0
  EXPECT_EQ(test::ReadPixel(*d32, 2, 0), 0x00969696u);
}

// Alpha bytes above 15 in the 16-bit formats are read by their low four bits.
TEST(AlphaChannelBlit, WildSixteenBitAlphaBytesStayInRange) {
  std::mt19937 rng(9);
  for (PF df : {PF::Rgb565, PF::Rgb565A, PF::Rgb555, PF::Rgb555A}) {
    const PF sf = Is565(df) ? PF::Rgb565A : PF::Rgb555A;
    auto src = DDSurface::Make(9, 7, sf);
    auto dst = DDSurface::Make(9, 7, df);
    test::FillRandom(*src, rng, true);
    test::FillRandom(*dst, rng, true);
    const auto srcBytes = test::Snapshot(*src);
    auto expected = test::Snapshot(*dst);
    test::ReferenceBlit(
        *dst, expected, *src, srcBytes, test::Placement{},
        [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) { AlphaChannelReference(sf, df, s, d); });
    EXPECT_EQ(dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr), kBlitDone);
    EXPECT_EQ(test::Snapshot(*dst), expected) << PixelFormatName(df);
  }
}

TEST(AlphaChannelBlit, ServesExactlyItsTenPairs) {
  std::mt19937 rng(10);
  std::vector<PF> formats(std::begin(test::kAllFormats), std::end(test::kAllFormats));
  formats.push_back(PF::Index8);
  for (PF sf : formats) {
    for (PF df : formats) {
      bool served = false;
      for (const Pair& p : kServed) served |= p.src == sf && p.dst == df;
      auto src = test::RandomSurface(3, 3, sf, rng, 0, DDSurface::Memory::Lent);
      auto dst = test::RandomSurface(3, 3, df, rng, 0, DDSurface::Memory::Lent);
      const auto before = test::Snapshot(*dst);
      const BlitResult r = dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr);
      EXPECT_EQ(r, served ? kBlitDone : kBlitPairNotServed)
          << PixelFormatName(sf) << " onto " << PixelFormatName(df);
      if (!served) {
        EXPECT_EQ(test::Snapshot(*dst), before);
      }
      EXPECT_EQ(src->Platform()->LocksHeld(), 0);
      EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
    }
  }
}

TEST(AlphaChannelBlit, RefusedLocksAnswerOneAndLeaveBothUnlocked) {
  std::mt19937 rng(11);
  auto src = test::RandomSurface(4, 4, PF::Bgra32, rng, 0, DDSurface::Memory::Lent);
  auto dst = test::RandomSurface(6, 5, PF::Bgra32, rng, 0, DDSurface::Memory::Lent);
  const auto before = test::Snapshot(*dst);
  dst->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(src->Platform()->LockCalls(), 1);  // only the look at its memory above
  dst->Platform()->RefuseLocks(platform::kSurfaceOk);
  src->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, nullptr), kBlitLockRefused);
  src->Platform()->RefuseLocks(platform::kSurfaceOk);
  EXPECT_EQ(dst->BltAlphaChannel(nullptr, 0, 0, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(test::Snapshot(*dst), before);
  EXPECT_EQ(src->Platform()->LocksHeld(), 0);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
  // Clipping that leaves nothing still answers 0.
  const Rect clip{0, 0, 0, 5};
  EXPECT_EQ(dst->BltAlphaChannel(src.get(), 0, 0, nullptr, nullptr, &clip), kBlitDone);
  EXPECT_EQ(test::Snapshot(*dst), before);
}

}  // namespace

}  // namespace pixelops
