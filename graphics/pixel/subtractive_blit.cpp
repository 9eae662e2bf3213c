// Subtractive blits: the source taken off the destination channel by channel,
// held at black. BltSub as it is, BltSubKey skipping the source's colour key,
// BltSubLevel with the source first scaled by a level, BltSubLevelKey both; a
// level of 255 is the unlevelled operation. The same rules as the additive
// blits with the subtract in place of the add, except that Rgba32 onto Rgbx32
// writes 0 into the destination's byte 3 where Bgra32 onto Bgrx32 keeps it.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/saturating_rules.h"

namespace {

using namespace saturating;

template <class Source, bool kKeyed, class V>
struct SubTable {
  using R = Rules<SubOp, Source>;
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
      L::template Of<px::Rgba32, px::Rgbx32, R::template AlphaBytesClearX>(),
  };
};

template <class Source, bool kKeyed, class V>
BlitResult Run(DDSurface& dst, DDSurface* src, const V& values, const Placement& at) {
  return RunBlend(dst, src, SubTable<Source, kKeyed, V>::kPairs, values, at);
}

}  // namespace

BlitResult DDSurface::BltSub(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                             const Size* dstSize, const Rect* clip) {
  return Run<AsIs, false>(*this, src, Plain{}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltSubKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip) {
  return Run<AsIs, true>(*this, src, Keyed{}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltSubLevel(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                  const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
  if (lv == 255) return BltSub(src, x, y, srcRect, dstSize, clip);
  return Run<Scaled, false>(*this, src, Levelled{lv}, Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltSubLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                     const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
  if (lv == 255) return BltSubKey(src, x, y, srcRect, dstSize, clip);
  return Run<Scaled, true>(*this, src, LevelledKeyed{lv, 0},
                           Placement{x, y, srcRect, dstSize, clip});
}
