// The colour-keyed translucent blit against a plain per-pixel reference, its
// key tests, its failure paths, and the Image draws that route to the blends.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include <pixelops/draw_surface.h>
#include "tests/test_support.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using PF = PixelFormat;

using Pair = FormatPair;

constexpr auto& kServed = format_pairs::kBlend;

bool Is16(PF f) { return f == PF::Rgb565 || f == PF::Rgb555; }
bool Is16A(PF f) { return f == PF::Rgb565A || f == PF::Rgb555A; }
bool Is565(PF f) { return f == PF::Rgb565 || f == PF::Rgb565A; }
bool IsX32(PF f) { return f == PF::Bgrx32 || f == PF::Rgbx32; }
bool IsA32(PF f) { return f == PF::Bgra32 || f == PF::Rgba32; }

uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }

// channel x L / 15 + channel x (15 - L) / 15, field by field.
uint32_t Blend16(bool is565, uint32_t level, uint32_t s, uint32_t d) {
  const uint32_t gBits = is565 ? 6 : 5, rShift = is565 ? 11 : 10;
  const uint32_t fields[3][2] = {{0, 5}, {5, gBits}, {rShift, 5}};
  uint32_t out = 0;
  for (const auto& f : fields) {
    const uint32_t mask = (1u << f[1]) - 1;
    const uint32_t sc = (s >> f[0]) & mask, dc = (d >> f[0]) & mask;
    out |= (sc * level / 15 + dc * (15 - level) / 15) << f[0];
  }
  return out;
}

// d + (s - d) x w / 255, the quotient truncated towards zero, modulo 256.
uint8_t Weigh(uint32_t w, int s, int d) {
  const int delta = s - d;
  const int q = delta < 0 ? -((-delta) * static_cast<int>(w) / 255) : delta * static_cast<int>(w) / 255;
  return static_cast<uint8_t>(d + q);
}

// The translucent per-pixel rules written out from their formulas.
void TranslucentReference(PF sf, PF df, uint32_t op, const uint8_t* s, uint8_t* d) {
  op &= 0xFF;
  if (Is16(df)) {
    const uint32_t sw = Word(s), dw = Word(d);
    uint32_t level;
    if (Is16A(sf)) {
      level = (op * (s[2] & 15u) * 16 / 255) >> 4;
    } else {
      if (sw == dw) return;
      level = op >> 4;
    }
    const uint32_t w = Blend16(Is565(df), level, sw, dw);
    d[0] = static_cast<uint8_t>(w);
    d[1] = static_cast<uint8_t>(w >> 8);
  } else if (Is16A(df)) {
    const uint32_t weight = (s[2] & 15u) * 16 * op / 255;
    const uint32_t sw = Word(s), dw = Word(d);
    auto widen = [&](uint32_t w) -> std::array<uint32_t, 3> {
      if (Is565(df)) return {(w >> 8) & 0xF8, (w >> 3) & 0xFC, (w << 3) & 0xFF};
      return {(w >> 7) & 0xF8, (w >> 2) & 0xF8, (w << 3) & 0xFF};
    };
    const auto sc = widen(sw), dc = widen(dw);
    uint32_t c[3];
    for (int i = 0; i < 3; ++i) c[i] = dc[i] * (255 - weight) / 255 + weight * sc[i] / 255;
    const uint32_t w = Is565(df) ? ((c[0] & 0xF8) << 8) | ((c[1] & 0xFC) << 3) | (c[2] >> 3)
                                 : ((c[0] & 0xF8) << 7) | ((c[1] & 0xF8) << 2) | (c[2] >> 3);
    d[0] = static_cast<uint8_t>(w);
    d[1] = static_cast<uint8_t>(w >> 8);
  } else {
    const uint32_t w = IsA32(sf) ? s[3] * op / 255 : op;
    for (int i = 0; i < 3; ++i) d[i] = Weigh(w, s[i], d[i]);
    if (IsX32(df)) d[3] = 0;
    if (IsA32(df)) d[3] = 255;
  }
}

// Whether a source pixel is the key: the 16-bit colour word, the whole word of
// the X formats, otherwise the three colour bytes.
bool IsKey(PF sf, const uint8_t* s, uint32_t key) {
  if (Is16(sf) || Is16A(sf)) return Word(s) == (key & 0xFFFF);
  if (IsX32(sf)) return (Word(s) | (s[2] << 16) | (uint32_t{s[3]} << 24)) == key;
  return (Word(s) | (s[2] << 16)) == (key & 0xFFFFFF);
}

// Gives the source a key and makes about one pixel in four the key; a third of
// those differ from it in a byte that the key test does not compare.
void PlantKeys(DDSurface& src, std::mt19937& rng) {
  src.SetColorKey(rng() & 0xFFFFFF);
  const uint32_t key = src.GetColorKey();
  const PF f = src.Format();
  const int32_t bpp = BytesPerPixel(f);
  for (int32_t y = 0; y < src.Buffer().bounds.bottom; ++y) {
    for (int32_t x = 0; x < src.Buffer().bounds.right; ++x) {
      if (rng() % 4 != 0) continue;
      uint8_t* p = test::PixelAt(src, x, y);
      const int32_t compared = Is16(f) || Is16A(f) ? 2 : bpp == 3 || IsA32(f) ? 3 : 4;
      std::memcpy(p, &key, compared);
      if (rng() % 3 == 0 && bpp == 4) {
        if (IsX32(f)) p[3] = static_cast<uint8_t>(1 + rng() % 255);  // drawn: X differs
        else if (Is16A(f)) p[2] = static_cast<uint8_t>(rng() % 16);  // skipped anyway
        else p[3] = static_cast<uint8_t>(rng());
      }
    }
  }
}

BlitResult KeyBlit(DDSurface& dst, DDSurface& src, uint32_t op, const test::Placement& at) {
  return dst.BltTranslucentKey(&src, at.x, at.y, static_cast<int32_t>(op), at.srcRect, at.dstSize, at.clip);
}

TEST(TranslucentKeyBlit, EveryPairMatchesTheReferenceOnRandomPlacements) {
  std::mt19937 rng(0x6B657931);
  for (const Pair& p : kServed) {
    for (int round = 0; round < 60; ++round) {
      auto src = test::RandomSurface(1 + rng() % 13, 1 + rng() % 9, p.src, rng, rng() % 3 * 3);
      auto dst = test::RandomSurface(1 + rng() % 15, 1 + rng() % 11, p.dst, rng, rng() % 3 * 2);
      PlantKeys(*src, rng);
      const uint32_t key = src->GetColorKey();
      const uint32_t op = round % 8 == 0 ? 255 : round % 8 == 1 ? 0 : rng() % 0x300;
      const auto& sb = src->Buffer();
      const auto& db = dst->Buffer();
      test::RandomPlacement place(rng, sb.bounds.right, sb.bounds.bottom, db.bounds.right, db.bounds.bottom);
      const auto srcBefore = test::Snapshot(*src);
      auto expected = test::Snapshot(*dst);
      test::ReferenceBlit(*dst, expected, *src, srcBefore, place.at,
                          [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                            if (!IsKey(p.src, s, key)) TranslucentReference(p.src, p.dst, op, s, d);
                          });
      ASSERT_EQ(KeyBlit(*dst, *src, op, place.at), kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expected)
          << PixelFormatName(p.src) << " onto " << PixelFormatName(p.dst) << " round " << round;
      ASSERT_EQ(test::Snapshot(*src), srcBefore);
    }
  }
}

// Without a key pixel in the source the keyed blit is the alpha blit.
TEST(TranslucentKeyBlit, EqualsTheAlphaBlitWhenNoSourcePixelIsTheKey) {
  std::mt19937 rng(0x6B657932);
  for (const Pair& p : kServed) {
    for (int round = 0; round < 25; ++round) {
      auto src = test::RandomSurface(1 + rng() % 12, 1 + rng() % 8, p.src, rng, 4);
      auto dst = test::RandomSurface(1 + rng() % 14, 1 + rng() % 10, p.dst, rng, 2);
      src->SetColorKey(rng() & 0xFFFFFF);
      const uint32_t key = src->GetColorKey();
      for (int32_t y = 0; y < src->Buffer().bounds.bottom; ++y)
        for (int32_t x = 0; x < src->Buffer().bounds.right; ++x)
          if (IsKey(p.src, test::PixelAt(*src, x, y), key)) test::PixelAt(*src, x, y)[0] ^= 1;
      test::RandomPlacement place(rng, src->Buffer().bounds.right, src->Buffer().bounds.bottom,
                                  dst->Buffer().bounds.right, dst->Buffer().bounds.bottom);
      const int32_t op = static_cast<int32_t>(rng() % 256);
      const auto before = test::Snapshot(*dst);
      ASSERT_EQ(KeyBlit(*dst, *src, op, place.at), kBlitDone);
      const auto keyed = test::Snapshot(*dst);
      test::Restore(*dst, before);
      ASSERT_EQ(dst->BltAlpha(src.get(), place.at.x, place.at.y, op, place.at.srcRect, place.at.dstSize,
                              place.at.clip),
                kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), keyed) << PixelFormatName(p.src) << " onto " << PixelFormatName(p.dst);
    }
  }
}

TEST(TranslucentKeyBlit, ASourceOfKeyPixelsOnlyChangesNothing) {
  std::mt19937 rng(3);
  for (const Pair& p : kServed) {
    auto src = DDSurface::Make(9, 5, p.src);
    auto dst = test::RandomSurface(12, 8, p.dst, rng, 3);
    src->SetColorKey(0x00123456);
    test::FillPixels(*src, src->GetColorKey() | (Is16A(p.src) ? 0x0F0000u : 0u));
    const auto before = test::Snapshot(*dst);
    const Size big{13, 11};
    for (int32_t op : {0, 15, 16, 128, 255, 300, -1}) {
      EXPECT_EQ(dst->BltTranslucentKey(src.get(), -1, 1, op, nullptr, nullptr, nullptr), kBlitDone);
      EXPECT_EQ(dst->BltTranslucentKey(src.get(), 0, 0, op, nullptr, &big, nullptr), kBlitDone);
    }
    EXPECT_EQ(test::Snapshot(*dst), before) << PixelFormatName(p.src);
  }
}

TEST(TranslucentKeyBlit, Rgb565CopiesAtFullOpacityAndKeepsEverythingBelowSixteen) {
  auto src = DDSurface::Make(4, 1, PF::Rgb565);
  auto dst = DDSurface::Make(4, 1, PF::Rgb565);
  src->SetColorKey(0x00FF00FF);  // magenta: 0xF81F
  const uint32_t words[4] = {0xF81F, 0x1234, 0xFFFF, 0x0001};
  for (int i = 0; i < 4; ++i) test::WritePixel(*src, i, 0, words[i]);
  for (int32_t op : {0, 7, 15}) {
    test::FillPixels(*dst, 0x4321);
    EXPECT_EQ(dst->BltTranslucentKey(src.get(), 0, 0, op, nullptr, nullptr, nullptr), kBlitDone);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(test::ReadPixel(*dst, i, 0), 0x4321u) << op;
  }
  test::FillPixels(*dst, 0x4321);
  dst->BltTranslucentKey(src.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x4321u);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(test::ReadPixel(*dst, i, 0), words[i]);
}

TEST(TranslucentKeyBlit, KeyComparesTheColourOfAlphaSourcesAndTheWholeWordOfXSources) {
  // Rgb565A: the key colour is skipped whatever its alpha.
  auto s16 = DDSurface::Make(3, 1, PF::Rgb565A);
  auto d16 = DDSurface::Make(3, 1, PF::Rgb565);
  s16->SetColorKey(0x0000FF00);  // green: 0x07E0
  test::WritePixel(*s16, 0, 0, 0x0F07E0);
  test::WritePixel(*s16, 1, 0, 0x0007E0);
  test::WritePixel(*s16, 2, 0, 0x0F07E1);
  test::FillPixels(*d16, 0x0000);
  d16->BltTranslucentKey(s16.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*d16, 0, 0), 0u);
  EXPECT_EQ(test::ReadPixel(*d16, 1, 0), 0u);
  EXPECT_EQ(test::ReadPixel(*d16, 2, 0), 0x07E1u);

  // Bgrx32: an X byte that differs from the key's makes the pixel drawn.
  auto sx = DDSurface::Make(2, 1, PF::Bgrx32);
  auto dx = DDSurface::Make(2, 1, PF::Bgrx32);
  sx->SetColorKey(0x00FF00FF);
  ASSERT_EQ(sx->GetColorKey(), 0x00FF00FFu);
  test::WritePixel(*sx, 0, 0, 0x00FF00FF);
  test::WritePixel(*sx, 1, 0, 0x01FF00FF);
  test::FillPixels(*dx, 0x77112233);
  dx->BltTranslucentKey(sx.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dx, 0, 0), 0x77112233u);
  EXPECT_EQ(test::ReadPixel(*dx, 1, 0), 0x00FF00FFu);  // colour copied, X written 0

  // Bgra32 onto Bgra32: the key colour is skipped whatever its alpha; skipped
  // pixels keep their alpha, drawn ones get 255.
  auto sa = DDSurface::Make(3, 1, PF::Bgra32);
  auto da = DDSurface::Make(3, 1, PF::Bgra32);
  sa->SetColorKey(0x00FF00FF);
  test::WritePixel(*sa, 0, 0, 0xFFFF00FF);
  test::WritePixel(*sa, 1, 0, 0x00FF00FF);
  test::WritePixel(*sa, 2, 0, 0x80FF00FE);
  test::FillPixels(*da, 0x40102030);
  da->BltTranslucentKey(sa.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*da, 0, 0), 0x40102030u);
  EXPECT_EQ(test::ReadPixel(*da, 1, 0), 0x40102030u);
  EXPECT_EQ(test::ReadPixel(*da, 2, 0) >> 24, 255u);

  // Bgra32 onto Bgrx32: X is written only where the pixel is drawn.
  auto dbx = DDSurface::Make(3, 1, PF::Bgrx32);
  test::FillPixels(*dbx, 0x55102030);
  dbx->BltTranslucentKey(sa.get(), 0, 0, 255, nullptr, nullptr, nullptr);
  EXPECT_EQ(test::ReadPixel(*dbx, 0, 0), 0x55102030u);
  EXPECT_EQ(test::ReadPixel(*dbx, 1, 0), 0x55102030u);
  EXPECT_EQ(test::ReadPixel(*dbx, 2, 0) >> 24, 0u);
}

// The stretch walk tests the key on every read: a key pixel read twice leaves
// two destination pixels, one skipped over by a shrink leaves none.
TEST(TranslucentKeyBlit, StretchedBlitTestsEachReadOfASourcePixel) {
  auto src = DDSurface::Make(3, 1, PF::Rgb24);
  src->SetColorKey(0x000000FF);  // red: bytes FF 00 00
  test::WritePixel(*src, 0, 0, 0x0000FF);
  test::WritePixel(*src, 1, 0, 0x0A0B0C);
  test::WritePixel(*src, 2, 0, 0x0000FF);
  auto dst = DDSurface::Make(6, 1, PF::Rgb24);
  test::FillPixels(*dst, 0x303030);
  const Size wide{6, 1};
  dst->BltTranslucentKey(src.get(), 0, 0, 255, nullptr, &wide, nullptr);
  const uint32_t widened[6] = {0x303030, 0x303030, 0x0A0B0C, 0x0A0B0C, 0x303030, 0x303030};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(test::ReadPixel(*dst, i, 0), widened[i]) << i;

  // Width 3 onto 2 reads columns 0 and 1; onto 1 reads column 0 only.
  test::WritePixel(*src, 0, 0, 0x010203);
  test::WritePixel(*src, 1, 0, 0x0000FF);
  test::WritePixel(*src, 2, 0, 0x040506);
  test::FillPixels(*dst, 0x303030);
  const Size narrow{2, 1};
  dst->BltTranslucentKey(src.get(), 0, 0, 255, nullptr, &narrow, nullptr);
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x010203u);
  EXPECT_EQ(test::ReadPixel(*dst, 1, 0), 0x303030u);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 0), 0x303030u);
}

// Each surface kind of failure leaves both surfaces unlocked and draws nothing.
TEST(TranslucentKeyBlit, FailuresLeaveBothSurfacesUnlocked) {
  std::mt19937 rng(5);
  auto src = test::RandomSurface(6, 4, PF::Rgb565, rng, 0, DDSurface::Memory::Lent);
  auto dst = test::RandomSurface(8, 6, PF::Rgb565, rng, 0, DDSurface::Memory::Lent);
  auto other = test::RandomSurface(6, 4, PF::Rgb555, rng, 0, DDSurface::Memory::Lent);
  const auto before = test::Snapshot(*dst);
  auto call = [&](DDSurface* s) { return dst->BltTranslucentKey(s, 0, 0, 200, nullptr, nullptr, nullptr); };

  const int32_t srcLocks = src->Platform()->LockCalls();
  dst->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(call(src.get()), kBlitLockRefused);
  EXPECT_EQ(src->Platform()->LockCalls(), srcLocks);  // the source is not touched
  dst->Platform()->RefuseLocks(platform::kSurfaceOk);
  src->Platform()->RefuseLocks(platform::kSurfaceLost);
  EXPECT_EQ(call(src.get()), kBlitLockRefused);
  src->Platform()->RefuseLocks(platform::kSurfaceOk);
  EXPECT_EQ(call(other.get()), kBlitPairNotServed);
  EXPECT_EQ(call(nullptr), kBlitLockRefused);
  EXPECT_EQ(test::Snapshot(*dst), before);
  for (DDSurface* s : {src.get(), dst.get(), other.get()}) {
    EXPECT_EQ(s->Platform()->LocksHeld(), 0);
    EXPECT_FALSE(s->IsLocked());
  }

  // An equal format without a routine answers 0 and draws nothing.
  auto i8s = test::RandomSurface(5, 5, PF::Index8, rng);
  auto i8d = test::RandomSurface(5, 5, PF::Index8, rng);
  const auto i8before = test::Snapshot(*i8d);
  EXPECT_EQ(i8d->BltTranslucentKey(i8s.get(), 0, 0, 255, nullptr, nullptr, nullptr), kBlitDone);
  EXPECT_EQ(test::Snapshot(*i8d), i8before);
}

TEST(TranslucentKeyBlit, ServesExactlyTheSixteenPairs) {
  std::mt19937 rng(6);
  for (PF sf : test::kAllFormats) {
    for (PF df : test::kAllFormats) {
      bool served = false;
      for (const Pair& p : kServed) served |= p.src == sf && p.dst == df;
      auto src = test::RandomSurface(3, 3, sf, rng);
      auto dst = test::RandomSurface(3, 3, df, rng);
      const auto before = test::Snapshot(*dst);
      const BlitResult r = dst->BltTranslucentKey(src.get(), 0, 0, 255, nullptr, nullptr, nullptr);
      EXPECT_EQ(r, served ? kBlitDone : kBlitPairNotServed)
          << PixelFormatName(sf) << " onto " << PixelFormatName(df);
      if (!served) {
        EXPECT_EQ(test::Snapshot(*dst), before);
      }
    }
  }
}

// ---- The graphics core's draws that lead to the blends ----

// Runs two ways of drawing on identical copies and expects the same bytes and answers.
void ExpectSameEffect(PF sf, PF df, const std::function<BlitResult(DDSurface&, DDSurface&)>& a,
                      const std::function<BlitResult(DDSurface&, DDSurface&)>& b, const char* what) {
  std::mt19937 rng(7);
  auto src = test::RandomSurface(7, 5, sf, rng, 2);
  auto dst = test::RandomSurface(11, 9, df, rng, 3);
  src->SetColorKey(0x00FF00FF);
  for (int32_t x = 0; x < 7; x += 2) test::WritePixel(*src, x, 1, src->GetColorKey());
  const auto before = test::Snapshot(*dst);
  const BlitResult ra = a(*dst, *src);
  const auto after = test::Snapshot(*dst);
  test::Restore(*dst, before);
  const BlitResult rb = b(*dst, *src);
  EXPECT_EQ(ra, rb) << what;
  EXPECT_EQ(after, test::Snapshot(*dst)) << what;
}

TEST(DrawRouting, TranslucentDrawsReachTheirBlends) {
  const Rect sr{1, 1, 6, 5}, clip{0, 0, 9, 7};
  const Size size{8, 3};
  for (int32_t op : {0, 100, 254}) {
    ExpectSameEffect(
        PF::Rgb565, PF::Rgb565,
        [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 2, 1, op, &sr, &size, &clip); },
        [&](DDSurface& d, DDSurface& s) { return d.BltTranslucentKey(&s, 2, 1, op, &sr, &size, &clip); },
        "non-alpha source below 255");
    ExpectSameEffect(
        PF::Bgra32, PF::Bgrx32,
        [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 2, 1, op, &sr, &size, &clip); },
        [&](DDSurface& d, DDSurface& s) { return d.BltAlphaOpacity(&s, 2, 1, op, &sr, &size, &clip); },
        "alpha source below 255");
  }
  // Same-format alpha sources below 255 go to the alpha-with-opacity blit, which refuses them.
  ExpectSameEffect(
      PF::Bgra32, PF::Bgra32, [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 0, 0, 128); },
      [&](DDSurface&, DDSurface&) { return kBlitPairNotServed; }, "alpha onto alpha");
  // The comparison with 255 is signed: a negative opacity draws translucently.
  ExpectSameEffect(
      PF::Bgrx32, PF::Bgrx32, [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 1, 1, -1); },
      [&](DDSurface& d, DDSurface& s) {
        return d.BltTranslucentKey(&s, 1, 1, -1, nullptr, nullptr, nullptr);
      },
      "negative opacity");
  for (int32_t op : {255, 256, 1000}) {
    ExpectSameEffect(
        PF::Bgrx32, PF::Bgrx32,
        [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 2, 1, op, &sr, &size, &clip); },
        [&](DDSurface& d, DDSurface& s) { return d.BltKeyed(&s, 2, 1, &sr, &size, &clip); },
        "full opacity, no alpha");
    ExpectSameEffect(
        PF::Rgb565A, PF::Rgb565,
        [&](DDSurface& d, DDSurface& s) { return d.DrawTranslucent(&s, 2, 1, op, &sr, &size, &clip); },
        [&](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 2, 1, &sr, &size, &clip); },
        "full opacity, alpha");
  }
}

TEST(DrawRouting, PlainAndNamedDrawsReachTheirBlends) {
  const Rect sr{0, 1, 5, 4}, clip{1, 0, 10, 8};
  const Size size{9, 6};
  ExpectSameEffect(
      PF::Rgba32, PF::Rgba32,
      [&](DDSurface& d, DDSurface& s) { return d.Draw(&s, -1, 2, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, -1, 2, &sr, &size, &clip); },
      "plain draw of alpha");
  ExpectSameEffect(
      PF::Rgb555, PF::Rgb555,
      [&](DDSurface& d, DDSurface& s) { return d.Draw(&s, -1, 2, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltKeyed(&s, -1, 2, &sr, &size, &clip); },
      "plain draw without alpha");
  ExpectSameEffect(
      PF::Rgb24, PF::Rgb24,
      [&](DDSurface& d, DDSurface& s) { return d.DrawKeyedTranslucent(&s, 1, 1, 90, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltTranslucentKey(&s, 1, 1, 90, &sr, &size, &clip); },
      "keyed translucent draw");
  ExpectSameEffect(
      PF::Rgb24, PF::Rgb24,
      [&](DDSurface& d, DDSurface& s) { return d.DrawAlphaBlend(&s, 1, 1, 90, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 1, 1, 90, &sr, &size, &clip); },
      "translucent draw");
  ExpectSameEffect(
      PF::Rgb555A, PF::Rgb555,
      [&](DDSurface& d, DDSurface& s) { return d.DrawAlphaOpacity(&s, 1, 1, 90, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltAlphaOpacity(&s, 1, 1, 90, &sr, &size, &clip); },
      "alpha-with-opacity draw");
  ExpectSameEffect(
      PF::Rgb555A, PF::Rgb555, [&](DDSurface& d, DDSurface& s) { return d.DrawAlphaLevel(&s, 3, -1, 170); },
      [&](DDSurface& d, DDSurface& s) {
        return d.BltAlphaOpacity(&s, 3, -1, 170, nullptr, nullptr, nullptr);
      },
      "alpha-level draw");
  ExpectSameEffect(
      PF::Bgra32, PF::Bgr24,
      [&](DDSurface& d, DDSurface& s) { return d.DrawAlphaChannel(&s, 1, 1, &sr, &size, &clip); },
      [&](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 1, 1, &sr, &size, &clip); },
      "alpha-channel draw");
}

TEST(DrawRouting, WeightedDrawsAnswerOneAndTouchNothing) {
  std::mt19937 rng(8);
  auto src = test::RandomSurface(4, 4, PF::Rgb565, rng, 0, DDSurface::Memory::Lent);
  auto dst = test::RandomSurface(6, 6, PF::Rgb565, rng, 0, DDSurface::Memory::Lent);
  const auto before = test::Snapshot(*dst);
  const int32_t locks = dst->Platform()->LockCalls() + src->Platform()->LockCalls();
  EXPECT_EQ(dst->DrawWeighted(src.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->DrawWeightedKeyed(src.get(), 0, 0, 128, nullptr, nullptr, nullptr), kBlitLockRefused);
  EXPECT_EQ(dst->Platform()->LockCalls() + src->Platform()->LockCalls(), locks);
  EXPECT_EQ(test::Snapshot(*dst), before);
  EXPECT_EQ(dst->Draw(nullptr, 0, 0), kBlitLockRefused);
  EXPECT_EQ(dst->DrawTranslucent(nullptr, 0, 0, 100), kBlitLockRefused);
}

}  // namespace

}  // namespace pixelops
