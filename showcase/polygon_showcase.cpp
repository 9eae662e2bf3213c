// Textured polygons: cards turned and scaled about their centres, with the
// colour key skipped (keyed) and with every texel written (plain), a clipped
// fan of cards, and a card mapped onto a trapezoid.
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include <pixelops/polygon.h>
#include "showcase/showcase.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

void Put(DDSurface& s, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  const uint32_t v = ColourToPixel(s.Format(), colour, alpha);
  const PixelBuffer& b = s.Buffer();
  std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * BytesPerPixel(s.Format()), &v,
              BytesPerPixel(s.Format()));
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// A playing card: rounded corners in the key colour (magenta), a dark frame, a
// title band, a picture window with a diamond; on alpha formats the window is
// half transparent.
std::unique_ptr<DDSurface> Card(PixelFormat format, int32_t w = 48, int32_t h = 64) {
  auto s = DDSurface::Make(w, h, format);
  const int32_t r = 6;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const int32_t cx = x < r ? r - x : (x >= w - r ? x - (w - 1 - r) : 0);
      const int32_t cy = y < r ? r - y : (y >= h - r ? y - (h - 1 - r) : 0);
      if (cx * cx + cy * cy > r * r) {
        Put(*s, x, y, 0x00FF00FF, 0);
        continue;
      }
      const bool frame = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
      const bool band = y >= 5 && y < 14;
      const bool window = y >= 17 && y < h - 8 && x >= 6 && x < w - 6;
      uint32_t colour = Rgb(210, 180, 120), alpha = 255;
      if (frame) colour = Rgb(60, 40, 30);
      else if (band) colour = Rgb(150, 30, 40);
      else if (window) {
        const int32_t dx = std::abs(2 * x - (w - 1)), dy = std::abs(2 * y - (h + 8));
        const bool diamond = dx * (h - 26) + dy * (w - 12) < (w - 12) * (h - 26) / 2;
        colour = diamond ? Rgb(240, 220, 60) : Rgb(40 + 3 * y, 90, 200 - 2 * y);
        alpha = diamond ? 255 : 128;
      }
      Put(*s, x, y, colour, alpha);
    }
  }
  s->SetColorKey(0x00FF00FF);
  return s;
}

using Pair = FormatPair;

// The pairs of an operation's set drawn onto the given destinations.
template <size_t N>
std::vector<FormatPair> Onto(const std::array<FormatPair, N>& set,
                             std::initializer_list<PixelFormat> destinations) {
  std::vector<FormatPair> pairs;
  for (const FormatPair& p : set)
    for (PixelFormat d : destinations)
      if (p.dst == d) pairs.push_back(p);
  return pairs;
}

// The served pairs onto a colour word, a 32-bit colour format and two alpha
// formats.
const std::vector<Pair> kPairs = Onto(format_pairs::kPolygon, {PixelFormat::Rgb565, PixelFormat::Bgrx32,
                                                               PixelFormat::Bgra32, PixelFormat::Rgb555A});

// Five cards turned and scaled, keyed or plain.
void Spread(DDSurface& dst, DDSurface& card, bool keyed, const Rect* clip = nullptr) {
  const struct {
    int32_t x, y, angle, sx, sy;
  } cards[] = {
      {45, 60, 0, 65536, 65536},    {115, 60, 40, 65536, 65536},    {200, 70, 128, 80000, 80000},
      {275, 75, -60, 50000, 90000}, {160, 175, 300, 131072, 98304},
  };
  for (const auto& c : cards) {
    if (keyed) {
      DrawRotatedScaled(&dst, &card, c.x, c.y, c.angle, c.sx, c.sy, clip);
    } else {
      RotatedQuad q;
      if (MakeRotatedQuad(card, c.x, c.y, c.angle, c.sx, c.sy, &q)) {
        dst.DrawPolygon(&card, q.src, q.dst, clip, 0, 4);
      }
    }
  }
}

Scene scene("polygon", [](Showcase& show) {
  for (const Pair& p : kPairs) {
    const std::string name = std::string(PixelFormatName(p.src)) + "_onto_" + PixelFormatName(p.dst);
    auto card = Card(p.src);
    for (bool keyed : {true, false}) {
      auto dst = show.Backdrop(p.dst);
      Spread(*dst, *card, keyed);
      show.Save(std::string(keyed ? "polygon_keyed_" : "polygon_plain_") + name, *dst,
                {keyed ? "DrawRotatedScaled (DrawPolygonKeyed)" : "DrawPolygon", Onto(p.src, p.dst),
                 std::string("five 48 x 64 cards turned by 0, 40, 128, -60, 300 (512ths of a "
                             "turn) and scaled by 1.0, 1.0, 1.22, 0.76 x 1.37, 2.0 x 1.5; ") +
                     (IsAlphaFormat(p.src) && p.src != p.dst
                          ? "an alpha source onto its colour format: blended by the texels' "
                            "alpha (clear corners, half-clear window), no key compared"
                      : keyed ? "the magenta key colour in the corners is skipped"
                              : "every texel written, magenta corners included")});
    }
  }

  // A fan of cards cut by a clip rectangle, and a card on a trapezoid.
  auto card = Card(PixelFormat::Bgrx32, 60, 80);
  auto dst = show.Backdrop(PixelFormat::Bgrx32);
  // Cards turned about a pivot below them, cut by the clip's top and right.
  const Rect clip{20, 45, 185, 240};
  for (int32_t i = 0; i < 7; ++i) {
    const int32_t angle = -96 + 32 * i;
    const double turn = angle * std::acos(-1.0) / 256;
    const int32_t x = 105 + static_cast<int32_t>(std::lround(90 * std::sin(turn)));
    const int32_t y = 215 - static_cast<int32_t>(std::lround(90 * std::cos(turn)));
    DrawRotatedScaled(dst.get(), card.get(), x, y, angle, 65536, 65536, &clip);
  }
  const Point texels[4] = {{0, 0}, {59, 0}, {59, 79}, {0, 79}};
  const Point trapezoid[4] = {{235, 40}, {295, 40}, {315, 200}, {215, 200}};
  dst->DrawPolygonKeyed(card.get(), texels, trapezoid, nullptr, 0, 4);
  show.Save("polygon_fan_and_trapezoid", *dst,
            {"DrawRotatedScaled, DrawPolygonKeyed", Onto(PixelFormat::Bgrx32, PixelFormat::Bgrx32),
             "seven 60 x 80 cards turned about a pivot below them, cut by the clip "
             "(20, 45)-(185, 240); a card mapped onto the trapezoid (235, 40), (295, 40), "
             "(315, 200), (215, 200)"});
});

}  // namespace

}  // namespace pixelops
