// BltTranslucentKey: the translucent blit with one opacity that leaves every
// destination pixel under a key-coloured source pixel untouched. It serves the
// pairs of BltAlpha with the same rules; the key test comes first, so X and
// alpha bytes are written only on drawn pixels.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

using namespace translucent;
using V = KeyedOpacityValues;

// How a source pixel meets the key is the source format's KeyMatches: the
// colour word of 16-bit formats (alpha byte not compared), the three bytes of
// 24-bit formats, the whole word of Bgrx32 / Rgbx32 (X included) and the three
// colour bytes of Bgra32 / Rgba32 (alpha not compared).
constexpr auto& kPairs = ServeSet<format_pairs::kBlend, KeyedRule<OpacityRule>::For, V>;

}  // namespace

BlitResult DDSurface::BltTranslucentKey(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                                        const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return RunBlend(*this, src, kPairs, V{static_cast<uint32_t>(opacity)},
                  Placement{x, y, srcRect, dstSize, clip});
}

}  // namespace pixelops
