// DrawFadedScreen and the screen transition's work images. The darkening
// itself is checked against its reference in fade_test.cpp; here the expected
// pictures are built with DDSurface::Fade on copies, except where the levels
// give plain answers (black, channel x 15 / 255, the picture itself).
#include <pixelops/faded_screen.h>

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include <pixelops/screen_transition.h>
#include "tests/test_support.h"

namespace pixelops {

namespace {

constexpr int32_t kW = 800, kH = 600;
constexpr Rect kUpper{0, 0, kW, 300};
constexpr Rect kLower{0, 300, kW, kH};

struct Display {
  std::mt19937 rng;
  ScreenTransition transition;
  std::unique_ptr<DDSurface> target, picture;
  explicit Display(PixelFormat f, uint32_t seed = 5)
      : rng(seed),
        transition(f),
        target(test::RandomSurface(kW, kH, f, rng)),
        picture(test::RandomSurface(kW, kH, f, rng)) {
    test::FillRandom(*transition.Buffer(1), rng);
    test::FillRandom(*transition.Buffer(2), rng);
  }
  std::vector<uint8_t> Bytes(int32_t slot) { return test::Snapshot(*transition.Buffer(slot)); }
  // The picture darkened at `upper` over the upper half and `lower` over the
  // lower (a lower level of 0 leaves the lower half plain).
  std::vector<uint8_t> Darkened(int32_t upper, int32_t lower) {
    auto copy = DDSurface::Make(kW, kH, picture->Format());
    test::Restore(*copy, test::Snapshot(*picture));
    copy->Fade(upper, &kUpper);
    if (lower != 0) copy->Fade(lower, &kLower);
    return test::Snapshot(*copy);
  }
};

TEST(ScreenTransition, BuffersAreMadeOnceAndKept) {
  ScreenTransition t(PixelFormat::Rgb565);
  DDSurface* made[4];
  for (int32_t slot = 0; slot < 4; ++slot) {
    made[slot] = t.Buffer(slot);
    ASSERT_NE(made[slot], nullptr);
    int32_t w = 0, h = 0;
    made[slot]->GetSize(&w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_EQ(made[slot]->Format(), PixelFormat::Rgb565);
    EXPECT_EQ(made[slot]->HasAlpha(), 0);
    EXPECT_TRUE(made[slot]->KeepOnRestore());
    for (int32_t other = 0; other < slot; ++other) EXPECT_NE(made[other], made[slot]);
  }
  test::WritePixel(*made[1], 5, 7, 0xBEEF);
  for (int32_t slot = 0; slot < 4; ++slot) EXPECT_EQ(t.Buffer(slot), made[slot]);
  EXPECT_EQ(test::ReadPixel(*t.Buffer(1), 5, 7), 0xBEEFu);
  for (int32_t slot : {-1, 4, 5, INT_MIN, INT_MAX}) EXPECT_EQ(t.Buffer(slot), nullptr);

  ScreenTransition t32(PixelFormat::Bgrx32);
  EXPECT_EQ(t32.Buffer(3)->Format(), PixelFormat::Bgrx32);
}

TEST(DrawFadedScreen, LevelZeroOrLessFillsTheTarget) {
  Display d(PixelFormat::Bgrx32);
  d.target->SetFillColor(0x00336699);
  const auto buffer1 = d.Bytes(1), buffer2 = d.Bytes(2), picture = test::Snapshot(*d.picture);
  for (int32_t level : {0, -1, INT_MIN}) {
    test::FillRandom(*d.target, d.rng);
    EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), level, 0), kBlitDone);
    EXPECT_EQ(test::ReadPixel(*d.target, 0, 0), 0x00996633u);
    EXPECT_EQ(test::ReadPixel(*d.target, kW - 1, kH - 1), 0x00996633u);
    EXPECT_EQ(d.Bytes(1), buffer1);  // flag 0: buffer 1 untouched
  }
  EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), 0, 1), kBlitDone);
  EXPECT_EQ(d.Bytes(1), std::vector<uint8_t>(buffer1.size(), 0));  // its own fill colour, black
  EXPECT_EQ(test::ReadPixel(*d.target, 400, 300), 0x00996633u);
  EXPECT_EQ(d.Bytes(2), buffer2);
  EXPECT_EQ(test::Snapshot(*d.picture), picture);
}

TEST(DrawFadedScreen, LevelFullCopiesThePicture) {
  Display d(PixelFormat::Rgb565);
  const auto buffer1 = d.Bytes(1), picture = test::Snapshot(*d.picture);
  EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), 256, 0), kBlitDone);
  EXPECT_EQ(test::Snapshot(*d.target), picture);
  EXPECT_EQ(d.Bytes(1), buffer1);
  for (int32_t level : {256, 1000, INT_MAX}) {
    test::FillRandom(*d.target, d.rng);
    test::FillRandom(*d.transition.Buffer(1), d.rng);
    EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), level, 1), kBlitDone);
    EXPECT_EQ(test::Snapshot(*d.target), picture);
    EXPECT_EQ(d.Bytes(1), picture);
  }
}

// A pair of calls on every display format: the first shows the old buffer 1,
// the second the picture darkened at the first call's level above and the
// second call's level below.
TEST(DrawFadedScreen, PairShowsPreviousThenNewPicture) {
  for (PixelFormat f : test::kAllFormats) {
    Display d(f, static_cast<uint32_t>(f));
    const auto picture = test::Snapshot(*d.picture);
    for (int32_t lower : {128, 60}) {
      const auto shown = d.Bytes(1);
      EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), 128, 0), kBlitDone);
      EXPECT_EQ(test::Snapshot(*d.target), shown) << PixelFormatName(f);
      EXPECT_EQ(d.Bytes(2), d.Darkened(128, 0)) << PixelFormatName(f);  // lower half still plain
      EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), lower, 1), kBlitDone);
      const auto done = d.Darkened(128, lower);
      EXPECT_EQ(test::Snapshot(*d.target), done) << PixelFormatName(f) << " lower " << lower;
      EXPECT_EQ(d.Bytes(1), done);
      EXPECT_EQ(d.Bytes(2), done);
    }
    EXPECT_EQ(test::Snapshot(*d.picture), picture);
  }
}

TEST(DrawFadedScreen, LevelFifteenOn16And32BitDisplays) {
  Display d16(PixelFormat::Rgb565);
  DrawFadedScreen(d16.target.get(), &d16.transition, d16.picture.get(), 15, 0);
  DrawFadedScreen(d16.target.get(), &d16.transition, d16.picture.get(), 15, 1);
  EXPECT_EQ(test::Snapshot(*d16.target), std::vector<uint8_t>(kW * kH * 2, 0));  // 15 >> 4 = 0

  Display d32(PixelFormat::Bgrx32);
  DrawFadedScreen(d32.target.get(), &d32.transition, d32.picture.get(), 15, 0);
  DrawFadedScreen(d32.target.get(), &d32.transition, d32.picture.get(), 15, 1);
  for (int32_t y : {0, 299, 300, 599}) {
    for (int32_t x : {0, 1, 411, 799}) {
      const uint8_t* p = test::PixelAt(*d32.picture, x, y);
      const uint8_t* t = test::PixelAt(*d32.target, x, y);
      for (int k = 0; k < 3; ++k) EXPECT_EQ(t[k], p[k] * 15 / 255);
      EXPECT_EQ(t[3], 0);
    }
  }
}

TEST(DrawFadedScreen, Level255GivesThePictureThroughBothBuffers) {
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgrx32}) {
    Display d(f);
    if (f == PixelFormat::Bgrx32) {
      for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x) test::PixelAt(*d.picture, x, y)[3] = 0;
    }
    const auto picture = test::Snapshot(*d.picture);
    DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), 255, 0);
    EXPECT_EQ(d.Bytes(2), picture);
    DrawFadedScreen(d.target.get(), &d.transition, d.picture.get(), 255, 1);
    EXPECT_EQ(d.Bytes(1), picture) << PixelFormatName(f);
    EXPECT_EQ(test::Snapshot(*d.target), picture) << PixelFormatName(f);
  }
}

TEST(DrawFadedScreen, BadArgumentsDrawNothing) {
  Display d(PixelFormat::Rgb565);
  const auto target = test::Snapshot(*d.target), buffer1 = d.Bytes(1), buffer2 = d.Bytes(2);
  for (int32_t level : {0, 128, 256}) {
    for (uint8_t half : {0, 1}) {
      EXPECT_EQ(DrawFadedScreen(nullptr, &d.transition, d.picture.get(), level, half), kBlitLockRefused);
      EXPECT_EQ(DrawFadedScreen(d.target.get(), nullptr, d.picture.get(), level, half), kBlitLockRefused);
      EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, nullptr, level, half), kBlitLockRefused);
    }
  }
  EXPECT_EQ(test::Snapshot(*d.target), target);
  EXPECT_EQ(d.Bytes(1), buffer1);
  EXPECT_EQ(d.Bytes(2), buffer2);

  // A target that refuses its lock: the answer is 1 and nothing stays locked.
  auto lent = test::RandomSurface(kW, kH, PixelFormat::Rgb565, d.rng, 0, DDSurface::Memory::Lent);
  lent->Platform()->RefuseLocks(platform::kSurfaceLost);
  for (int32_t level : {0, 128, 256}) {
    EXPECT_EQ(DrawFadedScreen(lent.get(), &d.transition, d.picture.get(), level, 0), kBlitLockRefused);
    EXPECT_EQ(lent->Platform()->LocksHeld(), 0);
  }

  // Copies are between equal formats only: a picture of another format
  // leaves the buffers and the target as they were.
  auto other = test::RandomSurface(kW, kH, PixelFormat::Bgrx32, d.rng);
  const auto before1 = d.Bytes(1), beforeTarget = test::Snapshot(*d.target);
  EXPECT_EQ(DrawFadedScreen(d.target.get(), &d.transition, other.get(), 256, 1), kBlitPairNotServed);
  EXPECT_EQ(d.Bytes(1), before1);
  EXPECT_EQ(test::Snapshot(*d.target), beforeTarget);
}

TEST(DrawFadedScreen, DisplayWithoutBuffersDrawsNothing) {
  // A display format the work images cannot be made in: every copy from or
  // onto them is refused, nothing crashes.
  ScreenTransition t(static_cast<PixelFormat>(9));
  std::mt19937 rng(3);
  auto target = test::RandomSurface(kW, kH, PixelFormat::Rgb565, rng);
  auto picture = test::RandomSurface(kW, kH, PixelFormat::Rgb565, rng);
  const auto before = test::Snapshot(*target);
  EXPECT_EQ(DrawFadedScreen(target.get(), &t, picture.get(), 128, 0), kBlitLockRefused);
  EXPECT_EQ(DrawFadedScreen(target.get(), &t, picture.get(), 128, 1), kBlitLockRefused);
  EXPECT_EQ(test::Snapshot(*target), before);
}

}  // namespace

}  // namespace pixelops
