// Helpers shared by the tests: surfaces filled with random bytes (padding
// included), surfaces whose memory ends at an inaccessible page, snapshots of
// their memory, and a plain per-pixel reference of a blit's placement written
// independently of the library's walks.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <pixelops/dd_surface.h>
#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>

namespace pixelops {

namespace test {

// The ten formats that are blended (all but Index8).
inline constexpr auto& kAllFormats = format_pairs::kBlendedFormats;

// Bytes of surface memory from the first pixel to the last (padding included).
inline size_t MemorySize(const DDSurface& s) {
  const PixelBuffer& b = s.Buffer();
  return static_cast<size_t>(b.pitch) * (b.bounds.bottom - 1) +
         static_cast<size_t>(b.bounds.right) * BytesPerPixel(s.Format());
}

// Pixel memory of a surface; lent surfaces are locked for the look.
inline uint8_t* Memory(DDSurface& s) {
  if (s.Buffer().pixels == nullptr) {
    s.Lock();
    s.Unlock();
  }
  return s.Buffer().pixels;
}

inline std::vector<uint8_t> Snapshot(DDSurface& s) {
  uint8_t* m = Memory(s);
  return std::vector<uint8_t>(m, m + MemorySize(s));
}

inline void Restore(DDSurface& s, const std::vector<uint8_t>& bytes) {
  std::memcpy(Memory(s), bytes.data(), bytes.size());
}

// Fills every byte, padding included, from the generator. 16-bit alpha
// formats get alpha levels 0..15 unless wild is set.
inline void FillRandom(DDSurface& s, std::mt19937& rng, bool wild = false) {
  uint8_t* m = Memory(s);
  const size_t n = MemorySize(s);
  for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint8_t>(rng());
  if (!wild && (s.Format() == PixelFormat::Rgb565A || s.Format() == PixelFormat::Rgb555A)) {
    const PixelBuffer& b = s.Buffer();
    for (int32_t y = 0; y < b.bounds.bottom; ++y)
      for (int32_t x = 0; x < b.bounds.right; ++x) m[int64_t{y} * b.pitch + x * 4 + 2] &= 15;
  }
}

inline std::unique_ptr<DDSurface> RandomSurface(int32_t w, int32_t h, PixelFormat f, std::mt19937& rng,
                                                int32_t padBytes = 0,
                                                DDSurface::Memory mem = DDSurface::Memory::Own) {
  auto s = DDSurface::Make(w, h, f, mem, padBytes ? w * BytesPerPixel(f) + padBytes : 0);
  FillRandom(*s, rng);
  return s;
}

// n bytes of memory between two inaccessible pages, flush against the page
// after them (or, atStart, the page before them): a read or write of a byte
// past their end (before their start) faults at once, sanitizer or not.
class GuardedBytes {
 public:
  GuardedBytes(size_t n, bool atStart) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t inner = (n + page - 1) / page * page;
    size_ = inner + 2 * page;
    void* p = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) std::abort();
    base_ = static_cast<uint8_t*>(p);
    if (mprotect(base_, page, PROT_NONE) != 0 || mprotect(base_ + page + inner, page, PROT_NONE) != 0) {
      std::abort();
    }
    data_ = base_ + page + (atStart ? 0 : inner - n);
  }
  ~GuardedBytes() { munmap(base_, size_); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  uint8_t* data() const { return data_; }

 private:
  uint8_t* base_ = nullptr;
  size_t size_ = 0;
  uint8_t* data_ = nullptr;
};

// A width x height surface (both at least 1) of the format over guarded
// memory, rows pitch bytes apart (0 packs them): its last pixel ends right
// before an inaccessible page, or (atStart) its first pixel starts right after
// one. A kernel that reads or writes a pixel past the last row's end (or
// before the first row's start) then fails in any build.
class GuardedSurface {
 public:
  GuardedSurface(int32_t width, int32_t height, PixelFormat format, int32_t pitch = 0, bool atStart = false)
      : memory_(static_cast<size_t>(pitch != 0 ? pitch : width * BytesPerPixel(format)) *
                        static_cast<size_t>(height - 1) +
                    static_cast<size_t>(width) * BytesPerPixel(format),
                atStart),
        surface_(DDSurface::Wrap(memory_.data(), width, height, format,
                                 pitch != 0 ? pitch : width * BytesPerPixel(format))) {}

  explicit operator bool() const { return surface_ != nullptr; }
  DDSurface& operator*() const { return *surface_; }
  DDSurface* operator->() const { return surface_.get(); }
  DDSurface* get() const { return surface_.get(); }

 private:
  GuardedBytes memory_;
  std::unique_ptr<DDSurface> surface_;
};

inline uint8_t* PixelAt(DDSurface& s, int32_t x, int32_t y) {
  return Memory(s) + int64_t{y} * s.Buffer().pitch + int64_t{x} * BytesPerPixel(s.Format());
}
inline uint32_t ReadPixel(DDSurface& s, int32_t x, int32_t y) {
  uint32_t v = 0;
  std::memcpy(&v, PixelAt(s, x, y), BytesPerPixel(s.Format()));
  return v;
}
inline void WritePixel(DDSurface& s, int32_t x, int32_t y, uint32_t v) {
  std::memcpy(PixelAt(s, x, y), &v, BytesPerPixel(s.Format()));
}
inline void FillPixels(DDSurface& s, uint32_t v) {
  for (int32_t y = 0; y < s.Buffer().bounds.bottom; ++y)
    for (int32_t x = 0; x < s.Buffer().bounds.right; ++x) WritePixel(s, x, y, v);
}

// The source index that destination offset i of an unclipped span reads:
// i itself one to one, else i x q + max(0, floor(((i + 1) x r - 1) / dw)).
inline int64_t ReferenceIndex(int64_t i, int64_t sw, int64_t dw, bool oneToOne) {
  if (oneToOne) return i;
  const int64_t q = sw / dw, r = sw % dw, n = (i + 1) * r - 1;
  return i * q + (n > 0 ? n / dw : 0);
}

struct Placement {
  int32_t x = 0, y = 0;
  const Rect* srcRect = nullptr;
  const Size* dstSize = nullptr;
  const Rect* clip = nullptr;
};

using PixelFn = std::function<void(const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy)>;

// Applies fn to every destination pixel the placement covers inside the clip
// and the destination, reading the source pixel the mapping names (pixels
// whose source pixel lies outside the source are skipped), on copies of the
// surfaces' memory: dstBytes is changed, srcBytes only read. Pixels go row by
// row, left to right.
inline void ReferenceBlit(const DDSurface& dst, std::vector<uint8_t>& dstBytes, const DDSurface& src,
                          const std::vector<uint8_t>& srcBytes, const Placement& at, const PixelFn& fn) {
  const PixelBuffer& sb = src.Buffer();
  const PixelBuffer& db = dst.Buffer();
  const Rect s = at.srcRect ? *at.srcRect : sb.bounds;
  const int64_t sw = int64_t{s.right} - s.left, sh = int64_t{s.bottom} - s.top;
  const int64_t dw = at.dstSize ? at.dstSize->width : sw;
  const int64_t dh = at.dstSize ? at.dstSize->height : sh;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const bool one = sw == dw && sh == dh;
  Rect q = at.clip ? *at.clip : db.bounds;
  const int64_t ql = std::max<int64_t>(q.left, 0), qt = std::max<int64_t>(q.top, 0);
  const int64_t qr = std::min<int64_t>(q.right, db.bounds.right);
  const int64_t qb = std::min<int64_t>(q.bottom, db.bounds.bottom);
  const int32_t sbpp = BytesPerPixel(src.Format()), dbpp = BytesPerPixel(dst.Format());
  for (int64_t Y = std::max<int64_t>(qt, at.y); Y < std::min<int64_t>(qb, int64_t{at.y} + dh); ++Y) {
    const int64_t sy = s.top + ReferenceIndex(Y - at.y, sh, dh, one);
    if (sy < 0 || sy >= sb.bounds.bottom) continue;
    for (int64_t X = std::max<int64_t>(ql, at.x); X < std::min<int64_t>(qr, int64_t{at.x} + dw); ++X) {
      const int64_t sx = s.left + ReferenceIndex(X - at.x, sw, dw, one);
      if (sx < 0 || sx >= sb.bounds.right) continue;
      fn(srcBytes.data() + sy * sb.pitch + sx * sbpp, dstBytes.data() + Y * db.pitch + X * dbpp,
         static_cast<int32_t>(sx), static_cast<int32_t>(sy));
    }
  }
}

// A random placement around a destination of dw x dh from a source of sw x sh:
// sometimes one to one, sometimes stretched, sometimes clipped, sometimes
// with a source rectangle.
struct RandomPlacement {
  Rect srcRect, clip;
  Size dstSize;
  Placement at;
  RandomPlacement(std::mt19937& rng, int32_t sw, int32_t sh, int32_t dw, int32_t dh) {
    auto pick = [&](int32_t lo, int32_t hi) {
      return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
    };
    srcRect = Rect{pick(0, sw - 1), pick(0, sh - 1), 0, 0};
    srcRect.right = pick(srcRect.left + 1, sw);
    srcRect.bottom = pick(srcRect.top + 1, sh);
    const int32_t rw = srcRect.right - srcRect.left, rh = srcRect.bottom - srcRect.top;
    at.x = pick(-rw, dw);
    at.y = pick(-rh, dh);
    if (rng() % 2) at.srcRect = &srcRect;
    if (rng() % 2) {
      dstSize = Size{pick(1, 2 * dw), pick(1, 2 * dh)};
      if (rng() % 4 == 0) dstSize.width = at.srcRect ? rw : sw;
      at.dstSize = &dstSize;
    }
    if (rng() % 2) {
      clip = Rect{pick(-2, dw), pick(-2, dh), 0, 0};
      clip.right = pick(clip.left, dw + 2);
      clip.bottom = pick(clip.top, dh + 2);
      at.clip = &clip;
    }
  }
};

// A random whole number from lo to hi.
inline int32_t Pick(std::mt19937& rng, int32_t lo, int32_t hi) {
  return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

// The polygon families drawn from points: DrawPolygon, DrawPolygonKeyed, and
// FillTexturedQuad at an alpha.
enum class PolygonFamily { kOpaque, kKeyed, kBlend };

inline BlitResult DrawPolygonFamily(PolygonFamily family, DDSurface& dst, DDSurface& src,
                                    const std::vector<Point>& sp, const std::vector<Point>& dp,
                                    const Rect* clip, uint8_t flag, int32_t alpha) {
  const int32_t n = static_cast<int32_t>(dp.size());
  switch (family) {
    case PolygonFamily::kOpaque:
      return dst.DrawPolygon(&src, sp.data(), dp.data(), clip, flag, n);
    case PolygonFamily::kKeyed:
      return dst.DrawPolygonKeyed(&src, sp.data(), dp.data(), clip, flag, n);
    case PolygonFamily::kBlend:
      return FillTexturedQuad(&dst, &src, alpha, sp.data(), dp.data(), clip, flag, n);
  }
  return kBlitDone;
}

}  // namespace test

}  // namespace pixelops
