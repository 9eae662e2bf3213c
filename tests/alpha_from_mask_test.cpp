// The ramp (BuildRampTable) and the alpha rewritten from a mask through it
// (AlphaFromMaskRamp, AlphaFromMaskRect).
#include <gtest/gtest.h>

#include <climits>

#include "graphics/pixel/alpha_from_mask.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

std::vector<int> Ramp(int32_t lo, int32_t hi, int32_t a, int32_t b) {
  uint8_t ramp[256];
  std::memset(ramp, 0x5A, sizeof ramp);
  EXPECT_EQ(BuildRampTable(ramp, lo, hi, a, b), ramp);
  return std::vector<int>(ramp, ramp + 256);
}

// Entry m of the ramp: the last of the three fills that reaches it.
int ReferenceEntry(int64_t lo, int64_t hi, int64_t a, int64_t b, int64_t m) {
  if (m >= hi) return static_cast<int>(b & 255);
  if (m > lo) return static_cast<int>(std::clamp<int64_t>(a + (b - a) * (m - lo) / (hi - lo), 0, 255));
  return static_cast<int>(a & 255);  // m <= lo, so lo >= 0
}

TEST(BuildRampTable, Examples) {
  std::vector<int> identity(256), threshold(256), steep(256);
  for (int m = 0; m < 256; ++m) {
    identity[m] = m;
    threshold[m] = m < 100 ? 0 : 255;
    steep[m] = m <= 64 ? 0 : m >= 192 ? 255 : 255 * (m - 64) / 128;
  }
  EXPECT_EQ(Ramp(0, 255, 0, 255), identity);
  EXPECT_EQ(Ramp(100, 100, 0, 255), threshold);
  EXPECT_EQ(Ramp(64, 192, 0, 255), steep);
  const std::vector<int> falling = Ramp(0, 3, 255, 0);
  EXPECT_EQ(std::vector<int>(falling.begin(), falling.begin() + 5), (std::vector<int>{255, 170, 85, 0, 0}));
  EXPECT_EQ(Ramp(255, 256, 7, 9), std::vector<int>(256, 7));
  EXPECT_EQ(Ramp(-1, -1, 7, 9), std::vector<int>(256, 9));
}

TEST(BuildRampTable, AnyFourValuesFillEveryEntryWithinRange) {
  std::mt19937 rng(107);
  auto pick = [&]() -> int32_t {
    switch (rng() % 4) {
      case 0:
        return static_cast<int32_t>(rng() % 300) - 20;
      case 1:
        return static_cast<int32_t>(rng() % 4000) - 2000;
      default:
        return static_cast<int32_t>(rng() % 260);
    }
  };
  for (int i = 0; i < 2000; ++i) {
    const int32_t lo = pick(), hi = pick(), a = pick(), b = pick();
    const std::vector<int> ramp = Ramp(lo, hi, a, b);
    for (int m = 0; m < 256; ++m)
      ASSERT_EQ(ramp[m], ReferenceEntry(lo, hi, a, b, m))
          << lo << " " << hi << " " << a << " " << b << " " << m;
  }
  // Extremes: no overflow, the slope still exact and clamped.
  for (int32_t lo : {INT_MIN, -1, 0, 255, INT_MAX})
    for (int32_t hi : {INT_MIN, 0, 128, 256, INT_MAX})
      for (int32_t a : {INT_MIN, 0, 255, INT_MAX})
        for (int32_t b : {INT_MIN, 0, 255, INT_MAX}) {
          const std::vector<int> ramp = Ramp(lo, hi, a, b);
          for (int m = 0; m < 256; ++m) {
            if (m > lo && m < hi) {
              // |b - a| x (m - lo) stays below 2^64 as an unsigned magnitude.
              const int64_t rise = int64_t{b} - a;
              const uint64_t q = (rise < 0 ? uint64_t(-rise) : uint64_t(rise)) * uint64_t(m - int64_t{lo}) /
                                 uint64_t(int64_t{hi} - lo);
              const int64_t v = a + (rise < 0 ? -int64_t(q) : int64_t(q));
              ASSERT_EQ(ramp[m], v < 0     ? 0
                                 : v > 255 ? 255
                                           : static_cast<int>(v))
                  << lo << " " << hi << " " << a << " " << b << " " << m;
            } else {
              ASSERT_EQ(ramp[m], ReferenceEntry(lo, hi, a, b, m));
            }
          }
        }
}

// Mask onto destination.
constexpr auto& kServed = format_pairs::kMaskOntoAlpha;

bool Served(F mask, F dst) { return format_pairs::Holds(kServed, mask, dst); }

// The mask's blue channel on the 0..255 scale.
uint32_t MaskValue(F f, const uint8_t* p) {
  switch (f) {
    case F::Bgr24:
    case F::Bgrx32:
    case F::Bgra32:
      return p[0];
    case F::Rgb24:
    case F::Rgbx32:
    case F::Rgba32:
      return p[2];
    default:
      return (p[0] & 31) * 8;
  }
}

TEST(AlphaFromMaskRamp, EveryPairMatchesTheReferenceAndOthersDrawNothing) {
  std::mt19937 rng(1070);
  for (F mf : test::kAllFormats) {
    for (F df : test::kAllFormats) {
      const bool served = Served(mf, df);
      for (int iteration = 0; iteration < (served ? 60 : 2); ++iteration) {
        const int32_t sw = 1 + rng() % 19, sh = 1 + rng() % 8, dw = 1 + rng() % 24, dh = 1 + rng() % 10;
        auto mask = test::RandomSurface(sw, sh, mf, rng, rng() % 4);
        auto dst = test::RandomSurface(dw, dh, df, rng, rng() % 4);
        test::RandomPlacement p(rng, sw, sh, dw, dh);
        const int32_t lo = static_cast<int32_t>(rng() % 300) - 20,
                      hi = static_cast<int32_t>(rng() % 300) - 20;
        const int32_t a = static_cast<int32_t>(rng() % 256), b = static_cast<int32_t>(rng() % 256);
        const std::vector<uint8_t> maskBytes = test::Snapshot(*mask);
        std::vector<uint8_t> expected = test::Snapshot(*dst);
        if (served)
          test::ReferenceBlit(*dst, expected, *mask, maskBytes, p.at,
                              [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                                const int v = ReferenceEntry(lo, hi, a, b, MaskValue(mf, s));
                                if (df == F::Rgb565A || df == F::Rgb555A) d[2] = static_cast<uint8_t>(v >> 4);
                                else d[3] = static_cast<uint8_t>(v);
                              });
        ASSERT_EQ(dst->AlphaFromMaskRamp(mask.get(), lo, hi, a, b, p.at.x, p.at.y, p.at.srcRect, p.at.dstSize,
                                         p.at.clip),
                  kBlitDone);
        ASSERT_EQ(test::Snapshot(*dst), expected)
            << PixelFormatName(mf) << " onto " << PixelFormatName(df) << " #" << iteration;
        ASSERT_EQ(test::Snapshot(*mask), maskBytes);
      }
    }
  }
}

TEST(AlphaFromMaskRamp, IdentityRampCopiesTheBlueChannel) {
  // Bgrx32 mask onto Bgra32: alpha = blue byte, colour untouched.
  auto mask = DDSurface::Make(3, 1, F::Bgrx32), dst = DDSurface::Make(3, 1, F::Bgra32);
  test::WritePixel(*mask, 0, 0, 0x00000080);
  test::WritePixel(*mask, 1, 0, 0x00FFFF00);  // pure yellow: blue 0
  test::WritePixel(*mask, 2, 0, 0xAB0000FF);
  test::FillPixels(*dst, 0x11223344);
  dst->AlphaFromMaskRamp(mask.get(), 0, 255, 0, 255, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x80223344u);
  EXPECT_EQ(test::ReadPixel(*dst, 1, 0), 0x00223344u);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 0), 0xFF223344u);
  // Rgb565 mask onto Rgb565A: level = blue >> 1; the pad byte stays.
  auto mask16 = DDSurface::Make(3, 1, F::Rgb565), dst16 = DDSurface::Make(3, 1, F::Rgb565A);
  test::WritePixel(*mask16, 0, 0, 31);
  test::WritePixel(*mask16, 1, 0, 1);
  test::WritePixel(*mask16, 2, 0, 0xF800 | 17);
  test::FillPixels(*dst16, 0xEE07ABCD);
  dst16->AlphaFromMaskRamp(mask16.get(), 0, 255, 0, 255, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst16, 0, 0), 0xEE0FABCDu);
  EXPECT_EQ(test::ReadPixel(*dst16, 1, 0), 0xEE00ABCDu);
  EXPECT_EQ(test::ReadPixel(*dst16, 2, 0), 0xEE08ABCDu);
}

TEST(AlphaFromMaskRect, TheMaskRectangleLandsAtItsOwnPlace) {
  std::mt19937 rng(5);
  auto mask = test::RandomSurface(12, 9, F::Bgra32, rng);
  auto a = test::RandomSurface(12, 9, F::Bgra32, rng, 3);
  auto b = DDSurface::Make(12, 9, F::Bgra32, DDSurface::Memory::Own, 12 * 4 + 3);
  test::Restore(*b, test::Snapshot(*a));
  const Rect r{3, 2, 10, 6};
  EXPECT_EQ(a->AlphaFromMaskRect(mask.get(), 10, 200, 30, 220, &r), kBlitDone);
  b->AlphaFromMaskRamp(mask.get(), 10, 200, 30, 220, 3, 2, &r, nullptr, nullptr);
  EXPECT_EQ(test::Snapshot(*a), test::Snapshot(*b));
  EXPECT_EQ(a->AlphaFromMaskRect(mask.get(), 0, 255, 255, 0, nullptr), kBlitDone);
  b->AlphaFromMaskRamp(mask.get(), 0, 255, 255, 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::Snapshot(*a), test::Snapshot(*b));
}

TEST(AlphaFromMaskRamp, ResultsAndLocking) {
  auto lent = [](F f) { return DDSurface::Make(4, 4, f, DDSurface::Memory::Lent); };
  auto dst = lent(F::Bgra32), mask = lent(F::Bgrx32), wrong = lent(F::Rgb24), colour = lent(F::Rgb565);
  auto run = [](DDSurface& d, DDSurface* m) {
    return d.AlphaFromMaskRamp(m, 0, 255, 0, 255, 0, 0, nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(run(*dst, wrong.get()), kBlitDone);
  EXPECT_EQ(run(*colour, colour.get()), kBlitDone);
  EXPECT_EQ(run(*dst, nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LocksHeld() + wrong->Platform()->LocksHeld() + colour->Platform()->LocksHeld(),
            0);
  dst->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*dst, mask.get()), kBlitLockRefused);
  EXPECT_EQ(mask->Platform()->LockCalls(), 0);
  dst->Platform()->RefuseLocks(platform::kSurfaceOk);
  mask->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*dst, mask.get()), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LocksHeld() + mask->Platform()->LocksHeld(), 0);
  EXPECT_FALSE(dst->IsLocked());
}

}  // namespace

}  // namespace pixelops
