// Textured quads blended onto a target with a global alpha, and pictures
// turned, scaled and faded about a point.
#pragma once

#include <cstdint>

#include <pixelops/dd_surface.h>

namespace pixelops {

// Maps the source polygon (texel positions) onto the destination polygon of
// the same vertex count, skipping texels equal to the source's colour key and
// blending the others at the global alpha (its low byte; 0 keeps the target,
// 255 is full weight; sources with alpha are weighted by their alpha too).
// An alpha of 256 or more draws opaque through DDSurface::DrawPolygonKeyed.
// 0 done (also when nothing is drawn), 1 a lock refused or a surface missing,
// 2 the pair of formats is not served.
BlitResult FillTexturedQuad(DDSurface* target, DDSurface* source, int32_t alpha, const Point* srcPoints,
                            const Point* dstPoints, const Rect* clip, uint8_t flag, int32_t count);

// Draws the whole source turned by angle (512ths of a turn) and scaled by
// scaleX, scaleY (16.16) about (centreX, centreY) at the global alpha; 256 and
// above draws opaque through DrawRotatedScaled.
BlitResult DrawRotatedSprite(DDSurface* target, DDSurface* source, int32_t centreX, int32_t centreY,
                             int32_t angle, int32_t scaleX, int32_t scaleY, int32_t alpha);

}  // namespace pixelops
