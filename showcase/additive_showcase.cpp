// Additive and subtractive blits over a scene: pools of light added in full,
// a glow added at rising levels (one of them stretched), a keyed sprite added
// and taken off, and a soft shadow taken off under it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "showcase/showcase.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

// Every pair the additive and subtractive blits serve.
constexpr auto& kPairs = format_pairs::kBlend;

void Put(DDSurface& s, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  const uint32_t v = ColourToPixel(s.Format(), colour, alpha);
  const PixelBuffer& b = s.Buffer();
  std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * BytesPerPixel(s.Format()), &v,
              BytesPerPixel(s.Format()));
}

// A radial blob: colour (0x00BBGGRR) at the centre, falling off to black at
// the edge; alpha formats fall off in alpha too. Black outside the disc is the
// key colour, so keyed blits skip the corners.
std::unique_ptr<DDSurface> Blob(PixelFormat f, int32_t size, uint32_t colour, double power) {
  auto s = DDSurface::Make(size, size, f);
  const double c = (size - 1) / 2.0;
  for (int32_t y = 0; y < size; ++y) {
    for (int32_t x = 0; x < size; ++x) {
      const double d = std::min(1.0, std::hypot(x - c, y - c) / c);
      const double k = std::pow(1.0 - d, power);
      uint32_t out = 0;
      for (int i = 0; i < 3; ++i) out |= static_cast<uint32_t>(((colour >> (8 * i)) & 0xFF) * k) << (8 * i);
      Put(*s, x, y, out, static_cast<uint32_t>(255 * k));
    }
  }
  s->SetColorKey(0);
  return s;
}

Scene scene("additive_blit", [](Showcase& show) {
  for (const Pair& p : kPairs) {
    auto dst = show.Backdrop(p.dst);
    // Three pools of light added in full.
    auto warm = Blob(p.src, 90, 0x0040A0FF, 1.5);
    auto cool = Blob(p.src, 90, 0x00FF8030, 1.5);
    dst->BltAdd(warm.get(), 10, 10, nullptr, nullptr, nullptr);
    dst->BltAdd(cool.get(), 60, 30, nullptr, nullptr, nullptr);
    dst->BltAddKey(warm.get(), 35, 60, nullptr, nullptr, nullptr);
    // A glow at rising levels along the top, then one stretched wide and clipped.
    auto glow = Blob(p.src, 48, 0x00FFFFFF, 2.0);
    for (int i = 0; i < 4; ++i)
      dst->BltAddLevel(glow.get(), 160 + i * 40, 4, 48 + i * 64, nullptr, nullptr, nullptr);
    const Size wide{150, 60};
    const Rect clip{160, 60, 300, 110};
    dst->BltAddLevelKey(glow.get(), 155, 55, 200, nullptr, &wide, &clip);
    // A soft shadow taken off, then a keyed sprite added over it and a second
    // one taken off at half strength.
    auto shadow = Blob(p.src, 80, 0x00C0C0C0, 0.8);
    dst->BltSub(shadow.get(), 40, 150, nullptr, nullptr, nullptr);
    dst->BltSubLevel(shadow.get(), 240, 150, 128, nullptr, nullptr, nullptr);
    auto sprite = show.Sprite(p.src, 64, 64);
    dst->BltAddKey(sprite.get(), 30, 140, nullptr, nullptr, nullptr);
    dst->BltSubKey(sprite.get(), 130, 150, nullptr, nullptr, nullptr);
    dst->BltSubLevelKey(sprite.get(), 180, 150, 128, nullptr, nullptr, nullptr);
    show.Save(std::string("additive_blit_") + PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst),
              *dst,
              {"BltAdd, BltAddKey, BltAddLevel, BltAddLevelKey, BltSub, BltSubLevel, BltSubKey, "
               "BltSubLevelKey",
               Onto(p.src, p.dst),
               "top left: warm and cool pools of light added in full (BltAdd, BltAddKey); "
               "top right: a white glow added at levels 48, 112, 176, 240, then stretched to "
               "150 x 60 at level 200 under the clip (160, 60)-(300, 110); bottom: a soft "
               "shadow taken off in full and at level 128, a keyed sprite added, taken off, "
               "and taken off at level 128"});
  }
});

}  // namespace

}  // namespace pixelops
