// The colour copy that keeps the destination's alpha (BltColorKeepAlpha) and
// its inert neighbour (BltNoOp).
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

bool KeepsAlpha(F f) { return f == F::Rgb565A || f == F::Rgb555A || f == F::Bgra32 || f == F::Rgba32; }

TEST(BltColorKeepAlpha, EveryPairMatchesTheReferenceOrAnswersWhyNot) {
  std::mt19937 rng(108);
  for (F sf : test::kAllFormats) {
    for (F df : test::kAllFormats) {
      const bool served = sf == df && KeepsAlpha(df);
      for (int iteration = 0; iteration < (served ? 80 : 1); ++iteration) {
        const int32_t sw = 1 + rng() % 19, sh = 1 + rng() % 8, dw = 1 + rng() % 24, dh = 1 + rng() % 10;
        auto src = test::RandomSurface(sw, sh, sf, rng, rng() % 4);
        auto dst = test::RandomSurface(dw, dh, df, rng, rng() % 4);
        test::FillRandom(*dst, rng, true);
        test::RandomPlacement p(rng, sw, sh, dw, dh);
        const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
        std::vector<uint8_t> expected = test::Snapshot(*dst);
        if (served)
          test::ReferenceBlit(*dst, expected, *src, srcBytes, p.at,
                              [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                                std::memcpy(d, s, df == F::Rgb565A || df == F::Rgb555A ? 2 : 3);
                              });
        const BlitResult want = served ? kBlitDone : sf != df ? kBlitPairNotServed : kBlitNotAlphaFormat;
        ASSERT_EQ(dst->BltColorKeepAlpha(src.get(), p.at.x, p.at.y, p.at.srcRect, p.at.dstSize, p.at.clip),
                  want);
        ASSERT_EQ(test::Snapshot(*dst), expected)
            << PixelFormatName(sf) << " onto " << PixelFormatName(df) << " #" << iteration;
        ASSERT_EQ(test::Snapshot(*src), srcBytes);
      }
    }
  }
}

TEST(BltColorKeepAlpha, EdgeCases) {
  // Bgra32 with every destination alpha 0: colours change, alphas stay 0;
  // stretched, each pixel takes the colour the walk reads.
  auto src = DDSurface::Make(2, 1, F::Bgra32), dst = DDSurface::Make(4, 1, F::Bgra32);
  test::WritePixel(*src, 0, 0, 0xFF112233);
  test::WritePixel(*src, 1, 0, 0x80445566);
  const Size wide{4, 1};
  EXPECT_EQ(dst->BltColorKeepAlpha(src.get(), 0, 0, nullptr, &wide, nullptr), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x00112233u);
  EXPECT_EQ(test::ReadPixel(*dst, 1, 0), 0x00112233u);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 0), 0x00445566u);
  EXPECT_EQ(test::ReadPixel(*dst, 3, 0), 0x00445566u);
  // Rgb565A: source alpha 15 onto destination alpha 3.
  auto s16 = DDSurface::Make(1, 1, F::Rgb565A), d16 = DDSurface::Make(1, 1, F::Rgb565A);
  test::WritePixel(*s16, 0, 0, 0x770FBEEF);
  test::WritePixel(*d16, 0, 0, 0xAA031234);
  EXPECT_EQ(d16->BltColorKeepAlpha(s16.get(), 0, 0, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*d16, 0, 0), 0xAA03BEEFu);
}

TEST(BltColorKeepAlpha, ResultsAndLocking) {
  auto lent = [](F f) { return DDSurface::Make(4, 4, f, DDSurface::Memory::Lent); };
  auto bgra = lent(F::Bgra32), rgba = lent(F::Rgba32), c565 = lent(F::Rgb565), i8 = lent(F::Index8);
  auto src = lent(F::Bgra32);
  auto run = [](DDSurface& d, DDSurface* s) {
    return d.BltColorKeepAlpha(s, 0, 0, nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(run(*rgba, bgra.get()), kBlitPairNotServed);
  EXPECT_EQ(run(*c565, c565.get()), kBlitNotAlphaFormat);
  EXPECT_EQ(run(*i8, i8.get()), kBlitNotAlphaFormat);
  EXPECT_EQ(run(*bgra, nullptr), kBlitLockRefused);
  EXPECT_EQ(rgba->Platform()->LocksHeld() + bgra->Platform()->LocksHeld() + c565->Platform()->LocksHeld() +
                i8->Platform()->LocksHeld(),
            0);
  bgra->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*bgra, src.get()), kBlitLockRefused);
  EXPECT_EQ(src->Platform()->LockCalls(), 0);
  bgra->Platform()->RefuseLocks(platform::kSurfaceOk);
  src->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*bgra, src.get()), kBlitLockRefused);
  EXPECT_EQ(bgra->Platform()->LocksHeld() + src->Platform()->LocksHeld(), 0);
  EXPECT_FALSE(bgra->IsLocked());
}

TEST(BltNoOp, TouchesNothing) {
  std::mt19937 rng(9);
  auto dst = test::RandomSurface(5, 5, F::Bgra32, rng, 0, DDSurface::Memory::Lent);
  auto src = test::RandomSurface(5, 5, F::Bgra32, rng, 0, DDSurface::Memory::Lent);
  const auto before = test::Snapshot(*dst);
  const int32_t calls = dst->Platform()->LockCalls() + src->Platform()->LockCalls();
  const Rect r{0, 0, 5, 5};
  const Size s{9, 9};
  EXPECT_EQ(dst->BltNoOp(src.get(), 1, 1, 77, &r, &s, &r), kBlitDone);
  EXPECT_EQ(dst->BltNoOp(nullptr, INT32_MIN, INT32_MAX, -1, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(dst->Platform()->LockCalls() + src->Platform()->LockCalls(), calls);
  EXPECT_EQ(test::Snapshot(*dst), before);
}

}  // namespace

}  // namespace pixelops
