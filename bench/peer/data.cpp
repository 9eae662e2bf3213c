// The test pictures shared by every library in the peer benchmark.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "peer_bench.h"

namespace pixelops {

namespace peer {

namespace {

void Put(DDSurface& s, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  const uint32_t v = ColourToPixel(s.Format(), colour, alpha);
  const PixelBuffer& b = s.Buffer();
  const int32_t bpp = BytesPerPixel(s.Format());
  std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * bpp, &v, static_cast<size_t>(bpp));
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

}  // namespace

SpritePixel SpriteAt(int32_t x, int32_t y, int32_t side) {
  // A radius of 0.472 sides leaves 30 % of the tile outside the disc.
  const double c = (side - 1) / 2.0, radius = 0.472 * side;
  const double d = std::hypot(x - c, y - c) / radius;
  if (d > 1.0) return {kKeyColour, 0, true};
  // A bar from the centre to the right edge shows which way the sprite turns.
  if (x > c && std::abs(y - c) < side / 16.0 + 0.5 && d < 0.8) return {Rgb(30, 40, 120), 255, false};
  const bool ring = d > 0.8;
  const uint32_t r = ring ? 255 : static_cast<uint32_t>(250 - 120 * d);
  const uint32_t g = ring ? 210 : static_cast<uint32_t>(200 - 150 * d);
  const uint32_t b = ring ? 40 : static_cast<uint32_t>(60 + 140 * d);
  // The outer eighth of the radius fades out.
  const uint32_t alpha = static_cast<uint32_t>(255 * std::min(1.0, (1.0 - d) * 8.0));
  return {Rgb(r, g, b), alpha, false};
}

void SpriteMix(int32_t side, double* key, double* partial, double* opaque) {
  int64_t k = 0, p = 0, o = 0;
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const SpritePixel s = SpriteAt(x, y, side);
      if (s.key) ++k;
      else if (s.alpha == 255) ++o;
      else ++p;
    }
  }
  const double n = static_cast<double>(side) * side;
  *key = static_cast<double>(k) / n;
  *partial = static_cast<double>(p) / n;
  *opaque = static_cast<double>(o) / n;
}

std::unique_ptr<DDSurface> SpriteSurface(PixelFormat f, int32_t w, int32_t h, int32_t side) {
  auto s = DDSurface::Make(w, h, f);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const SpritePixel p = SpriteAt(x % side, y % side, side);
      Put(*s, x, y, p.colour, p.alpha);
    }
  }
  s->SetColorKey(kKeyColour);
  return s;
}

std::unique_ptr<DDSurface> Backdrop(PixelFormat f) {
  auto s = DDSurface::Make(kWidth, kHeight, f);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const bool grid = (x % 32) == 0 || (y % 32) == 0;
      const uint32_t r = grid ? 230 : 40 + 150 * x / kWidth;
      const uint32_t g = grid ? 230 : 60 + 100 * y / kHeight;
      const uint32_t b = grid ? 230 : 170 - 120 * x / kWidth;
      const uint32_t alpha = SpriteAt((x + kTile / 2) % kTile, (y + kTile / 2) % kTile, kTile).alpha;
      Put(*s, x, y, Rgb(r, g, b), alpha);
    }
  }
  return s;
}

namespace {

void Decode(const uint8_t* p, Layout l, int32_t rgb[3]) {
  if (l == Layout::Xrgb32) {
    rgb[0] = p[2], rgb[1] = p[1], rgb[2] = p[0];
    return;
  }
  const uint32_t w = p[0] | (p[1] << 8);
  rgb[0] = static_cast<int32_t>(((w >> 11) & 31) * 255 / 31);
  rgb[1] = static_cast<int32_t>(((w >> 5) & 63) * 255 / 63);
  rgb[2] = static_cast<int32_t>((w & 31) * 255 / 31);
}

int32_t Step(Layout l) { return l == Layout::Rgb565Word2 ? 2 : 4; }

}  // namespace

double AgreeingShare(const uint8_t* a, Layout la, const uint8_t* b, Layout lb, int32_t tolerance) {
  int64_t agree = 0;
  const int64_t n = int64_t{kWidth} * kHeight;
  for (int64_t i = 0; i < n; ++i) {
    int32_t x[3], y[3];
    Decode(a + i * Step(la), la, x);
    Decode(b + i * Step(lb), lb, y);
    agree += std::abs(x[0] - y[0]) <= tolerance && std::abs(x[1] - y[1]) <= tolerance &&
             std::abs(x[2] - y[2]) <= tolerance;
  }
  return static_cast<double>(agree) / static_cast<double>(n);
}

}  // namespace peer

}  // namespace pixelops
