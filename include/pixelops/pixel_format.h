// Pixel formats, pixel buffers, rectangles and drawing results shared by the
// surfaces and every pixel routine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

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

// What kind of pixel a format has.
enum class FormatKind : uint8_t {
  Index,         // one palette index byte
  Word16,        // a 16-bit colour word
  Word16Alpha,   // a 16-bit colour word, an alpha level 0..15 byte, a pad byte
  Bytes24,       // three colour bytes
  Bytes32X,      // three colour bytes and an X byte
  Bytes32Alpha,  // three colour bytes and an alpha byte
};

// Everything the library knows of one format, written once: the format
// switches, the pixel traits of the routines and the pair sets are read from
// these descriptions.
struct FormatDescription {
  PixelFormat code;
  const char* name;
  int32_t bytes;  // bytes per pixel
  FormatKind kind;
  // The format a surface gets when it is created with alpha on a display of
  // this format (an alpha format is its own counterpart).
  PixelFormat alphaCounterpart;
  // Byte positions of the channels in 24- and 32-bit pixels, -1 in the others.
  int8_t red, green, blue;
  // The byte holding the alpha (level) or X, -1 where there is none.
  int8_t alphaByte;
  // 16-bit colour words: 5-6-5 (true) or 5-5-5 bits.
  bool is565;

  constexpr bool HasAlpha() const {
    return kind == FormatKind::Word16Alpha || kind == FormatKind::Bytes32Alpha;
  }
  constexpr bool IsWord() const { return kind == FormatKind::Word16 || kind == FormatKind::Word16Alpha; }
};

namespace formats {

using F = PixelFormat;
using K = FormatKind;

// clang-format off
inline constexpr FormatDescription kDescriptions[] = {
    // code, name, bytes, kind, with alpha, red, green, blue, alpha or X, 565
    {F::Index8,  "Index8",  1, K::Index,        F::Bgra32,  -1, -1, -1, -1, false},
    {F::Rgb565,  "Rgb565",  2, K::Word16,       F::Rgb565A, -1, -1, -1, -1, true},
    {F::Rgb555,  "Rgb555",  2, K::Word16,       F::Rgb555A, -1, -1, -1, -1, false},
    {F::Bgr24,   "Bgr24",   3, K::Bytes24,      F::Bgra32,   2,  1,  0, -1, false},
    {F::Rgb24,   "Rgb24",   3, K::Bytes24,      F::Rgba32,   0,  1,  2, -1, false},
    {F::Bgrx32,  "Bgrx32",  4, K::Bytes32X,     F::Bgra32,   2,  1,  0,  3, false},
    {F::Rgbx32,  "Rgbx32",  4, K::Bytes32X,     F::Rgba32,   0,  1,  2,  3, false},
    {F::Rgb565A, "Rgb565A", 4, K::Word16Alpha,  F::Rgb565A, -1, -1, -1,  2, true},
    {F::Rgb555A, "Rgb555A", 4, K::Word16Alpha,  F::Rgb555A, -1, -1, -1,  2, false},
    {F::Bgra32,  "Bgra32",  4, K::Bytes32Alpha, F::Bgra32,   2,  1,  0,  3, false},
    {F::Rgba32,  "Rgba32",  4, K::Bytes32Alpha, F::Rgba32,   0,  1,  2,  3, false},
};
// clang-format on

inline constexpr int32_t kCodeLimit = 14;  // codes are below this

// The index of each code's description, -1 for codes that are not formats.
inline constexpr auto kIndexOfCode = [] {
  struct Indexes {
    int8_t at[kCodeLimit];
  } r{};
  for (int8_t& i : r.at) i = -1;
  for (int8_t i = 0; i < static_cast<int8_t>(std::size(kDescriptions)); ++i) {
    r.at[static_cast<int32_t>(kDescriptions[i].code)] = i;
  }
  return r;
}();

}  // namespace formats

// The index of a format's description in formats::kDescriptions; -1 for codes
// that are not formats.
constexpr int32_t FormatIndex(PixelFormat f) {
  const int32_t code = static_cast<int32_t>(f);
  return code < 0 || code >= formats::kCodeLimit ? -1 : formats::kIndexOfCode.at[code];
}

// The description of a format; null for codes that are not formats.
constexpr const FormatDescription* DescribeFormat(PixelFormat f) {
  const int32_t i = FormatIndex(f);
  return i < 0 ? nullptr : &formats::kDescriptions[i];
}

// Every format, in the order of their codes.
inline constexpr auto kAllPixelFormats = [] {
  std::array<PixelFormat, std::size(formats::kDescriptions)> all{};
  for (size_t i = 0; i < all.size(); ++i) all[i] = formats::kDescriptions[i].code;
  return all;
}();

// Bytes per pixel of a format; 0 for codes that are not formats.
constexpr int32_t BytesPerPixel(PixelFormat f) {
  const int32_t i = FormatIndex(f);
  return i < 0 ? 0 : formats::kDescriptions[i].bytes;
}

constexpr bool IsAlphaFormat(PixelFormat f) {
  const int32_t i = FormatIndex(f);
  return i >= 0 && formats::kDescriptions[i].HasAlpha();
}

// "unknown" for codes that are not formats.
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

// Describes the pixel memory of a surface. kind != 0: direct memory, the
// surface's own or the caller's (DDSurface::Wrap), always at pixels; 0: lent
// by the platform layer and valid only while locked.
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
