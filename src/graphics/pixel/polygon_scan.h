// Textured polygon scan conversion and the dispatcher of the polygon
// rasterisers.
//
// A rasteriser maps the source polygon (texel positions) onto the destination
// polygon (pixel positions) with the same number of vertices, affinely: it
// walks the polygon's left and right sides row by row in 12.20 fixed point,
// then each span from left to right, and hands every (texel, pixel) pair to a
// per-texel step. A family of rasterisers is a table of pairs plus its steps,
// in the shape of the blend rules:
//
//   template <class S, class D> struct MyTexel {
//     explicit MyTexel(const MyValues& v);
//     void operator()(const uint8_t* s, uint8_t* d) const;   // one texel onto one pixel
//   };
//   constexpr auto& kPairs = ServePolygonSet<format_pairs::kPolygon, MyTexel, MyValues>;
//   return RunPolygon(*this, src, kPairs, values, PolygonArgs{...});
//
// Values with a `key` member get the source's colour key after both surfaces
// are locked; a texel meets it as the source format's KeyMatches says.
//
// A step with a fast path names its span op (kSpanOp) and carries a member
// `kernels::SpanKernel span` (see SpanKernelFor); the frame refuses to compile
// a step that names the one without carrying the other. Where the call's
// kernel table (read once per call) has a span kernel for its op and pair,
// each span whose accumulators and texel offsets fit 32 bits goes to the
// kernel, which draws it with the very texels and bytes of the per-texel
// step; the step draws whatever the kernel leaves. A source whose pixel
// memory overlaps the destination's always goes texel by texel.
//
// The fixed-point arithmetic is done in 64 bits: for coordinates whose 12.20
// values fit 32 bits it gives the same numbers as 32-bit arithmetic, and for
// larger ones it stays exact instead of wrapping. Whatever the arguments, no
// pixel outside the clip (cut to the destination's bounds) is written and no
// texel outside the bounding box of the source points is read; outlines whose
// sides turn back up (see PlanOutline), and source points outside the source,
// draw nothing.
#pragma once

#include <climits>
#include <concepts>
#include <cstddef>
#include <cstdint>

#include <pixelops/dd_surface.h>
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/row_kernels.h"
#include "graphics/wide_int.h"
#include "runtime/small_block_pool.h"

namespace pixelops {

// Destination positions of the vertices where an edge starts and ends.
struct PolygonEdge {
  int32_t x0, y0, x1, y1;
};
// Source positions of the same two vertices.
struct TextureEdge {
  int32_t u0, v0, u1, v1;
};
static_assert(sizeof(PolygonEdge) == 16 && sizeof(TextureEdge) == 16);

// What every rasteriser is given besides its two pixel buffers. Vertex i of
// dstPoints shows texel srcPoints[i]. No clip means the destination's bounds.
// A non-zero flag adds 1 to every divisor of a texture step, so that an edge or
// a span of n steps stops short of its end texel.
struct PolygonArgs {
  const Point* srcPoints = nullptr;
  const Point* dstPoints = nullptr;
  const Rect* clip = nullptr;
  uint8_t flag = 0;
  int32_t count = 0;
};

namespace kernels {

// One span of a rasteriser with 2-, 3- or 4-byte texels, for a span kernel: the
// texel of pixel k is at rowTexel + ((av + k dv) >> 20) x pitch + ((au + k
// du) >> 20) x texel bytes. The caller holds au + k du and av + k dv within
// 32 bits for every pixel of the span, and the texel offsets too; du and dv
// are the low 32 bits of the steps (the lanes add them modulo 2^32). A kernel
// reads 4 bytes at every texel; the caller makes sure they are there.
struct Span {
  const uint8_t* rowTexel;
  int32_t pitch;
  int32_t au, av;
  uint32_t du, dv;
};

// Draws the first pixels of a span of count pixels from d onward (all of
// them, or as many as whole vectors hold) and answers how many; the rule
// draws the rest.
using SpanFn = int32_t (*)(const Span& span, uint8_t* d, int32_t count, const RowArgs& args);

// A texel rule's span kernel, by what it does and the values it takes; the
// scan finds the routine in the call's kernel table (none for op kCount).
struct SpanKernel {
  Op op = Op::kCount;
  RowArgs args;
};

// The span kernel of op for the pair (only pairs with 2-, 3- or 4-byte texels
// onto 2-, 3- or 4-byte pixels have them).
template <class S, class D>
SpanKernel SpanKernelFor(Op op, const RowArgs& args) {
  if constexpr (S::kBytes != 1 && D::kBytes != 1) {
    return SpanKernel{op, args};
  } else {
    return SpanKernel{};
  }
}

}  // namespace kernels

namespace polyscan {

template <class Texel>
concept CarriesSpanKernel = requires(const Texel& texel) {
  { texel.span } -> std::convertible_to<kernels::SpanKernel>;
};
template <class Texel>
concept NamesSpanKernel = requires {
  { Texel::kSpanOp } -> std::convertible_to<kernels::Op>;
};

inline constexpr int64_t kOne = int64_t{1} << 20;
inline constexpr int64_t kHalf = kOne / 2;

// c << 20 and f >> 20 (rounding towards minus infinity).
constexpr int64_t Fix(int64_t c) { return c * kOne; }
constexpr int64_t Whole(int64_t f) { return f >> 20; }

// One side of the polygon: the vertex it starts at, the direction it walks
// the vertex list in (+1 or -1, wrapping), how many edges it walks (steps) and
// how many of them go down and so get a record (edges); the horizontal ones
// cover no row and are passed over.
struct Side {
  int32_t first = 0;
  int32_t dir = 1;
  int32_t edges = 0;
  int32_t steps = 0;
};

struct Outline {
  int32_t top = 0, bottom = 0;
  Side left, right;
};

inline int32_t Next(int32_t i, int32_t dir, int32_t count) {
  i += dir;
  return i < 0 ? count - 1 : (i == count ? 0 : i);
}

// The chain of edges from `from` to `to` in direction dir: false when an edge
// goes up; otherwise the side, its down-going edges counted.
inline bool Chain(const Point* p, int32_t count, int32_t from, int32_t to, int32_t dir, Side* side) {
  *side = Side{from, dir, 0, 0};
  for (int32_t i = from; i != to; i = Next(i, dir, count)) {
    const int32_t j = Next(i, dir, count);
    if (p[j].y < p[i].y) return false;
    if (p[j].y > p[i].y) ++side->edges;
    ++side->steps;
  }
  return side->edges > 0;
}

// The direction (+1 or -1) of the left side of a y-monotone outline whose top
// vertex does not tell it: the side that leaves the top row further left, or
// at the same point, the one whose first edge down leans further left.
inline int32_t LeftDirFromSides(const Point* p, int32_t count, int32_t top) {
  Point start[2], next[2];
  for (int32_t k = 0; k < 2; ++k) {
    const int32_t dir = k == 0 ? 1 : -1;
    int32_t i = top;
    for (int32_t n = 0; n < count && p[Next(i, dir, count)].y == p[top].y; ++n) {
      i = Next(i, dir, count);
    }
    start[k] = p[i];
    next[k] = p[Next(i, dir, count)];
  }
  if (start[0].x != start[1].x) return start[0].x < start[1].x ? 1 : -1;
  // Edge k as (ex, ey), ey > 0: edge 0 is further left when ex0 / ey0 < ex1 / ey1.
  const int32_t c = wide::SignOfCross(int64_t{next[0].x} - start[0].x, int64_t{next[1].y} - start[1].y,
                                      int64_t{next[1].x} - start[1].x, int64_t{next[0].y} - start[0].y);
  return c < 0 ? 1 : -1;
}

// Finds the top vertex (topmost, then leftmost) and the bottom vertex
// (bottommost, then rightmost), the winding, and the two sides. A horizontal
// top or bottom edge belongs to neither side, and a horizontal edge inside a
// side covers no row: the next edge of the side starts on the same row. False
// for outlines that cannot be scan-converted: all vertices on one row, or a
// side with an edge going up (outlines that are not convex, bow ties).
inline bool PlanOutline(const Point* p, int32_t count, Outline* out) {
  int32_t top = 0, bottom = 0;
  for (int32_t i = 1; i < count; ++i) {
    if (p[i].y < p[top].y || (p[i].y == p[top].y && p[i].x < p[top].x)) {
      top = i;
    } else if (p[i].y > p[bottom].y || (p[i].y == p[bottom].y && p[i].x > p[bottom].x)) {
      bottom = i;
    }
  }
  if (p[top].y >= p[bottom].y) return false;

  // The winding, by the sign of the cross product at the top vertex.
  const Point& t = p[top];
  const Point& before = p[Next(top, -1, count)];
  const Point& after = p[Next(top, 1, count)];
  const int32_t cross = wide::SignOfCross(int64_t{after.y} - t.y, int64_t{before.x} - t.x,
                                          int64_t{before.y} - t.y, int64_t{after.x} - t.x);
  int32_t leftDir = cross > 0 ? 1 : -1;
  out->top = top;
  out->bottom = bottom;

  // Outlines whose sides go strictly down once one horizontal top edge (on the
  // right) and one horizontal bottom edge (on the left) are set aside.
  {
    const int32_t rightDir = -leftDir;
    Side left{top, leftDir, 0, 0};
    for (int32_t i = top; i != bottom; i = Next(i, leftDir, count)) ++left.edges;
    if (p[Next(bottom, -leftDir, count)].y == p[bottom].y) --left.edges;
    Side right{top, rightDir, 0, 0};
    if (p[Next(top, rightDir, count)].y == t.y) right.first = Next(top, rightDir, count);
    for (int32_t i = right.first; i != bottom; i = Next(i, rightDir, count)) ++right.edges;
    bool down = left.edges > 0 && right.edges > 0;
    for (const Side& side : {left, right}) {
      int32_t i = side.first;
      for (int32_t k = 0; down && k < side.edges; ++k) {
        const int32_t j = Next(i, side.dir, count);
        down = p[j].y > p[i].y;
        i = j;
      }
    }
    if (down) {
      left.steps = left.edges;
      right.steps = right.edges;
      out->left = left;
      out->right = right;
      return true;
    }
  }

  // Sides with horizontal edges: every edge of both chains from the top vertex
  // to the bottom one goes down or stays on its row.
  Side a, b;
  if (!Chain(p, count, top, bottom, 1, &a) || !Chain(p, count, top, bottom, -1, &b)) return false;
  if (cross == 0) leftDir = LeftDirFromSides(p, count, top);
  out->left = leftDir == 1 ? a : b;
  out->right = leftDir == 1 ? b : a;
  return true;
}

// The four edge arrays of one call (records of both sides, destination and
// source), from the small-block pool, each one record longer than the side's
// edges; given back when the call ends, on every path.
class EdgeArrays {
 public:
  EdgeArrays(int32_t leftEdges, int32_t rightEdges)
      : leftEdge_(Take<PolygonEdge>(leftEdges)),
        leftTexture_(Take<TextureEdge>(leftEdges)),
        rightEdge_(Take<PolygonEdge>(rightEdges)),
        rightTexture_(Take<TextureEdge>(rightEdges)) {}
  ~EdgeArrays() {
    PoolDelete(leftEdge_);
    PoolDelete(leftTexture_);
    PoolDelete(rightEdge_);
    PoolDelete(rightTexture_);
  }
  EdgeArrays(const EdgeArrays&) = delete;
  EdgeArrays& operator=(const EdgeArrays&) = delete;

  bool Ok() const { return leftEdge_ && leftTexture_ && rightEdge_ && rightTexture_; }
  PolygonEdge* Edges(bool left) { return left ? leftEdge_ : rightEdge_; }
  TextureEdge* Textures(bool left) { return left ? leftTexture_ : rightTexture_; }

 private:
  template <class T>
  static T* Take(int32_t edges) {
    return static_cast<T*>(PoolNew(sizeof(T) * (static_cast<size_t>(edges) + 1)));
  }
  PolygonEdge* leftEdge_;
  TextureEdge* leftTexture_;
  PolygonEdge* rightEdge_;
  TextureEdge* rightTexture_;
};

// Fills a side's records: record k runs along its k-th edge going down
// (horizontal edges get none); the record after the last is a copy of it, so
// the look-ahead at the next record never leaves the array.
inline void FillSide(const Side& side, const Point* dstPoints, const Point* srcPoints, int32_t count,
                     PolygonEdge* edges, TextureEdge* textures) {
  int32_t i = side.first;
  for (int32_t k = 0, n = 0; n < side.steps; ++n) {
    const int32_t j = Next(i, side.dir, count);
    if (dstPoints[j].y != dstPoints[i].y) {
      edges[k] = PolygonEdge{dstPoints[i].x, dstPoints[i].y, dstPoints[j].x, dstPoints[j].y};
      textures[k] = TextureEdge{srcPoints[i].x, srcPoints[i].y, srcPoints[j].x, srcPoints[j].y};
      ++k;
    }
    i = j;
  }
  edges[side.edges] = edges[side.edges - 1];
  textures[side.edges] = textures[side.edges - 1];
}

// The walk down one side: the current record, and x, u, v with their per-row
// steps in 12.20.
struct SideWalk {
  const PolygonEdge* edges;
  const TextureEdge* textures;
  int32_t edgeCount;
  int32_t current = -1;  // none yet: the look-ahead is record 0
  int64_t x = 0, dx = 0, u = 0, du = 0, v = 0, dv = 0;

  // Starts record k, advanced by `rows` rows from its first row.
  void Start(int32_t k, int64_t rows, int64_t flag) {
    current = k;
    const PolygonEdge& e = edges[k];
    const TextureEdge& t = textures[k];
    const int64_t height = int64_t{e.y1} - e.y0;
    dx = Fix(int64_t{e.x1} - e.x0) / height;
    du = Fix(int64_t{t.u1} - t.u0) / (height + flag);
    dv = Fix(int64_t{t.v1} - t.v0) / (height + flag);
    x = Fix(e.x0) + kHalf + rows * dx;
    u = Fix(t.u0) + kHalf + rows * du;
    v = Fix(t.v0) + kHalf + rows * dv;
  }

  // Starts the walk below the top of the polygon, on the record that holds
  // row y - 1 advanced to that row, so that row y comes out as in a full walk.
  void StartAbove(int32_t y, int64_t flag) {
    int32_t k = edgeCount - 1;
    for (int32_t i = 0; i + 1 < edgeCount; ++i) {
      if (edges[i].y0 <= int64_t{y} - 1 && int64_t{y} - 1 < edges[i].y1) {
        k = i;
        break;
      }
    }
    Start(k, int64_t{y} - 1 - edges[k].y0, flag);
  }

  // Row y: the next record starts on its first row, otherwise the side steps on.
  void Row(int32_t y, int64_t flag) {
    if (edges[current + 1].y0 == y) {
      Start(current + 1, 0, flag);
    } else {
      x += dx;
      u += du;
      v += dv;
    }
  }
};

inline bool PointsInside(const Rect& bounds, const Point* points, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (points[i].x < bounds.left || points[i].x >= bounds.right || points[i].y < bounds.top ||
        points[i].y >= bounds.bottom) {
      return false;
    }
  }
  return true;
}

}  // namespace polyscan

namespace polyscan {

// Hands a span of count pixels to a span kernel when its accumulators and
// texel offsets fit the kernel's 32-bit lanes, and answers how many pixels the
// kernel drew (0 when they do not fit).
// A kernel reads 4 bytes at every texel: for texels of fewer bytes, the span
// must leave that many bytes before the end of the source's memory, which
// lies `readable` bytes past rowTexel.
inline int32_t SpanByKernel(kernels::SpanFn fn, const kernels::RowArgs& args, const uint8_t* rowTexel,
                            int64_t readable, int32_t pitch, int64_t sb, int64_t au, int64_t du, int64_t av,
                            int64_t dv, uint8_t* d, int64_t count) {
  constexpr int64_t kMin = INT32_MIN, kMax = INT32_MAX;
  if (count > kMax) return 0;
  const int64_t auEnd = au + (count - 1) * du, avEnd = av + (count - 1) * dv;
  for (const int64_t a : {au, auEnd, av, avEnd}) {
    if (a < kMin || a > kMax) return 0;
  }
  const auto magnitude = [](int64_t a, int64_t b) {
    a = Whole(a) < 0 ? -Whole(a) : Whole(a);
    b = Whole(b) < 0 ? -Whole(b) : Whole(b);
    return a > b ? a : b;
  };
  const int64_t absPitch = pitch < 0 ? -int64_t{pitch} : pitch;
  if (magnitude(av, avEnd) * absPitch + magnitude(au, auEnd) * sb > kMax) return 0;
  if (sb < 4) {
    const auto highest = [](int64_t a, int64_t b) { return Whole(a) > Whole(b) ? Whole(a) : Whole(b); };
    if (highest(av, avEnd) * pitch + highest(au, auEnd) * sb + 4 > readable) return 0;
  }
  const kernels::Span span{rowTexel,
                           pitch,
                           static_cast<int32_t>(au),
                           static_cast<int32_t>(av),
                           static_cast<uint32_t>(du),
                           static_cast<uint32_t>(dv)};
  return fn(span, d, static_cast<int32_t>(count), args);
}

// Applies the texel step to count pixels from d onward; pixel k shows the
// texel at rowTexel + ((av + k dv) >> 20) x pitch + ((au + k du) >> 20) x sb.
// The step comes as a copy of its own, which no byte store can alias, so its
// values (a key, a table) stay in registers across the span.
template <int64_t sb, int64_t db, class Texel>
inline void TexelSpan(const Texel texel, const uint8_t* rowTexel, int64_t pitch, int64_t au, int64_t du,
                      int64_t av, int64_t dv, uint8_t* d, int64_t count) {
  if (dv == 0) {
    // A span along one source row.
    const uint8_t* row = rowTexel + Whole(av) * pitch;
    for (; count > 0; --count, d += db, au += du) texel(row + Whole(au) * sb, d);
  } else {
    for (; count > 0; --count, d += db, au += du, av += dv) {
      texel(rowTexel + Whole(av) * pitch + Whole(au) * sb, d);
    }
  }
}

}  // namespace polyscan

// Scan-converts the polygon and applies the texel step to every pixel it
// covers inside the clip, rows top to bottom, each span left to right; the
// span kernel, if any, is found in table.
template <class Src, class Dst, class Texel>
void ScanPolygon(const PixelBuffer& src, const PixelBuffer& dst, const PolygonArgs& args, const Texel& texel,
                 const kernels::KernelTable& table) {
  using namespace polyscan;
  const int32_t count = args.count;
  const Point* dstPoints = args.dstPoints;
  if (args.srcPoints == nullptr || dstPoints == nullptr || count < 3) return;
  if (src.pixels == nullptr || dst.pixels == nullptr) return;
  if (!PointsInside(src.bounds, args.srcPoints, count)) return;

  Rect clip = args.clip ? *args.clip : dst.bounds;
  if (clip.left < dst.bounds.left) clip.left = dst.bounds.left;
  if (clip.top < dst.bounds.top) clip.top = dst.bounds.top;
  if (clip.right > dst.bounds.right) clip.right = dst.bounds.right;
  if (clip.bottom > dst.bounds.bottom) clip.bottom = dst.bounds.bottom;
  if (clip.left >= clip.right || clip.top >= clip.bottom) return;

  Outline outline;
  if (!PlanOutline(dstPoints, count, &outline)) return;
  EdgeArrays arrays(outline.left.edges, outline.right.edges);
  if (!arrays.Ok()) return;
  FillSide(outline.left, dstPoints, args.srcPoints, count, arrays.Edges(true), arrays.Textures(true));
  FillSide(outline.right, dstPoints, args.srcPoints, count, arrays.Edges(false), arrays.Textures(false));

  const int32_t topY = dstPoints[outline.top].y, bottomY = dstPoints[outline.bottom].y;
  if (clip.bottom - 1 < topY || bottomY < clip.top) return;
  const int32_t lastRow = bottomY < clip.bottom - 1 ? bottomY : clip.bottom - 1;
  const int64_t flag = args.flag != 0 ? 1 : 0;

  SideWalk left{arrays.Edges(true), arrays.Textures(true), outline.left.edges};
  SideWalk right{arrays.Edges(false), arrays.Textures(false), outline.right.edges};
  int32_t firstRow = topY;
  if (clip.top > topY) {
    left.StartAbove(clip.top, flag);
    right.StartAbove(clip.top, flag);
    firstRow = clip.top;
  }

  constexpr int64_t sb = Src::kBytes, db = Dst::kBytes;
  // Held apart from the buffer, whose fields a texel step's byte stores
  // could alias (which would reload them at every pixel).
  const int64_t srcPitch = src.pitch;
  // A span kernel gathers texels ahead of the pixels it writes, which a
  // source sharing memory with the destination must not see.
  kernels::SpanFn spanFn = nullptr;
  const int64_t srcMemory = static_cast<int64_t>(frame::PixelBytes(src, Src::kBytes));
  if constexpr (CarriesSpanKernel<Texel>) {
    if (!frame::MemoryOverlaps<Src, Dst>(src, dst)) {
      spanFn = kernels::Lookup<kernels::SpanFn>(table, texel.span.op, Src::kCode, Dst::kCode);
    }
  }
  for (int32_t y = firstRow; y <= lastRow; ++y) {
    left.Row(y, flag);
    right.Row(y, flag);
    // The span draws pixels xl .. xr; the clip keeps those inside it, each
    // with the texel it shows unclipped. (Sides that cross, as in a twisted
    // outline, leave nothing between them: xr < xl.)
    const int64_t xl = Whole(left.x), xr = Whole(right.x);
    const int64_t first = xl > clip.left ? xl : clip.left;
    const int64_t last = xr < clip.right - 1 ? xr : clip.right - 1;
    if (first > last) continue;
    int64_t du = 0, dv = 0;
    if (xr != xl) {
      const int64_t span = xr - xl + flag;
      du = Fix(Whole(right.u) - Whole(left.u)) / span;
      dv = Fix(Whole(right.v) - Whole(left.v)) / span;
    }
    // first - xl <= xr - xl steps, each at most 1/(xr - xl + flag) of the
    // span's texel difference: the products stay within that difference.
    int64_t au = (first - xl) * du, av = (first - xl) * dv;
    const uint8_t* rowTexel = src.pixels + Whole(left.v) * srcPitch + Whole(left.u) * sb;
    uint8_t* d = dst.pixels + int64_t{y} * dst.pitch + first * db;
    int64_t count = last - first + 1;
    if constexpr (CarriesSpanKernel<Texel>) {
      if (spanFn != nullptr) {
        const int32_t done =
            SpanByKernel(spanFn, texel.span.args, rowTexel, srcMemory - (rowTexel - src.pixels), src.pitch,
                         sb, au, du, av, dv, d, count);
        au += done * du;
        av += done * dv;
        d += done * db;
        count -= done;
      }
    }
    TexelSpan<sb, db>(texel, rowTexel, srcPitch, au, du, av, dv, d, count);
  }
}

// The dispatcher's side of a family: one routine per pair of formats.
template <class Values>
using PolygonMemberFn = void (*)(const PixelBuffer& src, const PixelBuffer& dst, const Values& values,
                                 const PolygonArgs& args);

template <class Values>
using PolygonEntry = FormatEntry<PolygonMemberFn<Values>>;

template <class Src, class Dst, template <class, class> class Texel, class Values>
void PolygonMember(const PixelBuffer& src, const PixelBuffer& dst, const Values& values,
                   const PolygonArgs& args) {
  static_assert(!polyscan::NamesSpanKernel<Texel<Src, Dst>> || polyscan::CarriesSpanKernel<Texel<Src, Dst>>,
                "a texel step naming kSpanOp carries `span`");
  ScanPolygon<Src, Dst>(src, dst, args, Texel<Src, Dst>(values), kernels::Active());
}

// One line of a family's table: the pair (source onto destination) and its texel step.
template <class Src, class Dst, template <class, class> class Texel, class Values>
constexpr PolygonEntry<Values> ServePolygon() {
  return {Src::kCode, Dst::kCode, &PolygonMember<Src, Dst, Texel, Values>};
}

template <class Values, template <class, class> class Texel>
struct ServePolygonLine {
  template <class S, class D>
  static constexpr PolygonEntry<Values> Of() {
    return ServePolygon<S, D, Texel, Values>();
  }
};

// A family's table: the pairs of Set (format_pairs.h), each served by Texel<S, D>.
template <const auto& Set, template <class, class> class Texel, class Values>
inline constexpr auto ServePolygonSet = PairTable<Set, ServePolygonLine<Values, Texel>>();

// The dispatcher of a family: the shared steps of the blits' dispatcher, with
// the source's colour key read into values.key (keyed values only). 0 done (also when nothing was
// drawn), 1 a lock was refused or the source is missing, 2 the pair of
// different formats is not served; equal formats without a routine draw
// nothing and answer 0.
template <class Values, class Pairs>
BlitResult RunPolygon(DDSurface& dst, DDSurface* src, const Pairs& pairs, Values values,
                      const PolygonArgs& args) {
  return DispatchPair(dst, src, pairs, BlendPolicy{}, [&](const PolygonEntry<Values>& e, DDSurface& s) {
    if constexpr (frame::KeyedValues<Values>) values.key = s.GetColorKey();
    e.member(s.Buffer(), dst.Buffer(), values, args);
  });
}

}  // namespace pixelops
