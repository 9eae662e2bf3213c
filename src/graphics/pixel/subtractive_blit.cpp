// Subtractive blits: the source taken off the destination channel by channel,
// held at black. BltSub as it is, BltSubKey skipping the source's colour key,
// BltSubLevel with the source first scaled by a level, BltSubLevelKey both; a
// level of 255 is the unlevelled operation. The same rules as the additive
// blits with the subtract in place of the add, except that Rgba32 onto Rgbx32
// writes 0 into the destination's byte 3 where Bgra32 onto Bgrx32 keeps it.
#include "graphics/pixel/saturating_rules.h"

namespace pixelops {

namespace {
using Ops = saturating::Operation<SubOp>;
}  // namespace

BlitResult DDSurface::BltSub(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip) {
  return Ops::Plain(*this, src, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltSubKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip) {
  return Ops::Keyed(*this, src, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltSubLevel(DDSurface* src, int32_t x, int32_t y, int32_t level, const Rect* srcRect,
                                  const Size* dstSize, const Rect* clip) {
  return Ops::Level(*this, src, level, Placement{x, y, srcRect, dstSize, clip}, &DDSurface::BltSub);
}

BlitResult DDSurface::BltSubLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level, const Rect* srcRect,
                                     const Size* dstSize, const Rect* clip) {
  return Ops::LevelKey(*this, src, level, Placement{x, y, srcRect, dstSize, clip}, &DDSurface::BltSubKey);
}

}  // namespace pixelops
