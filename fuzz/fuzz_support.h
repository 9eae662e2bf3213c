// Helpers shared by the fuzz targets: values drawn from the fuzzer's bytes
// (with a bias towards edge values), surfaces made from them, snapshots of
// surface memory and the invariant checks every target makes.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <pixelops/dd_surface.h>

namespace pixelops {

namespace fuzz {

// Aborts (so that libFuzzer records the input) when an invariant fails.
#define FUZZ_CHECK(cond, ...)                                                              \
  do {                                                                                     \
    if (!(cond)) {                                                                         \
      std::fprintf(stderr, "invariant failed: %s (%s:%d)\n  ", #cond, __FILE__, __LINE__); \
      std::fprintf(stderr, __VA_ARGS__);                                                   \
      std::fprintf(stderr, "\n");                                                          \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

inline constexpr auto& kFormats = kAllPixelFormats;

inline bool IsSixteenBitAlpha(PixelFormat f) {
  return f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A;
}

// A 32-bit value: often an edge value, sometimes small, sometimes anything.
inline int32_t Int(FuzzedDataProvider& in) {
  static constexpr int32_t kEdges[] = {
      0,
      1,
      -1,
      2,
      7,
      8,
      9,
      15,
      16,
      127,
      128,
      254,
      255,
      256,
      257,
      511,
      512,
      -255,
      -256,
      65535,
      65536,
      -65536,
      2047,
      2048,
      -2048,
      -2049,
      1 << 20,
      -(1 << 20),
      1 << 29,
      -(1 << 29),
      (1 << 29) + 1,
      -(1 << 29) - 1,
      1 << 30,
      -(1 << 30),
      INT32_MAX,
      INT32_MIN,
      INT32_MAX - 1,
      INT32_MIN + 1,
      0x7FFF,
      0x8000,
      0x1FF,
      0x100FF,
      INT32_MIN + 255,
  };
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return kEdges[in.ConsumeIntegralInRange<size_t>(0, std::size(kEdges) - 1)];
    case 1:
      return in.ConsumeIntegralInRange<int32_t>(-40, 40);
    case 2:
      return in.ConsumeIntegralInRange<int32_t>(0, 255);
    default:
      return in.ConsumeIntegral<int32_t>();
  }
}

// A coordinate near a surface of the given span (mostly), or any Int.
inline int32_t Coord(FuzzedDataProvider& in, int32_t span) {
  if (in.ConsumeIntegralInRange<int>(0, 3) != 0) {
    return in.ConsumeIntegralInRange<int32_t>(-span - 4, 2 * span + 4);
  }
  return Int(in);
}

// Optional rectangles and sizes: null, near the given spans, or wild.
struct MaybeRect {
  Rect rect;
  bool present = false;
  const Rect* get() const { return present ? &rect : nullptr; }
};
struct MaybeSize {
  Size size;
  bool present = false;
  const Size* get() const { return present ? &size : nullptr; }
};

inline MaybeRect RectNear(FuzzedDataProvider& in, int32_t w, int32_t h) {
  MaybeRect r;
  r.present = in.ConsumeBool();
  if (!r.present) return r;
  if (in.ConsumeIntegralInRange<int>(0, 3) != 0) {
    // Mostly well formed: a rectangle reaching a little past the spans.
    r.rect.left = in.ConsumeIntegralInRange<int32_t>(-3, w + 1);
    r.rect.top = in.ConsumeIntegralInRange<int32_t>(-3, h + 1);
    r.rect.right = r.rect.left + in.ConsumeIntegralInRange<int32_t>(-1, w + 3);
    r.rect.bottom = r.rect.top + in.ConsumeIntegralInRange<int32_t>(-1, h + 3);
  } else {
    r.rect = Rect{Coord(in, w), Coord(in, h), Coord(in, w), Coord(in, h)};
  }
  return r;
}

inline MaybeSize SizeNear(FuzzedDataProvider& in, int32_t w, int32_t h) {
  MaybeSize s;
  s.present = in.ConsumeBool();
  if (!s.present) return s;
  if (in.ConsumeIntegralInRange<int>(0, 3) != 0) {
    s.size.width = in.ConsumeIntegralInRange<int32_t>(-1, 2 * w + 2);
    s.size.height = in.ConsumeIntegralInRange<int32_t>(-1, 2 * h + 2);
  } else {
    s.size = Size{Int(in), Int(in)};
  }
  return s;
}

// Pixel memory of a surface: lent memory is reached through a lock, which is
// given back at once (the pointer stays valid: the platform layer keeps it).
inline uint8_t* MemoryOf(DDSurface& s) {
  if (s.Buffer().pixels == nullptr) {
    s.Lock();
    s.Unlock();
  }
  return s.Buffer().pixels;
}

inline size_t MemorySize(const DDSurface& s) {
  const PixelBuffer& b = s.Buffer();
  return static_cast<size_t>(b.pitch) * static_cast<size_t>(b.bounds.bottom - 1) +
         static_cast<size_t>(b.bounds.right) * BytesPerPixel(s.Format());
}

inline std::vector<uint8_t> Snapshot(DDSurface& s) {
  const uint8_t* m = MemoryOf(s);
  return std::vector<uint8_t>(m, m + MemorySize(s));
}

inline void Restore(DDSurface& s, const std::vector<uint8_t>& bytes) {
  std::memcpy(MemoryOf(s), bytes.data(), bytes.size());
}

// How a surface is made and what it holds.
struct SurfaceSetup {
  std::unique_ptr<DDSurface> surface;
  bool lent = false;
  bool directAccess = true;
  // True when Lock goes through the platform layer (so a refusal counts).
  bool LocksThroughPlatform() const { return lent || !directAccess; }
};

// Fills the pixel memory (padding included): from a seed, with a constant, or
// with the fuzzer's own bytes. 16-bit alpha formats keep their alpha levels in
// 0..15 unless the input asks for wild alphas.
inline void FillSurface(FuzzedDataProvider& in, DDSurface& s) {
  uint8_t* m = MemoryOf(s);
  const size_t n = MemorySize(s);
  switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
      std::memset(m, 0, n);
      break;
    case 1:
      std::memset(m, 0xFF, n);
      break;
    case 2: {
      const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(16);
      for (size_t i = 0; i < n; ++i) m[i] = bytes.empty() ? 0x5A : bytes[i % bytes.size()];
      break;
    }
    default: {
      std::mt19937 rng(in.ConsumeIntegral<uint32_t>());
      for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint8_t>(rng());
      break;
    }
  }
  const bool wild = in.ConsumeIntegralInRange<int>(0, 7) == 0;
  if (!wild && IsSixteenBitAlpha(s.Format())) {
    const PixelBuffer& b = s.Buffer();
    for (int32_t y = 0; y < b.bounds.bottom; ++y)
      for (int32_t x = 0; x < b.bounds.right; ++x) m[int64_t{y} * b.pitch + x * 4 + 2] &= 15;
  }
}

// A small surface of a format from the input: packed or padded rows, own or
// lent memory, made by Make or by Create.
inline SurfaceSetup MakeSurface(FuzzedDataProvider& in, int32_t maxWidth, int32_t maxHeight) {
  SurfaceSetup setup;
  const PixelFormat format = in.PickValueInArray(kFormats);
  const int32_t w = in.ConsumeIntegralInRange<int32_t>(1, maxWidth);
  const int32_t h = in.ConsumeIntegralInRange<int32_t>(1, maxHeight);
  const int32_t pad = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 9) : 0;
  setup.lent = in.ConsumeIntegralInRange<int>(0, 2) == 0;
  if (!setup.lent && pad == 0 && in.ConsumeIntegralInRange<int>(0, 5) == 0) {
    // Through Image::Create, which picks the format from the display format.
    auto s = std::make_unique<DDSurface>(format);
    if (s->Create(w, h, in.ConsumeBool()) == 0) setup.surface = std::move(s);
  } else {
    setup.surface =
        DDSurface::Make(w, h, format, setup.lent ? DDSurface::Memory::Lent : DDSurface::Memory::Own,
                        pad ? w * BytesPerPixel(format) + pad : 0);
  }
  FUZZ_CHECK(setup.surface != nullptr, "a %dx%d surface of format %d was refused", w, h,
             static_cast<int>(format));
  setup.directAccess = setup.lent || in.ConsumeIntegralInRange<int>(0, 4) != 0;
  setup.surface->SetDirectAccess(setup.directAccess);
  FillSurface(in, *setup.surface);
  return setup;
}

// Gives the surface a colour key (or none) and writes the key's pixel value
// into some of its pixels so that keyed operations meet it. True when every
// pixel now matches the key (colour word only for 16-bit alpha formats).
inline bool PlantKey(FuzzedDataProvider& in, DDSurface& s) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return false;
    case 1:
      s.ResetColorKey();
      break;
    default:
      s.SetColorKey(in.ConsumeIntegral<uint32_t>() & 0xFFFFFF);
      break;
  }
  const uint32_t key = s.GetColorKey();
  const int32_t bpp = BytesPerPixel(s.Format());
  const int32_t keyBytes = IsSixteenBitAlpha(s.Format()) ? 2 : bpp;
  const int32_t every = in.ConsumeIntegralInRange<int32_t>(1, 4);
  uint8_t* m = MemoryOf(s);
  const PixelBuffer& b = s.Buffer();
  int32_t i = 0;
  for (int32_t y = 0; y < b.bounds.bottom; ++y)
    for (int32_t x = 0; x < b.bounds.right; ++x, ++i)
      if (i % every == 0) std::memcpy(m + int64_t{y} * b.pitch + int64_t{x} * bpp, &key, keyBytes);
  return every == 1;
}

// A destination rectangle in 64 bits; empty when right <= left or bottom <= top.
struct Box {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  Box Cut(const Box& o) const {
    return Box{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
  }
};

inline Box BoxOf(const Rect& r) { return Box{r.left, r.top, r.right, r.bottom}; }

inline Box Bounds(const DDSurface& s) { return BoxOf(s.Buffer().bounds); }

// Where a blit may draw: the placement (x, y and the destination size, or the
// source rectangle's size) inside the clip (or the bounds) and the bounds.
inline Box BlitArea(const Rect& dstBounds, const Rect& srcBounds, int32_t x, int32_t y, const Rect* srcRect,
                    const Size* dstSize, const Rect* clip) {
  const Rect s = srcRect ? *srcRect : srcBounds;
  const int64_t w = dstSize ? int64_t{dstSize->width} : int64_t{s.right} - s.left;
  const int64_t h = dstSize ? int64_t{dstSize->height} : int64_t{s.bottom} - s.top;
  if (w <= 0 || h <= 0) return Box{};
  const Box placed{x, y, x + w, y + h};
  return placed.Cut(BoxOf(clip ? *clip : dstBounds)).Cut(BoxOf(dstBounds));
}
inline Box BlitArea(const DDSurface& dst, const Rect& srcBounds, int32_t x, int32_t y, const Rect* srcRect,
                    const Size* dstSize, const Rect* clip) {
  return BlitArea(dst.Buffer().bounds, srcBounds, x, y, srcRect, dstSize, clip);
}

// Every byte outside the area is as it was; with keepPad, so is the pad byte
// (byte 3) of every 16-bit-alpha pixel inside it.
inline void CheckOnlyAreaChanged(const DDSurface& dst, const std::vector<uint8_t>& before,
                                 const std::vector<uint8_t>& after, const Box& area, bool keepPad,
                                 const char* what) {
  const int64_t pitch = dst.Buffer().pitch;
  const int64_t bpp = BytesPerPixel(dst.Format());
  const bool pad = keepPad && IsSixteenBitAlpha(dst.Format());
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    const int64_t row = static_cast<int64_t>(i) / pitch, col = static_cast<int64_t>(i) % pitch;
    const bool inside = !area.Empty() && row >= area.top && row < area.bottom && col >= area.left * bpp &&
                        col < area.right * bpp;
    FUZZ_CHECK(inside,
               "%s changed byte %zu (row %lld, byte %lld of the row) outside "
               "[%lld, %lld) x [%lld, %lld)",
               what, i, static_cast<long long>(row), static_cast<long long>(col),
               static_cast<long long>(area.left), static_cast<long long>(area.right),
               static_cast<long long>(area.top), static_cast<long long>(area.bottom));
    FUZZ_CHECK(!pad || col % 4 != 3, "%s wrote the pad byte at row %lld, pixel %lld", what,
               static_cast<long long>(row), static_cast<long long>(col / 4));
  }
}

inline void CheckUnlocked(DDSurface& s, const char* what, const char* which) {
  FUZZ_CHECK(!s.IsLocked(), "%s left the %s surface locked", what, which);
  if (s.Platform() == nullptr) return;  // never made: nothing to lock
  FUZZ_CHECK(s.Platform()->LocksHeld() == 0, "%s left %d platform locks on the %s surface", what,
             s.Platform()->LocksHeld(), which);
}

// Lets the platform grant the surfaces' locks again after a refused-lock case.
inline void AcceptLocks(DDSurface& d, DDSurface* src) {
  for (DDSurface* s : {&d, src}) {
    if (s == nullptr || s->Platform() == nullptr) continue;
    s->Platform()->RefuseLocks(platform::kSurfaceOk);
    s->Platform()->AnswerStillDrawing(0);
  }
}

inline void CheckResult(int32_t result, const char* what) {
  FUZZ_CHECK(result >= 0 && result <= 3, "%s answered %d", what, result);
}

// Which surface the platform layer refuses (or keeps busy for a while).
struct LockTrouble {
  enum Kind { None, RefuseDst, RefuseSrc, StillDrawing } kind = None;
  int32_t answer = platform::kSurfaceLost;
};

inline LockTrouble PickTrouble(FuzzedDataProvider& in) {
  LockTrouble t;
  switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
      t.kind = LockTrouble::RefuseDst;
      break;
    case 1:
      t.kind = LockTrouble::RefuseSrc;
      break;
    case 2:
      t.kind = LockTrouble::StillDrawing;
      break;
    default:
      return t;
  }
  static constexpr int32_t kAnswers[] = {platform::kSurfaceLost, platform::kSurfaceNotLocked, 1, -1};
  t.answer = in.PickValueInArray(kAnswers);
  return t;
}

// Whether an operation that must lock its destination asks the platform layer
// for the lock at all: a placeholder that is not built yet does not. Probed
// once with a lent destination whose lock is refused.
template <class Call>
bool AsksForLock(PixelFormat format, const Call& call) {
  auto dst = DDSurface::Make(4, 2, format, DDSurface::Memory::Lent);
  auto src = DDSurface::Make(4, 2, format);
  dst->Platform()->RefuseLocks(platform::kSurfaceLost);
  call(*dst, src.get());
  return dst->Platform()->LockCalls() != 0;
}

}  // namespace fuzz

}  // namespace pixelops
