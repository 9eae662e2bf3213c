// The two-level blend, its keyed form, the alpha from a mask, the colour copy
// keeping alpha and the pattern blit:
//   - a cross-fade in five steps (a = 0, 64, 128, 192, 255 with b = 255 - a),
//     then a darkening pair (a + b < 255) and a wrapping one (a + b > 255);
//   - a strip of keyed digit glyphs at falling source levels (b = 0);
//   - a picture whose alpha comes from a round mask through three ramps;
//   - an alpha sprite recoloured from a striped picture, its alpha kept;
//   - a checkerboard and an ordered-dither pattern blit, one to one and stretched.
#include <cmath>
#include <cstring>

#include "showcase/showcase.h"

namespace pixelops {

namespace {

using F = PixelFormat;

void Set(DDSurface& s, int32_t x, int32_t y, uint32_t colour, uint32_t alpha = 255) {
  const uint32_t v = ColourToPixel(s.Format(), colour, alpha);
  const PixelBuffer& b = s.Buffer();
  std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * BytesPerPixel(s.Format()), &v,
              BytesPerPixel(s.Format()));
}

// The sprite stretched over a whole w x h picture of the same format.
std::unique_ptr<DDSurface> Picture(Showcase& show, F format, int32_t w, int32_t h) {
  auto sprite = show.Sprite(format, 96, 96);
  auto picture = DDSurface::Make(w, h, format);
  const Size size{w, h};
  picture->Blt(sprite.get(), 0, 0, nullptr, &size, nullptr);
  return picture;
}

// Ten seven-segment digits, 12 x 20 each, white on the key colour (magenta).
std::unique_ptr<DDSurface> DigitStrip(F format) {
  constexpr uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  auto strip = DDSurface::Make(120, 20, format);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 120; ++x) {
      const int32_t digit = x / 12, u = x % 12, v = y;
      const uint8_t seg = kSegments[digit];
      const bool top = v <= 2 && u >= 2 && u <= 9, mid = v >= 9 && v <= 10 && u >= 2 && u <= 9;
      const bool bottom = v >= 17 && u >= 2 && u <= 9;
      const bool left = u >= 1 && u <= 2, right = u >= 9 && u <= 10;
      const bool upper = v >= 1 && v <= 10, lower = v >= 9 && v <= 18;
      const bool on = ((seg & 0x01) && top) || ((seg & 0x02) && right && upper) ||
                      ((seg & 0x04) && right && lower) || ((seg & 0x08) && bottom) ||
                      ((seg & 0x10) && left && lower) || ((seg & 0x20) && left && upper) ||
                      ((seg & 0x40) && mid);
      Set(*strip, x, y, on ? 0x00F0F0FF : 0x00FF00FF);
    }
  strip->SetColorKey(0x00FF00FF);
  return strip;
}

void CrossFade(Showcase& show, F format) {
  auto dst = show.Backdrop(format);
  auto picture = Picture(show, format, 320, 240);
  constexpr int32_t kLevels[5] = {0, 64, 128, 192, 255};
  for (int32_t i = 0; i < 5; ++i) {
    const Rect strip{i * 64, 0, i * 64 + 64, 160};
    dst->BltBlend(picture.get(), i * 64, 0, kLevels[i], 255 - kLevels[i], &strip, nullptr, nullptr);
  }
  const Rect darker{0, 160, 160, 240}, brighter{160, 160, 320, 240};
  dst->BltBlend(picture.get(), 0, 160, 128, 64, &darker, nullptr, nullptr);
  dst->BltBlend(picture.get(), 160, 160, 200, 200, &brighter, nullptr, nullptr);
  show.Save(std::string("translucent_more_crossfade_") + PixelFormatName(format), *dst,
            {"BltBlend", Onto(format, format),
             "top: five strips with source level a = 0, 64, 128, 192, 255 and destination "
             "level b = 255 - a; bottom left a = 128, b = 64 (darker); bottom right a = b = 200 "
             "(sums past 255 wrap)"});
}

void GlyphStrip(Showcase& show, F format) {
  auto dst = show.Backdrop(format);
  auto strip = DigitStrip(format);
  for (int32_t i = 0; i < 4; ++i)
    dst->BltBlendKey(strip.get(), 10, 10 + i * 28, 255 - i * 64, 0, nullptr, nullptr, nullptr);
  const Size big{240, 60};
  dst->BltBlendKey(strip.get(), 10, 130, 200, 0, nullptr, &big, nullptr);
  const Rect clip{0, 200, 320, 232};
  dst->BltBlendKey(strip.get(), 140, 196, 255, 128, nullptr, nullptr, &clip);
  show.Save(std::string("translucent_more_glyphs_") + PixelFormatName(format), *dst,
            {"BltBlendKey", Onto(format, format),
             "a strip of keyed digits at a = 255, 191, 127, 63 with b = 0; stretched to "
             "240 x 60 at a = 200, b = 0; at a = 255, b = 128 cut by the clip "
             "(0, 200)-(320, 232)"});
}

void MaskedPicture(Showcase& show, F format, F maskFormat) {
  auto dst = show.Backdrop(format == F::Rgb565A ? F::Rgb565 : F::Bgrx32);
  auto mask = DDSurface::Make(96, 96, maskFormat);
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 96; ++x) {
      const double d = std::hypot(x - 47.5, y - 47.5) / 48.0;
      const uint32_t blue = static_cast<uint32_t>(255 * std::max(0.0, 1.0 - d));
      Set(*mask, x, y, (blue << 16) | 0x4020);
    }
  struct Ramp {
    int32_t lo, hi, a, b;
  };
  const Ramp ramps[] = {{0, 255, 0, 255}, {100, 100, 0, 255}, {0, 160, 255, 40}};
  for (int32_t i = 0; i < 3; ++i) {
    auto picture = show.Backdrop(format, 96, 96);
    for (int32_t y = 0; y < 96; ++y)  // diagonal stripes
      for (int32_t x = 0; x < 96; ++x)
        if ((x + y) / 8 % 2) Set(*picture, x, y, 0x002060E0);
    picture->AlphaFromMaskRamp(mask.get(), ramps[i].lo, ramps[i].hi, ramps[i].a, ramps[i].b, 0, 0, nullptr,
                               nullptr, nullptr);
    dst->BltAlpha(picture.get(), 8 + i * 104, 20, 255, nullptr, nullptr, nullptr);
  }
  // The mask's right half only, through the rectangle form.
  auto picture = show.Backdrop(format, 96, 96);
  const Rect half{48, 0, 96, 96};
  picture->AlphaFromMaskRect(mask.get(), 0, 255, 0, 255, &half);
  const Size big{300, 100};
  dst->BltAlpha(picture.get(), 10, 130, 255, nullptr, &big, nullptr);
  show.Save(std::string("translucent_more_masked_") + PixelFormatName(format), *dst,
            {"AlphaFromMaskRamp, AlphaFromMaskRect, then BltAlpha",
             std::string("mask ") + PixelFormatName(maskFormat) + " into " + PixelFormatName(format) +
                 ", shown on " + PixelFormatName(format == F::Rgb565A ? F::Rgb565 : F::Bgrx32),
             "a round mask's blue channel through the ramps (lo, hi, a, b) = (0, 255, 0, 255), "
             "(100, 100, 0, 255) and (0, 160, 255, 40) into a striped picture's alpha; "
             "below, the mask's right half through the rectangle form, stretched to 300 x 100"});
}

void Recoloured(Showcase& show, F format) {
  auto dst = show.Backdrop(format == F::Rgb565A ? F::Rgb565 : F::Bgrx32);
  auto sprite = show.Sprite(format, 96, 96);
  dst->BltAlpha(sprite.get(), 10, 20, 255, nullptr, nullptr, nullptr);
  auto stripes = DDSurface::Make(96, 96, format);
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 96; ++x)
      Set(*stripes, x, y, (y / 12) % 2 ? 0x00C03010 : 0x0020C0F0, (x * 7) & 255);
  sprite->BltColorKeepAlpha(stripes.get(), 0, 0, nullptr, nullptr, nullptr);
  dst->BltAlpha(sprite.get(), 116, 20, 255, nullptr, nullptr, nullptr);
  // A stretched recolouring of a fresh sprite: the stripes widen, the disc stays.
  auto fresh = show.Sprite(format, 96, 96);
  const Rect corner{0, 0, 48, 48};
  const Size whole{96, 96};
  fresh->BltColorKeepAlpha(stripes.get(), 0, 0, &corner, &whole, nullptr);
  dst->BltAlpha(fresh.get(), 220, 20, 255, nullptr, nullptr, nullptr);
  show.Save(std::string("translucent_more_recoloured_") + PixelFormatName(format), *dst,
            {"BltColorKeepAlpha, then BltAlpha", Onto(format, format),
             "left: the sprite as it is; middle: its colour replaced by stripes, its alpha "
             "kept; right: the stripes' top-left quarter stretched over a fresh sprite"});
}

void Patterns(Showcase& show, F src, F dstFormat) {
  uint8_t checker[256], dither[256];
  constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t row = i / 16, col = i % 16;
    checker[i] = ((row / 2 + col / 2) % 2) ? 255 : 0;
    dither[i] = static_cast<uint8_t>(kBayer[row % 4][col % 4] * 16 + 8);
  }
  auto dst = show.Backdrop(dstFormat);
  auto picture = Picture(show, src, 150, 110);
  dst->BltPattern(picture.get(), 5, 5, checker, nullptr, nullptr, nullptr);
  dst->BltPattern(picture.get(), 165, 5, dither, nullptr, nullptr, nullptr);
  const Size big{150, 110};
  const Rect part{40, 30, 90, 70};
  dst->BltPattern(picture.get(), 5, 125, checker, &part, &big, nullptr);
  dst->BltPattern(picture.get(), 165, 125, dither, &part, &big, nullptr);
  show.Save(
      std::string("translucent_more_pattern_") + PixelFormatName(src) + "_onto_" + PixelFormatName(dstFormat),
      *dst,
      {"BltPattern", Onto(src, dstFormat),
       "a 150 x 110 picture through a 2 x 2 checkerboard pattern (0 / 255) and a 4 x 4 "
       "ordered-dither pattern (8 .. 248); below, its rectangle (40, 30)-(90, 70) "
       "stretched to 150 x 110 through the same patterns"});
}

Scene scene("translucent_more", [](Showcase& show) {
  for (F f : {F::Rgb565, F::Bgrx32}) {
    CrossFade(show, f);
    GlyphStrip(show, f);
    Patterns(show, f, f);
  }
  Patterns(show, F::Bgra32, F::Bgrx32);
  Patterns(show, F::Rgb565A, F::Rgb565);
  MaskedPicture(show, F::Bgra32, F::Bgrx32);
  MaskedPicture(show, F::Rgb565A, F::Rgb565);
  Recoloured(show, F::Bgra32);
  Recoloured(show, F::Rgb565A);
});

}  // namespace

}  // namespace pixelops
