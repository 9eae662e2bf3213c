// DDSurface::Fade against a plain per-pixel reference written from the
// channel formulas (channel x level / 255, 16-bit words by channel x L / 15).
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include <pixelops/dd_surface.h>
#include "tests/test_support.h"

namespace pixelops {

namespace {

uint32_t Scale(uint32_t level, uint32_t c) { return level * c / 255; }

uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Store16(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
}

// One pixel of the format darkened by the level (any i32; its low byte counts).
void ReferenceFadePixel(PixelFormat f, uint8_t* p, int32_t level32) {
  const uint32_t level = static_cast<uint32_t>(level32) & 0xFF;
  const uint32_t w = BytesPerPixel(f) >= 2 ? Load16(p) : 0;
  switch (f) {
    case PixelFormat::Rgb565: {
      const uint32_t l = level >> 4;
      Store16(p, (((w >> 11) & 31) * l / 15) << 11 | (((w >> 5) & 63) * l / 15) << 5 | (w & 31) * l / 15);
      return;
    }
    case PixelFormat::Rgb555: {
      const uint32_t l = level >> 4;
      Store16(p, (((w >> 10) & 31) * l / 15) << 10 | (((w >> 5) & 31) * l / 15) << 5 | (w & 31) * l / 15);
      return;
    }
    case PixelFormat::Rgb565A: {
      const uint32_t r = Scale(level, ((w >> 11) & 31) << 3), g = Scale(level, ((w >> 5) & 63) << 2),
                     b = Scale(level, (w & 31) << 3);
      Store16(p, (r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
      return;
    }
    case PixelFormat::Rgb555A: {
      const uint32_t r = Scale(level, ((w >> 10) & 31) << 3), g = Scale(level, ((w >> 5) & 31) << 3),
                     b = Scale(level, (w & 31) << 3);
      Store16(p, (r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
      return;
    }
    case PixelFormat::Bgr24:
    case PixelFormat::Rgb24:
    case PixelFormat::Bgrx32:
    case PixelFormat::Rgbx32:
    case PixelFormat::Bgra32:
    case PixelFormat::Rgba32:
      for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(Scale(level, p[k]));
      if (f == PixelFormat::Bgrx32 || f == PixelFormat::Rgbx32) p[3] = 0;
      if (f == PixelFormat::Bgra32 || f == PixelFormat::Rgba32) p[3] = 255;
      return;
    case PixelFormat::Index8:
      return;
  }
}

// The surface's memory after a fade of rect (none: everything), on a copy.
std::vector<uint8_t> ReferenceFade(const DDSurface& s, std::vector<uint8_t> bytes, int32_t level,
                                   const Rect* rect) {
  const PixelBuffer& b = s.Buffer();
  const Rect r = rect ? *rect : b.bounds;
  const int32_t bpp = BytesPerPixel(s.Format());
  for (int64_t y = std::max(0, r.top); y < std::min(r.bottom, b.bounds.bottom); ++y)
    for (int64_t x = std::max(0, r.left); x < std::min(r.right, b.bounds.right); ++x)
      ReferenceFadePixel(s.Format(), bytes.data() + y * b.pitch + x * bpp, level);
  return bytes;
}

constexpr auto& kFadeFormats = kAllPixelFormats;

// Every level on every byte value, on a row width that is not a multiple of 4.
TEST(Fade, EveryLevelOnEveryByteValue) {
  for (PixelFormat f : kFadeFormats) {
    const int32_t bpp = BytesPerPixel(f);
    auto s = DDSurface::Make(67, 4, f);
    for (int32_t level = 0; level < 256; ++level) {
      for (int32_t i = 0; i < 67 * 4; ++i)
        for (int32_t k = 0; k < bpp; ++k)
          test::PixelAt(*s, i % 67, i / 67)[k] = static_cast<uint8_t>(i + 67 * k + level);
      const auto before = test::Snapshot(*s);
      ASSERT_EQ(s->Fade(level, nullptr), kBlitDone);
      ASSERT_EQ(test::Snapshot(*s), ReferenceFade(*s, before, level, nullptr))
          << PixelFormatName(f) << " level " << level;
    }
  }
}

// Every colour word of the 16-bit formats at levels that cover the 16 steps.
TEST(Fade, EveryColourWord) {
  for (PixelFormat f :
       {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Rgb565A, PixelFormat::Rgb555A}) {
    auto s = DDSurface::Make(256, 256, f);
    for (int32_t level = 15; level < 256; level += 16) {
      for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
          test::WritePixel(*s, x, y, static_cast<uint32_t>(y << 8 | x) | uint32_t(level) << 16);
      const auto before = test::Snapshot(*s);
      ASSERT_EQ(s->Fade(level, nullptr), kBlitDone);
      ASSERT_EQ(test::Snapshot(*s), ReferenceFade(*s, before, level, nullptr))
          << PixelFormatName(f) << " level " << level;
    }
  }
}

// Random surfaces with row padding, random rectangles (also partly or wholly
// outside, or inverted) and levels whose high bytes must not count.
TEST(Fade, RandomRectanglesMatchReference) {
  std::mt19937 rng(1234);
  const int32_t kLevels[] = {0, 15, 16, 128, 255, 256, -1, INT_MIN, INT_MAX, 0x12345678};
  for (PixelFormat f : kFadeFormats) {
    for (int round = 0; round < 40; ++round) {
      const int32_t w = 1 + rng() % 21, h = 1 + rng() % 9, pad = rng() % 3 == 0 ? 0 : 1 + rng() % 7;
      const auto memory = rng() % 2 ? DDSurface::Memory::Own : DDSurface::Memory::Lent;
      auto s = test::RandomSurface(w, h, f, rng, pad, memory);
      test::FillRandom(*s, rng, /*wild=*/true);  // alpha bytes beyond 15 are kept too
      const int32_t level = round < 10 ? kLevels[round] : static_cast<int32_t>(rng());
      auto coord = [&](int32_t n) { return static_cast<int32_t>(rng() % (n + 12)) - 6; };
      Rect r{coord(w), coord(h), coord(w), coord(h)};
      if (round % 7 == 0) r = Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
      if (round % 7 == 1) r = Rect{w, 0, w + 5, h};  // wholly outside
      const Rect* rect = round % 5 == 0 ? nullptr : &r;
      const auto before = test::Snapshot(*s);
      ASSERT_EQ(s->Fade(level, rect), kBlitDone);
      ASSERT_EQ(test::Snapshot(*s), ReferenceFade(*s, before, level, rect))
          << PixelFormatName(f) << " " << w << "x" << h << " pad " << pad << " level " << level;
      EXPECT_EQ(s->Platform()->LocksHeld(), 0);
    }
  }
}

TEST(Fade, EdgeLevels) {
  std::mt19937 rng(7);
  // 16-bit colour formats: levels below 16 are black, 240..255 the identity
  // (Rgb555 drops bit 15, which carries no colour).
  auto s565 = test::RandomSurface(9, 3, PixelFormat::Rgb565, rng);
  auto keep565 = test::Snapshot(*s565);
  EXPECT_EQ(s565->Fade(255, nullptr), kBlitDone);
  EXPECT_EQ(test::Snapshot(*s565), keep565);
  EXPECT_EQ(s565->Fade(15, nullptr), kBlitDone);
  for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(test::ReadPixel(*s565, x, 1), 0u);

  // 32-bit formats: level 255 keeps the colour, X becomes 0 and alpha 255.
  auto sx = test::RandomSurface(5, 2, PixelFormat::Bgrx32, rng);
  auto sa = test::RandomSurface(5, 2, PixelFormat::Rgba32, rng);
  const uint32_t x0 = test::ReadPixel(*sx, 3, 1), a0 = test::ReadPixel(*sa, 3, 1);
  sx->Fade(255, nullptr);
  sa->Fade(255 + 256 * 7, nullptr);
  EXPECT_EQ(test::ReadPixel(*sx, 3, 1), x0 & 0x00FFFFFF);
  EXPECT_EQ(test::ReadPixel(*sa, 3, 1), a0 | 0xFF000000);
  sa->Fade(0, nullptr);
  EXPECT_EQ(test::ReadPixel(*sa, 3, 1), 0xFF000000);
}

TEST(Fade, LockRefusedChangesNothing) {
  std::mt19937 rng(99);
  for (PixelFormat f : kFadeFormats) {
    auto s = test::RandomSurface(6, 4, f, rng, 3, DDSurface::Memory::Lent);
    const auto before = test::Snapshot(*s);
    s->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(s->Fade(100, nullptr), kBlitLockRefused);
    EXPECT_EQ(s->Platform()->LocksHeld(), 0);
    EXPECT_FALSE(s->IsLocked());
    s->Platform()->RefuseLocks(platform::kSurfaceOk);
    EXPECT_EQ(test::Snapshot(*s), before);

    // Accepted: exactly one lock taken and given back.
    const int32_t granted = s->Platform()->LocksGranted();
    EXPECT_EQ(s->Fade(100, nullptr), kBlitDone);
    EXPECT_EQ(s->Platform()->LocksGranted(), granted + 1);
    EXPECT_EQ(s->Platform()->LocksHeld(), 0);
  }
  // An image that was never created cannot be locked.
  DDSurface uncreated(PixelFormat::Rgb565);
  EXPECT_EQ(uncreated.Fade(100, nullptr), kBlitLockRefused);
}

}  // namespace

}  // namespace pixelops
