#include <pixelops/image.h>

namespace pixelops {

BlitResult Image::Draw(Image* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                       const Rect* clip) {
  if (src == nullptr) return kBlitLockRefused;
  if (src->HasAlpha() != 0) return DrawAlphaChannel(src, x, y, srcRect, dstSize, clip);
  return DrawKeyed(src, x, y, srcRect, dstSize, clip);
}

BlitResult Image::DrawTranslucent(Image* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect,
                                  const Size* dstSize, const Rect* clip) {
  if (opacity >= 255) return Draw(src, x, y, srcRect, dstSize, clip);
  if (src == nullptr) return kBlitLockRefused;
  if (src->HasAlpha() != 0) return DrawAlphaOpacity(src, x, y, opacity, srcRect, dstSize, clip);
  return DrawKeyedTranslucent(src, x, y, opacity, srcRect, dstSize, clip);
}

}  // namespace pixelops
