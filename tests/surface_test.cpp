// Surfaces: making, locking, colour keys, filling and the whole-image copy.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

TEST(DDSurface, MakeRefusesWhatCannotBeMade) {
  EXPECT_EQ(DDSurface::Make(0, 5, F::Rgb565), nullptr);
  EXPECT_EQ(DDSurface::Make(5, -1, F::Rgb565), nullptr);
  EXPECT_EQ(DDSurface::Make(5, 5, static_cast<F>(9)), nullptr);
  EXPECT_EQ(DDSurface::Make(5, 5, F::Bgr24, DDSurface::Memory::Own, 14), nullptr);  // pitch < row
  EXPECT_EQ(DDSurface::Make(DDSurface::kMaxSide + 1, 1, F::Rgb565), nullptr);
  auto s = DDSurface::Make(5, 3, F::Bgr24, DDSurface::Memory::Own, 20);
  ASSERT_NE(s, nullptr);
  int32_t w = 0, h = 0;
  s->GetSize(&w, &h);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(s->Buffer().pitch, 20);
  EXPECT_EQ(s->Buffer().bounds, (Rect{0, 0, 5, 3}));
  EXPECT_EQ(s->HasAlpha(), 0);
  EXPECT_NE(DDSurface::Make(2, 2, F::Rgba32)->HasAlpha(), 0);
}

TEST(DDSurface, CreateUsesTheDisplayFormatOrItsAlphaCounterpart) {
  DDSurface plain(F::Rgb565), alpha(F::Rgb565);
  EXPECT_EQ(plain.Create(800, 600, false), 0);
  EXPECT_EQ(plain.Format(), F::Rgb565);
  EXPECT_EQ(plain.HasAlpha(), 0);
  EXPECT_EQ(alpha.Create(8, 6, true), 0);
  EXPECT_EQ(alpha.Format(), F::Rgb565A);
  EXPECT_EQ(plain.Create(0, 600, false), 1);
}

TEST(DDSurface, OwnMemoryWithDirectAccessTakesNoLock) {
  auto s = DDSurface::Make(4, 4, F::Rgb565);
  EXPECT_EQ(s->Lock(), 0);
  EXPECT_FALSE(s->IsLocked());
  EXPECT_EQ(s->Platform()->LockCalls(), 0);
  EXPECT_EQ(s->Unlock(), 0);
  s->SetDirectAccess(false);
  EXPECT_EQ(s->Lock(), 0);
  EXPECT_TRUE(s->IsLocked());
  EXPECT_EQ(s->Platform()->LocksHeld(), 1);
  EXPECT_EQ(s->Unlock(), 0);
  EXPECT_EQ(s->Unlock(), 0);  // a second unlock does nothing
  EXPECT_EQ(s->Platform()->LocksHeld(), 0);
  EXPECT_EQ(s->Platform()->Unlocks(), 1);
}

TEST(DDSurface, LentMemoryIsLockedWaitingOutStillDrawing) {
  auto s = DDSurface::Make(4, 4, F::Bgrx32, DDSurface::Memory::Lent, 20);
  EXPECT_EQ(s->Buffer().pixels, nullptr);
  s->Platform()->AnswerStillDrawing(4);
  EXPECT_EQ(s->Lock(), 0);
  EXPECT_NE(s->Buffer().pixels, nullptr);
  EXPECT_EQ(s->Buffer().pitch, 20);
  EXPECT_EQ(s->Platform()->LockCalls(), 5);
  s->Unlock();
  s->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(s->Lock(), 1);
  EXPECT_FALSE(s->IsLocked());
  EXPECT_EQ(s->Platform()->LocksHeld(), 0);
}

TEST(DDSurface, ColourKeysTakeTheSurfacesOwnPixelForm) {
  const uint32_t colour = 0x00FF8040;  // red 0x40, green 0x80, blue 0xFF
  struct Case {
    F format;
    uint32_t key;
  } cases[] = {
      {F::Rgb565, (0x08u << 11) | (0x20u << 5) | 0x1F},  {F::Rgb555, (0x08u << 10) | (0x10u << 5) | 0x1F},
      {F::Rgb565A, (0x08u << 11) | (0x20u << 5) | 0x1F}, {F::Rgb555A, (0x08u << 10) | (0x10u << 5) | 0x1F},
      {F::Bgr24, 0xFF | (0x80u << 8) | (0x40u << 16)},   {F::Rgb24, 0x40 | (0x80u << 8) | (0xFFu << 16)},
      {F::Bgrx32, 0xFF | (0x80u << 8) | (0x40u << 16)},  {F::Rgbx32, 0x40 | (0x80u << 8) | (0xFFu << 16)},
      {F::Bgra32, 0xFF | (0x80u << 8) | (0x40u << 16)},  {F::Rgba32, 0x40 | (0x80u << 8) | (0xFFu << 16)},
  };
  for (const Case& c : cases) {
    auto s = DDSurface::Make(1, 1, c.format);
    EXPECT_EQ(s->GetColorKey(), 0u);
    s->SetColorKey(colour);
    EXPECT_EQ(s->GetColorKey(), c.key) << PixelFormatName(c.format);
    s->ResetColorKey();
    EXPECT_EQ(s->GetColorKey(), 0u);
  }
}

TEST(DDSurface, FillRectFillsInsideTheBoundsOnly) {
  auto s = DDSurface::Make(6, 4, F::Rgb24, DDSurface::Memory::Own, 21);
  std::mt19937 rng(1);
  test::FillRandom(*s, rng);
  const auto before = test::Snapshot(*s);
  s->SetFillColor(0x00332211);
  const Rect r{-5, 1, 3, 100};
  EXPECT_EQ(s->FillRect(&r), kBlitDone);
  auto after = test::Snapshot(*s);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 7; ++x)
      for (int32_t i = 0; i < 3; ++i) {
        const size_t at = static_cast<size_t>(y) * 21 + x * 3 + i;
        if (at >= after.size()) continue;
        const bool inside = x < 3 && y >= 1;
        EXPECT_EQ(after[at], inside ? static_cast<uint8_t>(0x11 + 0x11 * i) : before[at]);
      }
  EXPECT_EQ(s->FillRect(nullptr), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*s, 5, 3), 0x332211u);
}

TEST(DDSurface, KeyedCopySkipsTheKeyAndBltNeedsEqualFormats) {
  std::mt19937 rng(2);
  auto src = test::RandomSurface(8, 8, F::Bgrx32, rng);
  auto dst = test::RandomSurface(8, 8, F::Bgrx32, rng);
  src->SetColorKey(0x00010203);
  test::WritePixel(*src, 3, 3, src->GetColorKey());
  const uint32_t under = test::ReadPixel(*dst, 3, 3);
  EXPECT_EQ(dst->Draw(src.get(), 0, 0), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*dst, 3, 3), under);
  EXPECT_EQ(test::ReadPixel(*dst, 4, 3), test::ReadPixel(*src, 4, 3));
  EXPECT_EQ(dst->Blt(src.get(), 0, 0), kBlitDone);
  EXPECT_EQ(test::Snapshot(*dst), test::Snapshot(*src));
  auto other = DDSurface::Make(8, 8, F::Rgbx32);
  EXPECT_EQ(other->Blt(src.get(), 0, 0), kBlitPairNotServed);
  EXPECT_EQ(other->Blt(nullptr, 0, 0), kBlitLockRefused);
}

// Every operation locks and unlocks its own surfaces, and Lock does not look
// at the locked mark: a lock the caller holds across a call is taken a second
// time by the call, whose unlock clears the mark, so that the caller's own
// unlock afterwards does nothing and the platform surface keeps one lock.
TEST(DDSurface, ALockHeldAcrossAnOperationEndsWithIt) {
  auto dst = DDSurface::Make(4, 4, F::Bgrx32, DDSurface::Memory::Lent, 0);
  auto src = DDSurface::Make(4, 4, F::Bgrx32, DDSurface::Memory::Lent, 0);
  ASSERT_EQ(dst->Lock(), 0);
  EXPECT_EQ(dst->Blt(src.get(), 0, 0), kBlitDone);
  EXPECT_FALSE(dst->IsLocked());
  EXPECT_EQ(dst->Platform()->LocksGranted(), 2);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 1);
  EXPECT_EQ(src->Platform()->LocksHeld(), 0);
  EXPECT_EQ(dst->Unlock(), 0);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 1);
}

}  // namespace

}  // namespace pixelops
