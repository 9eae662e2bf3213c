// The textured polygon rasterisers: the scan conversion against a plain
// per-row reference of its steps, every pair's texel rule of the keyed and the
// plain family, outlines that cannot be drawn, the dispatchers' locking and
// answers, and the corners of the rotated drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <type_traits>
#include <cmath>
#include <vector>

#include <pixelops/polygon.h>
#include "graphics/wide_int.h"
#include "runtime/small_block_pool.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using test::Snapshot;

// ---------------------------------------------------------------------------
// Reference scan conversion: for each row, the position on each side is worked
// out directly from the edge that holds the row, in the integer type I.

struct Hit {
  int64_t x, y, u, v;  // destination pixel and the texel it shows
};

template <class I>
std::vector<Hit> ReferenceScan(const Point* sp, const Point* dp, int n, const Rect& clip, int flag) {
  std::vector<Hit> hits;
  const I one = I(1) << 20, half = one / 2;
  int top = 0, bot = 0;
  for (int i = 1; i < n; ++i) {
    if (dp[i].y < dp[top].y || (dp[i].y == dp[top].y && dp[i].x < dp[top].x)) top = i;
    else if (dp[i].y > dp[bot].y || (dp[i].y == dp[bot].y && dp[i].x > dp[bot].x)) bot = i;
  }
  const Point T = dp[top], B = dp[bot];
  const Point P = dp[(top + n - 1) % n], N = dp[(top + 1) % n];
  // (products of 33-bit differences need more than 64 bits)
  const int32_t cross = wide::SignOfCross(int64_t(I(N.y) - T.y), int64_t(I(P.x) - T.x), int64_t(I(P.y) - T.y),
                                          int64_t(I(N.x) - T.x));
  const int leftStep = cross > 0 ? 1 : n - 1, rightStep = n - leftStep;
  std::vector<int> left, right;
  for (int i = top;; i = (i + leftStep) % n) {
    left.push_back(i);
    if (i == bot) break;
  }
  if (dp[left[left.size() - 2]].y == B.y) left.pop_back();
  const int start = dp[(top + rightStep) % n].y == T.y ? (top + rightStep) % n : top;
  for (int i = start;; i = (i + rightStep) % n) {
    right.push_back(i);
    if (i == bot) break;
  }

  auto at = [&](const std::vector<int>& side, int64_t y, I* x, I* u, I* v) {
    size_t k = 0;
    while (k + 2 < side.size() && dp[side[k + 1]].y <= y) ++k;
    const Point a = dp[side[k]], b = dp[side[k + 1]];
    const Point ta = sp[side[k]], tb = sp[side[k + 1]];
    const I h = I(b.y) - a.y, rows = I(y) - a.y;
    *x = I(a.x) * one + half + rows * (((I(b.x) - a.x) * one) / h);
    *u = I(ta.x) * one + half + rows * (((I(tb.x) - ta.x) * one) / (h + flag));
    *v = I(ta.y) * one + half + rows * (((I(tb.y) - ta.y) * one) / (h + flag));
  };

  const int64_t first = std::max(T.y, clip.top), last = std::min(B.y, clip.bottom - 1);
  for (int64_t y = first; y <= last; ++y) {
    I lx, lu, lv, rx, ru, rv;
    at(left, y, &lx, &lu, &lv);
    at(right, y, &rx, &ru, &rv);
    const I xl = lx >> 20, xr = rx >> 20;
    // The pixels of the unclipped span xl .. xr that lie inside the clip.
    const I from = std::max<I>(xl, clip.left), to = std::min<I>(xr, I(clip.right) - 1);
    if (from > to) continue;
    I du = 0, dv = 0;
    if (xr != xl) {
      du = (((ru >> 20) - (lu >> 20)) * one) / (xr - xl + flag);
      dv = (((rv >> 20) - (lv >> 20)) * one) / (xr - xl + flag);
    }
    I au = (from - xl) * du, av = (from - xl) * dv;
    for (I X = from; X <= to; ++X) {
      hits.push_back({int64_t{X}, y, int64_t{(lu >> 20) + (au >> 20)}, int64_t{(lv >> 20) + (av >> 20)}});
      au += du;
      av += dv;
    }
  }
  return hits;
}

// ---------------------------------------------------------------------------
// Reference texel rules, from the two families' tables.

enum FormatKind { kWord, kWordAlpha, kBytes24, kBytesX, kBytesAlpha };
struct Info {
  FormatKind kind;
  bool is565;
  int red, blue;  // byte positions of the 24- and 32-bit formats
};

Info InfoOf(PixelFormat f) {
  switch (f) {
    case PixelFormat::Rgb565:
      return {kWord, true, 0, 0};
    case PixelFormat::Rgb555:
      return {kWord, false, 0, 0};
    case PixelFormat::Rgb565A:
      return {kWordAlpha, true, 0, 0};
    case PixelFormat::Rgb555A:
      return {kWordAlpha, false, 0, 0};
    case PixelFormat::Bgr24:
      return {kBytes24, false, 2, 0};
    case PixelFormat::Rgb24:
      return {kBytes24, false, 0, 2};
    case PixelFormat::Bgrx32:
      return {kBytesX, false, 2, 0};
    case PixelFormat::Rgbx32:
      return {kBytesX, false, 0, 2};
    case PixelFormat::Bgra32:
      return {kBytesAlpha, false, 2, 0};
    case PixelFormat::Rgba32:
      return {kBytesAlpha, false, 0, 2};
    default:
      return {kWord, false, 0, 0};
  }
}

uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }
void SetWord(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
}
uint32_t Bytes3(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
uint32_t Bytes4(const uint8_t* p) { return Bytes3(p) | (uint32_t{p[3]} << 24); }

// Each channel of the colour word times level / 15.
uint32_t ScaleWord(uint32_t w, uint32_t level, bool is565) {
  if (is565) {
    return ((((w >> 11) & 31) * level / 15) << 11) | ((((w >> 5) & 63) * level / 15) << 5) |
           ((w & 31) * level / 15);
  }
  return ((((w >> 10) & 31) * level / 15) << 10) | ((((w >> 5) & 31) * level / 15) << 5) |
         ((w & 31) * level / 15);
}

// The plain family: every texel written, channels matched by name.
void PlainTexel(Info si, Info di, const uint8_t* s, uint8_t* d) {
  if (di.kind == kWord) {
    uint32_t w = Word(s);
    if (si.kind == kWordAlpha && !si.is565) w &= 0x7FFF;  // rebuilt from three 5-bit channels
    SetWord(d, w);
  } else if (di.kind == kWordAlpha) {
    SetWord(d, Word(s));
    d[2] = si.kind == kWordAlpha ? s[2] : 15;
  } else {
    const uint8_t r = s[si.red], g = s[1], b = s[si.blue];
    d[di.red] = r;
    d[1] = g;
    d[di.blue] = b;
    if (di.kind == kBytesX) d[3] = si.kind == kBytesX ? s[3] : 0;
    if (di.kind == kBytesAlpha) d[3] = si.kind == kBytesAlpha ? s[3] : 255;
  }
}

// The keyed family: alpha sources onto colour formats blend by their alpha;
// every other pair skips the key and copies.
void KeyedTexel(Info si, Info di, uint32_t key, const uint8_t* s, uint8_t* d) {
  const bool alphaSource = si.kind == kWordAlpha || si.kind == kBytesAlpha;
  const bool alphaDest = di.kind == kWordAlpha || di.kind == kBytesAlpha;
  if (alphaSource && !alphaDest) {
    if (di.kind == kWord) {
      const uint32_t a = s[2];
      SetWord(d, ScaleWord(Word(d), 15 - a, di.is565) + ScaleWord(Word(s), a, di.is565));
    } else {
      const int a = s[3];
      for (int c : {0, 1, 2}) {
        const int sc = s[c], dc = d[c], diff = sc - dc;
        const int q = diff < 0 ? -((-diff) * a / 255) : diff * a / 255;
        d[c] = static_cast<uint8_t>(dc + q);
      }
      if (di.kind == kBytesX) d[3] = 0;
    }
    return;
  }
  switch (si.kind) {
    case kWord:
    case kWordAlpha:
      if (Word(s) == (key & 0xFFFF)) return;
      break;
    case kBytes24:
    case kBytesAlpha:
      if (Bytes3(s) == (key & 0xFFFFFF)) return;
      break;
    case kBytesX:
      if (Bytes4(s) == key) return;
      break;
  }
  PlainTexel(si, di, s, d);
}

// ---------------------------------------------------------------------------
// Quads and drawing.

struct Quad {
  Point dst[4];
  Point src[4];
};

int Pick(std::mt19937& rng, int lo, int hi) {
  return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

// A convex quad with corners in [lo, hi]: sometimes four free points,
// sometimes a rectangle or a trapezoid (horizontal top and bottom edges); in
// either winding, from any start vertex. Source points anywhere in sw x sh.
Quad RandomQuad(std::mt19937& rng, int lo, int hi, int sw, int sh) {
  for (;;) {
    Point p[4];
    const int mode = Pick(rng, 0, 3);
    if (mode <= 1) {
      for (Point& q : p) q = {Pick(rng, lo, hi), Pick(rng, lo, hi)};
    } else {
      const int y0 = Pick(rng, lo, hi), y1 = Pick(rng, lo, hi);
      int a = Pick(rng, lo, hi), b = Pick(rng, lo, hi), c = Pick(rng, lo, hi), d = Pick(rng, lo, hi);
      if (mode == 2) c = b, d = a;  // a rectangle
      p[0] = {a, y0}, p[1] = {b, y0}, p[2] = {c, y1}, p[3] = {d, y1};
    }
    double cx = 0, cy = 0;
    for (const Point& q : p) cx += q.x / 4.0, cy += q.y / 4.0;
    std::sort(p, p + 4, [&](const Point& a, const Point& b) {
      return std::atan2(a.y - cy, a.x - cx) < std::atan2(b.y - cy, b.x - cx);
    });
    bool convex = true;
    for (int i = 0; i < 4; ++i) {
      const Point a = p[i], b = p[(i + 1) % 4], c = p[(i + 2) % 4];
      const int64_t cr = int64_t{b.x - a.x} * (c.y - b.y) - int64_t{b.y - a.y} * (c.x - b.x);
      if (cr <= 0) convex = false;
    }
    if (!convex) continue;
    Quad q;
    const bool reverse = rng() % 2;
    const int rot = Pick(rng, 0, 3);
    for (int i = 0; i < 4; ++i) {
      const int j = (reverse ? 4 - i : i) + rot;
      q.dst[i] = p[j % 4];
      q.src[i] = {Pick(rng, 0, sw - 1), Pick(rng, 0, sh - 1)};
    }
    return q;
  }
}

Rect Cut(const Rect* clip, const Rect& bounds) {
  Rect c = clip ? *clip : bounds;
  c.left = std::max(c.left, bounds.left);
  c.top = std::max(c.top, bounds.top);
  c.right = std::min(c.right, bounds.right);
  c.bottom = std::min(c.bottom, bounds.bottom);
  return c;
}

// Writes the source's colour key into about a third of its texels, the way
// each format compares it: whole 32-bit keys also with other X bytes (which
// must not count as the key), colour-only keys with any alpha.
void PlantKey(DDSurface& src, std::mt19937& rng) {
  src.SetColorKey(rng() & 0xFFFFFF);
  const uint32_t key = src.GetColorKey();
  const Info si = InfoOf(src.Format());
  const Rect& b = src.Buffer().bounds;
  for (int y = 0; y < b.bottom; ++y) {
    for (int x = 0; x < b.right; ++x) {
      if (rng() % 3 != 0) continue;
      uint8_t* p = test::PixelAt(src, x, y);
      switch (si.kind) {
        case kWord:
          SetWord(p, key);
          break;
        case kWordAlpha:
          SetWord(p, key), p[2] = rng() % 16;
          break;
        case kBytes24:
          p[0] = key, p[1] = key >> 8, p[2] = key >> 16;
          break;
        case kBytesX:
          p[0] = key, p[1] = key >> 8, p[2] = key >> 16;
          p[3] = rng() % 2 ? 0 : 1 + rng() % 255;
          break;
        case kBytesAlpha:
          p[0] = key, p[1] = key >> 8, p[2] = key >> 16, p[3] = rng();
          break;
      }
    }
  }
}

// Applies the family's reference rule at every hit to copies of the memory.
void ApplyHits(DDSurface& dst, std::vector<uint8_t>& dstBytes, DDSurface& src,
               const std::vector<uint8_t>& srcBytes, const std::vector<Hit>& hits, bool keyed) {
  const Info si = InfoOf(src.Format()), di = InfoOf(dst.Format());
  const int sb = BytesPerPixel(src.Format()), db = BytesPerPixel(dst.Format());
  const uint32_t key = src.GetColorKey();
  for (const Hit& h : hits) {
    const uint8_t* s = srcBytes.data() + h.v * src.Buffer().pitch + h.u * sb;
    uint8_t* d = dstBytes.data() + h.y * dst.Buffer().pitch + h.x * db;
    if (keyed) KeyedTexel(si, di, key, s, d);
    else PlainTexel(si, di, s, d);
  }
}

struct Case {
  PixelFormat sf, df;
  bool keyed;
  int dw = 40, dh = 32, sw = 20, sh = 16;
};

// Draws the quad onto fresh random surfaces (rows padded) and compares every
// byte of both with the reference.
void CheckDraw(std::mt19937& rng, const Case& c, const Quad& q, const Rect* clip, uint8_t flag) {
  auto src = test::RandomSurface(c.sw, c.sh, c.sf, rng, 5);
  auto dst = test::RandomSurface(c.dw, c.dh, c.df, rng, 7);
  if (c.keyed) PlantKey(*src, rng);
  const std::vector<uint8_t> srcBefore = Snapshot(*src);
  std::vector<uint8_t> expected = Snapshot(*dst);
  const auto hits = ReferenceScan<int32_t>(q.src, q.dst, 4, Cut(clip, dst->Buffer().bounds), flag != 0);
  ApplyHits(*dst, expected, *src, srcBefore, hits, c.keyed);
  const BlitResult r = c.keyed ? dst->DrawPolygonKeyed(src.get(), q.src, q.dst, clip, flag, 4)
                               : dst->DrawPolygon(src.get(), q.src, q.dst, clip, flag, 4);
  ASSERT_EQ(r, kBlitDone);
  ASSERT_EQ(Snapshot(*src), srcBefore);
  const std::vector<uint8_t> got = Snapshot(*dst);
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i], expected[i]) << "byte " << i << " (row " << i / dst->Buffer().pitch << "), "
                                   << PixelFormatName(c.sf) << " onto " << PixelFormatName(c.df)
                                   << (c.keyed ? " keyed" : " plain") << ", flag " << int(flag) << ", quad ("
                                   << q.dst[0].x << "," << q.dst[0].y << ") (" << q.dst[1].x << ","
                                   << q.dst[1].y << ") (" << q.dst[2].x << "," << q.dst[2].y << ") ("
                                   << q.dst[3].x << "," << q.dst[3].y << ")";
  }
}

// The served pairs of both families, source first.
std::vector<std::pair<PixelFormat, PixelFormat>> ServedPairs() {
  std::vector<std::pair<PixelFormat, PixelFormat>> pairs;
  for (const FormatPair& p : format_pairs::kPolygon) pairs.push_back({p.src, p.dst});
  return pairs;
}

// A clip that is sometimes absent, sometimes inside the destination and
// sometimes reaching past it.
const Rect* RandomClip(std::mt19937& rng, Rect* storage, int dw, int dh) {
  if (rng() % 3 == 0) return nullptr;
  storage->left = Pick(rng, -5, dw - 1);
  storage->top = Pick(rng, -5, dh - 1);
  storage->right = Pick(rng, storage->left, dw + 5);
  storage->bottom = Pick(rng, storage->top, dh + 5);
  return storage;
}

// ---------------------------------------------------------------------------

TEST(PolygonScan, TenByTenQuadCopiesOneToOneInEveryWindingAndStart) {
  std::mt19937 rng(1);
  auto src = test::RandomSurface(10, 10, PixelFormat::Bgrx32, rng);
  auto dst = test::RandomSurface(40, 40, PixelFormat::Bgrx32, rng, 4);
  const std::vector<uint8_t> background = Snapshot(*dst);
  const Point corners[4] = {{10, 10}, {19, 10}, {19, 19}, {10, 19}};
  const Point texels[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  for (int reverse = 0; reverse < 2; ++reverse) {
    for (int start = 0; start < 4; ++start) {
      test::Restore(*dst, background);
      Point d[4], s[4];
      for (int i = 0; i < 4; ++i) {
        const int j = ((reverse ? 4 - i : i) + start) % 4;
        d[i] = corners[j];
        s[i] = texels[j];
      }
      ASSERT_EQ(dst->DrawPolygon(src.get(), s, d, nullptr, 0, 4), kBlitDone);
      std::vector<uint8_t> expected = background;
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
          std::memcpy(expected.data() + (10 + y) * dst->Buffer().pitch + (10 + x) * 4,
                      test::PixelAt(*src, x, y), 4);
      ASSERT_EQ(Snapshot(*dst), expected) << "reverse " << reverse << " start " << start;
    }
  }
}

TEST(PolygonScan, FlagOneStopsOneTexelShortOnTheLastRowAndColumn) {
  std::mt19937 rng(2);
  auto src = test::RandomSurface(10, 10, PixelFormat::Rgb565, rng);
  auto dst = test::RandomSurface(30, 30, PixelFormat::Rgb565, rng);
  const Point d[4] = {{10, 10}, {19, 10}, {19, 19}, {10, 19}};
  const Point s[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  ASSERT_EQ(dst->DrawPolygon(src.get(), s, d, nullptr, 1, 4), kBlitDone);
  EXPECT_EQ(test::ReadPixel(*dst, 19, 19), test::ReadPixel(*src, 8, 8));
  EXPECT_EQ(test::ReadPixel(*dst, 19, 10), test::ReadPixel(*src, 8, 0));
  EXPECT_EQ(test::ReadPixel(*dst, 10, 19), test::ReadPixel(*src, 0, 8));
  EXPECT_EQ(test::ReadPixel(*dst, 10, 10), test::ReadPixel(*src, 0, 0));
}

TEST(PolygonScan, VerticalLineDrawsOnePixelPerRow) {
  // The winding test gives 0 here, so the left side runs backwards, straight
  // from the first vertex to the last; each row's pixel shows its texel.
  const Quad line{{{5, 2}, {5, 6}, {5, 9}, {5, 12}}, {{0, 0}, {1, 3}, {3, 4}, {2, 9}}};
  const auto hits = ReferenceScan<int32_t>(line.src, line.dst, 4, Rect{0, 0, 20, 20}, 0);
  ASSERT_EQ(hits.size(), 11u);
  for (size_t i = 0; i < hits.size(); ++i) {
    EXPECT_EQ(hits[i].x, 5);
    EXPECT_EQ(hits[i].y, 2 + static_cast<int64_t>(i));
  }
  EXPECT_EQ(hits[4].u, 1);  // row 6: 4 of 10 steps from (0, 0) towards (2, 9)
  EXPECT_EQ(hits[4].v, 4);
  std::mt19937 rng(3);
  CheckDraw(rng, Case{PixelFormat::Rgb24, PixelFormat::Rgb24, false, 20, 20, 4, 10}, line, nullptr, 0);
}

TEST(PolygonScan, TopClipLeavesTheRowsInsideAsTheyWere) {
  std::mt19937 rng(4);
  for (int round = 0; round < 60; ++round) {
    const Quad q = RandomQuad(rng, -6, 45, 16, 16);
    auto src = test::RandomSurface(16, 16, PixelFormat::Rgb555, rng);
    auto full = test::RandomSurface(40, 40, PixelFormat::Rgb555, rng);
    auto clipped = DDSurface::Make(40, 40, PixelFormat::Rgb555);
    const std::vector<uint8_t> before = Snapshot(*full);
    test::Restore(*clipped, before);
    const Rect clip{0, Pick(rng, 0, 39), 40, 40};
    const uint8_t flag = rng() % 2;
    full->DrawPolygon(src.get(), q.src, q.dst, nullptr, flag, 4);
    clipped->DrawPolygon(src.get(), q.src, q.dst, &clip, flag, 4);
    const size_t cut = static_cast<size_t>(clip.top) * full->Buffer().pitch;
    const std::vector<uint8_t> a = Snapshot(*full), b = Snapshot(*clipped);
    ASSERT_TRUE(std::equal(b.begin(), b.begin() + cut, before.begin()));
    ASSERT_TRUE(std::equal(b.begin() + cut, b.end(), a.begin() + cut)) << "round " << round;
  }
}

TEST(PolygonScan, ConvexQuadsMatchTheReferenceOnRandomPlacements) {
  std::mt19937 rng(5);
  for (int round = 0; round < 400; ++round) {
    const Case c{PixelFormat::Bgrx32, PixelFormat::Bgrx32, false, 48, 40, 20, 16};
    const Quad q = RandomQuad(rng, -14, 60, c.sw, c.sh);
    Rect storage;
    const Rect* clip = RandomClip(rng, &storage, c.dw, c.dh);
    const uint8_t flag = rng() % 3 == 0 ? static_cast<uint8_t>(1 + rng() % 255) : 0;
    SCOPED_TRACE(round);
    CheckDraw(rng, c, q, clip, flag);
    if (HasFatalFailure()) return;
  }
}

TEST(PolygonScan, OutlinesWhoseSidesBothDescendFollowTheReference) {
  // A dart (a dent in the outline) and a twisted outline whose sides cross:
  // rows are drawn between the sides as they stand, nothing where they cross.
  const Quad dart{{{0, 0}, {30, 12}, {2, 28}, {9, 12}}, {{0, 0}, {15, 3}, {9, 11}, {4, 6}}};
  std::mt19937 rng(6);
  const Case c{PixelFormat::Rgb565, PixelFormat::Rgb565, false, 40, 32, 16, 12};
  CheckDraw(rng, c, dart, nullptr, 0);
  const Point twisted[5] = {{10, 0}, {9, 1}, {30, 10}, {10, 20}, {11, 1}};
  const Point texels[5] = {{0, 0}, {3, 1}, {15, 11}, {8, 4}, {1, 9}};
  for (uint8_t flag : {0, 1}) {
    auto src = test::RandomSurface(16, 12, PixelFormat::Bgr24, rng);
    auto dst = test::RandomSurface(40, 32, PixelFormat::Bgr24, rng, 3);
    std::vector<uint8_t> expected = Snapshot(*dst);
    ApplyHits(*dst, expected, *src, Snapshot(*src),
              ReferenceScan<int32_t>(texels, twisted, 5, dst->Buffer().bounds, flag), false);
    ASSERT_EQ(dst->DrawPolygon(src.get(), texels, twisted, nullptr, flag, 5), kBlitDone);
    EXPECT_EQ(Snapshot(*dst), expected);
  }
}

TEST(PolygonScan, CoordinatesFarOutsideTheSurfaceStayExact) {
  // Corners far beyond the 12.20 range: the arithmetic runs in 64 bits, the
  // rows drawn are those the exact arithmetic gives, and only the destination
  // is written.
  std::mt19937 rng(7);
  const Point far[4] = {{INT32_MIN, INT32_MIN + 5},
                        {INT32_MAX, INT32_MIN},
                        {INT32_MAX - 7, INT32_MAX},
                        {INT32_MIN + 3, INT32_MAX - 2}};
  const Point texels[4] = {{0, 0}, {11, 0}, {11, 9}, {0, 9}};
  const Rect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  for (const Rect* clip : {static_cast<const Rect*>(nullptr), &huge}) {
    auto src = test::RandomSurface(12, 10, PixelFormat::Rgba32, rng, 4);
    auto dst = test::RandomSurface(33, 21, PixelFormat::Rgba32, rng, 8);
    std::vector<uint8_t> expected = Snapshot(*dst);
    const auto hits = ReferenceScan<int64_t>(texels, far, 4, dst->Buffer().bounds, 0);
    ApplyHits(*dst, expected, *src, Snapshot(*src), hits, false);
    ASSERT_EQ(dst->DrawPolygon(src.get(), texels, far, clip, 0, 4), kBlitDone);
    EXPECT_EQ(Snapshot(*dst), expected);
    EXPECT_EQ(hits.size(), 33u * 21u);
  }
}

TEST(PolygonRules, EveryPairOfBothFamiliesFollowsItsTexelRule) {
  std::mt19937 rng(8);
  for (const auto& [sf, df] : ServedPairs()) {
    for (bool keyed : {false, true}) {
      for (int round = 0; round < 12; ++round) {
        const Case c{sf, df, keyed, 28, 22, 14, 11};
        const Quad q = RandomQuad(rng, -8, 34, c.sw, c.sh);
        Rect storage;
        const Rect* clip = RandomClip(rng, &storage, c.dw, c.dh);
        CheckDraw(rng, c, q, clip, rng() % 4 == 0);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(PolygonRules, KeyedAndPlainDifferOnTheKeyAndOnAlphaSources) {
  // Rgb565 texels equal to the key: skipped by the keyed family, written by the plain one.
  auto src = DDSurface::Make(2, 2, PixelFormat::Rgb565);
  auto dst = DDSurface::Make(4, 4, PixelFormat::Rgb565);
  src->SetColorKey(0x00FF00FF);
  test::FillPixels(*src, src->GetColorKey());
  test::FillPixels(*dst, 0x1234);
  const Point s[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Point d[4] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
  dst->DrawPolygonKeyed(src.get(), s, d, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 2), 0x1234u);
  dst->DrawPolygon(src.get(), s, d, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 2), src->GetColorKey());

  // Bgra32 onto Bgrx32: alpha 0 keeps the colour but writes X = 0 when keyed;
  // the plain family copies the colour and writes X = 0 too.
  auto asrc = DDSurface::Make(2, 2, PixelFormat::Bgra32);
  auto xdst = DDSurface::Make(4, 4, PixelFormat::Bgrx32);
  test::FillPixels(*asrc, 0x00102030);
  test::FillPixels(*xdst, 0xEE405060);
  xdst->DrawPolygonKeyed(asrc.get(), s, d, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*xdst, 1, 1), 0x00405060u);
  xdst->DrawPolygon(asrc.get(), s, d, nullptr, 0, 4);
  EXPECT_EQ(test::ReadPixel(*xdst, 1, 1), 0x00102030u);
}

TEST(PolygonScan, OutlinesThatCannotBeDrawnDrawNothing) {
  std::mt19937 rng(9);
  auto src = test::RandomSurface(10, 10, PixelFormat::Bgra32, rng);
  auto dst = test::RandomSurface(30, 30, PixelFormat::Bgra32, rng, 4);
  const std::vector<uint8_t> before = Snapshot(*dst);
  const Point s4[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  const Point s6[6] = {{0, 0}, {9, 0}, {9, 4}, {9, 9}, {4, 9}, {0, 9}};
  const Point ok[4] = {{2, 2}, {20, 2}, {20, 20}, {2, 20}};
  struct Bad {
    const char* what;
    std::vector<Point> dst;
  };
  const Bad bad[] = {
      {"one row", {{0, 5}, {10, 5}, {20, 5}, {30, 5}}},
      {"one point", {{7, 7}, {7, 7}, {7, 7}, {7, 7}}},
      {"side going back up", {{0, 0}, {10, 10}, {20, 0}, {10, 20}}},
      {"bow tie", {{0, 0}, {20, 20}, {20, 0}, {0, 20}}},
      {"side going back up after a horizontal edge", {{0, 0}, {10, 0}, {10, 5}, {15, 5}, {15, 2}, {20, 10}}},
  };
  for (const Bad& b : bad) {
    const int n = static_cast<int>(b.dst.size());
    EXPECT_EQ(dst->DrawPolygonKeyed(src.get(), n == 6 ? s6 : s4, b.dst.data(), nullptr, 0, n), kBlitDone);
    EXPECT_EQ(dst->DrawPolygon(src.get(), n == 6 ? s6 : s4, b.dst.data(), nullptr, 1, n), kBlitDone);
    EXPECT_EQ(Snapshot(*dst), before) << b.what;
  }
  // Too few vertices, missing point lists.
  for (int count : {-1, 0, 1, 2}) {
    EXPECT_EQ(dst->DrawPolygon(src.get(), s4, ok, nullptr, 0, count), kBlitDone);
  }
  EXPECT_EQ(dst->DrawPolygon(src.get(), nullptr, ok, nullptr, 0, 4), kBlitDone);
  EXPECT_EQ(dst->DrawPolygon(src.get(), s4, nullptr, nullptr, 0, 4), kBlitDone);
  // Source points outside the source, on either side.
  for (const Point outside : {Point{10, 0}, Point{0, 10}, Point{-1, 3}, Point{3, -1}}) {
    Point s[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
    s[rng() % 4] = outside;
    EXPECT_EQ(dst->DrawPolygonKeyed(src.get(), s, ok, nullptr, 0, 4), kBlitDone);
  }
  // Empty and inverted clips, a polygon wholly outside the clip or the surface.
  const Rect empty{5, 5, 5, 20}, inverted{20, 20, 3, 3}, aside{25, 0, 30, 30};
  for (const Rect* clip : {&empty, &inverted, &aside}) {
    EXPECT_EQ(dst->DrawPolygon(src.get(), s4, ok, clip, 0, 4), kBlitDone);
  }
  const Point below[4] = {{2, 40}, {20, 40}, {20, 50}, {2, 50}};
  EXPECT_EQ(dst->DrawPolygon(src.get(), s4, below, nullptr, 0, 4), kBlitDone);
  EXPECT_EQ(Snapshot(*dst), before);
}

// Outlines with horizontal edges inside a side, or more than one vertex on the
// top or bottom row: the horizontal edges cover no row and are passed over.
TEST(PolygonScan, HorizontalEdgesInsideSidesArePassedOver) {
  std::mt19937 rng(21);
  auto src = test::RandomSurface(40, 40, PixelFormat::Bgrx32, rng);
  auto dst = test::RandomSurface(40, 40, PixelFormat::Bgrx32, rng, 4);
  const std::vector<uint8_t> blank = Snapshot(*dst);
  // The square (5, 3)-(25, 23) shows texels (0, 0)-(20, 20) one to one, so
  // that an edge split anywhere restarts on the very position it had reached.
  const Point corners[4] = {{5, 3}, {25, 3}, {25, 23}, {5, 23}};
  auto texel = [](Point p) { return Point{p.x - 5, p.y - 3}; };
  std::vector<Point> outline;  // corners and extra points on each side, clockwise
  const int cuts[] = {1, 7, 10, 19};
  for (int c = 0; c < 4; ++c) {
    const Point a = corners[c], b = corners[(c + 1) % 4];
    outline.push_back(a);
    for (int k : cuts) {
      outline.push_back({a.x + (b.x - a.x) * k / 20, a.y + (b.y - a.y) * k / 20});
    }
  }
  for (int keyed = 0; keyed < 2; ++keyed) {
    auto draw = [&](const std::vector<Point>& d) {
      std::vector<Point> sp;
      for (const Point& p : d) sp.push_back(texel(p));
      test::Restore(*dst, blank);
      const int n = static_cast<int>(d.size());
      const BlitResult r = keyed ? dst->DrawPolygonKeyed(src.get(), sp.data(), d.data(), nullptr, 0, n)
                                 : dst->DrawPolygon(src.get(), sp.data(), d.data(), nullptr, 0, n);
      EXPECT_EQ(r, kBlitDone);
      return Snapshot(*dst);
    };
    const std::vector<uint8_t> plain = draw({corners, corners + 4});
    ASSERT_NE(plain, blank);
    for (int wind = 0; wind < 2; ++wind) {
      std::vector<Point> o = outline;
      if (wind) std::reverse(o.begin(), o.end());
      for (size_t start = 0; start < o.size(); ++start) {
        std::vector<Point> r(o.begin() + start, o.end());
        r.insert(r.end(), o.begin(), o.begin() + start);
        ASSERT_EQ(draw(r), plain) << "keyed " << keyed << " winding " << wind << " start " << start;
        // Only the top and bottom rows' extra points, and only the sides'.
        std::vector<Point> topBottom, sides;
        for (const Point& p : r) {
          const bool corner = (p.x == 5 || p.x == 25) && (p.y == 3 || p.y == 23);
          if (corner || p.y == 3 || p.y == 23) topBottom.push_back(p);
          if (corner || p.x == 5 || p.x == 25) sides.push_back(p);
        }
        ASSERT_EQ(draw(topBottom), plain) << "start " << start;
        ASSERT_EQ(draw(sides), plain) << "start " << start;
      }
    }
  }
  // Outlines that once drew nothing: a zero-length top edge, a step inside a
  // side, three vertices on the top row. Each now covers its rows.
  struct Case {
    std::vector<Point> dst;
    int32_t top, bottom;
  };
  const Case cases[] = {
      {{{10, 10}, {10, 10}, {10, 11}, {9, 10}}, 10, 11},
      {{{0, 0}, {10, 0}, {10, 5}, {20, 5}, {20, 10}, {0, 10}}, 0, 10},
      {{{0, 0}, {5, 0}, {10, 0}, {5, 9}}, 0, 9},
  };
  for (const Case& c : cases) {
    std::vector<Point> sp(c.dst.size(), Point{3, 3});
    auto one = DDSurface::Make(8, 8, PixelFormat::Bgrx32);
    test::FillPixels(*one, 0x00ABCDEF);
    test::FillPixels(*dst, 0);
    EXPECT_EQ(
        dst->DrawPolygon(one.get(), sp.data(), c.dst.data(), nullptr, 0, static_cast<int32_t>(c.dst.size())),
        kBlitDone);
    for (int32_t y = 0; y < 40; ++y) {
      bool any = false;
      for (int32_t x = 0; x < 40; ++x) any |= test::ReadPixel(*dst, x, y) == 0x00ABCDEFu;
      EXPECT_EQ(any, y >= c.top && y <= c.bottom) << "row " << y;
    }
    if (c.dst.size() == 6) {  // the step: rows 0-4 end at x 10, rows 5-10 at x 20
      EXPECT_EQ(test::ReadPixel(*dst, 10, 4), 0x00ABCDEFu);
      EXPECT_EQ(test::ReadPixel(*dst, 11, 4), 0u);
      EXPECT_EQ(test::ReadPixel(*dst, 20, 5), 0x00ABCDEFu);
    }
  }
}

// Rounded regular polygons up to 256 vertices: every pixel well inside is
// drawn, nothing outside the bounding box of the vertices.
TEST(PolygonScan, RoundedRegularPolygonsAreFilled) {
  auto src = DDSurface::Make(64, 64, PixelFormat::Bgrx32);
  test::FillPixels(*src, 0x00FFFFFF);
  src->SetColorKey(0);
  auto dst = DDSurface::Make(700, 700, PixelFormat::Bgrx32);
  const double pi = std::acos(-1.0);
  struct Shape {
    double cx, cy, r;
  };
  const Shape shapes[] = {{350, 350, 100}, {120.25, 333.5, 40}, {351.5, 349.5, 340}, {300, 280, 190}};
  const int ns[] = {3, 4, 5, 7, 12, 31, 64, 100, 256};
  for (const Shape& sh : shapes) {
    for (int n : ns) {
      // Adjacent vertices stay more than 1.5 pixels apart, so none coincide.
      if (2 * pi * sh.r / n < 1.5) continue;
      for (int phase = 0; phase < 2; ++phase) {
        std::vector<Point> dp(n), sp(n);
        for (int i = 0; i < n; ++i) {
          const double a = 2 * pi * i / n + phase * 0.3;
          dp[i] = {static_cast<int32_t>(std::lround(sh.cx + sh.r * std::cos(a))),
                   static_cast<int32_t>(std::lround(sh.cy + sh.r * std::sin(a)))};
          sp[i] = {static_cast<int32_t>(std::lround(32 + 31 * std::cos(a))),
                   static_cast<int32_t>(std::lround(32 + 31 * std::sin(a)))};
        }
        Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (const Point& p : dp) {
          box.left = std::min(box.left, p.x);
          box.top = std::min(box.top, p.y);
          box.right = std::max(box.right, p.x);
          box.bottom = std::max(box.bottom, p.y);
        }
        for (int keyed = 0; keyed < 2; ++keyed) {
          test::FillPixels(*dst, 0);
          if (keyed) dst->DrawPolygonKeyed(src.get(), sp.data(), dp.data(), nullptr, 0, n);
          else dst->DrawPolygon(src.get(), sp.data(), dp.data(), nullptr, 0, n);
          int64_t missing = 0, outside = 0;
          const PixelBuffer& b = dst->Buffer();
          for (int32_t y = 0; y < 700; ++y) {
            const uint8_t* row = b.pixels + int64_t{y} * b.pitch;
            for (int32_t x = 0; x < 700; ++x) {
              const bool drawn = row[4 * x] != 0;
              const bool inBox = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
              if (drawn && !inBox) ++outside;
              if (drawn || !inBox) continue;
              // Inside every edge's half plane by more than a pixel? (The
              // rounded vertices lie within 0.71 of the exact ones.)
              const double dist = std::hypot(x - sh.cx, y - sh.cy);
              if (dist > sh.r) continue;
              bool deep = true;
              if (dist < sh.r * std::cos(pi / n) - 2) {
                ++missing;
                continue;
              }
              for (int i = 0; i < n && deep; ++i) {
                const Point a = dp[i], b = dp[(i + 1) % n];
                const double ex = b.x - a.x, ey = b.y - a.y, len = std::hypot(ex, ey);
                if (len == 0) continue;
                deep = (ex * (y - a.y) - ey * (x - a.x)) / len > 1.0;
              }
              missing += deep;
            }
          }
          EXPECT_EQ(missing, 0) << "n " << n << " r " << sh.r << " keyed " << keyed;
          EXPECT_EQ(outside, 0) << "n " << n << " r " << sh.r << " keyed " << keyed;
        }
      }
    }
  }
}

TEST(PolygonScan, ArbitraryInputWritesOnlyInsideTheClip) {
  // Any vertex lists, clips and flags: nothing outside the clip (cut to the
  // destination) changes, and the sanitizers see no fault.
  std::mt19937 rng(13);
  auto coord = [&](int range) -> int32_t {
    switch (rng() % 6) {
      case 0:
        return static_cast<int32_t>(rng());
      case 1:
        return rng() % 2 ? INT32_MAX - static_cast<int32_t>(rng() % 4)
                         : INT32_MIN + static_cast<int32_t>(rng() % 4);
      case 2:
        return Pick(rng, -3000, 3000);
      default:
        return Pick(rng, -4, range + 4);
    }
  };
  for (int round = 0; round < 300; ++round) {
    const auto served = ServedPairs();
    const auto [sf, df] = served[rng() % served.size()];
    auto src = test::RandomSurface(Pick(rng, 1, 12), Pick(rng, 1, 12), sf, rng, 3);
    auto dst = test::RandomSurface(Pick(rng, 1, 24), Pick(rng, 1, 24), df, rng, 5);
    const int n = Pick(rng, 3, 7);
    std::vector<Point> sp(n), dp(n);
    for (int i = 0; i < n; ++i) {
      dp[i] = {coord(24), coord(24)};
      sp[i] = rng() % 8 ? Point{Pick(rng, 0, src->Buffer().bounds.right - 1),
                                Pick(rng, 0, src->Buffer().bounds.bottom - 1)}
                        : Point{coord(12), coord(12)};
    }
    Rect clip{coord(24), coord(24), coord(24), coord(24)};
    const Rect* clipArg = rng() % 3 ? &clip : nullptr;
    const std::vector<uint8_t> before = Snapshot(*dst);
    const uint8_t flag = static_cast<uint8_t>(rng() % 3);
    if (rng() % 2) dst->DrawPolygonKeyed(src.get(), sp.data(), dp.data(), clipArg, flag, n);
    else dst->DrawPolygon(src.get(), sp.data(), dp.data(), clipArg, flag, n);
    const Rect inside = Cut(clipArg, dst->Buffer().bounds);
    const std::vector<uint8_t> after = Snapshot(*dst);
    const int bpp = BytesPerPixel(df);
    for (size_t i = 0; i < after.size(); ++i) {
      const int64_t y = i / dst->Buffer().pitch, x = (i % dst->Buffer().pitch) / bpp;
      const bool in = x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom &&
                      x < dst->Buffer().bounds.right;
      if (!in) {
        ASSERT_EQ(after[i], before[i]) << "round " << round << " byte " << i;
      }
    }
  }
}

TEST(PolygonScan, EdgeArraysGoBackToThePool) {
  std::mt19937 rng(10);
  auto src = test::RandomSurface(10, 10, PixelFormat::Rgb565, rng);
  auto dst = test::RandomSurface(30, 30, PixelFormat::Rgb565, rng);
  const size_t freeBefore = SmallBlockPool::Get().FreeBlocks();
  const Point s[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  const Point inside[4] = {{2, 2}, {20, 2}, {20, 20}, {2, 20}};
  const Point below[4] = {{2, 40}, {20, 40}, {20, 50}, {2, 50}};
  const Point triangle[3] = {{2, 2}, {20, 9}, {5, 25}};  // one side of a single edge
  for (int i = 0; i < 100; ++i) {
    dst->DrawPolygon(src.get(), s, inside, nullptr, 0, 4);
    dst->DrawPolygonKeyed(src.get(), s, below, nullptr, 0, 4);
    dst->DrawPolygon(src.get(), s, triangle, nullptr, 0, 3);
  }
  EXPECT_EQ(SmallBlockPool::Get().FreeBlocks(), freeBefore);
}

TEST(PolygonDispatch, LocksAnswersAndUnservedPairs) {
  std::mt19937 rng(11);
  const Point s[4] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}};
  const Point d[4] = {{1, 1}, {7, 1}, {7, 7}, {1, 7}};
  const auto served = ServedPairs();
  for (bool keyed : {false, true}) {
    auto draw = [&](DDSurface& dst, DDSurface* src) {
      return keyed ? dst.DrawPolygonKeyed(src, s, d, nullptr, 0, 4)
                   : dst.DrawPolygon(src, s, d, nullptr, 0, 4);
    };
    for (PixelFormat sf : test::kAllFormats) {
      for (PixelFormat df : test::kAllFormats) {
        auto src = test::RandomSurface(6, 6, sf, rng, 0, DDSurface::Memory::Lent);
        auto dst = test::RandomSurface(9, 9, df, rng, 0, DDSurface::Memory::Lent);
        const std::vector<uint8_t> before = Snapshot(*dst);
        const bool isServed = std::find(served.begin(), served.end(), std::make_pair(sf, df)) != served.end();
        EXPECT_EQ(draw(*dst, src.get()), isServed ? kBlitDone : kBlitPairNotServed);
        EXPECT_EQ(src->Platform()->LocksHeld() + dst->Platform()->LocksHeld(), 0);
        if (isServed) {
          EXPECT_NE(Snapshot(*dst), before);
        } else {
          EXPECT_EQ(Snapshot(*dst), before);
        }
      }
    }
    // Equal formats without a rasteriser: nothing drawn, 0.
    auto idx = DDSurface::Make(8, 8, PixelFormat::Index8);
    auto idx2 = DDSurface::Make(8, 8, PixelFormat::Index8);
    test::FillPixels(*idx2, 7);
    EXPECT_EQ(draw(*idx, idx2.get()), kBlitDone);
    EXPECT_EQ(test::ReadPixel(*idx, 3, 3), 0u);
    auto rgb = DDSurface::Make(8, 8, PixelFormat::Rgb565, DDSurface::Memory::Lent);
    EXPECT_EQ(draw(*rgb, idx2.get()), kBlitPairNotServed);
    // A missing source.
    const int32_t rgbCalls = rgb->Platform()->LockCalls();
    EXPECT_EQ(draw(*rgb, nullptr), kBlitLockRefused);
    EXPECT_EQ(rgb->Platform()->LockCalls(), rgbCalls);

    // Destination refused: the source is never asked.
    auto src = test::RandomSurface(6, 6, PixelFormat::Rgb565, rng, 0, DDSurface::Memory::Lent);
    auto dst = test::RandomSurface(9, 9, PixelFormat::Rgb565, rng, 0, DDSurface::Memory::Lent);
    const std::vector<uint8_t> before = Snapshot(*dst);
    dst->Platform()->RefuseLocks(1);
    const int32_t srcCalls = src->Platform()->LockCalls();
    EXPECT_EQ(draw(*dst, src.get()), kBlitLockRefused);
    EXPECT_EQ(src->Platform()->LockCalls(), srcCalls);
    dst->Platform()->RefuseLocks(platform::kSurfaceOk);
    // Source refused: the destination is unlocked again.
    src->Platform()->RefuseLocks(1);
    const int32_t granted = dst->Platform()->LocksGranted();
    EXPECT_EQ(draw(*dst, src.get()), kBlitLockRefused);
    EXPECT_EQ(dst->Platform()->LocksGranted(), granted + 1);
    EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
    EXPECT_EQ(Snapshot(*dst), before);
    src->Platform()->RefuseLocks(platform::kSurfaceOk);
    // A surface drawn onto itself is locked once.
    EXPECT_EQ(draw(*dst, dst.get()), kBlitDone);
    EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
  }
}

TEST(RotatedScaled, CornersOfTheTurnedAndScaledPicture) {
  auto src = DDSurface::Make(100, 100, PixelFormat::Rgb565);
  RotatedQuad q;
  auto corners = [&](int angle, int sx, int sy) {
    EXPECT_TRUE(MakeRotatedQuad(*src, 400, 300, angle, sx, sy, &q));
    std::vector<std::pair<int, int>> out;
    for (const Point& p : q.dst) out.push_back({p.x, p.y});
    return out;
  };
  using V = std::vector<std::pair<int, int>>;
  EXPECT_EQ(corners(0, 65536, 65536), (V{{351, 251}, {450, 251}, {450, 350}, {351, 350}}));
  for (int i = 0; i < 4; ++i) {
    const Point expected[4] = {{0, 0}, {99, 0}, {99, 99}, {0, 99}};
    EXPECT_EQ(q.src[i].x, expected[i].x);
    EXPECT_EQ(q.src[i].y, expected[i].y);
  }
  EXPECT_EQ(corners(128, 65536, 65536), (V{{449, 251}, {449, 350}, {350, 350}, {350, 251}}));
  EXPECT_EQ(corners(512, 65536, 65536), corners(0, 65536, 65536));
  EXPECT_EQ(corners(-384, 65536, 65536), corners(128, 65536, 65536));
  // Half width: the extent 99 x 0.5 = 49.5 rounds to 50.
  EXPECT_EQ(corners(0, 32768, 65536), (V{{375, 251}, {425, 251}, {425, 350}, {375, 350}}));

  // Nothing to draw: a zero scale, an extent that rounds to 0, a 1-pixel side,
  // corners beyond the 32-bit range.
  EXPECT_FALSE(MakeRotatedQuad(*src, 0, 0, 0, 0, 65536, &q));
  EXPECT_FALSE(MakeRotatedQuad(*src, 0, 0, 0, 65536, 0, &q));
  EXPECT_FALSE(MakeRotatedQuad(*src, 0, 0, 0, 300, 65536, &q));
  auto thin = DDSurface::Make(1, 50, PixelFormat::Rgb565);
  EXPECT_FALSE(MakeRotatedQuad(*thin, 0, 0, 0, 65536, 65536, &q));
  EXPECT_FALSE(MakeRotatedQuad(*src, INT32_MAX, 0, 0, INT32_MAX, 65536, &q));
  EXPECT_TRUE(MakeRotatedQuad(*src, 0, 0, 0, INT32_MAX, INT32_MAX, &q));
}

TEST(RotatedScaled, DrawsTheQuadThroughTheKeyedRasteriser) {
  std::mt19937 rng(12);
  for (int round = 0; round < 20; ++round) {
    auto src = test::RandomSurface(Pick(rng, 2, 20), Pick(rng, 2, 20), PixelFormat::Bgra32, rng);
    PlantKey(*src, rng);
    auto a = test::RandomSurface(40, 40, PixelFormat::Bgrx32, rng, 4);
    auto b = DDSurface::Make(40, 40, PixelFormat::Bgrx32, DDSurface::Memory::Own, 40 * 4 + 4);
    test::Restore(*b, Snapshot(*a));
    const int angle = Pick(rng, -1000, 1000);
    const int sx = Pick(rng, -200000, 200000), sy = Pick(rng, -200000, 200000);
    const int cx = Pick(rng, -5, 45), cy = Pick(rng, -5, 45);
    Rect storage;
    const Rect* clip = RandomClip(rng, &storage, 40, 40);
    RotatedQuad q;
    const bool drawn = MakeRotatedQuad(*src, cx, cy, angle, sx, sy, &q);
    EXPECT_EQ(DrawRotatedScaled(a.get(), src.get(), cx, cy, angle, sx, sy, clip), kBlitDone);
    if (drawn) b->DrawPolygonKeyed(src.get(), q.src, q.dst, clip, 0, 4);
    ASSERT_EQ(Snapshot(*a), Snapshot(*b)) << "round " << round;
  }
  // Nothing to draw: 0, and neither surface is locked.
  auto src = DDSurface::Make(8, 8, PixelFormat::Rgb565, DDSurface::Memory::Lent);
  auto dst = DDSurface::Make(8, 8, PixelFormat::Rgb565, DDSurface::Memory::Lent);
  EXPECT_EQ(DrawRotatedScaled(dst.get(), src.get(), 4, 4, 0, 0, 65536), kBlitDone);
  EXPECT_EQ(src->Platform()->LockCalls() + dst->Platform()->LockCalls(), 0);
  EXPECT_EQ(DrawRotatedScaled(dst.get(), nullptr, 4, 4, 0, 65536, 65536), kBlitLockRefused);
  EXPECT_EQ(DrawRotatedScaled(nullptr, src.get(), 4, 4, 0, 65536, 65536), kBlitLockRefused);
  // A pair the keyed rasterisers do not serve.
  auto other = DDSurface::Make(8, 8, PixelFormat::Rgb555, DDSurface::Memory::Lent);
  EXPECT_EQ(DrawRotatedScaled(other.get(), src.get(), 4, 4, 0, 65536, 65536), kBlitPairNotServed);
}

}  // namespace

}  // namespace pixelops
