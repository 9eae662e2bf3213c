// Alpha-blended textured quads (FillTexturedQuad) and rotated sprites
// (DrawRotatedSprite).
#include <gtest/gtest.h>

#include "graphics/blend_tables.h"
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
#include "tests/test_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kPolygon;

bool IsBgr(F f) { return f == F::Bgr24 || f == F::Bgrx32 || f == F::Bgra32; }
bool Is565(F f) { return f == F::Rgb565 || f == F::Rgb565A; }
bool HasAlpha(F f) { return IsAlphaFormat(f); }
uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }

bool IsKey(F sf, const uint8_t* s, uint32_t key) {
  switch (sf) {
    case F::Bgrx32:
    case F::Rgbx32:
      return (s[0] | (s[1] << 8) | (s[2] << 16) | (uint32_t{s[3]} << 24)) == key;
    case F::Bgr24:
    case F::Rgb24:
    case F::Bgra32:
    case F::Rgba32:
      return uint32_t(s[0] | (s[1] << 8) | (s[2] << 16)) == (key & 0xFFFFFF);
    default:
      return Word(s) == (key & 0xFFFF);
  }
}

// The blend of one texel, written out from the member table.
void Reference(F sf, F df, uint32_t g, uint32_t key, const uint8_t* s, uint8_t* d) {
  const BlendTables& t = Tables();
  if (IsKey(sf, s, key)) return;
  if (df == F::Rgb565 || df == F::Rgb555) {
    uint32_t level;
    if (sf == df) {
      if (Word(s) == Word(d)) return;
      level = g >> 4;
    } else {
      level = t.P(g, 16 * (s[2] & 15)) >> 4;
    }
    const uint32_t w = Is565(df) ? t.L565(level, Word(s)) + t.L565(15 - level, Word(d))
                                 : t.L555(level, Word(s)) + t.L555(15 - level, Word(d));
    d[0] = static_cast<uint8_t>(w), d[1] = static_cast<uint8_t>(w >> 8);
  } else if (df == F::Rgb565A || df == F::Rgb555A) {
    const uint32_t w = sf == df ? t.P(16 * (s[2] & 15), g) : g;
    const uint32_t sw = Word(s), dw = Word(d);
    const bool is565 = df == F::Rgb565A;
    auto widen = [&](uint32_t x, int c) -> uint32_t {
      if (c == 0) return is565 ? (x >> 8) & 0xF8 : (x >> 7) & 0xF8;
      if (c == 1) return is565 ? (x >> 3) & 0xFC : (x >> 2) & 0xF8;
      return (x << 3) & 0xFF;
    };
    uint32_t c[3];
    for (int i = 0; i < 3; ++i) c[i] = t.K(w, widen(dw, i)) + t.P(w, widen(sw, i));
    const uint32_t out = is565 ? ((c[0] & 0xF8) << 8) | ((c[1] & 0xFC) << 3) | (c[2] >> 3)
                               : ((c[0] & 0xF8) << 7) | ((c[1] & 0xF8) << 2) | (c[2] >> 3);
    d[0] = static_cast<uint8_t>(out), d[1] = static_cast<uint8_t>(out >> 8);
  } else {
    const uint32_t w = HasAlpha(sf) ? t.P(s[3], g) : g;
    for (int i = 0; i < 3; ++i) {
      const int si = IsBgr(sf) == IsBgr(df) ? i : 2 - i;
      d[i] = static_cast<uint8_t>(d[i] + t.D(w, s[si] - d[i]));
    }
    if (df == F::Bgrx32 || df == F::Rgbx32) d[3] = 0;
    if (df == F::Bgra32 || df == F::Rgba32) d[3] = 255;
  }
}

// Which texel the scan conversion gives each pixel: an opaque polygon from a
// Bgrx32 picture whose texel (u, v) holds v * 256 + u + 1 onto a zeroed target.
std::vector<uint32_t> TexelMap(int32_t sw, int32_t sh, int32_t dw, int32_t dh, const Point* sp,
                               const Point* dp, const Rect* clip) {
  auto index = DDSurface::Make(sw, sh, F::Bgrx32);
  for (int32_t v = 0; v < sh; ++v)
    for (int32_t u = 0; u < sw; ++u) test::WritePixel(*index, u, v, v * 256 + u + 1);
  auto map = DDSurface::Make(dw, dh, F::Bgrx32);
  EXPECT_EQ(map->DrawPolygon(index.get(), sp, dp, clip, 0, 4), kBlitDone);
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < dh; ++y)
    for (int32_t x = 0; x < dw; ++x) out.push_back(test::ReadPixel(*map, x, y));
  return out;
}

TEST(FillTexturedQuad, EveryPairBlendsTheTexelsTheScanConversionPicks) {
  std::mt19937 rng(12);
  for (const Pair& pair : kPairs) {
    for (int iteration = 0; iteration < 12; ++iteration) {
      const int32_t sw = 2 + rng() % 20, sh = 2 + rng() % 20, dw = 24, dh = 20;
      auto src = test::RandomSurface(sw, sh, pair.src, rng);
      auto dst = test::RandomSurface(dw, dh, pair.dst, rng, 3);
      // Plant key texels, near-key texels and, for equal formats, equal pixels.
      src->SetColorKey(0x00402010);
      const uint32_t key = src->GetColorKey();
      for (int k = 0; k < 6; ++k) {
        const int32_t u = rng() % sw, v = rng() % sh;
        uint32_t value = k % 2 ? key ^ (1u << (rng() % 24)) : key | (rng() % 2 ? 0x05000000u : 0);
        if (pair.src == F::Rgb565A || pair.src == F::Rgb555A) value = (value & 0xFFFF) | ((rng() % 16) << 16);
        test::WritePixel(*src, u, v, value);
      }
      if (pair.src == pair.dst && rng() % 2) test::FillPixels(*dst, test::ReadPixel(*src, 1, 1));
      RotatedQuad quad;
      ASSERT_TRUE(
          MakeRotatedQuad(*src, 12, 10, rng() % 512, 40000 + rng() % 60000, 40000 + rng() % 60000, &quad));
      const Rect clip{static_cast<int32_t>(rng() % 6), static_cast<int32_t>(rng() % 6), 24, 20};
      const Rect* c = rng() % 2 ? &clip : nullptr;
      const uint32_t g = rng() % 3 == 0 ? 255 : rng() % 256;

      const std::vector<uint32_t> map = TexelMap(sw, sh, dw, dh, quad.src, quad.dst, c);
      std::vector<uint8_t> expected = test::Snapshot(*dst);
      const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
      const int32_t sb = BytesPerPixel(pair.src), db = BytesPerPixel(pair.dst);
      for (int32_t y = 0; y < dh; ++y) {
        for (int32_t x = 0; x < dw; ++x) {
          const uint32_t m = map[y * dw + x];
          if (m == 0) continue;
          const int32_t u = (m - 1) & 255, v = (m - 1) >> 8;
          Reference(pair.src, pair.dst, g, key,
                    &srcBytes[static_cast<size_t>(v) * src->Buffer().pitch + u * sb],
                    &expected[static_cast<size_t>(y) * dst->Buffer().pitch + x * db]);
        }
      }
      ASSERT_EQ(FillTexturedQuad(dst.get(), src.get(), static_cast<int32_t>(g), quad.src, quad.dst, c, 0, 4),
                kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(pair.src) << " onto " << PixelFormatName(pair.dst) << " #" << iteration;
    }
  }
}

TEST(FillTexturedQuad, KeyWidthsAndChannelOrder) {
  const Point sp[4] = {{0, 0}, {1, 0}, {1, 0}, {0, 0}};
  const Point dp[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  // Bgrx32: a texel equal to the key in bytes 0-2 only is drawn.
  auto sx = DDSurface::Make(2, 1, F::Bgrx32), dx = DDSurface::Make(2, 2, F::Bgrx32);
  sx->SetColorKey(0x00030201);
  test::WritePixel(*sx, 0, 0, 0x01010203);
  test::WritePixel(*sx, 1, 0, 0x00010203);
  test::FillPixels(*dx, 0x77777777);
  FillTexturedQuad(dx.get(), sx.get(), 255, sp, dp, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*dx, 0, 0), 0x00010203u);
  EXPECT_EQ(test::ReadPixel(*dx, 1, 0), 0x77777777u);
  // Bgra32: a texel that differs from the key only in alpha is skipped.
  auto sa = DDSurface::Make(2, 1, F::Bgra32), da = DDSurface::Make(2, 2, F::Bgra32);
  sa->SetColorKey(0x00030201);
  test::WritePixel(*sa, 0, 0, 0x80010203);
  test::WritePixel(*sa, 1, 0, 0x00010203);
  test::FillPixels(*da, 0x11223344);
  FillTexturedQuad(da.get(), sa.get(), 200, sp, dp, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*da, 0, 0), 0x11223344u);
  EXPECT_EQ(test::ReadPixel(*da, 1, 1), 0x11223344u);
  // Bgra32 target from an Rgb24 source: the red byte 0 lands in byte 2.
  auto s24 = DDSurface::Make(2, 1, F::Rgb24);
  test::WritePixel(*s24, 0, 0, 0x0000C8);
  test::WritePixel(*s24, 1, 0, 0x0000C8);
  test::FillPixels(*da, 0x00000000);
  EXPECT_EQ(FillTexturedQuad(da.get(), s24.get(), 255, sp, dp, nullptr, 0, 4), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*da, 0, 0), 0xFFC80000u);
}

TEST(FillTexturedQuad, GlobalAlphaEdgeCases) {
  const Point sp[4] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  const Point dp[4] = {{0, 0}, {0, 0}, {0, 1}, {0, 1}};
  auto run = [&](F sf, F df, uint32_t s, uint32_t d, int32_t g) {
    auto src = DDSurface::Make(1, 1, sf), dst = DDSurface::Make(1, 2, df);
    src->SetColorKey(0x00ABCDEF);
    test::WritePixel(*src, 0, 0, s);
    test::FillPixels(*dst, d);
    FillTexturedQuad(dst.get(), src.get(), g, sp, dp, nullptr, 0, 4);
    return test::ReadPixel(*dst, 0, 0);
  };
  EXPECT_EQ(run(F::Rgb565, F::Rgb565, 0x1234, 0x5678, 255), 0x1234u);  // level 15
  EXPECT_EQ(run(F::Rgb565, F::Rgb565, 0x1234, 0x5678, 8), 0x5678u);    // level 0
  EXPECT_EQ(run(F::Rgb565, F::Rgb565, 0xFFFF, 0xFFFF, 7 * 16), 0xFFFFu);
  EXPECT_EQ(run(F::Bgr24, F::Bgr24, 200, 100, 128) & 0xFF, 150u);
  EXPECT_EQ(run(F::Bgr24, F::Bgr24, 100, 200, 128) & 0xFF, 150u);
  EXPECT_EQ(run(F::Bgra32, F::Bgra32, 0x00112233, 0x00445566, 255), 0xFF445566u);
  // White at alpha 15 over black with g = 255: red 29, green 59, blue 29, alpha kept.
  EXPECT_EQ(run(F::Rgb565A, F::Rgb565A, 0x0FFFFF, 0xA5070000, 255),
            0xA5070000u | (29u << 11) | (59u << 5) | 29u);
  EXPECT_EQ(run(F::Rgb565, F::Rgb565A, 0xBEEF, 0x0A0000, 255), 0x0ABEEFu);
  // Alpha -1 blends as 255; alpha 256 and above draws opaque (keyed copy).
  EXPECT_EQ(run(F::Bgrx32, F::Bgrx32, 0x00123456, 0x00FFFFFF, -1), 0x00123456u);
  EXPECT_EQ(run(F::Bgrx32, F::Bgrx32, 0x44123456, 0x00FFFFFF, 256), 0x44123456u);
  EXPECT_EQ(run(F::Bgrx32, F::Bgrx32, 0x44123456, 0x00FFFFFF, 255), 0x00123456u);
}

TEST(FillTexturedQuad, ResultsAndLocking) {
  const Point sp[4] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
  const Point dp[4] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
  auto lent = [](F f) { return DDSurface::Make(4, 4, f, DDSurface::Memory::Lent); };
  auto bgra = lent(F::Bgra32), rgb24 = lent(F::Rgb24), i8a = lent(F::Index8), i8b = lent(F::Index8);
  EXPECT_EQ(FillTexturedQuad(bgra.get(), rgb24.get(), 100, sp, dp, nullptr, 0, 4), kBlitDone);
  EXPECT_EQ(FillTexturedQuad(rgb24.get(), bgra.get(), 100, sp, dp, nullptr, 0, 4), kBlitPairNotServed);
  EXPECT_EQ(FillTexturedQuad(i8a.get(), i8b.get(), 100, sp, dp, nullptr, 0, 4), kBlitDone);
  EXPECT_EQ(FillTexturedQuad(bgra.get(), nullptr, 100, sp, dp, nullptr, 0, 4), kBlitLockRefused);
  const int32_t calls = rgb24->Platform()->LockCalls();
  bgra->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(FillTexturedQuad(bgra.get(), rgb24.get(), 100, sp, dp, nullptr, 0, 4), kBlitLockRefused);
  EXPECT_EQ(rgb24->Platform()->LockCalls(), calls);
  bgra->Platform()->RefuseLocks(platform::kSurfaceOk);
  rgb24->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(FillTexturedQuad(bgra.get(), rgb24.get(), 100, sp, dp, nullptr, 0, 4), kBlitLockRefused);
  for (auto* s : {bgra.get(), rgb24.get(), i8a.get(), i8b.get()}) EXPECT_EQ(s->Platform()->LocksHeld(), 0);
}

TEST(DrawRotatedSprite, CornersOfTheHundredPixelSprite) {
  auto sprite = DDSurface::Make(100, 100, F::Rgb565);
  RotatedQuad q;
  auto corners = [&](int32_t angle, int32_t sx = 65536) {
    EXPECT_TRUE(MakeRotatedQuad(*sprite, 400, 300, angle, sx, 65536, &q));
    return std::vector<int32_t>{q.dst[0].x, q.dst[0].y, q.dst[1].x, q.dst[1].y,
                                q.dst[2].x, q.dst[2].y, q.dst[3].x, q.dst[3].y};
  };
  EXPECT_EQ(corners(0), (std::vector<int32_t>{351, 251, 450, 251, 450, 350, 351, 350}));
  EXPECT_EQ(q.src[1].x, 99);
  EXPECT_EQ(q.src[2].y, 99);
  EXPECT_EQ(corners(128), (std::vector<int32_t>{449, 251, 449, 350, 350, 350, 350, 251}));
  EXPECT_EQ(corners(-384), corners(128));
  EXPECT_EQ(corners(512), corners(0));
  // Half the width: W = MulDiv(99, 32768, 65536) = 50, offsets -25 and +25.
  EXPECT_EQ(corners(0, 32768), (std::vector<int32_t>{375, 251, 425, 251, 425, 350, 375, 350}));
}

TEST(DrawRotatedSprite, NothingToDrawAndTheOpaquePath) {
  std::mt19937 rng(6);
  auto target = test::RandomSurface(64, 64, F::Bgrx32, rng);
  auto thin = test::RandomSurface(1, 30, F::Bgrx32, rng);
  auto sprite = test::RandomSurface(20, 20, F::Bgrx32, rng);
  const auto before = test::Snapshot(*target);
  EXPECT_EQ(DrawRotatedSprite(target.get(), thin.get(), 32, 32, 10, 65536, 65536, 128), kBlitDone);
  EXPECT_EQ(DrawRotatedSprite(target.get(), sprite.get(), 32, 32, 10, 0, 65536, 128), kBlitDone);
  EXPECT_EQ(DrawRotatedSprite(target.get(), sprite.get(), 32, 32, 10, 65536, 100, 128), kBlitDone);
  EXPECT_EQ(test::Snapshot(*target), before);
  // 256 and above: the same pixels as DrawRotatedScaled.
  auto other = DDSurface::Make(64, 64, F::Bgrx32);
  test::Restore(*other, before);
  EXPECT_EQ(DrawRotatedSprite(target.get(), sprite.get(), 30, 33, 77, 90000, 70000, 300), kBlitDone);
  EXPECT_EQ(DrawRotatedScaled(other.get(), sprite.get(), 30, 33, 77, 90000, 70000), kBlitDone);
  EXPECT_EQ(test::Snapshot(*target), test::Snapshot(*other));
}

// A sprite faded in over a series of frames changes only the pixels the
// opaque drawing of the same quad covers.
TEST(DrawRotatedSprite, FadingInStaysInsideTheQuad) {
  std::mt19937 rng(8);
  auto sprite = test::RandomSurface(30, 20, F::Rgb565A, rng);
  auto target = test::RandomSurface(60, 50, F::Rgb565, rng, 6);
  auto cover = DDSurface::Make(60, 50, F::Rgb565);
  auto black = DDSurface::Make(30, 20, F::Rgb565);
  test::FillPixels(*cover, 0xFFFF);
  RotatedQuad quad;
  ASSERT_TRUE(MakeRotatedQuad(*sprite, 29, 24, 45, 70000, 80000, &quad));
  cover->DrawPolygon(black.get(), quad.src, quad.dst, nullptr, 0, 4);
  const auto before = test::Snapshot(*target);
  for (int32_t alpha = 0; alpha < 256; alpha += 17)
    DrawRotatedSprite(target.get(), sprite.get(), 29, 24, 45, 70000, 80000, alpha);
  const auto after = test::Snapshot(*target);
  const int32_t pitch = target->Buffer().pitch;
  for (size_t i = 0; i < after.size(); ++i) {
    const int32_t x = static_cast<int32_t>(i % pitch) / 2, y = static_cast<int32_t>(i / pitch);
    const bool covered = x < 60 && test::ReadPixel(*cover, x, y) == 0;
    if (!covered) {
      ASSERT_EQ(after[i], before[i]) << "byte " << i;
    }
  }
  EXPECT_NE(after, before);
}

}  // namespace

}  // namespace pixelops
