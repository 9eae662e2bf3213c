#include "graphics/blit_clip.h"

#include <algorithm>

namespace pixelops {

namespace {

// One axis of a blit, in 64 bits so that no placement can overflow.
struct Axis {
  int64_t srcStart, srcEnd;  // source rectangle edges
  int64_t dstStart, dstEnd;  // destination rectangle edges
  int64_t clipStart, clipEnd;
  int64_t srcSpan, dstSpan;
};

int64_t SourceIndex(const Axis& a, bool oneToOne, int64_t i) {
  if (oneToOne) return a.srcStart + i;
  return StretchSourceIndex(a.srcStart, i, a.srcSpan / a.dstSpan, a.srcSpan % a.dstSpan, a.dstSpan);
}

// First destination offset in [0, dstSpan) whose source index exceeds limit
// (dstSpan when none does); source indexes grow with the offset.
int64_t FirstAbove(const Axis& a, bool oneToOne, int64_t limit) {
  int64_t lo = 0, hi = a.dstSpan;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (SourceIndex(a, oneToOne, mid) > limit) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

// Narrows the clip to the destination pixels whose source pixel lies within
// [lo, hi). False when none does.
bool KeepSourceInside(Axis& a, bool oneToOne, int64_t lo, int64_t hi) {
  if (a.srcStart >= lo && a.srcEnd <= hi) return true;
  const int64_t first = FirstAbove(a, oneToOne, lo - 1);
  const int64_t end = FirstAbove(a, oneToOne, hi - 1);
  if (first >= end) return false;
  a.clipStart = std::max(a.clipStart, a.dstStart + first);
  a.clipEnd = std::min(a.clipEnd, a.dstStart + end);
  return true;
}

void ClipOneToOne(Axis& a) {
  if (a.clipStart > a.dstStart) {
    a.srcStart += a.clipStart - a.dstStart;
    a.dstStart = a.clipStart;
  }
  if (a.dstEnd > a.clipEnd) {
    a.srcEnd -= a.dstEnd - a.clipEnd;
    a.dstEnd = a.clipEnd;
  }
}

// Clips the start of a stretched axis and answers the error start. The first
// source index is advanced so that every destination pixel inside the clip
// reads the same source pixel as in the unclipped blit.
int64_t ClipStretched(Axis& a) {
  int64_t error = -a.dstSpan;
  if (a.clipStart > a.dstStart) {
    error += (a.clipStart - a.dstStart) * a.srcSpan;
    if (error >= 0) {
      const int64_t q = error / a.dstSpan;
      a.srcStart += q + 1;
      error -= (q + 1) * a.dstSpan;
    }
    a.dstStart = a.clipStart;
  }
  a.dstEnd = std::min(a.dstEnd, a.clipEnd);
  return error - 1;
}

bool InRange(int32_t v) { return v >= -kMaxRectCoord && v <= kMaxRectCoord; }

}  // namespace

int32_t ClipBlitRects(const PixelBuffer& dst, const PixelBuffer& src, int32_t x, int32_t y,
                      BlitParams* params, const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  const Rect s = srcRect ? *srcRect : src.bounds;
  if (!InRange(s.left) || !InRange(s.top) || !InRange(s.right) || !InRange(s.bottom)) return 1;
  const Rect q = clip ? *clip : dst.bounds;

  Axis ax, ay;
  ax.srcStart = s.left;
  ax.srcEnd = s.right;
  ay.srcStart = s.top;
  ay.srcEnd = s.bottom;
  ax.srcSpan = ax.srcEnd - ax.srcStart;
  ay.srcSpan = ay.srcEnd - ay.srcStart;
  ax.dstSpan = dstSize ? dstSize->width : ax.srcSpan;
  ay.dstSpan = dstSize ? dstSize->height : ay.srcSpan;
  ax.dstStart = x;
  ay.dstStart = y;
  ax.dstEnd = ax.dstStart + ax.dstSpan;
  ay.dstEnd = ay.dstStart + ay.dstSpan;
  ax.clipStart = std::max(q.left, dst.bounds.left);
  ax.clipEnd = std::min(q.right, dst.bounds.right);
  ay.clipStart = std::max(q.top, dst.bounds.top);
  ay.clipEnd = std::min(q.bottom, dst.bounds.bottom);

  if (ax.srcSpan <= 0 || ay.srcSpan <= 0 || ax.dstSpan <= 0 || ay.dstSpan <= 0) return 1;
  const bool oneToOne = ax.dstSpan == ax.srcSpan && ay.dstSpan == ay.srcSpan;
  if (!KeepSourceInside(ax, oneToOne, src.bounds.left, src.bounds.right) ||
      !KeepSourceInside(ay, oneToOne, src.bounds.top, src.bounds.bottom)) {
    return 1;
  }

  BlitParams p;
  if (oneToOne) {
    p.oneToOne = 1;
    ClipOneToOne(ax);
    ClipOneToOne(ay);
    if (ax.srcStart >= ax.srcEnd || ay.srcStart >= ay.srcEnd) return 1;
  } else {
    p.oneToOne = 0;
    const int64_t xError = ClipStretched(ax);
    const int64_t yError = ClipStretched(ay);
    if (ax.srcStart >= ax.srcEnd || ay.srcStart >= ay.srcEnd || ax.dstStart >= ax.dstEnd ||
        ay.dstStart >= ay.dstEnd) {
      return 1;
    }
    p.xError = static_cast<int32_t>(xError);
    p.xRemainder = static_cast<int32_t>(ax.srcSpan % ax.dstSpan);
    p.xSpan = static_cast<int32_t>(ax.dstSpan);
    p.xQuotient = static_cast<int32_t>(ax.srcSpan / ax.dstSpan);
    p.yError = static_cast<int32_t>(yError);
    p.yRemainder = static_cast<int32_t>(ay.srcSpan % ay.dstSpan);
    p.ySpan = static_cast<int32_t>(ay.dstSpan);
    p.yQuotient = static_cast<int32_t>(ay.srcSpan / ay.dstSpan);
  }
  p.src = Rect{static_cast<int32_t>(ax.srcStart), static_cast<int32_t>(ay.srcStart),
               static_cast<int32_t>(ax.srcEnd), static_cast<int32_t>(ay.srcEnd)};
  p.dst = Rect{static_cast<int32_t>(ax.dstStart), static_cast<int32_t>(ay.dstStart),
               static_cast<int32_t>(ax.dstEnd), static_cast<int32_t>(ay.dstEnd)};
  p.clip = Rect{static_cast<int32_t>(ax.clipStart), static_cast<int32_t>(ay.clipStart),
                static_cast<int32_t>(ax.clipEnd), static_cast<int32_t>(ay.clipEnd)};
  *params = p;
  return 0;
}

}  // namespace pixelops
