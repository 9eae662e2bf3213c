// Additive blits: the source added onto the destination channel by channel,
// saturating at white. BltAdd as it is, BltAddKey skipping the source's colour
// key, BltAddLevel with the source first scaled by a level, BltAddLevelKey
// both; a level of 255 is the unlevelled operation.
//
// Alpha sources onto their colour format are weighted by their own alpha in
// BltAdd / BltAddKey. Under a level, 32-bit alpha sources are weighted by the
// level alone, while Rgb565A / Rgb555A sources are weighted by the level and
// then by their alpha.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/saturating_rules.h"

namespace {

using namespace saturating;

template <class Source, bool kKeyed, class V>
struct AddTable {
  using R = Rules<AddOp, Source>;
  using L = Line<kKeyed, V>;
  static constexpr PairEntry<V> kPairs[] = {
      L::template Of<px::Rgb565, px::Rgb565, R::template Word16>(),
      L::template Of<px::Rgb555, px::Rgb555, R::template Word16>(),
      L::template Of<px::Bgr24, px::Bgr24, R::template Bytes>(),
      L::template Of<px::Rgb24, px::Rgb24, R::template Bytes>(),
      L::template Of<px::Bgrx32, px::Bgrx32, R::template Bytes>(),
      L::template Of<px::Rgbx32, px::Rgbx32, R::template Bytes>(),
      L::template Of<px::Rgb565A, px::Rgb565A, R::template AlphaWords>(),
      L::template Of<px::Rgb555A, px::Rgb555A, R::template AlphaWords>(),
      L::template Of<px::Bgra32, px::Bgra32, R::template OpaqueBytes>(),
      L::template Of<px::Rgba32, px::Rgba32, R::template OpaqueBytes>(),
      L::template Of<px::Rgb565A, px::Rgb565, R::template AlphaLevelWord>(),
      L::template Of<px::Rgb555A, px::Rgb555, R::template AlphaLevelWord>(),
      L::template Of<px::Bgra32, px::Bgr24, R::template AlphaBytes>(),
      L::template Of<px::Rgba32, px::Rgb24, R::template AlphaBytes>(),
      L::template Of<px::Bgra32, px::Bgrx32, R::template AlphaBytes>(),
      L::template Of<px::Rgba32, px::Rgbx32, R::template AlphaBytes>(),
  };
};

template <class Source, bool kKeyed, class V>
BlitResult Run(DDSurface& dst, DDSurface* src, const V& values, const Placement& at) {
  return RunBlend(dst, src, AddTable<Source, kKeyed, V>::kPairs, values, at);
}

}  // namespace

BlitResult DDSurface::BltAdd(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                             const Size* dstSize, const Rect* clip) {
  return Run<AsIs, false>(*this, src, Plain{}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAddKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip) {
  return Run<AsIs, true>(*this, src, Keyed{}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAddLevel(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                  const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
  if (lv == 255) return BltAdd(src, x, y, srcRect, dstSize, clip);
  return Run<Scaled, false>(*this, src, Levelled{lv}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltAddLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                     const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
  if (lv == 255) return BltAddKey(src, x, y, srcRect, dstSize, clip);
  return Run<Scaled, true>(*this, src, LevelledKeyed{lv, 0},
                           Placement{x, y, srcRect, dstSize, clip});
}
