// Drives the textured-polygon entry points (DDSurface::DrawPolygonKeyed and
// DDSurface::DrawPolygon, DrawRotatedScaled, FillTexturedQuad and
// DrawRotatedSprite) with point lists, vertex counts, clips, flags, angles,
// scales and alphas taken from the input, near the surfaces and far outside
// them, and checks:
//   - the answer is a BlitResult (0..3);
//   - both surfaces end unlocked, the platform layer holding no lock;
//   - the source is not changed (unless it is the destination);
//   - no destination byte outside the clip (or the bounds) cut to the bounds
//     changes, nor the pad byte of a 16-bit-alpha pixel;
//   - a lock the platform layer refuses changes nothing and answers 1 (or 0
//     when the call never asked for that lock);
//   - a keyed call whose source (of the destination's format) is all key
//     colour changes nothing;
//   - the same call on the same bytes draws the same again.
#include <array>

#include "fuzz/fuzz_support.h"

#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>

namespace pixelops {

namespace {

using namespace fuzz;

constexpr int32_t kNotAvailable = -1000;

// The free functions are called through these templates so that the target
// builds before they exist (and whether they take surfaces by pointer or by
// reference): a call that does not compile is simply not made.
template <class S>
int32_t CallRotatedScaled(S* dst, S* src, int32_t cx, int32_t cy, int32_t angle, int32_t sx, int32_t sy,
                          const Rect* clip) {
  if constexpr (requires { DrawRotatedScaled(dst, src, cx, cy, angle, sx, sy, clip); }) {
    return static_cast<int32_t>(DrawRotatedScaled(dst, src, cx, cy, angle, sx, sy, clip));
  } else if constexpr (requires { DrawRotatedScaled(*dst, *src, cx, cy, angle, sx, sy, clip); }) {
    if (dst == nullptr || src == nullptr) return kNotAvailable;
    return static_cast<int32_t>(DrawRotatedScaled(*dst, *src, cx, cy, angle, sx, sy, clip));
  } else {
    return kNotAvailable;
  }
}

template <class S>
int32_t CallFillTexturedQuad(S* dst, S* src, int32_t alpha, const Point* srcPoints, const Point* dstPoints,
                             const Rect* clip, uint8_t flag, int32_t count) {
  if constexpr (requires { FillTexturedQuad(dst, src, alpha, srcPoints, dstPoints, clip, flag, count); }) {
    return static_cast<int32_t>(FillTexturedQuad(dst, src, alpha, srcPoints, dstPoints, clip, flag, count));
  } else if constexpr (requires {
                         FillTexturedQuad(*dst, *src, alpha, srcPoints, dstPoints, clip, flag, count);
                       }) {
    if (dst == nullptr || src == nullptr) return kNotAvailable;
    return static_cast<int32_t>(FillTexturedQuad(*dst, *src, alpha, srcPoints, dstPoints, clip, flag, count));
  } else {
    return kNotAvailable;
  }
}

template <class S>
int32_t CallRotatedSprite(S* dst, S* src, int32_t cx, int32_t cy, int32_t angle, int32_t sx, int32_t sy,
                          int32_t alpha) {
  if constexpr (requires { DrawRotatedSprite(dst, src, cx, cy, angle, sx, sy, alpha); }) {
    return static_cast<int32_t>(DrawRotatedSprite(dst, src, cx, cy, angle, sx, sy, alpha));
  } else if constexpr (requires { DrawRotatedSprite(*dst, *src, cx, cy, angle, sx, sy, alpha); }) {
    if (dst == nullptr || src == nullptr) return kNotAvailable;
    return static_cast<int32_t>(DrawRotatedSprite(*dst, *src, cx, cy, angle, sx, sy, alpha));
  } else {
    return kNotAvailable;
  }
}

enum OpKind { kKeyed, kOpaque, kRotatedScaled, kTexturedQuad, kRotatedSprite, kOpKinds };
const char* const kOpNames[] = {"DrawPolygonKeyed", "DrawPolygon", "DrawRotatedScaled", "FillTexturedQuad",
                                "DrawRotatedSprite"};

struct Call {
  OpKind op = kKeyed;
  std::vector<Point> srcPoints, dstPoints;
  bool nullSrcPoints = false, nullDstPoints = false, nullTarget = false;
  MaybeRect clip;
  uint8_t flag = 0;
  int32_t count = 0;
  int32_t cx = 0, cy = 0, angle = 0, scaleX = 0, scaleY = 0, alpha = 0;
};

// A point list of n vertices: a quad close to the surface (as the drawing
// operations make them), points scattered near it, or anywhere at all.
std::vector<Point> Points(FuzzedDataProvider& in, size_t n, int32_t w, int32_t h) {
  std::vector<Point> p(n);
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: {  // an axis-aligned rectangle's corners, in either winding
      const int32_t l = in.ConsumeIntegralInRange<int32_t>(-4, w + 2);
      const int32_t t = in.ConsumeIntegralInRange<int32_t>(-4, h + 2);
      const int32_t r = l + in.ConsumeIntegralInRange<int32_t>(0, w + 4);
      const int32_t b = t + in.ConsumeIntegralInRange<int32_t>(0, h + 4);
      const Point corners[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
      const bool reverse = in.ConsumeBool();
      const size_t start = in.ConsumeIntegralInRange<size_t>(0, 3);
      for (size_t i = 0; i < n; ++i) {
        const size_t k = (start + (reverse ? 4 - i % 4 : i)) % 4;
        p[i] = corners[k];
      }
      break;
    }
    case 1:
    case 2:
      for (auto& q : p) {
        q.x = in.ConsumeIntegralInRange<int32_t>(-6, w + 6);
        q.y = in.ConsumeIntegralInRange<int32_t>(-6, h + 6);
      }
      break;
    default:
      for (auto& q : p) q = Point{Coord(in, w), Coord(in, h)};
      break;
  }
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Call c;
  c.op = static_cast<OpKind>(in.ConsumeIntegralInRange<int>(0, kOpKinds - 1));
  const char* name = kOpNames[c.op];
  static const bool keyedBuilt = AsksForLock(PixelFormat::Rgb565, [](DDSurface& d, DDSurface* s) {
    const Point p[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    return d.DrawPolygonKeyed(s, p, p, nullptr, 0, 4);
  });
  static const bool opaqueBuilt = AsksForLock(PixelFormat::Rgb565, [](DDSurface& d, DDSurface* s) {
    const Point p[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    return d.DrawPolygon(s, p, p, nullptr, 0, 4);
  });
  static const bool told = [] {
    if (!keyedBuilt) std::fprintf(stderr, "polygon_fuzzer: DrawPolygonKeyed takes no lock\n");
    if (!opaqueBuilt) std::fprintf(stderr, "polygon_fuzzer: DrawPolygon takes no lock\n");
    return true;
  }();
  (void)told;
  const bool strict = c.op == kKeyed ? keyedBuilt : c.op == kOpaque ? opaqueBuilt : true;

  SurfaceSetup dst = MakeSurface(in, in.ConsumeBool() ? 48 : 10, in.ConsumeBool() ? 24 : 6);
  SurfaceSetup srcOwn;
  DDSurface* src = nullptr;
  switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
      break;
    case 1:
      src = dst.surface.get();
      break;
    default:
      srcOwn = MakeSurface(in, in.ConsumeBool() ? 40 : 10, in.ConsumeBool() ? 24 : 6);
      src = srcOwn.surface.get();
  }
  const bool allKey = src && src != dst.surface.get() && PlantKey(in, *src);
  DDSurface& d = *dst.surface;
  const int32_t dw = d.Buffer().bounds.right, dh = d.Buffer().bounds.bottom;
  const int32_t sw = src ? src->Buffer().bounds.right : dw;
  const int32_t sh = src ? src->Buffer().bounds.bottom : dh;

  // Vertex count and the point lists (as long as the count says, when it is
  // sound; a negative count comes with empty lists).
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      c.count = Int(in);
      break;
    case 1:
      c.count = in.ConsumeIntegralInRange<int32_t>(0, 12);
      break;
    default:
      c.count = 4;
      break;
  }
  const size_t n = c.count > 0 ? static_cast<size_t>(std::min(c.count, 64)) : 0;
  if (c.count > 64) c.count = 64;
  c.dstPoints = Points(in, n, dw, dh);
  c.srcPoints = Points(in, n, sw - 1, sh - 1);
  c.nullDstPoints = in.ConsumeIntegralInRange<int>(0, 31) == 0;
  c.nullSrcPoints = in.ConsumeIntegralInRange<int>(0, 31) == 0;
  c.nullTarget = c.op >= kRotatedScaled && in.ConsumeIntegralInRange<int>(0, 31) == 0;
  c.clip = RectNear(in, dw, dh);
  c.flag = in.ConsumeBool() ? 0 : in.ConsumeIntegral<uint8_t>();
  c.cx = Coord(in, dw);
  c.cy = Coord(in, dh);
  c.angle = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 511) : Int(in);
  c.scaleX = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-0x30000, 0x30000) : Int(in);
  c.scaleY = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-0x30000, 0x30000) : Int(in);
  c.alpha = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 300) : Int(in);
  const LockTrouble trouble = PickTrouble(in);
  const bool runTwice = in.ConsumeIntegralInRange<int>(0, 3) == 0;

  const Point* sp = c.nullSrcPoints || c.srcPoints.empty() ? nullptr : c.srcPoints.data();
  const Point* dp = c.nullDstPoints || c.dstPoints.empty() ? nullptr : c.dstPoints.data();
  DDSurface* target = c.nullTarget ? nullptr : &d;
  auto run = [&]() -> int32_t {
    switch (c.op) {
      case kKeyed:
        return d.DrawPolygonKeyed(src, sp, dp, c.clip.get(), c.flag, c.count);
      case kOpaque:
        return d.DrawPolygon(src, sp, dp, c.clip.get(), c.flag, c.count);
      case kRotatedScaled:
        return CallRotatedScaled(target, src, c.cx, c.cy, c.angle, c.scaleX, c.scaleY, c.clip.get());
      case kTexturedQuad:
        return CallFillTexturedQuad(target, src, c.alpha, sp, dp, c.clip.get(), c.flag, c.count);
      case kRotatedSprite:
        return CallRotatedSprite(target, src, c.cx, c.cy, c.angle, c.scaleX, c.scaleY, c.alpha);
      case kOpKinds:
        break;
    }
    return kNotAvailable;
  };

  const std::vector<uint8_t> dstBefore = Snapshot(d);
  const std::vector<uint8_t> srcBefore = src && src != &d ? Snapshot(*src) : std::vector<uint8_t>{};

  bool refused = false;
  platform::DrawSurface* refusedPlatform = nullptr;
  const SurfaceSetup& srcSetup = src == &d ? dst : srcOwn;
  switch (trouble.kind) {
    case LockTrouble::RefuseDst:
      d.Platform()->RefuseLocks(trouble.answer);
      refused = dst.LocksThroughPlatform();
      refusedPlatform = d.Platform();
      break;
    case LockTrouble::RefuseSrc:
      if (src) {
        src->Platform()->RefuseLocks(trouble.answer);
        refused = srcSetup.LocksThroughPlatform();
        refusedPlatform = src->Platform();
      }
      break;
    case LockTrouble::StillDrawing:
      d.Platform()->AnswerStillDrawing(in.ConsumeIntegralInRange<int32_t>(1, 3));
      if (src) src->Platform()->AnswerStillDrawing(in.ConsumeIntegralInRange<int32_t>(1, 3));
      break;
    case LockTrouble::None:
      break;
  }
  const int32_t refusedCallsBefore = refusedPlatform ? refusedPlatform->LockCalls() : 0;

  const int32_t result = run();
  if (result == kNotAvailable) return 0;  // not built yet, or no surface to pass by reference

  CheckResult(result, name);
  CheckUnlocked(d, name, "destination");
  if (src) CheckUnlocked(*src, name, "source");
  AcceptLocks(d, src);

  const std::vector<uint8_t> dstAfter = Snapshot(d);
  if (src && src != &d) {
    FUZZ_CHECK(Snapshot(*src) == srcBefore, "%s changed its source", name);
  }

  Box area;
  if (refused || src == nullptr || c.nullTarget) {
    area = Box{};
    if (c.nullTarget || src == nullptr) {
      // The free functions may find nothing to draw before they look at the surfaces.
      FUZZ_CHECK(!strict || result == kBlitLockRefused || (c.op >= kRotatedScaled && result == kBlitDone),
                 "%s answered %d with a missing surface", name, result);
    } else if (strict) {
      const bool asked = refusedPlatform->LockCalls() != refusedCallsBefore;
      FUZZ_CHECK(result == kBlitLockRefused || (result == kBlitDone && !asked),
                 "%s answered %d with a refused lock", name, result);
    }
  } else if (c.op == kRotatedSprite) {
    area = Bounds(d);
  } else {
    area = (c.clip.present ? BoxOf(c.clip.rect) : Bounds(d)).Cut(Bounds(d));
  }
  CheckOnlyAreaChanged(d, dstBefore, dstAfter, area, true, name);
  if (c.op != kOpaque && allKey && src->Format() == d.Format()) {
    FUZZ_CHECK(dstAfter == dstBefore, "%s drew a source that is all key colour", name);
  }

  if (runTwice && !refused && src != nullptr && !c.nullTarget) {
    Restore(d, dstBefore);
    const int32_t again = run();
    CheckUnlocked(d, name, "destination");
    FUZZ_CHECK(again == result, "%s answered %d, then %d", name, result, again);
    FUZZ_CHECK(Snapshot(d) == dstAfter, "%s drew different bytes the second time", name);
  }
  return 0;
}

}  // namespace pixelops
