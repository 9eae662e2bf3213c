// Per-pixel blends of the 16-bit alpha formats by channel: each channel widened
// to a byte, mixed as K[W][d] + P[W][s], and narrowed back into the colour word.
// The alpha and pad bytes of the destination are kept.
#pragma once

#include <cstdint>

#include "graphics/pixel/formats.h"

namespace pixelops {

namespace px {

// Colour word d blended towards colour word s by weight W (0..255).
template <class C>
inline uint16_t ChannelBlend(const BlendTables& t, uint32_t weight, uint32_t s, uint32_t d) {
  const Channels sc = C::Widen(s), dc = C::Widen(d);
  return C::Narrow(t.K(weight, dc.r) + t.P(weight, sc.r), t.K(weight, dc.g) + t.P(weight, sc.g),
                   t.K(weight, dc.b) + t.P(weight, sc.b));
}

}  // namespace px

// An Rgb565 / Rgb555 texel onto an Rgb565A / Rgb555A pixel at weight g (0..255).
// Callers in a loop pass the tables they hold.
inline void BlendWeightedPixel565(uint8_t* d, const uint8_t* s, uint32_t g, const BlendTables& t = Tables()) {
  px::Store16(d, px::ChannelBlend<px::Colour565>(t, g & 0xFF, px::Load16(s), px::Load16(d)));
}
inline void BlendWeightedPixel555(uint8_t* d, const uint8_t* s, uint32_t g, const BlendTables& t = Tables()) {
  px::Store16(d, px::ChannelBlend<px::Colour555>(t, g & 0xFF, px::Load16(s), px::Load16(d)));
}

// An Rgb565A / Rgb555A pixel onto the same format, weighted by P[16 x a][g],
// a being the source's alpha level.
inline void BlendAlphaPixel565(uint8_t* d, const uint8_t* s, uint32_t g, const BlendTables& t = Tables()) {
  const uint32_t w = t.P(px::Rgb565A::Alpha(s) * 16, g & 0xFF);
  px::Store16(d, px::ChannelBlend<px::Colour565>(t, w, px::Load16(s), px::Load16(d)));
}
inline void BlendAlphaPixel555(uint8_t* d, const uint8_t* s, uint32_t g, const BlendTables& t = Tables()) {
  const uint32_t w = t.P(px::Rgb555A::Alpha(s) * 16, g & 0xFF);
  px::Store16(d, px::ChannelBlend<px::Colour555>(t, w, px::Load16(s), px::Load16(d)));
}

}  // namespace pixelops
