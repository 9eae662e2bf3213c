// Every operation on all 11 x 11 pairs of formats answers as its pair set and
// its policy for other pairs say: a served pair answers 0 and draws, any other
// pair answers the operation's code for it and leaves the destination as it
// was. And the format descriptions give what the format switches gave.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/operation_table.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;
using optable::Holds;
using optable::Operation;
using optable::Operations;

TEST(PairSets, EveryOperationOnEveryPairAnswersAsItsSetAndPolicySay) {
  std::mt19937 rng(1011);
  for (const Operation& op : Operations()) {
    for (F sf : kAllPixelFormats) {
      for (F df : kAllPixelFormats) {
        const bool served = Holds(op.served, sf, df);
        auto src = test::RandomSurface(8, 6, sf, rng, 0, DDSurface::Memory::Lent);
        auto dst = test::RandomSurface(10, 7, df, rng, 0, DDSurface::Memory::Lent);
        src->SetColorKey(0x00FF00FF);
        const std::vector<uint8_t> before = test::Snapshot(*dst);
        const BlitResult got = op.call(*dst, src.get());
        const std::string what =
            std::string(op.name) + ": " + PixelFormatName(sf) + " onto " + PixelFormatName(df);
        EXPECT_EQ(got, served ? kBlitDone : op.unserved(sf, df)) << what;
        const bool drew = test::Snapshot(*dst) != before;
        EXPECT_EQ(drew, served) << what << (served ? " drew nothing" : " drew");
        EXPECT_FALSE(dst->IsLocked()) << what;
        EXPECT_FALSE(src->IsLocked()) << what;
      }
    }
  }
}

// Fade serves one format at a time: it answers 0 and darkens every blended
// format; Index8 stays as it is.
TEST(PairSets, FadeDarkensTheBlendedFormats) {
  std::mt19937 rng(1012);
  for (F f : kAllPixelFormats) {
    auto s = test::RandomSurface(10, 7, f, rng, 0, DDSurface::Memory::Lent);
    const std::vector<uint8_t> before = test::Snapshot(*s);
    EXPECT_EQ(s->Fade(128, nullptr), kBlitDone) << PixelFormatName(f);
    bool blended = false;
    for (F g : format_pairs::kBlendedFormats) blended |= g == f;
    EXPECT_EQ(test::Snapshot(*s) != before, blended) << PixelFormatName(f);
    EXPECT_FALSE(s->IsLocked());
  }
}

// The sets hold no pair twice, and each named union is its parts.
TEST(PairSets, SetsAreTheirParts) {
  namespace fp = format_pairs;
  auto distinct = [](const auto& set) {
    for (size_t i = 0; i < set.size(); ++i)
      for (size_t j = i + 1; j < set.size(); ++j)
        if (set[i] == set[j]) return false;
    return true;
  };
  EXPECT_TRUE(distinct(fp::kPolygon));
  EXPECT_TRUE(distinct(fp::kSameFormat));
  EXPECT_TRUE(distinct(fp::kMaskOntoAlpha));
  for (const FormatPair& p : fp::kPolygon) {
    const bool equal = p.src == p.dst;
    EXPECT_EQ(fp::Holds(fp::kBlend, p.src, p.dst),
              (equal && p.src != F::Index8) || fp::Holds(fp::kAlphaOntoColour, p.src, p.dst));
  }
  for (const FormatPair& p : fp::kAlphaOntoColour) {
    EXPECT_TRUE(IsAlphaFormat(p.src));
    EXPECT_FALSE(IsAlphaFormat(p.dst));
    EXPECT_TRUE(fp::Holds(fp::kColourOntoOwnAlpha, p.dst, p.src));
  }
  for (const FormatPair& p : fp::kColourOntoAlpha) {
    EXPECT_FALSE(IsAlphaFormat(p.src));
    EXPECT_TRUE(IsAlphaFormat(p.dst));
  }
}

// ColourToPixel as the per-format switch wrote it, for comparison.
uint32_t SwitchColourToPixel(F format, uint32_t colour, uint32_t alpha) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  alpha &= 0xFF;
  switch (format) {
    case F::Index8:
      return r;
    case F::Rgb565:
      return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case F::Rgb555:
      return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case F::Rgb565A:
      return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) | ((alpha >> 4) << 16);
    case F::Rgb555A:
      return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) | ((alpha >> 4) << 16);
    case F::Bgr24:
    case F::Bgrx32:
      return b | (g << 8) | (r << 16);
    case F::Rgb24:
    case F::Rgbx32:
      return r | (g << 8) | (b << 16);
    case F::Bgra32:
      return b | (g << 8) | (r << 16) | (alpha << 24);
    case F::Rgba32:
      return r | (g << 8) | (b << 16) | (alpha << 24);
  }
  return 0;
}

TEST(FormatDescriptions, GiveWhatTheFormatSwitchesGave) {
  // Codes around and between the formats, 9 (unassigned) included.
  for (int32_t code = -2; code <= 15; ++code) {
    const F f = static_cast<F>(code);
    const FormatDescription* d = DescribeFormat(f);
    const bool known = code >= 2 && code <= 13 && code != 9;
    ASSERT_EQ(d != nullptr, known) << code;
    EXPECT_EQ(BytesPerPixel(f), !known ? 0 : code == 2 ? 1 : code <= 4 ? 2 : code <= 6 ? 3 : 4) << code;
    EXPECT_EQ(IsAlphaFormat(f), code >= 10 && code <= 13) << code;
    if (!known) {
      EXPECT_STREQ(PixelFormatName(f), "unknown");
    }
    std::mt19937 rng(static_cast<uint32_t>(code + 100));
    for (int i = 0; i < 2000; ++i) {
      const uint32_t colour = rng(), alpha = rng();
      ASSERT_EQ(ColourToPixel(f, colour, alpha), SwitchColourToPixel(f, colour, alpha))
          << code << " " << colour << " " << alpha;
    }
  }
  for (F f : kAllPixelFormats) EXPECT_EQ(DescribeFormat(f)->code, f);
  EXPECT_STREQ(PixelFormatName(F::Rgb565A), "Rgb565A");
  EXPECT_STREQ(PixelFormatName(F::Index8), "Index8");
}

// A surface created with alpha takes its display format's alpha counterpart;
// displays whose code is no format get Bgra32.
TEST(FormatDescriptions, CreateWithAlphaTakesTheCounterpart) {
  const struct {
    int32_t display;
    F withAlpha;
  } cases[] = {
      {2, F::Bgra32},  {3, F::Rgb565A}, {4, F::Rgb555A},  {5, F::Bgra32},   {6, F::Rgba32},
      {7, F::Bgra32},  {8, F::Rgba32},  {10, F::Rgb565A}, {11, F::Rgb555A}, {12, F::Bgra32},
      {13, F::Rgba32}, {9, F::Bgra32},  {0, F::Bgra32},   {-1, F::Bgra32},
  };
  for (const auto& c : cases) {
    DDSurface s(static_cast<F>(c.display));
    ASSERT_EQ(s.Create(3, 2, true), 0) << c.display;
    EXPECT_EQ(s.Format(), c.withAlpha) << c.display;
    EXPECT_EQ(s.HasAlpha(), 1) << c.display;
  }
}

}  // namespace

}  // namespace pixelops
