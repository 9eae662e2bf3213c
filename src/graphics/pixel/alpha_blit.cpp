// BltAlpha: translucent blit with one opacity; alpha sources are weighted by
// their alpha times the opacity. BltAlphaOpacity: the same for alpha sources
// onto their own colour format only.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

using namespace translucent;
using V = OpacityValues;

constexpr auto& kBltAlphaPairs = ServeSet<format_pairs::kBlend, OpacityRule, V>;
constexpr auto& kBltAlphaOpacityPairs = ServeSet<format_pairs::kAlphaOntoColour, OpacityRule, V>;

}  // namespace

BlitResult DDSurface::BltAlpha(DDSurface* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect,
                               const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kBltAlphaPairs, V{static_cast<uint32_t>(opacity)},
                  Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAlphaOpacity(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                                      const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kBltAlphaOpacityPairs, V{static_cast<uint32_t>(opacity)},
                  Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitPairNotServed, kBlitPairNotServed});
}

}  // namespace pixelops
