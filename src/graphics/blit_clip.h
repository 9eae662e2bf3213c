// Clip set-up shared by every blend routine: from the placement of a blit it
// works out the source and destination rectangles left to draw and, for a
// stretched blit, the integer stepping terms of both axes.
#pragma once

#include <cstdint>

#include <pixelops/pixel_format.h>

namespace pixelops {

struct BlitParams {
  uint8_t oneToOne = 0;  // 1: source and destination spans are equal on both axes
  Rect src;              // clipped source rectangle
  Rect dst;              // clipped destination rectangle
  Rect clip;             // the clip that was used
  // Stepping terms, filled only when oneToOne is 0: error start, remainder,
  // destination span and quotient of the x axis, then of the y axis.
  int32_t xError = 0, xRemainder = 0, xSpan = 0, xQuotient = 0;
  int32_t yError = 0, yRemainder = 0, ySpan = 0, yQuotient = 0;
};

// Source rectangles must lie within +-kMaxRectCoord.
inline constexpr int32_t kMaxRectCoord = 1 << 29;

// 0 when something is left to draw, 1 when nothing is.
//
// Every destination pixel that is drawn reads a source pixel inside the
// source's bounds: a source rectangle that reaches outside the source is
// clipped like the destination, keeping the mapping of the pixels that remain.
int32_t ClipBlitRects(const PixelBuffer& dst, const PixelBuffer& src, int32_t x, int32_t y,
                      BlitParams* params, const Rect* srcRect, const Size* dstSize, const Rect* clip);

// The source column (or row) that destination offset i of an unclipped span
// reads: start + i x q + max(0, floor(((i + 1) x r - 1) / span)).
inline int64_t StretchSourceIndex(int64_t start, int64_t i, int64_t quotient, int64_t remainder,
                                  int64_t span) {
  const int64_t n = (i + 1) * remainder - 1;
  return start + i * quotient + (n > 0 ? n / span : 0);
}

}  // namespace pixelops
