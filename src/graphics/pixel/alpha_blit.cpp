// BltAlpha: translucent blit with one opacity; alpha sources are weighted by
// their alpha times the opacity. BltAlphaOpacity: the same for alpha sources
// onto their own colour format only.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

using namespace translucent;
using V = OpacityValues;

// Alpha sources onto their colour formats: served by both dispatchers.
#define ALPHA_ONTO_COLOUR_PAIRS                                   \
  Serve<px::Rgb565A, px::Rgb565, AlphaLevelRule, V>(),            \
      Serve<px::Rgb555A, px::Rgb555, AlphaLevelRule, V>(),        \
      Serve<px::Bgra32, px::Bgr24, WeightRule, V>(),              \
      Serve<px::Rgba32, px::Rgb24, WeightRule, V>(),              \
      Serve<px::Bgra32, px::Bgrx32, WeightRule, V>(),             \
      Serve<px::Rgba32, px::Rgbx32, WeightRule, V>()

constexpr PairEntry<V> kBltAlphaPairs[] = {
    ALPHA_ONTO_COLOUR_PAIRS,
    Serve<px::Rgb565, px::Rgb565, OpacityLevelRule, V>(),
    Serve<px::Rgb555, px::Rgb555, OpacityLevelRule, V>(),
    Serve<px::Bgr24, px::Bgr24, WeightRule, V>(),
    Serve<px::Rgb24, px::Rgb24, WeightRule, V>(),
    Serve<px::Bgrx32, px::Bgrx32, WeightRule, V>(),
    Serve<px::Rgbx32, px::Rgbx32, WeightRule, V>(),
    Serve<px::Bgra32, px::Bgra32, WeightRule, V>(),
    Serve<px::Rgba32, px::Rgba32, WeightRule, V>(),
    Serve<px::Rgb565A, px::Rgb565A, ChannelAlphaRule, V>(),
    Serve<px::Rgb555A, px::Rgb555A, ChannelAlphaRule, V>(),
};

constexpr PairEntry<V> kBltAlphaOpacityPairs[] = {ALPHA_ONTO_COLOUR_PAIRS};

}  // namespace

BlitResult DDSurface::BltAlpha(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                               const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kBltAlphaPairs, V{static_cast<uint32_t>(opacity)},
                  Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAlphaOpacity(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                                      const Rect* srcRect, const Size* dstSize,
                                      const Rect* clip) {
  return RunBlend(*this, src, kBltAlphaOpacityPairs, V{static_cast<uint32_t>(opacity)},
                  Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitPairNotServed, kBlitPairNotServed});
}

}  // namespace pixelops
