// Pixel formats, pixel buffers, rectangles and drawing results shared by the
// surfaces and every pixel routine.
#pragma once

#include <cstdint>

namespace pixelops {

// Format codes as surfaces report them. Code 9 is not assigned.
enum class PixelFormat : int32_t {
  Index8 = 2,
  Rgb565 = 3,
  Rgb555 = 4,
  Bgr24 = 5,
  Rgb24 = 6,
  Bgrx32 = 7,
  Rgbx32 = 8,
  Rgb565A = 10,
  Rgb555A = 11,
  Bgra32 = 12,
  Rgba32 = 13,
};

// Bytes per pixel of a format; 0 for codes that are not formats.
constexpr int32_t BytesPerPixel(PixelFormat f) {
  switch (f) {
    case PixelFormat::Index8: return 1;
    case PixelFormat::Rgb565:
    case PixelFormat::Rgb555: return 2;
    case PixelFormat::Bgr24:
    case PixelFormat::Rgb24: return 3;
    case PixelFormat::Bgrx32:
    case PixelFormat::Rgbx32:
    case PixelFormat::Rgb565A:
    case PixelFormat::Rgb555A:
    case PixelFormat::Bgra32:
    case PixelFormat::Rgba32: return 4;
  }
  return 0;
}

constexpr bool IsAlphaFormat(PixelFormat f) {
  return f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A || f == PixelFormat::Bgra32 ||
         f == PixelFormat::Rgba32;
}

const char* PixelFormatName(PixelFormat f);

// Left and top inclusive, right and bottom exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
};

// An (x, y) or (u, v) vertex of a polygon.
struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

// Describes the pixel memory of a surface. kind != 0: the memory belongs to the
// surface itself; 0: it is lent by the platform layer and valid only while locked.
struct PixelBuffer {
  uint8_t kind = 0;
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  Rect bounds;
};

// Result of every drawing operation.
enum BlitResult : int32_t {
  kBlitDone = 0,           // also when clipping left nothing to draw
  kBlitLockRefused = 1,    // a surface could not be locked (or no source)
  kBlitPairNotServed = 2,  // the pair of pixel formats has no routine
  kBlitNotAlphaFormat = 3,
};

}  // namespace pixelops
