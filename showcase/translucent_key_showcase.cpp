// The keyed translucent blit: a sprite fading in on every served pair, its key
// colour left out at every opacity. The alpha-channel blit: an alpha picture
// over each colour format, and composited onto an alpha layer that is then
// shown over a backdrop.
#include <cstring>

#include "showcase/showcase.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kKeyedPairs = format_pairs::kBlend;

// Each alpha format with the colour format it is shown over.
constexpr auto& kAlphaOntoColour = format_pairs::kAlphaOntoColour;

std::string Name(const char* op, const Pair& p) {
  return std::string(op) + "_" + PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst);
}

// Sets the alpha of every pixel of an alpha surface: opaque on the left, fading
// to clear on the right, with a clear band across the middle.
void FadeAlpha(DDSurface& s) {
  const PixelBuffer& b = s.Buffer();
  const bool levels = s.Format() == PixelFormat::Rgb565A || s.Format() == PixelFormat::Rgb555A;
  for (int32_t y = 0; y < b.bounds.bottom; ++y) {
    for (int32_t x = 0; x < b.bounds.right; ++x) {
      uint32_t a = 255 - 255 * x / (b.bounds.right - 1);
      if (y >= b.bounds.bottom * 2 / 5 && y < b.bounds.bottom * 3 / 5) a = 0;
      uint8_t* p = b.pixels + int64_t{y} * b.pitch + int64_t{x} * 4;
      if (levels) p[2] = static_cast<uint8_t>(a >> 4);
      else p[3] = static_cast<uint8_t>(a);
    }
  }
}

Scene keyed("translucent_key", [](Showcase& show) {
  for (const Pair& p : kKeyedPairs) {
    auto dst = show.Backdrop(p.dst);
    auto sprite = show.Sprite(p.src, 48, 48);
    const int32_t opacities[6] = {24, 64, 112, 160, 208, 255};
    for (int i = 0; i < 6; ++i)
      dst->BltTranslucentKey(sprite.get(), 6 + i * 52, 10, opacities[i], nullptr, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
      const Size grown{64 + 24 * i, 64 + 24 * i};
      dst->BltTranslucentKey(sprite.get(), 8 + i * 96, 80, 96 + 64 * i, nullptr, &grown, nullptr);
    }
    show.Save(Name("translucent_key", p), *dst,
              {"BltTranslucentKey", Onto(p.src, p.dst),
               "a 48 x 48 sprite at opacity 24, 64, 112, 160, 208, 255, then stretched to 64, "
               "88 and 112 square at opacity 96, 160, 224; the magenta key colour is skipped"});
  }
});

Scene alphaChannel("alpha_channel", [](Showcase& show) {
  for (const Pair& p : kAlphaOntoColour) {
    auto dst = show.Backdrop(p.dst);
    auto sprite = show.Sprite(p.src, 96, 96);
    dst->BltAlphaChannel(sprite.get(), 10, 10, nullptr, nullptr, nullptr);
    const Size grown{180, 130};
    dst->BltAlphaChannel(sprite.get(), 120, 100, nullptr, &grown, nullptr);
    const Rect half{0, 0, 48, 96};
    dst->BltAlphaChannel(sprite.get(), 10, 130, &half, nullptr, nullptr);
    show.Save(Name("alpha_channel", p), *dst,
              {"BltAlphaChannel", Onto(p.src, p.dst),
               "a 96 x 96 sprite blended by its own alpha (edge fading out): one to one, "
               "stretched to 180 x 130, and its left half (source rectangle (0, 0)-(48, 96))"});
  }
  // Source over: sprites composited onto a layer whose own alpha fades out to
  // the right (and is clear across the middle), then the layer over a backdrop.
  for (const Pair& p : kAlphaOntoColour) {
    if (p.dst == PixelFormat::Bgrx32 || p.dst == PixelFormat::Rgbx32) continue;
    auto layer = DDSurface::Make(280, 200, p.src);
    layer->SetFillColor(0x00602010);  // dark blue
    layer->FillRect(nullptr);
    FadeAlpha(*layer);
    auto sprite = show.Sprite(p.src, 80, 80);
    for (int i = 0; i < 3; ++i)
      layer->BltAlphaChannel(sprite.get(), 10 + i * 95, 60, nullptr, nullptr, nullptr);
    const Size tall{60, 140};
    layer->BltAlphaChannel(sprite.get(), 210, 20, nullptr, &tall, nullptr);
    auto dst = show.Backdrop(p.dst);
    dst->BltAlphaChannel(layer.get(), 20, 20, nullptr, nullptr, nullptr);
    show.Save(Name("alpha_channel_over", Pair{p.src, p.src}) + "_shown_on_" + PixelFormatName(p.dst), *dst,
              {"BltAlphaChannel (source over)", Onto(p.src, p.src) + ", then onto " + PixelFormatName(p.dst),
               "sprites composited onto a dark blue 280 x 200 layer whose alpha fades out to "
               "the right and is clear across the middle (one stretched to 60 x 140); the "
               "layer then blended by its alpha over the backdrop"});
  }
});

}  // namespace

}  // namespace pixelops
