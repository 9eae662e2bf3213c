// The table of every public drawing operation: how to call it, the pairs of
// formats it serves, and what it answers for the others. The pair-set test
// runs each operation on every pair; the reference test holds the
// reference's pair tables to the same served pairs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
#include "tests/test_support.h"

namespace pixelops::optable {

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
inline std::vector<FormatPair> Set(const std::array<FormatPair, N>& set) {
  return {set.begin(), set.end()};
}

// The pairs of set whose source has alpha (or has none), added to more.
template <size_t N>
inline std::vector<FormatPair> WithSources(const std::array<FormatPair, N>& set, bool alpha,
                                           std::vector<FormatPair> more = {}) {
  for (const FormatPair& p : set)
    if (IsAlphaFormat(p.src) == alpha) more.push_back(p);
  return more;
}

inline bool Holds(const std::vector<FormatPair>& set, F src, F dst) {
  for (const FormatPair& p : set)
    if (p.src == src && p.dst == dst) return true;
  return false;
}

inline const uint8_t* Pattern() {
  static const std::vector<uint8_t> pattern = [] {
    std::vector<uint8_t> p(256);
    for (int i = 0; i < 256; ++i) p[i] = static_cast<uint8_t>(i * 37 + 11);
    return p;
  }();
  return pattern.data();
}

// The source's corners onto a quad inside the destination.
inline constexpr Point kSrcQuad[4] = {{0, 0}, {7, 0}, {7, 5}, {0, 5}};
inline constexpr Point kDstQuad[4] = {{1, 1}, {9, 0}, {8, 6}, {0, 5}};

inline std::vector<Operation> Operations() {
  namespace fp = format_pairs;
  constexpr auto kUsual = &Answer<kBlitPairNotServed, kBlitDone>;
  constexpr auto kAlwaysNotServed = &Answer<kBlitPairNotServed, kBlitPairNotServed>;
  const Size grown{9, 7};
  // name, call, served pairs, answer for the others
  return {
      {"Blt", [](DDSurface& d, DDSurface* s) { return d.Blt(s, 1, 1); }, Set(fp::kSameFormat), kUsual},
      {"Blt stretched", [=](DDSurface& d, DDSurface* s) { return d.Blt(s, 0, 0, nullptr, &grown); },
       Set(fp::kSameFormat), kUsual},
      {"BltKeyed", [](DDSurface& d, DDSurface* s) { return d.BltKeyed(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kSameFormat), kUsual},
      {"DrawKeyed",
       [](DDSurface& d, DDSurface* s) { return d.DrawKeyed(s, 1, 1, nullptr, nullptr, nullptr); },
       Set(fp::kSameFormat), kUsual},
      {"BltTranslucentKey",
       [](DDSurface& d, DDSurface* s) {
         return d.BltTranslucentKey(s, 1, 1, 200, nullptr, nullptr, nullptr);
       },
       Set(fp::kBlend), kUsual},
      {"DrawKeyedTranslucent",
       [](DDSurface& d, DDSurface* s) {
         return d.DrawKeyedTranslucent(s, 1, 1, 200, nullptr, nullptr, nullptr);
       },
       Set(fp::kBlend), kUsual},
      {"BltAlpha",
       [](DDSurface& d, DDSurface* s) { return d.BltAlpha(s, 1, 1, 200, nullptr, nullptr, nullptr); },
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
      {"BltAddKey",
       [](DDSurface& d, DDSurface* s) { return d.BltAddKey(s, 1, 1, nullptr, nullptr, nullptr); },
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
      {"BltSubKey",
       [](DDSurface& d, DDSurface* s) { return d.BltSubKey(s, 1, 1, nullptr, nullptr, nullptr); },
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
      {"BltNoOp",
       [](DDSurface& d, DDSurface* s) { return d.BltNoOp(s, 1, 1, 7, nullptr, nullptr, nullptr); },
       {},
       &Answer<kBlitDone, kBlitDone>},
      {"BltPattern",
       [](DDSurface& d, DDSurface* s) { return d.BltPattern(s, 1, 1, Pattern(), nullptr, nullptr, nullptr); },
       Set(fp::kPattern), &Answer<kBlitLockRefused, kBlitDone>},
      {"DrawWeighted",
       [](DDSurface& d, DDSurface* s) { return d.DrawWeighted(s, 1, 1, 128, nullptr, nullptr, nullptr); },
       {},
       &Answer<kBlitLockRefused, kBlitLockRefused>},
      {"DrawWeightedKeyed",
       [](DDSurface& d, DDSurface* s) {
         return d.DrawWeightedKeyed(s, 1, 1, 128, nullptr, nullptr, nullptr);
       },
       {},
       &Answer<kBlitLockRefused, kBlitLockRefused>},
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
       [](DDSurface& d, DDSurface* s) {
         return FillTexturedQuad(&d, s, 200, kSrcQuad, kDstQuad, nullptr, 0, 4);
       },
       Set(fp::kPolygon), kUsual},
      {"FillTexturedQuad 256",
       [](DDSurface& d, DDSurface* s) {
         return FillTexturedQuad(&d, s, 256, kSrcQuad, kDstQuad, nullptr, 0, 4);
       },
       Set(fp::kPolygon), kUsual},
      {"DrawRotatedScaled",
       [](DDSurface& d, DDSurface* s) { return DrawRotatedScaled(&d, s, 5, 4, 30, 65536, 65536, nullptr); },
       Set(fp::kPolygon), kUsual},
      {"DrawRotatedSprite",
       [](DDSurface& d, DDSurface* s) { return DrawRotatedSprite(&d, s, 5, 4, 30, 65536, 65536, 200); },
       Set(fp::kPolygon), kUsual},
  };
}

}  // namespace pixelops::optable
