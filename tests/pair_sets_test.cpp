// Every operation on all 11 x 11 pairs of formats answers as its pair set and
// its policy for other pairs say: a served pair answers 0 and draws, any other
// pair answers the operation's code for it and leaves the destination as it
// was. And the format descriptions give what the format switches gave.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;
using Call = std::function<BlitResult(DDSurface& dst, DDSurface* src)>;
// What an operation answers for a pair it does not serve.
using Unserved = BlitResult (*)(F src, F dst);

template <BlitResult kDifferent, BlitResult kEqual>
BlitResult Answer(F src, F dst) {
  return src == dst ? kEqual : kDifferent;
}

struct Operation {
  const char* name;
  Call call;
  std::vector<FormatPair> served;
  Unserved unserved;
};

template <size_t N>
std::vector<FormatPair> Set(const std::array<FormatPair, N>& set) {
  return {set.begin(), set.end()};
}

// The pairs of set whose source has alpha (or has none), added to more.
template <size_t N>
std::vector<FormatPair> WithSources(const std::array<FormatPair, N>& set, bool alpha,
                                    std::vector<FormatPair> more = {}) {
  for (const FormatPair& p : set)
    if (IsAlphaFormat(p.src) == alpha) more.push_back(p);
  return more;
}

bool Holds(const std::vector<FormatPair>& set, F src, F dst) {
  for (const FormatPair& p : set)
    if (p.src == src && p.dst == dst) return true;
  return false;
}

const uint8_t* Pattern() {
  static const std::vector<uint8_t> pattern = [] {
    std::vector<uint8_t> p(256);
    for (int i = 0; i < 256; ++i) p[i] = static_cast<uint8_t>(i * 37 + 11);
    return p;
  }();
  return pattern.data();
}

// The source's corners onto a quad inside the destination.
constexpr Point kSrcQuad[4] = {{0, 0}, {7, 0}, {7, 5}, {0, 5}};
constexpr Point kDstQuad[4] = {{1, 1}, {9, 0}, {8, 6}, {0, 5}};

std::vector<Operation> Operations() {
  namespace fp = format_pairs;
  constexpr auto kUsual = &Answer<kBlitPairNotServed, kBlitDone>;
  constexpr auto kAlwaysNotServed = &Answer<kBlitPairNotServed, kBlitPairNotServed>;
  const Size grown{9, 7};
  // name, call, served pairs, answer for the others
  return {
      {"Blt", [](DDSurface& d, DDSurface* s) { return d.Blt(s, 1, 1); }, Set(fp::kSameFormat),
       kUsual},
      {"Blt stretched", [=](DDSurface& d, DDSurface* s) { return d.Blt(s, 0, 0, nullptr, &grown); },
       Set(fp::kSameFormat), kUsual},
      {"BltKeyed", [](DDSurface& d, DDSurface* s) { return d.BltKeyed(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kSameFormat), kUsual},
      {"DrawKeyed", [](DDSurface& d, DDSurface* s) { return d.DrawKeyed(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kSameFormat), kUsual},
      {"BltTranslucentKey",
       [](DDSurface& d, DDSurface* s) { return d.BltTranslucentKey(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"DrawKeyedTranslucent",
       [](DDSurface& d, DDSurface* s) { return d.DrawKeyedTranslucent(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAlpha", [](DDSurface& d, DDSurface* s) { return d.BltAlpha(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAlpha stretched",
       [=](DDSurface& d, DDSurface* s) { return d.BltAlpha(s, 0, 0, 200, nullptr, &grown, nullptr); },
       Set(fp::kBlend), kUsual},
      {"DrawAlphaBlend",
       [](DDSurface& d, DDSurface* s) { return d.DrawAlphaBlend(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAlphaOpacity",
       [](DDSurface& d, DDSurface* s) { return d.BltAlphaOpacity(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kAlphaOntoColour), kAlwaysNotServed},
      {"DrawAlphaOpacity",
       [](DDSurface& d, DDSurface* s) { return d.DrawAlphaOpacity(s, 1, 1, 200, nullptr, nullptr, nullptr); },
       Set(fp::kAlphaOntoColour), kAlwaysNotServed},
      {"DrawAlphaLevel", [](DDSurface& d, DDSurface* s) { return d.DrawAlphaLevel(s, 1, 1, 200); },
       Set(fp::kAlphaOntoColour), kAlwaysNotServed},
      {"BltBlend",
       [](DDSurface& d, DDSurface* s) { return d.BltBlend(s, 1, 1, 160, 95, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltBlendKey",
       [](DDSurface& d, DDSurface* s) { return d.BltBlendKey(s, 1, 1, 160, 95, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAlphaChannel",
       [](DDSurface& d, DDSurface* s) { return d.BltAlphaChannel(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kAlphaComposite), kAlwaysNotServed},
      {"DrawAlphaChannel",
       [](DDSurface& d, DDSurface* s) { return d.DrawAlphaChannel(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kAlphaComposite), kAlwaysNotServed},
      {"AlphaFromMaskRamp",
       [](DDSurface& d, DDSurface* s) {
         return d.AlphaFromMaskRamp(s, 64, 192, 0, 255, 1, 1, nullptr, nullptr, nullptr);
       },
       Set(fp::kMaskOntoAlpha), &Answer<kBlitDone, kBlitDone>},
      {"AlphaFromMaskRect",
       [](DDSurface& d, DDSurface* s) { return d.AlphaFromMaskRect(s, 64, 192, 0, 255, nullptr); },
       Set(fp::kMaskOntoAlpha), &Answer<kBlitDone, kBlitDone>},
      {"BltAdd", [](DDSurface& d, DDSurface* s) { return d.BltAdd(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAddKey", [](DDSurface& d, DDSurface* s) { return d.BltAddKey(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAddLevel",
       [](DDSurface& d, DDSurface* s) { return d.BltAddLevel(s, 1, 1, 100, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAddLevel 255",
       [](DDSurface& d, DDSurface* s) { return d.BltAddLevel(s, 1, 1, 255, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltAddLevelKey",
       [](DDSurface& d, DDSurface* s) { return d.BltAddLevelKey(s, 1, 1, 100, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltSub", [](DDSurface& d, DDSurface* s) { return d.BltSub(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltSubKey", [](DDSurface& d, DDSurface* s) { return d.BltSubKey(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltSubLevel",
       [](DDSurface& d, DDSurface* s) { return d.BltSubLevel(s, 1, 1, 100, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltSubLevelKey",
       [](DDSurface& d, DDSurface* s) { return d.BltSubLevelKey(s, 1, 1, 100, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltSubLevelKey 255",
       [](DDSurface& d, DDSurface* s) { return d.BltSubLevelKey(s, 1, 1, 255, nullptr, nullptr, nullptr); },
       Set(fp::kBlend), kUsual},
      {"BltColorKeepAlpha",
       [](DDSurface& d, DDSurface* s) { return d.BltColorKeepAlpha(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kEqualAlpha), &Answer<kBlitPairNotServed, kBlitNotAlphaFormat>},
      {"BltNoOp", [](DDSurface& d, DDSurface* s) { return d.BltNoOp(s, 1, 1, 7, nullptr, nullptr, nullptr); },
       {}, &Answer<kBlitDone, kBlitDone>},
      {"BltPattern",
       [](DDSurface& d, DDSurface* s) { return d.BltPattern(s, 1, 1, Pattern(), nullptr, nullptr, nullptr); },
       Set(fp::kPattern), &Answer<kBlitLockRefused, kBlitDone>},
      {"DrawWeighted",
       [](DDSurface& d, DDSurface* s) { return d.DrawWeighted(s, 1, 1, 128, nullptr, nullptr, nullptr); },
       {}, &Answer<kBlitLockRefused, kBlitLockRefused>},
      {"DrawWeightedKeyed",
       [](DDSurface& d, DDSurface* s) { return d.DrawWeightedKeyed(s, 1, 1, 128, nullptr, nullptr, nullptr); },
       {}, &Answer<kBlitLockRefused, kBlitLockRefused>},
      // Alpha sources go to the alpha-channel blit, the others to the keyed copy.
      {"Draw", [](DDSurface& d, DDSurface* s) { return d.Draw(s, 1, 1); },
       WithSources(fp::kSameFormat, false, Set(fp::kAlphaComposite)), kAlwaysNotServed},
      // Alpha sources go to the alpha blit at an opacity, the others to the
      // keyed translucent blit.
      {"DrawTranslucent", [](DDSurface& d, DDSurface* s) { return d.DrawTranslucent(s, 1, 1, 200); },
       WithSources(fp::kBlend, false, Set(fp::kAlphaOntoColour)),
       [](F src, F dst) { return IsAlphaFormat(src) || src != dst ? kBlitPairNotServed : kBlitDone; }},
      {"DrawTranslucent 255", [](DDSurface& d, DDSurface* s) { return d.DrawTranslucent(s, 1, 1, 255); },
       WithSources(fp::kSameFormat, false, Set(fp::kAlphaComposite)), kAlwaysNotServed},
      {"DrawPolygon",
       [](DDSurface& d, DDSurface* s) { return d.DrawPolygon(s, kSrcQuad, kDstQuad, nullptr, 0, 4); },
       Set(fp::kPolygon), kUsual},
      {"DrawPolygonKeyed",
       [](DDSurface& d, DDSurface* s) { return d.DrawPolygonKeyed(s, kSrcQuad, kDstQuad, nullptr, 0, 4); },
       Set(fp::kPolygon), kUsual},
      {"FillTexturedQuad",
       [](DDSurface& d, DDSurface* s) { return FillTexturedQuad(&d, s, 200, kSrcQuad, kDstQuad, nullptr, 0, 4); },
       Set(fp::kPolygon), kUsual},
      {"FillTexturedQuad 256",
       [](DDSurface& d, DDSurface* s) { return FillTexturedQuad(&d, s, 256, kSrcQuad, kDstQuad, nullptr, 0, 4); },
       Set(fp::kPolygon), kUsual},
      {"DrawRotatedScaled",
       [](DDSurface& d, DDSurface* s) { return DrawRotatedScaled(&d, s, 5, 4, 30, 65536, 65536, nullptr); },
       Set(fp::kPolygon), kUsual},
      {"DrawRotatedSprite",
       [](DDSurface& d, DDSurface* s) { return DrawRotatedSprite(&d, s, 5, 4, 30, 65536, 65536, 200); },
       Set(fp::kPolygon), kUsual},
  };
}

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
    case F::Index8: return r;
    case F::Rgb565: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case F::Rgb555: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case F::Rgb565A: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) | ((alpha >> 4) << 16);
    case F::Rgb555A: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) | ((alpha >> 4) << 16);
    case F::Bgr24:
    case F::Bgrx32: return b | (g << 8) | (r << 16);
    case F::Rgb24:
    case F::Rgbx32: return r | (g << 8) | (b << 16);
    case F::Bgra32: return b | (g << 8) | (r << 16) | (alpha << 24);
    case F::Rgba32: return r | (g << 8) | (b << 16) | (alpha << 24);
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
    EXPECT_EQ(BytesPerPixel(f), !known ? 0 : code == 2 ? 1 : code <= 4 ? 2 : code <= 6 ? 3 : 4)
        << code;
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
      {2, F::Bgra32},   {3, F::Rgb565A},  {4, F::Rgb555A}, {5, F::Bgra32},   {6, F::Rgba32},
      {7, F::Bgra32},   {8, F::Rgba32},   {10, F::Rgb565A}, {11, F::Rgb555A}, {12, F::Bgra32},
      {13, F::Rgba32},  {9, F::Bgra32},   {0, F::Bgra32},  {-1, F::Bgra32},
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
