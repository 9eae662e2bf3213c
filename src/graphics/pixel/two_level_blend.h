// The two-level blend: every source channel scaled by a source level a, every
// destination channel by a destination level b, the two products added without
// a clamp (so a + b above full scale wraps or carries, and a + b = 255 is a
// cross-fade). Only the low byte of each level counts.
//
// The per-pixel routines below act in place on one destination pixel, reading
// the source pixel's bytes before they write (the two may share bytes); they
// are shared by the plain and the colour-keyed two-level blends. Each takes the
// blend tables last so that a loop can pass the ones it already holds.
#pragma once

#include <cstdint>

#include "graphics/blend_tables.h"

namespace pixelops {

// Bgra32 onto Bgr24 / Rgba32 onto Rgb24: the source weight is P[A][a], A the
// source's alpha byte; the destination weight is b. Three bytes are written.
void BlendPixelAlphaTo24(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b,
                         const BlendTables& t = Tables());
// Bgra32 onto Bgrx32 / Rgba32 onto Rgbx32: as above, and X is written 0.
void BlendPixelAlphaTo32(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b,
                         const BlendTables& t = Tables());
// Rgb565A / Rgb555A onto the same format: channel by channel at weights
// P[16 x source alpha][a] and P[16 x destination alpha][b]; only the colour
// word is written (the destination's alpha and pad bytes are kept).
void BlendPixel565A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t = Tables());
void BlendPixel555A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t = Tables());
// Bgra32 / Rgba32 onto the same format: weights P[source alpha][a] and
// P[destination alpha][b]; the destination's alpha becomes 255.
void BlendPixel32A(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t b, const BlendTables& t = Tables());

}  // namespace pixelops
