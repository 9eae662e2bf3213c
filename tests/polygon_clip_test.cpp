// Clipped polygons: every pixel inside a clip shows what the unclipped polygon
// shows there, and nothing outside it is written, for every polygon family
// (plain, keyed, blended, both rotated drawers), with a clip argument and with
// none (the destination's bounds), at the scalar level and the active one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/simd.h>
#include <pixelops/textured_quad.h>

#include "tests/kernel_check.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using test::Snapshot;

using test::Pick;

enum class Family { kPlain, kKeyed, kBlend, kRotatedScaled, kRotatedSprite };
static_assert(static_cast<int>(Family::kPlain) == static_cast<int>(test::PolygonFamily::kOpaque) &&
              static_cast<int>(Family::kKeyed) == static_cast<int>(test::PolygonFamily::kKeyed) &&
              static_cast<int>(Family::kBlend) == static_cast<int>(test::PolygonFamily::kBlend));
constexpr Family kFamilies[] = {Family::kPlain, Family::kKeyed, Family::kBlend, Family::kRotatedScaled,
                                Family::kRotatedSprite};
const char* const kFamilyNames[] = {"DrawPolygon", "DrawPolygonKeyed", "FillTexturedQuad",
                                    "DrawRotatedScaled", "DrawRotatedSprite"};

// One drawing: a polygon (or a turned picture about a centre), placed on a
// destination whose pixel (0, 0) lies at (ox, oy) of the canvas it is cut from.
struct Drawing {
  Family family;
  std::vector<Point> src, dst;  // polygon families: points in canvas coordinates
  int32_t cx = 0, cy = 0, angle = 0, scaleX = 0, scaleY = 0;  // rotated drawers
  uint8_t flag = 0;
  int32_t alpha = 0;

  BlitResult Draw(DDSurface& target, DDSurface& source, int32_t ox, int32_t oy, const Rect* clip) const {
    std::vector<Point> d = dst;
    for (Point& p : d) p = {p.x - ox, p.y - oy};
    if (family == Family::kRotatedScaled)
      return DrawRotatedScaled(&target, &source, cx - ox, cy - oy, angle, scaleX, scaleY, clip);
    if (family == Family::kRotatedSprite)
      return DrawRotatedSprite(&target, &source, cx - ox, cy - oy, angle, scaleX, scaleY, alpha);
    // The first three families are test::PolygonFamily's, in its order.
    return test::DrawPolygonFamily(static_cast<test::PolygonFamily>(family), target, source, src, d, clip,
                                   flag, alpha);
  }

  std::string Describe() const {
    std::ostringstream os;
    os << kFamilyNames[static_cast<int>(family)] << " flag " << int{flag} << " alpha " << alpha;
    if (family == Family::kRotatedScaled || family == Family::kRotatedSprite) {
      os << " centre (" << cx << "," << cy << ") angle " << angle << " scale " << scaleX << "," << scaleY;
    }
    for (size_t i = 0; i < dst.size(); ++i) {
      os << " (" << dst[i].x << "," << dst[i].y << ")<-(" << src[i].x << "," << src[i].y << ")";
    }
    return os.str();
  }
};

// The canvas is large enough that every drawing lies inside it with a margin:
// there, no row is clipped.
constexpr int32_t kCanvasW = 90, kCanvasH = 70, kMargin = 2;

bool InsideCanvas(const Point* p, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (p[i].x < kMargin || p[i].x >= kCanvasW - kMargin || p[i].y < kMargin ||
        p[i].y >= kCanvasH - kMargin) {
      return false;
    }
  }
  return true;
}

// A turned and stretched picture, a triangle, or a convex quad, in either
// winding, inside the canvas.
Drawing RandomDrawing(std::mt19937& rng, Family family, const DDSurface& source) {
  const int32_t sw = source.Buffer().bounds.right, sh = source.Buffer().bounds.bottom;
  Drawing d{family, {}, {}};
  if (family <= Family::kBlend && rng() % 2) {
    d.flag = static_cast<uint8_t>(rng() % 3 ? 1 : 1 + rng() % 255);  // any non-zero counts as 1
  }
  d.alpha = rng() % 5 == 0 ? Pick(rng, 256, 300) : Pick(rng, 0, 255);
  const int32_t mode = family >= Family::kRotatedScaled ? 0 : Pick(rng, 0, 2);
  for (;;) {
    if (mode == 0) {
      RotatedQuad q;
      d.cx = Pick(rng, 10, kCanvasW - 10);
      d.cy = Pick(rng, 10, kCanvasH - 10);
      d.angle = Pick(rng, -600, 600);
      d.scaleX = Pick(rng, 30000, 160000) * (rng() % 8 ? 1 : -1);
      d.scaleY = rng() % 3 ? Pick(rng, 30000, 160000) : d.scaleX;
      if (!MakeRotatedQuad(source, d.cx, d.cy, d.angle, d.scaleX, d.scaleY, &q)) continue;
      if (!InsideCanvas(q.dst, 4)) continue;
      d.src.assign(q.src, q.src + 4);
      d.dst.assign(q.dst, q.dst + 4);
    } else {
      const int32_t n = mode == 1 ? 3 : 4;
      std::vector<Point> p(n);
      double cx = 0, cy = 0;
      for (Point& q : p) {
        q = {Pick(rng, kMargin, kCanvasW - kMargin - 1), Pick(rng, kMargin, kCanvasH - kMargin - 1)};
        cx += q.x, cy += q.y;
      }
      // Sorted about the centre, a quad is convex unless a turn goes the other way.
      std::sort(p.begin(), p.end(), [&](const Point& a, const Point& b) {
        return std::atan2(a.y - cy / n, a.x - cx / n) < std::atan2(b.y - cy / n, b.x - cx / n);
      });
      bool convex = true;
      for (int32_t i = 0; i < n; ++i) {
        const Point a = p[i], b = p[(i + 1) % n], c = p[(i + 2) % n];
        convex &= int64_t{b.x - a.x} * (c.y - b.y) - int64_t{b.y - a.y} * (c.x - b.x) > 0;
      }
      if (!convex) continue;
      if (rng() % 2) std::reverse(p.begin(), p.end());
      std::rotate(p.begin(), p.begin() + Pick(rng, 0, n - 1), p.end());
      d.dst = p;
      d.src.resize(n);
      for (Point& s : d.src) s = {Pick(rng, 0, sw - 1), Pick(rng, 0, sh - 1)};
    }
    return d;
  }
}

// Draws the drawing whole on the canvas, then on a window cut from the canvas
// (its pixels as they were) with a clip, or with none; true when every pixel
// inside the clip shows the canvas's and every other byte of the window
// (padding too) is untouched.
bool ClipKeepsTheInside(std::mt19937& rng, const Drawing& d, DDSurface& source, FormatPair pair,
                        bool withClip, std::string* why) {
  auto canvas = test::RandomSurface(kCanvasW, kCanvasH, pair.dst, rng, 4);
  // Mostly a window whose edges lie near the drawing, so that they cut it.
  Rect box{kCanvasW, kCanvasH, 0, 0};
  for (const Point& p : d.dst) {
    box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1),
           std::max(box.bottom, p.y + 1)};
  }
  if (rng() % 4 == 0) box = {0, 0, kCanvasW, kCanvasH};
  const int32_t ox = Pick(rng, std::max(box.left - 3, 0), box.right - 1);
  const int32_t oy = Pick(rng, std::max(box.top - 3, 0), box.bottom - 1);
  const int32_t w = Pick(rng, 1, std::min(box.right + 3, kCanvasW) - ox);
  const int32_t h = Pick(rng, 1, std::min(box.bottom + 3, kCanvasH) - oy);
  auto window = test::RandomSurface(w, h, pair.dst, rng, 3);
  const int32_t bpp = BytesPerPixel(pair.dst);
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(test::PixelAt(*window, 0, y), test::PixelAt(*canvas, ox, y + oy),
                static_cast<size_t>(w) * bpp);
  }
  Rect clip{Pick(rng, -4, w), Pick(rng, -4, h), 0, 0};
  clip.right = Pick(rng, clip.left, w + 4);
  clip.bottom = Pick(rng, clip.top, h + 4);
  const Rect* clipArg = withClip ? &clip : nullptr;
  const Rect inside = withClip ? Rect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, w),
                                      std::min(clip.bottom, h)}
                               : Rect{0, 0, w, h};

  std::vector<uint8_t> expected = Snapshot(*window);
  EXPECT_EQ(d.Draw(*canvas, source, 0, 0, nullptr), kBlitDone);
  EXPECT_EQ(d.Draw(*window, source, ox, oy, clipArg), kBlitDone);
  for (int32_t y = inside.top; y < inside.bottom; ++y) {
    for (int32_t x = inside.left; x < inside.right; ++x) {
      std::memcpy(expected.data() + int64_t{y} * window->Buffer().pitch + int64_t{x} * bpp,
                  test::PixelAt(*canvas, x + ox, y + oy), bpp);
    }
  }
  const std::vector<uint8_t> got = Snapshot(*window);
  if (got == expected) return true;
  size_t at = 0;
  while (got[at] == expected[at]) ++at;
  const int64_t pitch = window->Buffer().pitch;
  std::ostringstream os;
  os << PixelFormatName(pair.src) << " onto " << PixelFormatName(pair.dst) << ", " << d.Describe()
     << ", window (" << ox << "," << oy << ") " << w << "x" << h;
  if (withClip) {
    os << ", clip " << clip.left << "," << clip.top << "-" << clip.right << "," << clip.bottom;
  }
  os << ": first wrong pixel (" << (at % pitch) / bpp << "," << at / pitch << ")";
  *why = os.str();
  return false;
}

// Random drawings of every family over every served pair, each cut by a
// random clip (reaching outside the window too) or by the window's bounds.
TEST(PolygonClip, PixelsInsideTheClipAreThoseOfTheUnclippedDrawing) {
  std::vector<std::string_view> levels{"scalar"};
  if (SimdLevel() != "scalar") levels.push_back(SimdLevel());
  constexpr auto& kPairs = format_pairs::kPolygon;
  constexpr int32_t kRounds = 1300;  // every family with every pair ten times
  for (std::string_view level : levels) {
    test::ScopedSimdLevel scoped(level);
    std::mt19937 rng(2024);
    int32_t differ = 0;
    std::string first;
    for (int32_t round = 0; round < kRounds; ++round) {
      const FormatPair pair = kPairs[round % kPairs.size()];
      const Family family = kFamilies[round % std::size(kFamilies)];
      auto source = DDSurface::Make(Pick(rng, 2, 24), Pick(rng, 2, 24), pair.src, DDSurface::Memory::Own, 0);
      source->SetColorKey(static_cast<uint32_t>(rng()));
      test::FillForKernels(*source, rng);
      const Drawing d = RandomDrawing(rng, family, *source);
      const bool withClip = family != Family::kRotatedSprite && rng() % 4 != 0;
      std::string why;
      if (!ClipKeepsTheInside(rng, d, *source, pair, withClip, &why)) {
        if (differ++ == 0) first = "round " + std::to_string(round) + ": " + why;
      }
    }
    EXPECT_EQ(differ, 0) << "level " << level << ": " << differ << " of " << kRounds
                         << " clipped drawings differ inside the clip; " << first;
  }
}

// A row whose left side lies past the centre of the clip's last column, and
// one whose right side lies before the centre of its first, still draw that
// column; a left clip starts the texels where the unclipped span has them.
TEST(PolygonClip, CoveredPixelsAtTheClipEdgesKeepTheirTexels) {
  for (std::string_view level : {std::string_view("scalar"), SimdLevel()}) {
    test::ScopedSimdLevel scoped(level);
    // Row 1 runs from x 4.83 to 5.0: pixel 4 is drawn on a 5-wide destination too.
    auto one = DDSurface::Make(1, 1, PixelFormat::Rgb565);
    test::FillPixels(*one, 0x1234);
    const Point texel[3] = {{0, 0}, {0, 0}, {0, 0}};
    const Point sliver[3] = {{6, 4}, {4, 0}, {5, 3}};
    for (int32_t width : {16, 5}) {
      auto dst = DDSurface::Make(width, 8, PixelFormat::Rgb565);
      ASSERT_EQ(dst->DrawPolygonKeyed(one.get(), texel, sliver, nullptr, 0, 3), kBlitDone);
      EXPECT_EQ(test::ReadPixel(*dst, 4, 1), 0x1234u) << "width " << width << ", " << level;
    }
    // The same sliver seen through a clip whose right edge is column 5.
    auto dst = DDSurface::Make(16, 8, PixelFormat::Rgb565);
    const Rect toFive{0, 0, 5, 8};
    ASSERT_EQ(dst->DrawPolygon(one.get(), texel, sliver, &toFive, 0, 3), kBlitDone);
    EXPECT_EQ(test::ReadPixel(*dst, 4, 1), 0x1234u) << level;

    // Clip left 1: pixel (1, 4) shows texel (0, 0), as without the clip.
    auto four = DDSurface::Make(2, 2, PixelFormat::Bgrx32);
    for (int32_t v = 0; v < 2; ++v)
      for (int32_t u = 0; u < 2; ++u) test::WritePixel(*four, u, v, 0x100u + u + 16 * v);
    const Point sp[3] = {{0, 1}, {1, 0}, {1, 0}};
    const Point dp[3] = {{6, 5}, {1, 0}, {0, 6}};
    const Rect fromOne{1, 0, 16, 16};
    for (bool keyed : {false, true}) {
      auto full = DDSurface::Make(16, 16, PixelFormat::Bgrx32);
      auto cut = DDSurface::Make(16, 16, PixelFormat::Bgrx32);
      for (auto [surface, clip] :
           {std::pair{full.get(), static_cast<const Rect*>(nullptr)}, std::pair{cut.get(), &fromOne}}) {
        ASSERT_EQ(keyed ? surface->DrawPolygonKeyed(four.get(), sp, dp, clip, 0, 3)
                        : surface->DrawPolygon(four.get(), sp, dp, clip, 0, 3),
                  kBlitDone);
      }
      EXPECT_EQ(test::ReadPixel(*full, 1, 4), 0x100u) << level;
      EXPECT_EQ(test::ReadPixel(*cut, 1, 4), 0x100u) << level;
      for (int32_t y = 0; y < 16; ++y) {
        EXPECT_EQ(test::ReadPixel(*cut, 0, y), 0u);
        for (int32_t x = 1; x < 16; ++x) {
          EXPECT_EQ(test::ReadPixel(*cut, x, y), test::ReadPixel(*full, x, y))
              << "(" << x << "," << y << ") " << level;
        }
      }
    }
  }
}

}  // namespace

}  // namespace pixelops
