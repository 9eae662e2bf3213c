// Drawing whole pictures turned and scaled about a point, through the textured
// polygon rasterisers.
#pragma once

#include <cstdint>

#include <pixelops/dd_surface.h>

namespace pixelops {

// A picture's four corners: src holds the centres of the source's corner
// texels (top-left, top-right, bottom-right, bottom-left) and dst where each
// lands on the target. Corner i of one shows corner i of the other.
struct RotatedQuad {
  Point src[4];
  Point dst[4];
};

// The corners of the source turned by angle (512ths of a turn, clockwise on
// the screen) and scaled by scaleX, scaleY (16.16, 65536 = 1.0) about
// (centreX, centreY). The extents are the distances between the centres of the
// first and the last pixel after scaling; the left and top corners take the
// smaller half of an odd extent. False when there is nothing to draw: a scale
// of 0, an extent that rounds to 0, or a corner beyond the 32-bit range.
bool MakeRotatedQuad(const DDSurface& source, int32_t centreX, int32_t centreY, int32_t angle, int32_t scaleX,
                     int32_t scaleY, RotatedQuad* quad);

// Draws the whole source turned and scaled about (centreX, centreY) with its
// colour key skipped (alpha sources onto colour formats blend by their alpha),
// through DDSurface::DrawPolygonKeyed. 0 when there is nothing to draw;
// otherwise what DrawPolygonKeyed answers (1 also for a missing surface).
BlitResult DrawRotatedScaled(DDSurface* target, DDSurface* source, int32_t centreX, int32_t centreY,
                             int32_t angle, int32_t scaleX, int32_t scaleY, const Rect* clip = nullptr);

}  // namespace pixelops
