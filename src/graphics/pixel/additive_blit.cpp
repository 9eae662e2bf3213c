// Additive blits: the source added onto the destination channel by channel,
// saturating at white. BltAdd as it is, BltAddKey skipping the source's colour
// key, BltAddLevel with the source first scaled by a level, BltAddLevelKey
// both; a level of 255 is the unlevelled operation.
//
// Alpha sources onto their colour format are weighted by their own alpha in
// BltAdd / BltAddKey. Under a level, 32-bit alpha sources are weighted by the
// level alone, while Rgb565A / Rgb555A sources are weighted by the level and
// then by their alpha.
#include "graphics/pixel/saturating_rules.h"

namespace pixelops {

namespace {
using Ops = saturating::Operation<AddOp>;
}  // namespace

BlitResult DDSurface::BltAdd(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip) {
  return Ops::Plain(*this, src, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAddKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip) {
  return Ops::Keyed(*this, src, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAddLevel(DDSurface* src, int32_t x, int32_t y, int32_t level, const Rect* srcRect,
                                  const Size* dstSize, const Rect* clip) {
  return Ops::Level(*this, src, level, Placement{x, y, srcRect, dstSize, clip}, &DDSurface::BltAdd);
}

BlitResult DDSurface::BltAddLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level, const Rect* srcRect,
                                     const Size* dstSize, const Rect* clip) {
  return Ops::LevelKey(*this, src, level, Placement{x, y, srcRect, dstSize, clip}, &DDSurface::BltAddKey);
}

}  // namespace pixelops
