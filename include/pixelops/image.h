// The picture interface that scenes draw with. Each drawing operation names a
// source image and where it lands; the destination is the image it is called on.
#pragma once

#include <cstdint>

#include <pixelops/pixel_format.h>

namespace pixelops {

class DDSurface;

class Image {
 public:
  virtual ~Image() = default;

  virtual DDSurface* AsDDSurface() { return nullptr; }

  // Makes the image width x height, in the display's format, or with an alpha
  // channel. 0 on success, 1 on failure.
  virtual int32_t Create(int32_t width, int32_t height, bool alpha) = 0;
  virtual void GetSize(int32_t* width, int32_t* height) const = 0;
  virtual uint8_t HasAlpha() const = 0;

  // Copies a source image (or its source rectangle, stretched to the
  // destination size) with its top-left corner at (x, y).
  virtual BlitResult Blt(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
  // Fills the rectangle (none: the whole image) with the image's fill colour.
  virtual BlitResult FillRect(const Rect* rect = nullptr) = 0;

  // Plain draw: sources with alpha are blended by their alpha, others copied
  // with their colour key.
  BlitResult Draw(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                  const Size* dstSize = nullptr, const Rect* clip = nullptr);
  // Draw at an opacity; 255 and above draws through Draw.
  BlitResult DrawTranslucent(Image* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect = nullptr,
                             const Size* dstSize = nullptr, const Rect* clip = nullptr);

  // The draws that the two above choose between, and their companions.
  virtual BlitResult DrawKeyed(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                               const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawKeyedTranslucent(Image* src, int32_t x, int32_t y, int32_t opacity,
                                          const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                          const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawAlphaBlend(Image* src, int32_t x, int32_t y, int32_t opacity,
                                    const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                    const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawAlphaOpacity(Image* src, int32_t x, int32_t y, int32_t opacity,
                                      const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                      const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawAlphaLevel(Image* src, int32_t x, int32_t y, int32_t opacity) = 0;
  virtual BlitResult DrawAlphaChannel(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                                      const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawWeighted(Image* src, int32_t x, int32_t y, int32_t weight,
                                  const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                  const Rect* clip = nullptr) = 0;
  virtual BlitResult DrawWeightedKeyed(Image* src, int32_t x, int32_t y, int32_t weight,
                                       const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                       const Rect* clip = nullptr) = 0;
};

}  // namespace pixelops
