// The two-level blend (BltBlend) and its colour-keyed form (BltBlendKey):
// per-pixel arithmetic of every pair, the key test, results and locking.
#include <gtest/gtest.h>

#include "graphics/pixel/two_level_blend.h"
#include "tests/test_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

constexpr auto& kServed = format_pairs::kBlend;

uint32_t P(uint32_t r, uint32_t c) { return r * c / 255; }
uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }
void SetWord(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
}
bool Is565(F f) { return f == F::Rgb565 || f == F::Rgb565A; }
bool Is16(F f) { return BytesPerPixel(f) == 2 || f == F::Rgb565A || f == F::Rgb555A; }
bool HasAlpha32(F f) { return f == F::Bgra32 || f == F::Rgba32; }

// Each channel of the colour word times k / 15.
uint32_t Scale(F f, uint32_t k, uint32_t w) {
  if (Is565(f))
    return (((w >> 11) & 31) * k / 15) << 11 | (((w >> 5) & 63) * k / 15) << 5 | (w & 31) * k / 15;
  return (((w >> 10) & 31) * k / 15) << 10 | (((w >> 5) & 31) * k / 15) << 5 | (w & 31) * k / 15;
}

// The blend rule of each pair, written out from its formulas.
void Reference(F sf, F df, uint32_t a, uint32_t b, const uint8_t* s, uint8_t* d) {
  if (Is16(df) && BytesPerPixel(df) == 2) {
    uint32_t ls = a >> 4, ld = b >> 4;
    if (sf != df) ls = P(a, 16 * (s[2] & 15)) >> 4, ld = P(b, 240) >> 4;
    SetWord(d, Scale(df, ls, Word(s)) + Scale(df, ld, Word(d)));
  } else if (Is16(df)) {
    const uint32_t ws = P(16 * (s[2] & 15), a), wd = P(16 * (d[2] & 15), b);
    const uint32_t sw = Word(s), dw = Word(d);
    const bool w565 = Is565(df);
    const uint32_t sc[3] = {(w565 ? sw >> 8 : sw >> 7) & 0xF8, (w565 ? (sw >> 3) & 0xFC : (sw >> 2) & 0xF8),
                            (sw << 3) & 0xFF};
    const uint32_t dc[3] = {(w565 ? dw >> 8 : dw >> 7) & 0xF8, (w565 ? (dw >> 3) & 0xFC : (dw >> 2) & 0xF8),
                            (dw << 3) & 0xFF};
    uint32_t sum[3];
    for (int i = 0; i < 3; ++i) sum[i] = (P(ws, sc[i]) + P(wd, dc[i])) & 0xFF;
    SetWord(d, w565 ? (sum[0] & 0xF8) << 8 | (sum[1] & 0xFC) << 3 | sum[2] >> 3
                    : (sum[0] & 0xF8) << 7 | (sum[1] & 0xF8) << 2 | sum[2] >> 3);
  } else {
    const uint32_t ws = HasAlpha32(sf) ? P(s[3], a) : a;
    const uint32_t wd = HasAlpha32(df) ? P(d[3], b) : b;
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(P(ws, s[i]) + P(wd, d[i]));
    if (BytesPerPixel(df) == 4) d[3] = HasAlpha32(df) ? 255 : 0;
  }
}

// Whether a source pixel is skipped as the key, by the source format's width.
bool IsKey(F sf, const uint8_t* s, uint32_t key) {
  uint32_t v = 0;
  std::memcpy(&v, s, BytesPerPixel(sf));
  if (Is16(sf)) return (v & 0xFFFF) == (key & 0xFFFF);
  if (sf == F::Bgrx32 || sf == F::Rgbx32) return v == key;
  return (v & 0xFFFFFF) == (key & 0xFFFFFF);
}

// Writes the key's colour bytes over about a third of the source's pixels
// (the X byte of the key only half the time).
void PlantKeys(DDSurface& src, std::mt19937& rng) {
  const uint32_t key = src.GetColorKey();
  const int32_t colourBytes = Is16(src.Format()) ? 2 : 3;
  for (int32_t y = 0; y < src.Buffer().bounds.bottom; ++y)
    for (int32_t x = 0; x < src.Buffer().bounds.right; ++x) {
      if (rng() % 3) continue;
      uint8_t* p = test::PixelAt(src, x, y);
      std::memcpy(p, &key, colourBytes);
      if ((src.Format() == F::Bgrx32 || src.Format() == F::Rgbx32) && rng() % 2) p[3] = 0;
    }
}

uint32_t RandomLevel(std::mt19937& rng) {
  switch (rng() % 4) {
    case 0:
      return rng() % 2 ? 0 : 255;
    case 1:
      return rng();  // only the low byte counts
    default:
      return rng() % 256;
  }
}

void CheckAgainstReference(bool keyed) {
  std::mt19937 rng(keyed ? 105 : 104);
  for (const Pair& pair : kServed) {
    for (int iteration = 0; iteration < 50; ++iteration) {
      const int32_t sw = 1 + rng() % 19, sh = 1 + rng() % 8, dw = 1 + rng() % 24, dh = 1 + rng() % 10;
      auto src = test::RandomSurface(sw, sh, pair.src, rng, rng() % 4);
      auto dst = test::RandomSurface(dw, dh, pair.dst, rng, rng() % 4);
      if (iteration % 5 == 0) test::FillRandom(*src, rng, true);  // alpha bytes above 15
      src->SetColorKey(rng() & 0xFFFFFF);
      if (keyed) PlantKeys(*src, rng);
      const uint32_t key = src->GetColorKey();
      test::RandomPlacement p(rng, sw, sh, dw, dh);
      const uint32_t a = RandomLevel(rng), b = RandomLevel(rng);
      const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
      std::vector<uint8_t> expected = test::Snapshot(*dst);
      test::ReferenceBlit(*dst, expected, *src, srcBytes, p.at,
                          [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                            if (!keyed || !IsKey(pair.src, s, key))
                              Reference(pair.src, pair.dst, a & 255, b & 255, s, d);
                          });
      const auto ia = static_cast<int32_t>(a), ib = static_cast<int32_t>(b);
      const BlitResult r =
          keyed ? dst->BltBlendKey(src.get(), p.at.x, p.at.y, ia, ib, p.at.srcRect, p.at.dstSize, p.at.clip)
                : dst->BltBlend(src.get(), p.at.x, p.at.y, ia, ib, p.at.srcRect, p.at.dstSize, p.at.clip);
      ASSERT_EQ(r, kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(pair.src) << " onto " << PixelFormatName(pair.dst) << " #" << iteration;
      ASSERT_EQ(test::Snapshot(*src), srcBytes);
    }
  }
}

TEST(BltBlend, EveryPairMatchesTheReferenceOnRandomPlacements) { CheckAgainstReference(false); }
TEST(BltBlendKey, EveryPairMatchesTheReferenceOnRandomPlacements) { CheckAgainstReference(true); }

TEST(BltBlend, SixteenBitLevels) {
  auto src = DDSurface::Make(1, 1, F::Rgb565), dst = DDSurface::Make(1, 1, F::Rgb565);
  auto blend = [&](uint32_t s, uint32_t d, int32_t a, int32_t b) {
    test::WritePixel(*src, 0, 0, s);
    test::WritePixel(*dst, 0, 0, d);
    EXPECT_EQ(dst->BltBlend(src.get(), 0, 0, a, b, nullptr, nullptr, nullptr), kBlitDone);
    return test::ReadPixel(*dst, 0, 0);
  };
  for (int32_t a = 240; a < 256; ++a) EXPECT_EQ(blend(0x9C3E, 0x1234, a, 0), 0x9C3Eu);
  for (int32_t a = 0; a < 16; ++a) EXPECT_EQ(blend(0x9C3E, 0x1234, a, 0), 0u);
  // A cross-fade never carries: each channel is its own sum. White over white
  // at full levels wraps.
  for (int32_t x = 0; x < 256; ++x) {
    const uint32_t h = x >> 4, k = (255 - x) >> 4;
    ASSERT_EQ(h + k, 15u);
    const uint32_t r = 31 * h / 15 + 31 * k / 15, g = 63 * h / 15 + 63 * k / 15;
    EXPECT_EQ(blend(0xFFFF, 0xFFFF, x, 255 - x), r << 11 | g << 5 | r);
  }
  EXPECT_EQ(blend(0xFFFF, 0xFFFF, 255, 255), 0xFFFEu);

  // An alpha source: a = 254 at alpha 15 is level 14; b = 128 is level 7 for
  // the destination whatever the source alpha, which darkens under alpha 0.
  auto srcA = DDSurface::Make(1, 1, F::Rgb565A);
  test::WritePixel(*srcA, 0, 0, 0x0FFFFF);
  test::WritePixel(*dst, 0, 0, 0);
  dst->BltBlend(srcA.get(), 0, 0, 254, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), Scale(F::Rgb565, 14, 0xFFFF));
  test::WritePixel(*srcA, 0, 0, 0x00FFFF);
  test::WritePixel(*dst, 0, 0, 0xFFFF);
  dst->BltBlend(srcA.get(), 0, 0, 255, 128, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), Scale(F::Rgb565, 7, 0xFFFF));
}

TEST(BltBlend, FourthBytesAndByteSums) {
  auto blend = [](F sf, F df, uint32_t s, uint32_t d, int32_t a, int32_t b) {
    auto src = DDSurface::Make(1, 1, sf), dst = DDSurface::Make(2, 1, df);
    const int32_t n = 2 * BytesPerPixel(df);
    std::memset(test::Memory(*dst), 0xEE, n);
    test::WritePixel(*src, 0, 0, s);
    test::WritePixel(*dst, 0, 0, d);
    dst->BltBlend(src.get(), 0, 0, a, b, nullptr, nullptr, nullptr);
    for (int32_t i = BytesPerPixel(df); i < n; ++i) EXPECT_EQ(test::Memory(*dst)[i], 0xEE);
    uint32_t v = 0;
    std::memcpy(&v, test::Memory(*dst), 4);
    return v;
  };
  // Bytes wrap at full levels; 24-bit destinations get exactly three bytes.
  EXPECT_EQ(blend(F::Bgr24, F::Bgr24, 0x908070, 0xEE908070, 255, 255), 0xEE2000E0u);
  EXPECT_EQ(blend(F::Bgrx32, F::Bgrx32, 0x11908070, 0xEE908070, 100, 155), 0x00908070u - 0x00010101u);
  // Both alphas 0: both weights are 0, and the destination alpha becomes 255.
  EXPECT_EQ(blend(F::Bgra32, F::Bgra32, 0x00FFFFFF, 0x00102030, 255, 255), 0xFF000000u);
  // Rgb565A onto itself keeps the destination's alpha and pad.
  EXPECT_EQ(blend(F::Rgb565A, F::Rgb565A, 0x0FFFFF, 0xA5030000, 255, 0) & 0xFFFF0000u, 0xA5030000u);
}

TEST(BltBlendKey, KeyComparisons) {
  // A source of nothing but the key changes nothing.
  std::mt19937 rng(3);
  auto src = test::RandomSurface(6, 4, F::Rgb565, rng);
  auto dst = test::RandomSurface(6, 4, F::Rgb565, rng);
  src->SetColorKey(0x00FF00FF);
  test::FillPixels(*src, src->GetColorKey());
  const auto before = test::Snapshot(*dst);
  EXPECT_EQ(dst->BltBlendKey(src.get(), 0, 0, 255, 0, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::Snapshot(*dst), before);

  auto one = [](F sf, F df, uint32_t s, uint32_t d, uint32_t keyColour, int32_t a = 255) {
    auto src = DDSurface::Make(1, 1, sf), dst = DDSurface::Make(1, 1, df);
    src->SetColorKey(keyColour);
    test::WritePixel(*src, 0, 0, s);
    test::WritePixel(*dst, 0, 0, d);
    dst->BltBlendKey(src.get(), 0, 0, a, 0, nullptr, nullptr, nullptr);
    return test::ReadPixel(*dst, 0, 0);
  };
  // The colour word / bytes 0-2 decide, whatever the alpha.
  EXPECT_EQ(one(F::Rgb565A, F::Rgb565A, 0x0AF81F, 0x03ABCD, 0xFF00FF), 0x03ABCDu);
  EXPECT_EQ(one(F::Bgra32, F::Bgra32, 0x7FFF00FF, 0x10ABCDEF, 0xFF00FF), 0x10ABCDEFu);
  // Bgrx32 compares X too: a differing X is blended (and X becomes 0).
  EXPECT_EQ(one(F::Bgrx32, F::Bgrx32, 0x01FF00FF, 0x10ABCDEF, 0xFF00FF), 0x00FF00FFu);
  EXPECT_EQ(one(F::Bgrx32, F::Bgrx32, 0x00FF00FF, 0x10ABCDEF, 0xFF00FF), 0x10ABCDEFu);
  // Non-key pixels at b = 0, a = 128: the source at 8/15.
  EXPECT_EQ(one(F::Rgb565, F::Rgb565, 0xFFFF, 0x1234, 0xFF00FF, 128), Scale(F::Rgb565, 8, 0xFFFF));
}

TEST(BltBlend, ResultsAndLocking) {
  for (bool keyed : {false, true}) {
    auto op = [keyed](DDSurface& dst, DDSurface* src) {
      return keyed ? dst.BltBlendKey(src, 0, 0, 128, 128, nullptr, nullptr, nullptr)
                   : dst.BltBlend(src, 0, 0, 128, 128, nullptr, nullptr, nullptr);
    };
    auto lent = [](F f) { return DDSurface::Make(4, 4, f, DDSurface::Memory::Lent); };
    auto held = [](DDSurface& a, DDSurface& b) {
      return a.Platform()->LocksHeld() + b.Platform()->LocksHeld();
    };
    auto i8a = lent(F::Index8), i8b = lent(F::Index8), d565 = lent(F::Rgb565), s555 = lent(F::Rgb555);
    auto s565 = lent(F::Rgb565);
    EXPECT_EQ(op(*i8a, i8b.get()), kBlitDone);
    EXPECT_EQ(op(*d565, s555.get()), kBlitPairNotServed);
    EXPECT_EQ(op(*d565, nullptr), kBlitLockRefused);
    EXPECT_EQ(held(*i8a, *i8b) + held(*d565, *s555), 0);
    d565->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(op(*d565, s565.get()), kBlitLockRefused);
    EXPECT_EQ(s565->Platform()->LockCalls(), 0);
    d565->Platform()->RefuseLocks(platform::kSurfaceOk);
    s565->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(op(*d565, s565.get()), kBlitLockRefused);
    EXPECT_EQ(held(*d565, *s565), 0);
    EXPECT_FALSE(d565->IsLocked());
  }
}

}  // namespace

}  // namespace pixelops
