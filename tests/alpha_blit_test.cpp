// The translucent blit with one opacity (BltAlpha) and its alpha-source twin
// (BltAlphaOpacity): per-pixel arithmetic, pairs, results and locking.
#include <gtest/gtest.h>

#include "graphics/blend_tables.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

using Pair = FormatPair;

constexpr auto& kMixed = format_pairs::kAlphaOntoColour;

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void SetWord(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
}
bool Is565(F f) { return f == F::Rgb565 || f == F::Rgb565A; }
uint16_t Level(F f, uint32_t level, uint32_t w) {
  return Is565(f) ? Tables().L565(level, w) : Tables().L555(level, w);
}

// The per-pixel arithmetic, written out rule by rule.
void Reference(F sf, F df, uint32_t op, const uint8_t* s, uint8_t* d) {
  const BlendTables& t = Tables();
  if ((sf == F::Rgb565A && df == F::Rgb565) || (sf == F::Rgb555A && df == F::Rgb555)) {
    const uint32_t level = t.P(op, (s[2] & 15) * 16) >> 4;
    SetWord(d, Level(df, level, Word(s)) + Level(df, 15 - level, Word(d)));
  } else if (sf == df && (sf == F::Rgb565 || sf == F::Rgb555)) {
    if (Word(s) != Word(d)) SetWord(d, Level(df, op >> 4, Word(s)) + Level(df, 15 - (op >> 4), Word(d)));
  } else if (sf == df && (sf == F::Rgb565A || sf == F::Rgb555A)) {
    const uint32_t w = t.P((s[2] & 15) * 16, op);
    const uint32_t sw = Word(s), dw = Word(d);
    uint32_t sr, sg, sb, dr, dg, db;
    if (sf == F::Rgb565A) {
      sr = (sw >> 8) & 0xF8, sg = (sw >> 3) & 0xFC, sb = (sw << 3) & 0xFF;
      dr = (dw >> 8) & 0xF8, dg = (dw >> 3) & 0xFC, db = (dw << 3) & 0xFF;
    } else {
      sr = (sw >> 7) & 0xF8, sg = (sw >> 2) & 0xF8, sb = (sw << 3) & 0xFF;
      dr = (dw >> 7) & 0xF8, dg = (dw >> 2) & 0xF8, db = (dw << 3) & 0xFF;
    }
    const uint32_t r = t.K(w, dr) + t.P(w, sr), g = t.K(w, dg) + t.P(w, sg), b = t.K(w, db) + t.P(w, sb);
    SetWord(d, sf == F::Rgb565A ? ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3)
                                : ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
  } else {
    const bool alphaSource = sf == F::Bgra32 || sf == F::Rgba32;
    const uint32_t w = alphaSource ? t.P(s[3], op) : op;
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(d[i] + t.D(w, s[i] - d[i]));
    if (df == F::Bgrx32 || df == F::Rgbx32) d[3] = 0;
    if (df == F::Bgra32 || df == F::Rgba32) d[3] = 255;
  }
}

std::vector<Pair> AllPairs() {
  std::vector<Pair> pairs(std::begin(kMixed), std::end(kMixed));
  for (F f : test::kAllFormats) pairs.push_back({f, f});
  return pairs;
}

TEST(BltAlpha, EveryPairMatchesTheReferenceOnRandomPlacements) {
  std::mt19937 rng(21);
  for (const Pair& pair : AllPairs()) {
    for (int iteration = 0; iteration < 60; ++iteration) {
      const int32_t sw = 1 + rng() % 19, sh = 1 + rng() % 9, dw = 1 + rng() % 25, dh = 1 + rng() % 12;
      auto src = test::RandomSurface(sw, sh, pair.src, rng, rng() % 4);
      auto dst = test::RandomSurface(dw, dh, pair.dst, rng, rng() % 4);
      if (rng() % 4 == 0) test::FillPixels(*dst, test::ReadPixel(*src, 0, 0));  // equal words
      test::RandomPlacement p(rng, sw, sh, dw, dh);
      const uint32_t op = rng() % 3 == 0 ? (rng() % 2 ? 0 : 255) : rng() % 256;
      std::vector<uint8_t> expected = test::Snapshot(*dst);
      test::ReferenceBlit(
          *dst, expected, *src, test::Snapshot(*src), p.at,
          [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) { Reference(pair.src, pair.dst, op, s, d); });
      ASSERT_EQ(dst->BltAlpha(src.get(), p.at.x, p.at.y, static_cast<int32_t>(op | 0x1200), p.at.srcRect,
                              p.at.dstSize, p.at.clip),
                kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(pair.src) << " onto " << PixelFormatName(pair.dst) << " #" << iteration;
    }
  }
}

TEST(BltAlphaOpacity, ServesTheSixAlphaPairsLikeBltAlphaAndRefusesTheRest) {
  std::mt19937 rng(4);
  for (const Pair& pair : AllPairs()) {
    auto src = test::RandomSurface(13, 7, pair.src, rng);
    auto a = test::RandomSurface(17, 9, pair.dst, rng, 2);
    auto b = DDSurface::Make(17, 9, pair.dst, DDSurface::Memory::Own, 17 * BytesPerPixel(pair.dst) + 2);
    test::Restore(*b, test::Snapshot(*a));
    const Size size{20, 5};
    const bool mixed = pair.src != pair.dst;
    EXPECT_EQ(b->BltAlphaOpacity(src.get(), -2, 1, 150, nullptr, &size, nullptr),
              mixed ? kBlitDone : kBlitPairNotServed);
    if (mixed) a->BltAlpha(src.get(), -2, 1, 150, nullptr, &size, nullptr);
    EXPECT_EQ(test::Snapshot(*b), test::Snapshot(*a)) << PixelFormatName(pair.src);
  }
}

TEST(BltAlpha, EdgeCasesOfTheOpacityArithmetic) {
  auto dst565 = DDSurface::Make(4, 1, F::Rgb565);
  auto src565a = DDSurface::Make(4, 1, F::Rgb565A);
  // Opacity 255: alpha 15 copies, alpha 0 keeps the destination.
  test::WritePixel(*src565a, 0, 0, 0x0F1234);
  test::WritePixel(*src565a, 1, 0, 0x00ABCD);
  test::FillPixels(*dst565, 0x5555);
  dst565->BltAlpha(src565a.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst565, 0, 0), 0x1234u);
  EXPECT_EQ(test::ReadPixel(*dst565, 1, 0), 0x5555u);
  // Opacity 128 at alpha 15: P[128][240] = 120, level 7.
  EXPECT_EQ(Tables().P(128, 240), 120);
  test::WritePixel(*src565a, 0, 0, 0x0FFFFF);
  test::FillPixels(*dst565, 0);
  dst565->BltAlpha(src565a.get(), 0, 0, 128, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst565, 0, 0), Tables().L565(7, 0xFFFF));

  // Equal 16-bit colours: opacity below 16 changes nothing, 240 and up copies.
  std::mt19937 rng(8);
  auto s = test::RandomSurface(9, 3, F::Rgb565, rng);
  auto d = test::RandomSurface(9, 3, F::Rgb565, rng);
  const auto before = test::Snapshot(*d);
  for (int op = 0; op < 16; ++op) d->BltAlpha(s.get(), 0, 0, op, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::Snapshot(*d), before);
  d->BltAlpha(s.get(), 0, 0, 240, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::Snapshot(*d), test::Snapshot(*s));

  // Bgrx32: 255 copies colour and zeroes X; 0 only zeroes X.
  auto sx = DDSurface::Make(1, 1, F::Bgrx32), dx = DDSurface::Make(1, 1, F::Bgrx32);
  test::WritePixel(*sx, 0, 0, 0x77112233);
  test::WritePixel(*dx, 0, 0, 0x99AABBCC);
  dx->BltAlpha(sx.get(), 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dx, 0, 0), 0x00AABBCCu);
  dx->BltAlpha(sx.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dx, 0, 0), 0x00112233u);

  // Bgra32 alpha 0 onto Bgrx32 keeps colour, zeroes X; onto Bgra32 sets alpha 255.
  auto sa = DDSurface::Make(1, 1, F::Bgra32), da = DDSurface::Make(1, 1, F::Bgra32);
  test::WritePixel(*sa, 0, 0, 0x00112233);
  test::WritePixel(*dx, 0, 0, 0x99AABBCC);
  dx->BltAlpha(sa.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dx, 0, 0), 0x00AABBCCu);
  test::WritePixel(*da, 0, 0, 0x10AABBCC);
  da->BltAlpha(sa.get(), 0, 0, 77, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*da, 0, 0), 0xFFAABBCCu);

  // Rgb565A onto Rgb565A: white over black at alpha 15, opacity 255 gives
  // red and blue 29, green 59; the destination alpha and pad stay.
  auto s16 = DDSurface::Make(1, 1, F::Rgb565A), d16 = DDSurface::Make(1, 1, F::Rgb565A);
  test::WritePixel(*s16, 0, 0, 0x000FFFFF);
  test::WritePixel(*d16, 0, 0, 0xA5030000);
  d16->BltAlpha(s16.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*d16, 0, 0), 0xA5030000u | (29u << 11) | (59u << 5) | 29u);
}

TEST(BltAlpha, AlphaLevelsAboveFifteenReadTheirLowBits) {
  auto src = DDSurface::Make(2, 1, F::Rgb565A), dst = DDSurface::Make(2, 1, F::Rgb565);
  auto same = DDSurface::Make(2, 1, F::Rgb565A);
  test::WritePixel(*src, 0, 0, 0xFF1234);  // alpha byte 0xFF reads as 15
  test::WritePixel(*src, 1, 0, 0xF0ABCD);  // 0xF0 reads as 0
  test::FillPixels(*dst, 0x5555);
  dst->BltAlpha(src.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x1234u);
  EXPECT_EQ(test::ReadPixel(*dst, 1, 0), 0x5555u);
  test::FillPixels(*same, 0x0F0000);
  EXPECT_EQ(same->BltAlpha(src.get(), 0, 0, 255, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*same, 1, 0), 0x0F0000u);
}

TEST(BltAlpha, ResultsAndLocking) {
  auto lent = [](F f) { return DDSurface::Make(8, 8, f, DDSurface::Memory::Lent); };
  auto dst = lent(F::Rgb565), src = lent(F::Rgb565);
  // Index8 onto Index8: 0, nothing drawn; Rgb565 onto Rgb555: 2.
  auto i8a = lent(F::Index8), i8b = lent(F::Index8), d555 = lent(F::Rgb555);
  EXPECT_EQ(i8a->BltAlpha(i8b.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(d555->BltAlpha(src.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitPairNotServed);
  EXPECT_EQ(d555->Platform()->LocksHeld() + src->Platform()->LocksHeld() + i8a->Platform()->LocksHeld() +
                i8b->Platform()->LocksHeld(),
            0);
  // A missing source answers 1 and locks nothing.
  EXPECT_EQ(dst->BltAlpha(nullptr, 0, 0, 128, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LockCalls(), 0);
  // Destination refused: 1, the source is never locked.
  const int32_t srcCalls = src->Platform()->LockCalls();
  dst->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(dst->BltAlpha(src.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(src->Platform()->LockCalls(), srcCalls);
  dst->Platform()->RefuseLocks(platform::kSurfaceOk);
  // Source refused: 1, the destination unlocked again.
  src->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(dst->BltAlpha(src.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LocksGranted(), 1);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
  EXPECT_FALSE(dst->IsLocked());
  src->Platform()->RefuseLocks(platform::kSurfaceOk);
  // "Still drawing" is waited out; a blit outside the clip answers 0.
  src->Platform()->AnswerStillDrawing(3);
  const Rect clip{0, 0, 2, 2};
  EXPECT_EQ(dst->BltAlpha(src.get(), 4, 4, 128, nullptr, nullptr, &clip), kBlitDone);
  EXPECT_EQ(src->Platform()->LockCalls(), srcCalls + 5);
  EXPECT_EQ(src->Platform()->LocksHeld(), 0);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
  // A surface blitted onto itself is locked once.
  EXPECT_EQ(dst->BltAlpha(dst.get(), 1, 1, 128, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
}

}  // namespace

}  // namespace pixelops
