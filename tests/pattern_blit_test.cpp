// The pattern blit (BltPattern): a 16 x 16 opacity table anchored to source
// coordinates; per-pixel arithmetic, results and locking.
#include <gtest/gtest.h>

#include <array>

#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

constexpr auto& kServed = format_pairs::kPattern;

using Pattern = std::array<uint8_t, 256>;

uint32_t P(uint32_t r, uint32_t c) { return r * c / 255; }
uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }
bool Is565(F f) { return f == F::Rgb565 || f == F::Rgb565A; }

uint32_t Scale(F f, uint32_t k, uint32_t w) {
  if (Is565(f))
    return (((w >> 11) & 31) * k / 15) << 11 | (((w >> 5) & 63) * k / 15) << 5 | (w & 31) * k / 15;
  return (((w >> 10) & 31) * k / 15) << 10 | (((w >> 5) & 31) * k / 15) << 5 | (w & 31) * k / 15;
}

// d moved towards s by w / 255, the step truncated towards zero.
uint8_t Towards(uint32_t w, int32_t s, int32_t d) {
  const int32_t delta = s - d,
                step = (delta < 0 ? -1 : 1) * (std::abs(delta) * static_cast<int32_t>(w) / 255);
  return static_cast<uint8_t>(d + step);
}

void Reference(F sf, F df, const Pattern& pattern, const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy) {
  const uint32_t p = pattern[(sy % 16) * 16 + sx % 16];
  if (BytesPerPixel(df) == 2) {
    uint32_t level = p >> 4;
    if (sf != df) level = P(p, 16 * (s[2] & 15)) >> 4;
    else if (Word(s) == Word(d)) return;
    const uint32_t w = Scale(df, level, Word(s)) + Scale(df, 15 - level, Word(d));
    d[0] = static_cast<uint8_t>(w), d[1] = static_cast<uint8_t>(w >> 8);
    return;
  }
  const uint32_t w = sf != df ? P(s[3], p) : p;
  for (int i = 0; i < 3; ++i) d[i] = Towards(w, s[i], d[i]);
  if (BytesPerPixel(df) == 4) d[3] = 0;
}

TEST(BltPattern, EveryPairMatchesTheReferenceOnRandomPlacements) {
  std::mt19937 rng(109);
  for (const Pair& pair : kServed) {
    for (int iteration = 0; iteration < 60; ++iteration) {
      Pattern pattern;
      for (uint8_t& e : pattern) e = static_cast<uint8_t>(rng() % 3 == 0 ? (rng() % 2 ? 0 : 255) : rng());
      const int32_t sw = 1 + rng() % 35, sh = 1 + rng() % 20, dw = 1 + rng() % 40, dh = 1 + rng() % 20;
      auto src = test::RandomSurface(sw, sh, pair.src, rng, rng() % 4);
      auto dst = test::RandomSurface(dw, dh, pair.dst, rng, rng() % 4);
      if (rng() % 4 == 0) test::FillPixels(*dst, test::ReadPixel(*src, 0, 0));  // equal words
      test::RandomPlacement p(rng, sw, sh, dw, dh);
      const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
      std::vector<uint8_t> expected = test::Snapshot(*dst);
      test::ReferenceBlit(*dst, expected, *src, srcBytes, p.at,
                          [&](const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy) {
                            Reference(pair.src, pair.dst, pattern, s, d, sx, sy);
                          });
      ASSERT_EQ(
          dst->BltPattern(src.get(), p.at.x, p.at.y, pattern.data(), p.at.srcRect, p.at.dstSize, p.at.clip),
          kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(pair.src) << " onto " << PixelFormatName(pair.dst) << " #" << iteration;
      ASSERT_EQ(test::Snapshot(*src), srcBytes);
    }
  }
}

TEST(BltPattern, EdgeCases) {
  Pattern full, none, half;
  full.fill(255), none.fill(0), half.fill(0x80);
  std::mt19937 rng(2);
  // All 255 copies the colour in every same-format pair; all 0 keeps it (X still 0).
  for (const Pair& same : format_pairs::kEqualColour) {
    const F f = same.src;
    auto src = test::RandomSurface(11, 3, f, rng), dst = test::RandomSurface(11, 3, f, rng);
    if (f == F::Rgb555)  // bit 15 carries no colour and is written 0
      for (DDSurface* s : {src.get(), dst.get()})
        for (int32_t i = 1; i < 11 * 3 * 2; i += 2) test::Memory(*s)[i] &= 0x7F;
    auto keep = test::Snapshot(*dst);
    dst->BltPattern(src.get(), 0, 0, none.data(), nullptr, nullptr, nullptr);
    if (f == F::Bgrx32 || f == F::Rgbx32)
      for (size_t i = 3; i < keep.size(); i += 4) keep[i] = 0;
    EXPECT_EQ(test::Snapshot(*dst), keep) << PixelFormatName(f);
    dst->BltPattern(src.get(), 0, 0, full.data(), nullptr, nullptr, nullptr);
    auto copy = test::Snapshot(*src);
    if (f == F::Bgrx32 || f == F::Rgbx32)
      for (size_t i = 3; i < copy.size(); i += 4) copy[i] = 0;
    EXPECT_EQ(test::Snapshot(*dst), copy) << PixelFormatName(f);
  }
  // Equal white pixels at level 8 stay white; an alpha-0 source changes nothing.
  auto w = DDSurface::Make(1, 1, F::Rgb565), white = DDSurface::Make(1, 1, F::Rgb565);
  test::WritePixel(*w, 0, 0, 0xFFFF);
  test::WritePixel(*white, 0, 0, 0xFFFF);
  white->BltPattern(w.get(), 0, 0, half.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*white, 0, 0), 0xFFFFu);
  auto a0 = DDSurface::Make(1, 1, F::Rgb565A);
  test::WritePixel(*a0, 0, 0, 0x001234);
  white->BltPattern(a0.get(), 0, 0, full.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*white, 0, 0), 0xFFFFu);
  test::WritePixel(*a0, 0, 0, 0x0F1234);
  white->BltPattern(a0.get(), 0, 0, full.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*white, 0, 0), 0x1234u);
  // Entries below 16: level 0 for 16-bit colours, weights for bytes.
  Pattern low;
  low.fill(15);
  auto s24 = DDSurface::Make(1, 1, F::Bgr24), d24 = DDSurface::Make(1, 1, F::Bgr24);
  test::WritePixel(*s24, 0, 0, 0xFFFFFF);
  d24->BltPattern(s24.get(), 0, 0, low.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*d24, 0, 0), 0x0F0F0Fu);
  test::WritePixel(*white, 0, 0, 0xFFFF);
  white->BltPattern(a0.get(), 0, 0, low.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*white, 0, 0), 0xFFFFu);
}

TEST(BltPattern, ThePatternFollowsSourceCoordinates) {
  Pattern checker;
  for (int i = 0; i < 256; ++i) checker[i] = ((i / 16 + i % 16) % 2) ? 255 : 0;
  auto src = DDSurface::Make(17, 2, F::Bgrx32), dst = DDSurface::Make(16, 2, F::Bgrx32);
  test::FillPixels(*src, 0x00FFFFFF);
  const Rect from1{1, 0, 17, 2};
  dst->BltPattern(src.get(), 0, 0, checker.data(), &from1, nullptr, nullptr);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 16; ++x)  // source column x + 1
      EXPECT_EQ(test::ReadPixel(*dst, x, y), ((x + 1 + y) % 2) ? 0x00FFFFFFu : 0u) << x << "," << y;
  // Stretched by two, each entry covers two destination pixels.
  auto wide = DDSurface::Make(32, 1, F::Bgrx32);
  const Size twice{32, 1};
  const Rect row{0, 0, 16, 1};
  wide->BltPattern(src.get(), 0, 0, checker.data(), &row, &twice, nullptr);
  for (int32_t x = 0; x < 32; ++x)
    EXPECT_EQ(test::ReadPixel(*wide, x, 0), (x / 2) % 2 ? 0x00FFFFFFu : 0u) << x;
}

TEST(BltPattern, ResultsAndLocking) {
  Pattern full;
  full.fill(255);
  auto lent = [](F f) { return DDSurface::Make(4, 4, f, DDSurface::Memory::Lent); };
  auto d565 = lent(F::Rgb565), s555 = lent(F::Rgb555), bgra = lent(F::Bgra32), i8 = lent(F::Index8);
  auto s565 = lent(F::Rgb565);
  auto run = [&](DDSurface& d, DDSurface* s, const uint8_t* pat) {
    return d.BltPattern(s, 0, 0, pat, nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(run(*d565, s555.get(), full.data()), kBlitLockRefused);  // different, not served
  EXPECT_EQ(run(*bgra, bgra.get(), full.data()), kBlitDone);
  EXPECT_EQ(run(*i8, i8.get(), full.data()), kBlitDone);
  EXPECT_EQ(run(*d565, nullptr, full.data()), kBlitLockRefused);
  EXPECT_EQ(d565->Platform()->LocksHeld() + s555->Platform()->LocksHeld() + bgra->Platform()->LocksHeld() +
                i8->Platform()->LocksHeld(),
            0);
  // No pattern: 1, nothing locked, nothing drawn.
  std::mt19937 rng(1);
  auto src = test::RandomSurface(4, 4, F::Rgb565, rng),
       dst = test::RandomSurface(4, 4, F::Rgb565, rng, 0, DDSurface::Memory::Lent);
  const auto before = test::Snapshot(*dst);
  const int32_t calls = dst->Platform()->LockCalls();
  EXPECT_EQ(run(*dst, src.get(), nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LockCalls(), calls);
  EXPECT_EQ(test::Snapshot(*dst), before);
  // Lock refusals.
  d565->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*d565, s565.get(), full.data()), kBlitLockRefused);
  EXPECT_EQ(s565->Platform()->LockCalls(), 0);
  d565->Platform()->RefuseLocks(platform::kSurfaceOk);
  s565->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(run(*d565, s565.get(), full.data()), kBlitLockRefused);
  EXPECT_EQ(d565->Platform()->LocksHeld() + s565->Platform()->LocksHeld(), 0);
  EXPECT_FALSE(d565->IsLocked());
}

}  // namespace

}  // namespace pixelops
