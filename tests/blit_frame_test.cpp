// The clip set-up and the two walks, seen through the plain copy (whose rule
// is a memcpy of the pixel, so every difference is the frame's).
#include <gtest/gtest.h>

#include "graphics/blit_clip.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

// A 1-row Bgrx32 source whose pixel i holds i; copy it stretched and read back
// which source column each destination column got.
std::vector<uint32_t> StretchColumns(int32_t sw, int32_t dw, const Rect* clip = nullptr) {
  auto src = DDSurface::Make(sw, 1, PixelFormat::Bgrx32);
  auto dst = DDSurface::Make(dw, 1, PixelFormat::Bgrx32);
  for (int32_t i = 0; i < sw; ++i) test::WritePixel(*src, i, 0, i);
  test::FillPixels(*dst, 0xEEEEEEEE);
  const Size size{dw, 1};
  EXPECT_EQ(dst->Blt(src.get(), 0, 0, nullptr, &size, clip), kBlitDone);
  std::vector<uint32_t> out;
  for (int32_t i = 0; i < dw; ++i) out.push_back(test::ReadPixel(*dst, i, 0));
  return out;
}

TEST(BlitFrame, StretchReadsTheColumnsOfTheErrorTerms) {
  EXPECT_EQ(StretchColumns(1, 2), (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(StretchColumns(2, 3), (std::vector<uint32_t>{0, 1, 1}));
  EXPECT_EQ(StretchColumns(3, 2), (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(StretchColumns(4, 2), (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(StretchColumns(3, 7), (std::vector<uint32_t>{0, 0, 1, 1, 2, 2, 2}));
}

TEST(BlitFrame, EqualSizeIsOneToOneAndAnyDifferenceStretchesBothAxes) {
  auto src = DDSurface::Make(10, 8, PixelFormat::Rgb565);
  auto dst = DDSurface::Make(40, 40, PixelFormat::Rgb565);
  BlitParams bp;
  Size same{10, 8}, wider{11, 8}, taller{10, 9};
  ASSERT_EQ(ClipBlitRects(dst->Buffer(), src->Buffer(), 3, 4, &bp, nullptr, &same, nullptr), 0);
  EXPECT_EQ(bp.oneToOne, 1);
  EXPECT_EQ(bp.dst, (Rect{3, 4, 13, 12}));
  ASSERT_EQ(ClipBlitRects(dst->Buffer(), src->Buffer(), 3, 4, &bp, nullptr, &wider, nullptr), 0);
  EXPECT_EQ(bp.oneToOne, 0);
  EXPECT_EQ(bp.xError, -12);  // unclipped: minus the span minus 1
  EXPECT_EQ(bp.yError, -9);
  EXPECT_EQ(bp.yQuotient, 1);
  EXPECT_EQ(bp.yRemainder, 0);
  ASSERT_EQ(ClipBlitRects(dst->Buffer(), src->Buffer(), 3, 4, &bp, nullptr, &taller, nullptr), 0);
  EXPECT_EQ(bp.oneToOne, 0);
}

TEST(BlitFrame, NothingLeftAfterClippingAnswersOne) {
  auto src = DDSurface::Make(10, 8, PixelFormat::Rgb565);
  auto dst = DDSurface::Make(40, 40, PixelFormat::Rgb565);
  BlitParams bp;
  const Rect inverted{5, 5, 2, 8}, empty{3, 3, 3, 6};
  const Size zero{0, 5}, negative{-4, 5};
  const Rect clip{0, 0, 10, 10};
  const PixelBuffer& d = dst->Buffer();
  const PixelBuffer& s = src->Buffer();
  EXPECT_EQ(ClipBlitRects(d, s, 0, 0, &bp, &inverted, nullptr, nullptr), 1);
  EXPECT_EQ(ClipBlitRects(d, s, 0, 0, &bp, &empty, nullptr, nullptr), 1);
  EXPECT_EQ(ClipBlitRects(d, s, 0, 0, &bp, nullptr, &zero, nullptr), 1);
  EXPECT_EQ(ClipBlitRects(d, s, 0, 0, &bp, nullptr, &negative, nullptr), 1);
  EXPECT_EQ(ClipBlitRects(d, s, 10, 0, &bp, nullptr, nullptr, &clip), 1);
  EXPECT_EQ(ClipBlitRects(d, s, -10, 0, &bp, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(ClipBlitRects(d, s, 40, 40, &bp, nullptr, nullptr, nullptr), 1);
}

// Every placement, clip and stretch against the plain reference mapping, on
// every pixel size, with padded rows: pixels outside the drawn rectangle and
// padding bytes must keep their values.
TEST(BlitFrame, WalksMatchThePlainMappingOnRandomPlacements) {
  std::mt19937 rng(11);
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgr24, PixelFormat::Bgra32}) {
    for (int iteration = 0; iteration < 300; ++iteration) {
      const int32_t sw = 1 + rng() % 20, sh = 1 + rng() % 12, dw = 1 + rng() % 30, dh = 1 + rng() % 20;
      auto src = test::RandomSurface(sw, sh, f, rng, rng() % 5);
      auto dst = test::RandomSurface(dw, dh, f, rng, rng() % 5);
      test::RandomPlacement p(rng, sw, sh, dw, dh);
      std::vector<uint8_t> expected = test::Snapshot(*dst);
      const int32_t bpp = BytesPerPixel(f);
      test::ReferenceBlit(*dst, expected, *src, test::Snapshot(*src), p.at,
                          [bpp](const uint8_t* s, uint8_t* d, int32_t, int32_t) { std::memcpy(d, s, bpp); });
      ASSERT_EQ(dst->Blt(src.get(), p.at.x, p.at.y, p.at.srcRect, p.at.dstSize, p.at.clip), kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected) << "iteration " << iteration;
    }
  }
}

// A clip shows exactly the pixels of the unclipped blit inside it, also when
// one axis keeps its size while the other stretches and the clip takes a
// single column or row off.
TEST(BlitFrame, ClippingNeverShiftsAStretchedPicture) {
  std::mt19937 rng(5);
  for (int iteration = 0; iteration < 400; ++iteration) {
    const int32_t sw = 1 + rng() % 16, sh = 1 + rng() % 16;
    auto src = test::RandomSurface(sw, sh, PixelFormat::Bgrx32, rng);
    Size size{static_cast<int32_t>(1 + rng() % 32), static_cast<int32_t>(1 + rng() % 32)};
    if (rng() % 3 == 0) size.width = sw;
    if (rng() % 3 == 0) size.height = sh;
    auto whole = DDSurface::Make(40, 40, PixelFormat::Bgrx32);
    auto clipped = DDSurface::Make(40, 40, PixelFormat::Bgrx32);
    const int32_t x = rng() % 6, y = rng() % 6;
    const Rect clip{x + static_cast<int32_t>(rng() % 3), y + static_cast<int32_t>(rng() % 3),
                    static_cast<int32_t>(rng() % 41), static_cast<int32_t>(rng() % 41)};
    whole->Blt(src.get(), x, y, nullptr, &size, nullptr);
    clipped->Blt(src.get(), x, y, nullptr, &size, &clip);
    for (int32_t py = 0; py < 40; ++py) {
      for (int32_t px = 0; px < 40; ++px) {
        const bool inside = px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom;
        ASSERT_EQ(test::ReadPixel(*clipped, px, py), inside ? test::ReadPixel(*whole, px, py) : 0u)
            << "iteration " << iteration << " at " << px << "," << py;
      }
    }
  }
}

// A source rectangle reaching outside the source is clipped like the
// destination: the pixels whose source lies inside are drawn as the mapping
// says, the others stay untouched.
TEST(BlitFrame, SourceRectangleOutsideTheSourceIsClipped) {
  std::mt19937 rng(3);
  for (int iteration = 0; iteration < 300; ++iteration) {
    auto src = test::RandomSurface(8, 6, PixelFormat::Rgb24, rng);
    auto dst = test::RandomSurface(24, 20, PixelFormat::Rgb24, rng, 3);
    Rect r{static_cast<int32_t>(rng() % 20) - 10, static_cast<int32_t>(rng() % 16) - 8, 0, 0};
    r.right = r.left + 1 + static_cast<int32_t>(rng() % 20);
    r.bottom = r.top + 1 + static_cast<int32_t>(rng() % 16);
    Size size{static_cast<int32_t>(1 + rng() % 24), static_cast<int32_t>(1 + rng() % 20)};
    test::Placement at{static_cast<int32_t>(rng() % 8) - 4, static_cast<int32_t>(rng() % 8) - 4, &r,
                       rng() % 2 ? &size : nullptr, nullptr};
    std::vector<uint8_t> expected = test::Snapshot(*dst);
    test::ReferenceBlit(*dst, expected, *src, test::Snapshot(*src), at,
                        [](const uint8_t* s, uint8_t* d, int32_t, int32_t) { std::memcpy(d, s, 3); });
    dst->Blt(src.get(), at.x, at.y, at.srcRect, at.dstSize, nullptr);
    ASSERT_EQ(test::Snapshot(*dst), expected) << "iteration " << iteration;
  }
}

TEST(BlitFrame, ExtremePlacementsDrawSafely) {
  std::mt19937 rng(9);
  auto src = test::RandomSurface(16, 16, PixelFormat::Rgb565, rng);
  auto dst = test::RandomSurface(32, 32, PixelFormat::Rgb565, rng);
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -(1 << 30),    -100,     -1, 0, 1,
                              31,        1 << 30,       INT32_MAX - 1, INT32_MAX};
  for (int iteration = 0; iteration < 2000; ++iteration) {
    auto any = [&] { return extremes[rng() % std::size(extremes)]; };
    Rect r{any(), any(), any(), any()};
    Rect clip{any(), any(), any(), any()};
    Size size{any(), any()};
    const BlitResult result = dst->BltAlpha(src.get(), any(), any(), 200, rng() % 2 ? &r : nullptr,
                                            rng() % 2 ? &size : nullptr, rng() % 2 ? &clip : nullptr);
    ASSERT_EQ(result, kBlitDone);
  }
  // A source rectangle beyond the coordinate limit draws nothing.
  const std::vector<uint8_t> before = test::Snapshot(*dst);
  const Rect huge{0, 0, INT32_MAX, 10};
  EXPECT_EQ(dst->BltAlpha(src.get(), 0, 0, 255, &huge, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::Snapshot(*dst), before);
}

}  // namespace

}  // namespace pixelops
