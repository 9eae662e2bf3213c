// Drives every surface-to-surface operation of DDSurface (and the Image draws
// that reach them, FillRect, Fade and surface creation) with formats, sizes,
// pitches, placements, clips and values taken from the input, and checks:
//   - ClipBlitRects, alone, leaves exactly the destination pixels whose source
//     pixel lies inside the source, each reading what the unclipped blit reads;
//   - the answer is a BlitResult (0..3);
//   - both surfaces end unlocked, the platform layer holding no lock;
//   - the source is not changed (unless it is the destination);
//   - no destination byte outside the placement cut to the clip and the
//     bounds changes (nor, for the pixel operations, the pad byte of a
//     16-bit-alpha pixel);
//   - a lock the platform layer refuses answers 1 and changes nothing;
//   - a missing source, or a surface never made, answers 1 and changes nothing;
//   - a keyed operation whose source (of the destination's format) is all
//     key colour changes nothing;
//   - forwarding operations (levelled ones at level 255, the Image draws,
//     AlphaFromMaskRect) give the same answer and bytes as their targets, and
//     any other operation gives the same result when run twice.
#include <array>

#include "fuzz/fuzz_support.h"
#include "graphics/blit_clip.h"

namespace pixelops {

namespace {

using namespace fuzz;

struct Args {
  int32_t x = 0, y = 0;
  MaybeRect srcRect, clip, rect;
  MaybeSize dstSize;
  int32_t v1 = 0, v2 = 0, v3 = 0, v4 = 0;  // opacity / level / lo, hi, a, b
  std::array<uint8_t, 256> pattern{};
};

enum class Area {
  Placement,   // x, y, source rectangle, destination size, clip
  PlacedOnly,  // x, y and the whole source, no clip
  MaskRect,    // AlphaFromMaskRect: the rectangle at its own position
  RectOnly,    // FillRect, Fade: the rectangle cut to the bounds
  Nothing,     // draws nothing at all
};

using RunFn = BlitResult (*)(DDSurface& dst, DDSurface* src, const Args& a);

struct Op {
  const char* name;
  RunFn run;
  Area area;
  bool usesSource;
  bool locks;     // takes the destination's lock (and the source's, if any)
  bool keepsPad;  // never writes the pad byte of 16-bit-alpha destinations
  bool keyed;     // skips source pixels equal to the source's colour key
  RunFn twin;     // gives the same answer and bytes (null: the op itself)
  bool (*twinApplies)(DDSurface& dst, DDSurface* src, const Args& a);
};

bool Always(DDSurface&, DDSurface*, const Args&) { return true; }
bool Level255(DDSurface&, DDSurface*, const Args& a) { return a.v1 == 255; }
bool MixedPair(DDSurface& dst, DDSurface* src, const Args&) {
  return src != nullptr && src->Format() != dst.Format();
}

#define PLACE a.x, a.y
#define TAIL a.srcRect.get(), a.dstSize.get(), a.clip.get()
// One call with the arguments d (destination), s (source) and a.
#define CALL(...)                                               \
  [](DDSurface& d, DDSurface* s, const Args& a) -> BlitResult { \
    (void)d, (void)s, (void)a;                                  \
    return __VA_ARGS__;                                         \
  }

constexpr Area kPlaced = Area::Placement;

// name, call, area, usesSource, locks, keepsPad, keyed, twin, twinApplies
const Op kOps[] = {
    {"BltAlpha", CALL(d.BltAlpha(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltAlphaOpacity(s, PLACE, a.v1, TAIL)), MixedPair},
    {"BltAlphaOpacity", CALL(d.BltAlphaOpacity(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     nullptr, nullptr},
    {"BltTranslucentKey", CALL(d.BltTranslucentKey(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, true,
     nullptr, nullptr},
    {"BltBlend", CALL(d.BltBlend(s, PLACE, a.v1, a.v2, TAIL)), kPlaced, true, true, true, false, nullptr,
     nullptr},
    {"BltBlendKey", CALL(d.BltBlendKey(s, PLACE, a.v1, a.v2, TAIL)), kPlaced, true, true, true, true, nullptr,
     nullptr},
    {"BltAlphaChannel", CALL(d.BltAlphaChannel(s, PLACE, TAIL)), kPlaced, true, true, true, false, nullptr,
     nullptr},
    {"AlphaFromMaskRect", CALL(d.AlphaFromMaskRect(s, a.v1, a.v2, a.v3, a.v4, a.rect.get())), Area::MaskRect,
     true, true, true, false,
     CALL(d.AlphaFromMaskRamp(s, a.v1, a.v2, a.v3, a.v4, a.rect.present ? a.rect.rect.left : 0,
                              a.rect.present ? a.rect.rect.top : 0, a.rect.get(), nullptr, nullptr)),
     Always},
    {"AlphaFromMaskRamp", CALL(d.AlphaFromMaskRamp(s, a.v1, a.v2, a.v3, a.v4, PLACE, TAIL)), kPlaced, true,
     true, true, false, nullptr, nullptr},
    {"BltAdd", CALL(d.BltAdd(s, PLACE, TAIL)), kPlaced, true, true, true, false, nullptr, nullptr},
    {"BltAddKey", CALL(d.BltAddKey(s, PLACE, TAIL)), kPlaced, true, true, true, true, nullptr, nullptr},
    {"BltAddLevel", CALL(d.BltAddLevel(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltAdd(s, PLACE, TAIL)), Level255},
    {"BltAddLevelKey", CALL(d.BltAddLevelKey(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, true,
     CALL(d.BltAddKey(s, PLACE, TAIL)), Level255},
    {"BltSub", CALL(d.BltSub(s, PLACE, TAIL)), kPlaced, true, true, true, false, nullptr, nullptr},
    {"BltSubKey", CALL(d.BltSubKey(s, PLACE, TAIL)), kPlaced, true, true, true, true, nullptr, nullptr},
    {"BltSubLevel", CALL(d.BltSubLevel(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltSub(s, PLACE, TAIL)), Level255},
    {"BltSubLevelKey", CALL(d.BltSubLevelKey(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, true,
     CALL(d.BltSubKey(s, PLACE, TAIL)), Level255},
    {"BltColorKeepAlpha", CALL(d.BltColorKeepAlpha(s, PLACE, TAIL)), kPlaced, true, true, true, false,
     nullptr, nullptr},
    {"BltNoOp", CALL(d.BltNoOp(s, PLACE, a.v1, TAIL)), Area::Nothing, true, false, true, false, nullptr,
     nullptr},
    {"BltPattern", CALL(d.BltPattern(s, PLACE, a.pattern.data(), TAIL)), kPlaced, true, true, true, false,
     nullptr, nullptr},
    {"Blt", CALL(d.Blt(s, PLACE, TAIL)), kPlaced, true, true, false, false, nullptr, nullptr},
    {"BltKeyed", CALL(d.BltKeyed(s, PLACE, TAIL)), kPlaced, true, true, false, true, nullptr, nullptr},
    {"FillRect", CALL(d.FillRect(a.rect.get())), Area::RectOnly, false, true, false, false, nullptr, nullptr},
    {"Fade", CALL(d.Fade(a.v1, a.rect.get())), Area::RectOnly, false, true, false, false, nullptr, nullptr},
    {"Draw", CALL(d.Draw(s, PLACE, TAIL)), kPlaced, true, true, false, false,
     CALL(s->HasAlpha() ? d.BltAlphaChannel(s, PLACE, TAIL) : d.BltKeyed(s, PLACE, TAIL)), Always},
    {"DrawTranslucent", CALL(d.DrawTranslucent(s, PLACE, a.v1, TAIL)), kPlaced, true, true, false, false,
     CALL(a.v1 >= 255     ? (s->HasAlpha() ? d.BltAlphaChannel(s, PLACE, TAIL) : d.BltKeyed(s, PLACE, TAIL))
          : s->HasAlpha() ? d.BltAlphaOpacity(s, PLACE, a.v1, TAIL)
                          : d.BltTranslucentKey(s, PLACE, a.v1, TAIL)),
     Always},
    {"DrawKeyed", CALL(d.DrawKeyed(s, PLACE, TAIL)), kPlaced, true, true, false, true,
     CALL(d.BltKeyed(s, PLACE, TAIL)), Always},
    {"DrawKeyedTranslucent", CALL(d.DrawKeyedTranslucent(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true,
     true, CALL(d.BltTranslucentKey(s, PLACE, a.v1, TAIL)), Always},
    {"DrawAlphaBlend", CALL(d.DrawAlphaBlend(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltAlpha(s, PLACE, a.v1, TAIL)), Always},
    {"DrawAlphaOpacity", CALL(d.DrawAlphaOpacity(s, PLACE, a.v1, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltAlphaOpacity(s, PLACE, a.v1, TAIL)), Always},
    {"DrawAlphaLevel", CALL(d.DrawAlphaLevel(s, PLACE, a.v1)), Area::PlacedOnly, true, true, true, false,
     CALL(d.BltAlphaOpacity(s, PLACE, a.v1, nullptr, nullptr, nullptr)), Always},
    {"DrawAlphaChannel", CALL(d.DrawAlphaChannel(s, PLACE, TAIL)), kPlaced, true, true, true, false,
     CALL(d.BltAlphaChannel(s, PLACE, TAIL)), Always},
    {"DrawWeighted", CALL(d.DrawWeighted(s, PLACE, a.v1, TAIL)), Area::Nothing, true, false, true, false,
     nullptr, nullptr},
    {"DrawWeightedKeyed", CALL(d.DrawWeightedKeyed(s, PLACE, a.v1, TAIL)), Area::Nothing, true, false, true,
     false, nullptr, nullptr},
};

#undef PLACE
#undef TAIL
#undef CALL

constexpr int kOpCount = static_cast<int>(std::size(kOps));

// Make and Create with sizes, formats and pitches from anywhere: a surface
// comes back exactly when the request is sound, and it is fully writable.
void FuzzMake(FuzzedDataProvider& in) {
  const int32_t w = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 70) : Int(in);
  const int32_t h = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 70) : Int(in);
  const int32_t code = in.ConsumeIntegralInRange<int32_t>(-1, 15);
  const PixelFormat format = static_cast<PixelFormat>(code);
  const int32_t bpp = BytesPerPixel(format);
  int32_t pitch = 0;
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      break;
    case 1: {
      const int64_t p = int64_t{w} * (bpp ? bpp : 1) + in.ConsumeIntegralInRange<int32_t>(-3, 9);
      pitch = static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
      break;
    }
    default:
      pitch = Int(in);
      break;
  }
  const bool lent = in.ConsumeBool();
  const int64_t row = int64_t{w} * bpp;
  const int64_t usedPitch = pitch == 0 ? row : pitch;
  const bool sound = bpp != 0 && w > 0 && h > 0 && w <= DDSurface::kMaxSide && h <= DDSurface::kMaxSide &&
                     usedPitch >= row && usedPitch * h <= (int64_t{1} << 34);
  // Sound requests for big surfaces are not made: they only cost memory.
  if (sound && usedPitch * h > (int64_t{1} << 22)) return;
  auto s = DDSurface::Make(w, h, format, lent ? DDSurface::Memory::Lent : DDSurface::Memory::Own, pitch);
  FUZZ_CHECK((s != nullptr) == sound, "Make(%d, %d, format %d, pitch %d) %s", w, h, code, pitch,
             s ? "made a surface" : "was refused");
  if (s) {
    int32_t gw = -1, gh = -1;
    s->GetSize(&gw, &gh);
    FUZZ_CHECK(gw == w && gh == h, "Make(%d, %d) reports %d x %d", w, h, gw, gh);
    s->SetFillColor(in.ConsumeIntegral<uint32_t>());
    FUZZ_CHECK(s->FillRect(nullptr) == kBlitDone, "FillRect of a new surface failed");
    CheckUnlocked(*s, "FillRect", "new");
  }
  // Create on a surface that was never sized, then with a new size.
  DDSurface c(format);
  int32_t cw = -1, ch = -1;
  c.GetSize(&cw, &ch);
  FUZZ_CHECK(cw == 0 && ch == 0, "an unmade surface reports %d x %d", cw, ch);
  c.FillRect(nullptr);
  const bool alpha = in.ConsumeBool();
  const bool createFails = w <= 0 || h <= 0 || w > DDSurface::kMaxSide || h > DDSurface::kMaxSide;
  if (createFails || int64_t{w} * h * 4 <= (int64_t{1} << 22)) {
    const int32_t made = c.Create(w, h, alpha);
    FUZZ_CHECK(made == 0 || made == 1, "Create answered %d", made);
    FUZZ_CHECK(made == 1 || !createFails, "Create(%d, %d) made a surface", w, h);
    if (made == 0) {
      FUZZ_CHECK(c.FillRect(nullptr) == kBlitDone, "FillRect after Create failed");
      FUZZ_CHECK(!alpha || c.HasAlpha(), "Create with alpha made no alpha surface");
    }
  }
}

// The source index that offset i of an unclipped span reads: i one to one,
// else i x q + max(0, floor(((i + 1) x r - 1) / span)).
int64_t MappedIndex(int64_t i, int64_t srcSpan, int64_t dstSpan) {
  if (srcSpan == dstSpan) return i;
  const int64_t q = srcSpan / dstSpan, r = srcSpan % dstSpan, n = (i + 1) * r - 1;
  return i * q + (n > 0 ? n / dstSpan : 0);
}

// The source indexes one axis of a walk reads for the clipped span, from the
// stepping terms as the stretch walk uses them (error tested before each read).
std::vector<int64_t> WalkIndexes(bool oneToOne, int64_t start, int64_t count, int64_t error,
                                 int64_t remainder, int64_t span, int64_t quotient) {
  std::vector<int64_t> out;
  int64_t at = start;
  for (int64_t k = 0; k < count; ++k) {
    if (oneToOne) {
      out.push_back(start + k);
      continue;
    }
    error += remainder;
    if (error >= 0) {
      ++at;
      error -= span;
    }
    out.push_back(at);
    at += quotient;
  }
  return out;
}

// One axis of ClipBlitRects' answer against the unclipped mapping: the drawn
// span is exactly the part of the area whose source index lies inside the
// source, and each drawn offset reads the index the unclipped blit reads.
void CheckClipAxis(const char* axis, bool drawn, int64_t placed, int64_t srcStart, int64_t srcSpan,
                   int64_t dstSpan, int64_t areaLo, int64_t areaHi, int64_t srcLimit, int64_t dstLo,
                   int64_t dstHi, const std::vector<int64_t>& read) {
  // Offsets of the area whose source index lies in [0, srcLimit): an interval.
  int64_t first = -1, last = -2;
  for (int64_t X = areaLo; X < areaHi; ++X) {
    const int64_t sx = srcStart + MappedIndex(X - placed, srcSpan, dstSpan);
    if (sx >= 0 && sx < srcLimit) {
      if (first < 0) first = X;
      last = X;
    }
  }
  if (!drawn) return;
  FUZZ_CHECK(dstLo == first && dstHi == last + 1,
             "ClipBlitRects drew %s [%lld, %lld) where [%lld, %lld) reads inside the source", axis,
             static_cast<long long>(dstLo), static_cast<long long>(dstHi), static_cast<long long>(first),
             static_cast<long long>(last + 1));
  for (int64_t k = 0; k < static_cast<int64_t>(read.size()); ++k) {
    const int64_t want = srcStart + MappedIndex(dstLo + k - placed, srcSpan, dstSpan);
    FUZZ_CHECK(read[k] == want && read[k] >= 0 && read[k] < srcLimit,
               "ClipBlitRects: %s offset %lld reads %lld, the unclipped blit %lld", axis,
               static_cast<long long>(dstLo + k), static_cast<long long>(read[k]),
               static_cast<long long>(want));
  }
}

// ClipBlitRects alone, on bounds from the input: what it leaves to draw is the
// placement cut to the clip, the bounds and the source, read as unclipped.
void FuzzClip(FuzzedDataProvider& in) {
  const int32_t dw = in.ConsumeIntegralInRange<int32_t>(1, 48);
  const int32_t dh = in.ConsumeIntegralInRange<int32_t>(1, 12);
  const int32_t sw = in.ConsumeIntegralInRange<int32_t>(1, 48);
  const int32_t sh = in.ConsumeIntegralInRange<int32_t>(1, 12);
  PixelBuffer dst, src;
  dst.bounds = Rect{0, 0, dw, dh};
  src.bounds = Rect{0, 0, sw, sh};
  const int32_t x = Coord(in, dw), y = Coord(in, dh);
  const MaybeRect srcRect = RectNear(in, sw, sh);
  const MaybeSize dstSize = SizeNear(in, dw, dh);
  const MaybeRect clip = RectNear(in, dw, dh);
  BlitParams p;
  const int32_t r = ClipBlitRects(dst, src, x, y, &p, srcRect.get(), dstSize.get(), clip.get());
  FUZZ_CHECK(r == 0 || r == 1, "ClipBlitRects answered %d", r);

  const Rect sr = srcRect.present ? srcRect.rect : src.bounds;
  const int64_t srcW = int64_t{sr.right} - sr.left, srcH = int64_t{sr.bottom} - sr.top;
  const int64_t dstW = dstSize.present ? dstSize.size.width : srcW;
  const int64_t dstH = dstSize.present ? dstSize.size.height : srcH;
  const bool outOfRange =
      std::max({std::abs(int64_t{sr.left}), std::abs(int64_t{sr.top}), std::abs(int64_t{sr.right}),
                std::abs(int64_t{sr.bottom})}) > kMaxRectCoord;
  if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0 || outOfRange) {
    FUZZ_CHECK(r == 1, "ClipBlitRects left something of an empty or out-of-range blit");
    return;
  }
  const Box area = BlitArea(dst.bounds, src.bounds, x, y, srcRect.get(), dstSize.get(), clip.get());
  const bool oneToOne = srcW == dstW && srcH == dstH;
  const bool drawn = r == 0;
  if (drawn) {
    FUZZ_CHECK(p.oneToOne == (oneToOne ? 1 : 0), "ClipBlitRects chose the wrong walk");
    FUZZ_CHECK(p.dst.left >= area.left && p.dst.top >= area.top && p.dst.right <= area.right &&
                   p.dst.bottom <= area.bottom && p.dst.left < p.dst.right && p.dst.top < p.dst.bottom,
               "ClipBlitRects left [%d, %d) x [%d, %d) outside the area", p.dst.left, p.dst.right, p.dst.top,
               p.dst.bottom);
  }
  const int64_t width = drawn ? p.dst.right - p.dst.left : 0;
  const int64_t height = drawn ? p.dst.bottom - p.dst.top : 0;
  CheckClipAxis("columns", drawn, x, sr.left, srcW, dstW, area.left, area.Empty() ? area.left : area.right,
                sw, p.dst.left, p.dst.right,
                WalkIndexes(oneToOne, p.src.left, width, p.xError, p.xRemainder, p.xSpan, p.xQuotient));
  CheckClipAxis("rows", drawn, y, sr.top, srcH, dstH, area.top, area.Empty() ? area.top : area.bottom, sh,
                p.dst.top, p.dst.bottom,
                WalkIndexes(oneToOne, p.src.top, height, p.yError, p.yRemainder, p.ySpan, p.yQuotient));
  if (!drawn) {
    // Nothing left: no pixel of the area reads inside the source on both axes.
    bool any = false;
    for (int64_t X = area.left; X < area.right && !any; ++X) {
      const int64_t sx = sr.left + MappedIndex(X - x, srcW, dstW);
      if (sx < 0 || sx >= sw) continue;
      for (int64_t Y = area.top; Y < area.bottom && !any; ++Y) {
        const int64_t sy = sr.top + MappedIndex(Y - y, srcH, dstH);
        any = sy >= 0 && sy < sh;
      }
    }
    FUZZ_CHECK(!any, "ClipBlitRects left nothing where the blit reads inside the source");
  }
}

// Operations with a surface that was never made (no memory, no platform
// surface): they draw nothing. A real surface beside it keeps its bytes.
void FuzzUnmade(FuzzedDataProvider& in, const Op& op, bool strict) {
  DDSurface unmade(in.PickValueInArray(kFormats));
  SurfaceSetup real = MakeSurface(in, 12, 4);
  DDSurface& r = *real.surface;
  Args a;
  a.x = Coord(in, 12);
  a.y = Coord(in, 4);
  a.srcRect = RectNear(in, 12, 4);
  a.dstSize = SizeNear(in, 12, 4);
  a.clip = RectNear(in, 12, 4);
  a.rect = RectNear(in, 12, 4);
  a.v1 = Int(in);
  a.v2 = Int(in);
  const std::vector<uint8_t> before = Snapshot(r);
  // FillRect and Fade take no source: they only meet it as the destination.
  const bool asDestination = !op.usesSource || in.ConsumeBool();
  const BlitResult result = asDestination ? op.run(unmade, &r, a) : op.run(r, &unmade, a);
  CheckResult(result, op.name);
  CheckUnlocked(r, op.name, asDestination ? "source" : "destination");
  FUZZ_CHECK(Snapshot(r) == before, "%s changed a surface drawn with one never made", op.name);
  if (strict && op.locks && (asDestination || op.usesSource)) {
    FUZZ_CHECK(result == kBlitLockRefused || (asDestination && result == kBlitDone),
               "%s answered %d with a surface never made", op.name, result);
  }
}

// Operations that are still placeholders: they take no lock, so the answers
// they give to refused locks and missing sources are not held against them.
std::array<bool, kOpCount> FindPending() {
  std::array<bool, kOpCount> pending{};
  for (int i = 0; i < kOpCount; ++i) {
    if (!kOps[i].locks) continue;
    pending[i] = !AsksForLock(PixelFormat::Bgra32,
                              [&](DDSurface& d, DDSurface* s) { return kOps[i].run(d, s, Args{}); });
    if (pending[i]) std::fprintf(stderr, "blit_fuzzer: %s takes no lock (not built yet?)\n", kOps[i].name);
  }
  return pending;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int opIndex = in.ConsumeIntegralInRange<int>(0, kOpCount + 1);
  if (opIndex == kOpCount) {
    FuzzMake(in);
    return 0;
  }
  if (opIndex == kOpCount + 1) {
    FuzzClip(in);
    return 0;
  }

  const Op& op = kOps[opIndex];
  static const std::array<bool, kOpCount> pending = FindPending();
  const bool strict = !pending[opIndex];
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
    FuzzUnmade(in, op, strict);
    return 0;
  }

  SurfaceSetup dst = MakeSurface(in, in.ConsumeBool() ? 40 : 9, in.ConsumeBool() ? 12 : 4);
  SurfaceSetup srcOwn;
  DDSurface* src = nullptr;
  switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
      break;  // no source
    case 1:
      src = dst.surface.get();
      break;  // the destination itself
    default:
      srcOwn = MakeSurface(in, in.ConsumeBool() ? 40 : 9, in.ConsumeBool() ? 12 : 4);
      src = srcOwn.surface.get();
  }
  const bool allKey = src && src != dst.surface.get() && PlantKey(in, *src);
  DDSurface& d = *dst.surface;
  d.SetFillColor(in.ConsumeIntegral<uint32_t>());

  const int32_t dw = d.Buffer().bounds.right, dh = d.Buffer().bounds.bottom;
  const int32_t sw = src ? src->Buffer().bounds.right : dw;
  const int32_t sh = src ? src->Buffer().bounds.bottom : dh;
  Args a;
  a.x = Coord(in, dw);
  a.y = Coord(in, dh);
  a.srcRect = RectNear(in, sw, sh);
  a.dstSize = SizeNear(in, dw, dh);
  a.clip = RectNear(in, dw, dh);
  a.rect = RectNear(in, dw, dh);
  a.v1 = Int(in);
  a.v2 = Int(in);
  a.v3 = Int(in);
  a.v4 = Int(in);
  {
    const std::vector<uint8_t> p = in.ConsumeBytes<uint8_t>(256);
    std::copy(p.begin(), p.end(), a.pattern.begin());
    if (p.size() < 256 && !p.empty())
      for (size_t i = p.size(); i < 256; ++i) a.pattern[i] = p[i % p.size()];
  }
  const LockTrouble trouble = PickTrouble(in);
  const bool runTwice = in.ConsumeIntegralInRange<int>(0, 3) == 0;

  const std::vector<uint8_t> dstBefore = Snapshot(d);
  const std::vector<uint8_t> srcBefore = src && src != &d ? Snapshot(*src) : std::vector<uint8_t>{};

  // Set up the trouble, and work out whether it must make the call fail.
  bool refused = false;
  const SurfaceSetup& srcSetup = src == &d ? dst : srcOwn;
  switch (trouble.kind) {
    case LockTrouble::RefuseDst:
      d.Platform()->RefuseLocks(trouble.answer);
      refused = op.locks && dst.LocksThroughPlatform();
      break;
    case LockTrouble::RefuseSrc:
      if (src) {
        src->Platform()->RefuseLocks(trouble.answer);
        // A source that is the destination is refused as the destination.
        refused = op.locks && (op.usesSource || src == &d) && srcSetup.LocksThroughPlatform();
      }
      break;
    case LockTrouble::StillDrawing:
      d.Platform()->AnswerStillDrawing(in.ConsumeIntegralInRange<int32_t>(1, 3));
      if (src) src->Platform()->AnswerStillDrawing(in.ConsumeIntegralInRange<int32_t>(1, 3));
      break;
    case LockTrouble::None:
      break;
  }
  const int32_t dstLockCalls = d.Platform()->LockCalls();
  const int32_t srcLockCalls = src ? src->Platform()->LockCalls() : 0;

  const BlitResult result = op.run(d, src, a);

  CheckResult(result, op.name);
  CheckUnlocked(d, op.name, "destination");
  if (src) CheckUnlocked(*src, op.name, "source");
  if (!op.locks) {
    FUZZ_CHECK(
        d.Platform()->LockCalls() == dstLockCalls && (!src || src->Platform()->LockCalls() == srcLockCalls),
        "%s asked for a lock", op.name);
  }
  AcceptLocks(d, src);

  const std::vector<uint8_t> dstAfter = Snapshot(d);
  if (src && src != &d) {
    FUZZ_CHECK(Snapshot(*src) == srcBefore, "%s changed its source", op.name);
  }

  const bool missingSource = op.usesSource && src == nullptr;
  Box area;
  if (refused || missingSource) {
    area = Box{};
    if (op.locks && strict) {
      FUZZ_CHECK(result == kBlitLockRefused, "%s answered %d with %s", op.name, result,
                 missingSource ? "no source" : "a refused lock");
    }
  } else {
    switch (op.area) {
      case Area::Placement:
        area = BlitArea(d, src->Buffer().bounds, a.x, a.y, a.srcRect.get(), a.dstSize.get(), a.clip.get());
        break;
      case Area::PlacedOnly:
        area = BlitArea(d, src->Buffer().bounds, a.x, a.y, nullptr, nullptr, nullptr);
        break;
      case Area::MaskRect:
        area = a.rect.present ? BlitArea(d, src->Buffer().bounds, a.rect.rect.left, a.rect.rect.top,
                                         &a.rect.rect, nullptr, nullptr)
                              : BlitArea(d, src->Buffer().bounds, 0, 0, nullptr, nullptr, nullptr);
        break;
      case Area::RectOnly:
        area = (a.rect.present ? BoxOf(a.rect.rect) : Bounds(d)).Cut(Bounds(d));
        break;
      case Area::Nothing:
        area = Box{};
        break;
    }
  }
  CheckOnlyAreaChanged(d, dstBefore, dstAfter, area, op.keepsPad, op.name);
  if (op.keyed && allKey && src->Format() == d.Format()) {
    FUZZ_CHECK(dstAfter == dstBefore, "%s drew a source that is all key colour", op.name);
  }

  // The twin (or the operation again) on the same bytes gives the same.
  if (!refused && !missingSource) {
    RunFn twin = nullptr;
    if (op.twin && op.twinApplies(d, src, a)) twin = op.twin;
    else if (runTwice) twin = op.run;
    if (twin) {
      Restore(d, dstBefore);
      const BlitResult again = twin(d, src, a);
      CheckUnlocked(d, op.name, "destination");
      if (src) CheckUnlocked(*src, op.name, "source");
      FUZZ_CHECK(again == result, "%s answered %d, its twin %d", op.name, result, again);
      FUZZ_CHECK(Snapshot(d) == dstAfter, "%s and its twin drew different bytes", op.name);
    }
  }
  return 0;
}

}  // namespace pixelops
