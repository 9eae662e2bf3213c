// Checks of the kernels against the scalar level, which runs no kernel.
//
// ExpectLevelsAgree (the row kernels of the translucent, two-level, saturating
// and alpha-channel blits and of the keyed copy, and the stretched walk's
// gather): an operation drawn at each vector level this machine runs gives
// exactly the bytes and the answer of the scalar level, on identical random
// surfaces (padding included), for every width 0 to 300 (each at a random
// start column 0..15 of the source and of the destination), then stretched,
// shrunk and clipped placements, with source rectangles reaching past the
// source, to its right and bottom edges, and from its top left pixel. The
// surfaces' memory ends right before an inaccessible page, or for some
// placements starts right after one, so that a kernel reading or writing a
// pixel past the last row's end (or before the first row's start) fails in
// any build.
//
// ExpectSameAtEveryLevel: one drawing call on surfaces of the caller's (the
// span kernels' test, and a few placements of the row kernels' tests).
//
// The other row kernels (pattern, colour-keeping, mask, fade) are held to
// their operations' references at the level in force by those operations'
// tests; kernel_link_test.cpp draws every served pair of every kernel once
// at every level, on guarded surfaces, against the scalar level.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <pixelops/dd_surface.h>
#include <pixelops/simd.h>

#include "tests/test_support.h"

namespace pixelops::test {

// One drawing call: the destination, the source, and a placement.
using DrawCall = std::function<BlitResult(DDSurface& dst, DDSurface& src, int32_t x, int32_t y,
                                          const Rect* srcRect, const Size* dstSize, const Rect* clip)>;
// The same with a value (an opacity or level) chosen for the placement.
using ValuedDrawCall =
    std::function<BlitResult(DDSurface& dst, DDSurface& src, int32_t x, int32_t y, int32_t value,
                             const Rect* srcRect, const Size* dstSize, const Rect* clip)>;

// Sets a SIMD level for the life of the object, then goes back to the level
// it found.
class ScopedSimdLevel {
 public:
  explicit ScopedSimdLevel(std::string_view level) : found_(SimdLevel()) { EXPECT_TRUE(SetSimdLevel(level)); }
  ~ScopedSimdLevel() { SetSimdLevel(found_); }
  ScopedSimdLevel(const ScopedSimdLevel&) = delete;
  ScopedSimdLevel& operator=(const ScopedSimdLevel&) = delete;

 private:
  std::string_view found_;
};

// Random surface content that reaches the rules' special cases: alpha bytes
// and levels at their ends, source pixels equal to the key or to the
// destination pixel below them, and pixels one bit away from the key (any bit
// of the pixel: each colour bit, the X or alpha byte, bit 15 of a 555 word),
// so that a key test that drops or adds a bit is caught.
inline void FillForKernels(DDSurface& s, std::mt19937& rng) {
  FillRandom(s, rng);
  uint8_t* m = Memory(s);
  const PixelBuffer& b = s.Buffer();
  const int32_t bpp = BytesPerPixel(s.Format());
  const bool alpha = IsAlphaFormat(s.Format());
  const int32_t alphaByte =
      bpp == 4 && alpha ? (s.Format() == PixelFormat::Bgra32 || s.Format() == PixelFormat::Rgba32 ? 3 : 2)
                        : -1;
  const uint8_t alphaMax = alphaByte == 2 ? 15 : 255;
  for (int32_t y = 0; y < b.bounds.bottom; ++y) {
    for (int32_t x = 0; x < b.bounds.right; ++x) {
      uint8_t* p = m + int64_t{y} * b.pitch + int64_t{x} * bpp;
      if (alphaByte >= 0) {
        const uint32_t r = rng() % 8;
        if (r == 0) p[alphaByte] = 0;
        if (r == 1) p[alphaByte] = alphaMax;
      }
      const uint32_t keyed = rng() % 8;
      if (keyed < 2) {
        const uint32_t key = s.GetColorKey();
        for (int32_t k = 0; k < bpp; ++k) p[k] = static_cast<uint8_t>(key >> (8 * k));
        if (alphaByte >= 0 && rng() % 2) p[alphaByte] = static_cast<uint8_t>(rng()) & alphaMax;
        if (keyed == 1) {
          const uint32_t bit = rng() % static_cast<uint32_t>(8 * bpp);
          p[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        }
      }
    }
  }
}

struct KernelPlacement {
  int32_t x, y;
  bool hasSrcRect;
  Rect srcRect;
  bool hasSize;
  Size size;
  bool hasClip;
  Rect clip;
  // Drawn on surfaces whose memory starts right after an inaccessible page;
  // otherwise on surfaces whose memory ends right before one.
  bool guardedStart;
};

// Widths 0 to 300, each at a start column 0..15 of the destination and of the
// source; then stretched, shrunk and clipped placements with source
// rectangles reaching past the source, and to its right and bottom edges.
// Every other placement of the first two kinds draws on the surfaces whose
// memory starts at a guard page; those reaching the right and bottom edges
// draw on the ones whose memory ends at one, and the last, from the source's
// top left onto the destination's, on the ones whose memory starts at one.
inline std::vector<KernelPlacement> KernelPlacements(std::mt19937& rng) {
  std::vector<KernelPlacement> out;
  for (int32_t w = 0; w <= 300; ++w) {
    const int32_t sx = static_cast<int32_t>(rng() % 16), dx = static_cast<int32_t>(rng() % 16);
    out.push_back({dx,
                   static_cast<int32_t>(rng() % 3),
                   true,
                   Rect{sx, 1, sx + w, 3},
                   false,
                   {},
                   false,
                   {},
                   w % 2 == 0});
  }
  for (int32_t i = 0; i < 60; ++i) {
    const int32_t l = static_cast<int32_t>(rng() % 40) - 8, t = static_cast<int32_t>(rng() % 6) - 2;
    const int32_t w = static_cast<int32_t>(rng() % 200) + 1, h = static_cast<int32_t>(rng() % 5) + 1;
    KernelPlacement p{static_cast<int32_t>(rng() % 40) - 10,
                      static_cast<int32_t>(rng() % 6) - 2,
                      true,
                      Rect{l, t, l + w, t + h},
                      true,
                      Size{static_cast<int32_t>(rng() % 400) + 1, static_cast<int32_t>(rng() % 8) + 1},
                      rng() % 2 == 0,
                      Rect{static_cast<int32_t>(rng() % 30), 0, static_cast<int32_t>(rng() % 300) + 20, 6},
                      i % 2 == 0};
    if (i % 3 == 0) p.hasSize = false;  // clipped one to one
    out.push_back(p);
  }
  // Source rectangles reaching the source's right and bottom edges (340 x 6),
  // so that any read past a row's last pixel would leave the surface.
  for (int32_t i = 0; i < 20; ++i) {
    const int32_t w = static_cast<int32_t>(rng() % 120) + 1, h = static_cast<int32_t>(rng() % 4) + 1;
    const int32_t grow = static_cast<int32_t>(rng() % 3);
    out.push_back({static_cast<int32_t>(rng() % 16),
                   0,
                   true,
                   Rect{340 - w, 6 - h, 340 + grow, 6 + grow},
                   i % 4 != 0,
                   Size{w + static_cast<int32_t>(rng() % (2 * w + 1)), h + grow + 1},
                   false,
                   {},
                   false});
  }
  // The source's top left pixels onto the destination's, one to one, so that
  // any read before a row's first pixel would leave the surfaces.
  for (int32_t i = 0; i < 20; ++i) {
    const int32_t w = static_cast<int32_t>(rng() % 120) + 1, h = static_cast<int32_t>(rng() % 4) + 1;
    out.push_back({0, 0, true, Rect{0, 0, w, h}, false, {}, false, {}, true});
  }
  return out;
}

// Draws every placement at the scalar level and at every other level on
// identical surfaces, and expects the same results and destination bytes.
// Placement i draws at values[i % n] (every eighth at a random value, where
// values are given) on a source and a destination (340 x 6 onto 330 x 6,
// rows padded) filled afresh for it, the same bytes at every level. Each
// level is set once for all placements (setting one is not free).
inline void ExpectLevelsAgreeAt(PixelFormat srcFormat, PixelFormat dstFormat, std::span<const int32_t> values,
                                const ValuedDrawCall& draw, uint32_t seed, uint32_t keyColour = 0x00FF00FF) {
  std::mt19937 rng(seed);
  const int32_t srcPitch = 340 * BytesPerPixel(srcFormat) + 12;
  const int32_t dstPitch = 330 * BytesPerPixel(dstFormat) + 8;
  // By KernelPlacement::guardedStart: memory ending at a guard page, then
  // memory starting at one.
  const GuardedSurface srcs[2] = {{340, 6, srcFormat, srcPitch, false}, {340, 6, srcFormat, srcPitch, true}};
  const GuardedSurface dsts[2] = {{330, 6, dstFormat, dstPitch, false}, {330, 6, dstFormat, dstPitch, true}};
  for (const GuardedSurface& s : srcs) {
    ASSERT_TRUE(s);
    s->SetColorKey(keyColour);
  }
  for (const GuardedSurface& d : dsts) ASSERT_TRUE(d);
  const std::vector<KernelPlacement> placements = KernelPlacements(rng);
  std::vector<std::vector<uint8_t>> srcBytes, dstBytes;
  std::vector<int32_t> drawValues;
  for (size_t i = 0; i < placements.size(); ++i) {
    DDSurface& src = *srcs[placements[i].guardedStart];
    DDSurface& dst = *dsts[placements[i].guardedStart];
    FillForKernels(src, rng);
    FillForKernels(dst, rng);
    srcBytes.push_back(Snapshot(src));
    dstBytes.push_back(Snapshot(dst));
    const int32_t random = static_cast<int32_t>(rng() % 256);
    drawValues.push_back(values.empty() ? 0 : i % 8 == 7 ? random : values[i % values.size()]);
  }
  std::vector<std::vector<uint8_t>> reference(placements.size());
  std::vector<BlitResult> referenceResults(placements.size());
  for (std::string_view level : SimdLevels()) {
    ScopedSimdLevel scoped(level);
    for (size_t i = 0; i < placements.size(); ++i) {
      const KernelPlacement& p = placements[i];
      DDSurface& src = *srcs[p.guardedStart];
      DDSurface& dst = *dsts[p.guardedStart];
      Restore(src, srcBytes[i]);
      Restore(dst, dstBytes[i]);
      const BlitResult r = draw(dst, src, p.x, p.y, drawValues[i], p.hasSrcRect ? &p.srcRect : nullptr,
                                p.hasSize ? &p.size : nullptr, p.hasClip ? &p.clip : nullptr);
      std::vector<uint8_t> got = Snapshot(dst);
      if (level == "scalar") {
        reference[i] = std::move(got);
        referenceResults[i] = r;
        continue;
      }
      ASSERT_EQ(r, referenceResults[i]) << level;
      if (got == reference[i]) continue;
      size_t at = 0;
      while (got[at] == reference[i][at]) ++at;
      FAIL() << "level " << level << ", " << PixelFormatName(srcFormat) << " onto "
             << PixelFormatName(dstFormat) << ", value " << drawValues[i] << ", byte " << at << " (row "
             << at / dst.Buffer().pitch << ", got " << int{got[at]} << ", want " << int{reference[i][at]}
             << "), placement x " << p.x << " y " << p.y << " src " << p.srcRect.left << "," << p.srcRect.top
             << "-" << p.srcRect.right << "," << p.srcRect.bottom << " size "
             << (p.hasSize ? p.size.width : -1) << "x" << (p.hasSize ? p.size.height : -1);
    }
  }
}

// The same for a call that takes no value.
inline void ExpectLevelsAgree(PixelFormat srcFormat, PixelFormat dstFormat, const DrawCall& draw,
                              uint32_t seed, uint32_t keyColour = 0x00FF00FF) {
  ExpectLevelsAgreeAt(
      srcFormat, dstFormat, {},
      [&draw](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
              const Rect* c) { return draw(d, s, x, y, r, z, c); },
      seed, keyColour);
}

// Draws at the scalar level and at every other level, each time from the
// destination as it was before, and expects the scalar level's bytes (and
// result, where draw answers one).
template <class Draw>
void ExpectSameAtEveryLevel(DDSurface& dst, const Draw& draw, std::string_view what = {}) {
  const std::vector<uint8_t> before = Snapshot(dst);
  std::vector<uint8_t> reference;
  BlitResult referenceResult = kBlitDone;
  for (std::string_view level : SimdLevels()) {
    ScopedSimdLevel scoped(level);
    Restore(dst, before);
    BlitResult r = kBlitDone;
    if constexpr (std::is_void_v<decltype(draw())>) draw();
    else r = draw();
    std::vector<uint8_t> got = Snapshot(dst);
    if (level == "scalar") {
      reference = std::move(got);
      referenceResult = r;
      continue;
    }
    ASSERT_EQ(r, referenceResult) << "level " << level << ", " << what;
    if (got == reference) continue;
    size_t at = 0;
    while (got[at] == reference[at]) ++at;
    FAIL() << "level " << level << ", byte " << at << " (got " << int{got[at]} << ", want "
           << int{reference[at]} << "), " << what;
  }
}

}  // namespace pixelops::test
