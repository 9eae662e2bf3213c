// A plain per-pixel reference of the additive and subtractive blits, written
// channel by channel with ordinary arithmetic (no tables, no carry masks), and
// the random cross-check that runs every member against it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <pixelops/dd_surface.h>
#include "tests/test_support.h"

namespace pixelops {

namespace satref {

enum class Op { Add, Sub };

struct Variant {
  Op op;
  bool keyed;
  bool levelled;
};

inline bool Is16(PixelFormat f) { return f == PixelFormat::Rgb565 || f == PixelFormat::Rgb555; }
inline bool Is16A(PixelFormat f) { return f == PixelFormat::Rgb565A || f == PixelFormat::Rgb555A; }
inline bool Is24(PixelFormat f) { return f == PixelFormat::Bgr24 || f == PixelFormat::Rgb24; }
inline bool Is32X(PixelFormat f) { return f == PixelFormat::Bgrx32 || f == PixelFormat::Rgbx32; }
inline bool Is32A(PixelFormat f) { return f == PixelFormat::Bgra32 || f == PixelFormat::Rgba32; }
inline bool Is555(PixelFormat f) { return f == PixelFormat::Rgb555 || f == PixelFormat::Rgb555A; }
inline bool Is565(PixelFormat f) { return f == PixelFormat::Rgb565 || f == PixelFormat::Rgb565A; }

using Pair = FormatPair;

// Every pair the eight operations serve: the ten formats onto themselves and
// the six alpha sources onto their colour formats.
inline std::vector<Pair> ServedPairs() {
  return std::vector<Pair>(format_pairs::kBlend.begin(), format_pairs::kBlend.end());
}

// Channel i (0 blue-or-byte-0, 1, 2) of a format: shift and width.
inline int Shift(PixelFormat f, int i) {
  if (Is565(f)) return i == 0 ? 0 : i == 1 ? 5 : 11;
  if (Is555(f)) return i * 5;
  return i * 8;
}
inline int Bits(PixelFormat f, int i) {
  if (Is565(f)) return i == 1 ? 6 : 5;
  if (Is555(f)) return 5;
  return 8;
}

inline uint32_t Read(const uint8_t* p, int n) {
  uint32_t v = 0;
  std::memcpy(&v, p, n);
  return v;
}

inline bool KeyMatches(PixelFormat f, uint32_t pixel, uint32_t key) {
  if (Is16(f) || Is16A(f)) return (pixel & 0xFFFF) == (key & 0xFFFF);
  if (Is32X(f)) return pixel == key;
  return (pixel & 0xFFFFFF) == (key & 0xFFFFFF);
}

// One pixel. level 255 means the unlevelled operation.
inline void Pixel(Op op, bool keyed, uint32_t level, uint32_t key, PixelFormat sf, PixelFormat df,
                  const uint8_t* s, uint8_t* d) {
  const int sb = BytesPerPixel(sf), db = BytesPerPixel(df);
  const uint32_t sv = Read(s, sb), dv = Read(d, db);
  if (keyed && KeyMatches(sf, sv, key)) return;
  const bool lev = level < 255;
  uint32_t out = dv;
  for (int i = 0; i < 3; ++i) {
    const int sh = Shift(df, i), bits = Bits(df, i), max = (1 << bits) - 1;
    int c = static_cast<int>((sv >> sh) & max);
    if (lev) {
      if (Is16(sf)) c = c * static_cast<int>(level >> 4) / 15;
      else if (Is16A(sf)) c = (static_cast<int>(level) * (c << (8 - bits)) / 255) >> (8 - bits);
      else c = static_cast<int>(level) * c / 255;
    }
    if (Is16A(sf) && Is16(df)) c = c * static_cast<int>((sv >> 16) & 15) / 15;
    if (Is32A(sf) && !Is32A(df)) c = (lev ? 255 : static_cast<int>(sv >> 24)) * c / 255;
    const int dc = static_cast<int>((dv >> sh) & max);
    const int r = op == Op::Add ? std::min(max, dc + c) : std::max(0, dc - c);
    out = (out & ~(uint32_t(max) << sh)) | (uint32_t(r) << sh);
  }
  if (df == PixelFormat::Rgb555) {
    const uint32_t s15 = (sf == PixelFormat::Rgb555 && !lev) ? sv & 0x8000 : 0;
    out = (out & ~0x8000u) | ((dv ^ s15) & 0x8000);
  }
  if (df == PixelFormat::Rgb555A) out &= ~0x8000u;
  if (Is32X(df)) {
    uint32_t x = dv >> 24;
    if (sf == df && !lev) x = op == Op::Add ? x + (sv >> 24) : x - (sv >> 24);
    if (op == Op::Sub && sf == PixelFormat::Rgba32) x = 0;
    out = (out & 0xFFFFFF) | ((x & 0xFF) << 24);
  }
  if (Is32A(df)) out |= 0xFF000000u;
  std::memcpy(d, &out, db);
}

// Calls the operation of the variant.
inline BlitResult Call(DDSurface& dst, DDSurface* src, const Variant& v, int32_t level,
                       const test::Placement& at) {
  if (v.op == Op::Add) {
    if (v.levelled && v.keyed)
      return dst.BltAddLevelKey(src, at.x, at.y, level, at.srcRect, at.dstSize, at.clip);
    if (v.levelled) return dst.BltAddLevel(src, at.x, at.y, level, at.srcRect, at.dstSize, at.clip);
    if (v.keyed) return dst.BltAddKey(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
    return dst.BltAdd(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
  }
  if (v.levelled && v.keyed)
    return dst.BltSubLevelKey(src, at.x, at.y, level, at.srcRect, at.dstSize, at.clip);
  if (v.levelled) return dst.BltSubLevel(src, at.x, at.y, level, at.srcRect, at.dstSize, at.clip);
  if (v.keyed) return dst.BltSubKey(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
  return dst.BltSub(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
}

// One channel of the saturating arithmetic: min(max, d + s) or max(0, d - s).
using ChannelFn = int (*)(int d, int s, int max);
inline int AddChannel(int d, int s, int max) { return std::min(max, d + s); }
inline int SubChannel(int d, int s, int) { return std::max(0, d - s); }

// A 16-bit colour word combined channel by channel; bit 15 of a 555 word is
// d15 XOR s15.
inline uint32_t RefWord(uint32_t d, uint32_t s, bool is565, ChannelFn channel) {
  const PixelFormat f = is565 ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
  uint32_t r = is565 ? 0 : (d ^ s) & 0x8000;
  for (int i = 0; i < 3; ++i) {
    const int sh = Shift(f, i), max = (1 << Bits(f, i)) - 1;
    r |= uint32_t(channel(int((d >> sh) & max), int((s >> sh) & max), max)) << sh;
  }
  return r;
}

// Every value pair of every channel of both word formats, the other bits
// random, through the one-pixel forms.
template <class Form565, class Form555>
void SweepWordForms(Form565 form565, Form555 form555, ChannelFn channel, uint32_t seed) {
  std::mt19937 rng(seed);
  for (const bool is565 : {true, false}) {
    const PixelFormat f = is565 ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
    for (int i = 0; i < 3; ++i) {
      const int sh = Shift(f, i), max = (1 << Bits(f, i)) - 1;
      for (uint32_t a = 0; a <= uint32_t(max); ++a) {
        for (uint32_t b = 0; b <= uint32_t(max); ++b) {
          for (int k = 0; k < 4; ++k) {
            const uint32_t d = ((rng() & 0xFFFF) & ~(uint32_t(max) << sh)) | (a << sh);
            const uint32_t s = ((rng() & 0xFFFF) & ~(uint32_t(max) << sh)) | (b << sh);
            const uint32_t got = is565 ? form565(d, s) : form555(d, s);
            ASSERT_EQ(got, RefWord(d, s, is565, channel)) << std::hex << d << " with " << s;
          }
        }
      }
    }
  }
}

// The two-pixel forms give each half what the one-pixel form gives; every
// fourth pair of words is shaped by force(d, s) first.
template <class Pair, class One, class Force>
void PairFormMatchesOnePixelForm(Pair pair, One one, Force force, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int k = 0; k < 200000; ++k) {
    uint32_t d = rng(), s = rng();
    if (k % 4 == 0) force(d, s);
    ASSERT_EQ(pair(d, s), one(d & 0xFFFF, s & 0xFFFF) | (one(d >> 16, s >> 16) << 16))
        << std::hex << d << " " << s;
  }
}

// One source pixel onto one destination pixel through a 1 x 1 levelled blit
// (keyed when asked, with the key colour set on the source): the result.
inline uint32_t OnePixel(Op op, PixelFormat sf, uint32_t s, PixelFormat df, uint32_t d, int32_t level,
                         bool keyed = false, uint32_t keyColour = 0) {
  auto src = DDSurface::Make(1, 1, sf);
  auto dst = DDSurface::Make(1, 1, df);
  test::WritePixel(*src, 0, 0, s);
  test::WritePixel(*dst, 0, 0, d);
  if (keyed) src->SetColorKey(keyColour);
  EXPECT_EQ(Call(*dst, src.get(), Variant{op, keyed, true}, level, test::Placement{}), kBlitDone);
  return test::ReadPixel(*dst, 0, 0);
}

// Writes the key colour into about a quarter of the source's pixels, leaving
// alpha bytes as they were; some Bgrx32 / Rgbx32 pixels get the key's colour
// bytes with a non-zero byte 3 (not the key).
inline void PlantKey(DDSurface& src, std::mt19937& rng) {
  const uint32_t key = src.GetColorKey();
  const PixelFormat f = src.Format();
  const int n = (Is16(f) || Is16A(f)) ? 2 : 3;
  for (int32_t y = 0; y < src.Buffer().bounds.bottom; ++y) {
    for (int32_t x = 0; x < src.Buffer().bounds.right; ++x) {
      if (rng() % 4 != 0) continue;
      uint8_t* p = test::PixelAt(src, x, y);
      std::memcpy(p, &key, n);
      if (Is32X(f)) p[3] = rng() % 2 ? 0 : static_cast<uint8_t>(1 + rng() % 255);
    }
  }
}

inline uint32_t RandomLevel(std::mt19937& rng) {
  static constexpr uint32_t kSpecial[] = {0, 1, 15, 16, 127, 128, 239, 240, 254};
  return rng() % 3 == 0 ? kSpecial[rng() % 9] : rng() % 255;
}

// Every served pair of the variant on random surfaces (random pitch padding)
// and random placements: the whole destination memory, padding included,
// must equal the reference's, and the answer must be 0.
inline void CrossCheck(const Variant& v, uint32_t seed, int trialsPerPair) {
  std::mt19937 rng(seed);
  for (const Pair& p : ServedPairs()) {
    for (int trial = 0; trial < trialsPerPair; ++trial) {
      const int32_t sw = 1 + rng() % 19, sh = 1 + rng() % 13;
      const int32_t dw = 1 + rng() % 23, dh = 1 + rng() % 15;
      auto src = test::RandomSurface(sw, sh, p.src, rng, rng() % 3 * 3);
      auto dst = test::RandomSurface(dw, dh, p.dst, rng, rng() % 3 * 2);
      if (trial % 2) test::FillRandom(*src, rng, true);  // alpha bytes above 15 too
      if (v.keyed) {
        src->SetColorKey(rng() & 0xFFFFFF);
        PlantKey(*src, rng);
      }
      const uint32_t level = v.levelled ? RandomLevel(rng) : 255;
      test::RandomPlacement place(rng, sw, sh, dw, dh);
      std::vector<uint8_t> expect = test::Snapshot(*dst);
      const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
      const uint32_t key = src->GetColorKey();
      test::ReferenceBlit(*dst, expect, *src, srcBytes, place.at,
                          [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                            Pixel(v.op, v.keyed, level, key, p.src, p.dst, s, d);
                          });
      const BlitResult r = Call(*dst, src.get(), v, static_cast<int32_t>(level), place.at);
      ASSERT_EQ(r, kBlitDone);
      ASSERT_EQ(test::Snapshot(*dst), expect) << PixelFormatName(p.src) << " onto " << PixelFormatName(p.dst)
                                              << " level " << level << " trial " << trial;
      ASSERT_EQ(test::Snapshot(*src), srcBytes);
    }
  }
}

// The 16-bit word loops: one-to-one rows at every first column 0..3 and every
// width 1..17 against the reference (the one-pixel form), with bit 15 set on
// all pixels, on none, and at random.
inline void WordRowsMatchSinglePixels(const Variant& v, PixelFormat f, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int bit15 = 0; bit15 < 3; ++bit15) {
    for (int32_t left = 0; left < 4; ++left) {
      for (int32_t width = 1; width <= 17; ++width) {
        auto src = test::RandomSurface(20, 2, f, rng, 2);
        auto dst = test::RandomSurface(24, 3, f, rng, 2);
        for (DDSurface* s : {src.get(), dst.get()}) {
          for (int32_t y = 0; y < s->Buffer().bounds.bottom; ++y)
            for (int32_t x = 0; x < s->Buffer().bounds.right; ++x) {
              uint32_t w = test::ReadPixel(*s, x, y);
              if (bit15 == 0) w &= 0x7FFF;
              if (bit15 == 1) w |= 0x8000;
              test::WritePixel(*s, x, y, w);
            }
        }
        const uint32_t level = v.levelled ? RandomLevel(rng) : 255;
        const Rect sr{static_cast<int32_t>(rng() % 2), 0, 0, 2};
        const Rect rect{sr.left, 0, sr.left + width, 2};
        test::Placement at;
        at.x = left;
        at.y = 1;
        at.srcRect = &rect;
        std::vector<uint8_t> expect = test::Snapshot(*dst);
        const std::vector<uint8_t> srcBytes = test::Snapshot(*src);
        test::ReferenceBlit(*dst, expect, *src, srcBytes, at,
                            [&](const uint8_t* s, uint8_t* d, int32_t, int32_t) {
                              Pixel(v.op, false, level, 0, f, f, s, d);
                            });
        ASSERT_EQ(Call(*dst, src.get(), v, static_cast<int32_t>(level), at), kBlitDone);
        ASSERT_EQ(test::Snapshot(*dst), expect)
            << PixelFormatName(f) << " left " << left << " width " << width << " bit15 " << bit15;
      }
    }
  }
}

// Level 255 is the unlevelled twin: the same bytes and the same answer for
// every pair (served, unserved, Index8), and the same locks taken; with a
// refused lock both answer 1 and leave nothing locked.
inline void Level255IsTheTwin(Op op, bool keyed, uint32_t seed) {
  std::mt19937 rng(seed);
  const Variant plain{op, keyed, false}, levelled{op, keyed, true};
  std::vector<Pair> pairs = ServedPairs();
  pairs.push_back({PixelFormat::Rgb565, PixelFormat::Rgb555});
  pairs.push_back({PixelFormat::Rgb565, PixelFormat::Rgb565A});
  pairs.push_back({PixelFormat::Index8, PixelFormat::Index8});
  for (const Pair& p : pairs) {
    auto src = test::RandomSurface(9, 7, p.src, rng, 0, DDSurface::Memory::Lent);
    auto a = test::RandomSurface(12, 9, p.dst, rng, 0, DDSurface::Memory::Lent);
    auto b = test::RandomSurface(12, 9, p.dst, rng, 0, DDSurface::Memory::Lent);
    test::Restore(*b, test::Snapshot(*a));
    src->SetColorKey(0x00FF00FF);
    test::RandomPlacement place(rng, 9, 7, 12, 9);
    const int32_t srcLocks = src->Platform()->LockCalls();
    const int32_t aLocks = a->Platform()->LockCalls(), bLocks = b->Platform()->LockCalls();
    const BlitResult ra = Call(*a, src.get(), plain, 0, place.at);
    const int32_t srcLocksPlain = src->Platform()->LockCalls() - srcLocks;
    const BlitResult rb = Call(*b, src.get(), levelled, 255 + 256 * (rng() % 4), place.at);
    EXPECT_EQ(ra, rb) << PixelFormatName(p.src) << " onto " << PixelFormatName(p.dst);
    EXPECT_EQ(test::Snapshot(*a), test::Snapshot(*b)) << PixelFormatName(p.src);
    EXPECT_EQ(a->Platform()->LockCalls() - aLocks, b->Platform()->LockCalls() - bLocks);
    EXPECT_EQ(src->Platform()->LockCalls() - srcLocks, 2 * srcLocksPlain);
    b->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(Call(*b, src.get(), levelled, 255, place.at), kBlitLockRefused);
    EXPECT_EQ(src->Platform()->LocksHeld(), 0);
    b->Platform()->RefuseLocks(platform::kSurfaceOk);
    src->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(Call(*b, src.get(), levelled, 255, place.at), kBlitLockRefused);
    EXPECT_EQ(b->Platform()->LocksHeld(), 0);
  }
  auto dst = test::RandomSurface(4, 4, PixelFormat::Rgb565, rng);
  EXPECT_EQ(Call(*dst, nullptr, levelled, 255, test::Placement{}), kBlitLockRefused);
  EXPECT_EQ(Call(*dst, nullptr, levelled, 100, test::Placement{}), kBlitLockRefused);
}

// Refused locks, unserved pairs and equal formats without a member: the
// answers 1, 2 and 0, nothing drawn, nothing left locked.
inline void FailurePathsLeaveNothingLocked(const Variant& v, uint32_t seed) {
  std::mt19937 rng(seed);
  auto check = [&](PixelFormat sf, PixelFormat df, int refuse, BlitResult want) {
    auto src = test::RandomSurface(6, 5, sf, rng, 0, DDSurface::Memory::Lent);
    auto dst = test::RandomSurface(7, 6, df, rng, 0, DDSurface::Memory::Lent);
    const std::vector<uint8_t> before = test::Snapshot(*dst);
    if (refuse == 1) dst->Platform()->RefuseLocks(platform::kSurfaceLost);
    if (refuse == 2) src->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(Call(*dst, src.get(), v, 100, test::Placement{}), want)
        << PixelFormatName(sf) << " onto " << PixelFormatName(df) << " refuse " << refuse;
    EXPECT_EQ(dst->Platform()->LocksHeld(), 0);
    EXPECT_EQ(src->Platform()->LocksHeld(), 0);
    EXPECT_FALSE(dst->IsLocked());
    EXPECT_FALSE(src->IsLocked());
    dst->Platform()->RefuseLocks(platform::kSurfaceOk);
    EXPECT_EQ(test::Snapshot(*dst), before);
  };
  for (const Pair& p : ServedPairs()) {
    check(p.src, p.dst, 1, kBlitLockRefused);
    check(p.src, p.dst, 2, kBlitLockRefused);
  }
  check(PixelFormat::Rgb565, PixelFormat::Rgb555, 0, kBlitPairNotServed);
  check(PixelFormat::Rgb565, PixelFormat::Rgb565A, 0, kBlitPairNotServed);
  check(PixelFormat::Bgr24, PixelFormat::Rgb24, 0, kBlitPairNotServed);
  check(PixelFormat::Bgrx32, PixelFormat::Bgra32, 0, kBlitPairNotServed);
  check(PixelFormat::Rgba32, PixelFormat::Bgr24, 0, kBlitPairNotServed);
  check(PixelFormat::Index8, PixelFormat::Index8, 0, kBlitDone);
  check(PixelFormat::Index8, PixelFormat::Rgb565, 0, kBlitPairNotServed);
}

// Where no source pixel is the key, the keyed operation gives the unkeyed one's
// bytes; a source that is all key changes nothing.
inline void KeyedEqualsUnkeyedWithoutKey(Op op, bool levelled, uint32_t seed) {
  std::mt19937 rng(seed);
  for (const Pair& p : ServedPairs()) {
    for (int trial = 0; trial < 4; ++trial) {
      auto src = test::RandomSurface(11, 8, p.src, rng);
      auto a = test::RandomSurface(13, 9, p.dst, rng);
      auto b = test::RandomSurface(13, 9, p.dst, rng);
      test::Restore(*b, test::Snapshot(*a));
      // A key whose pixel does not occur in the source.
      uint32_t colour = rng() & 0xFFFFFF;
      for (bool found = true; found;) {
        src->SetColorKey(colour);
        found = false;
        for (int32_t y = 0; y < 8 && !found; ++y)
          for (int32_t x = 0; x < 11 && !found; ++x)
            found = KeyMatches(p.src, test::ReadPixel(*src, x, y), src->GetColorKey());
        colour = (colour + 0x010305) & 0xFFFFFF;
      }
      test::RandomPlacement place(rng, 11, 8, 13, 9);
      const int32_t level = static_cast<int32_t>(RandomLevel(rng));
      Call(*a, src.get(), Variant{op, false, levelled}, level, place.at);
      Call(*b, src.get(), Variant{op, true, levelled}, level, place.at);
      ASSERT_EQ(test::Snapshot(*a), test::Snapshot(*b)) << PixelFormatName(p.src);
      // All key: nothing changes.
      const uint32_t key = src->GetColorKey();
      for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 11; ++x)
          std::memcpy(test::PixelAt(*src, x, y), &key, (Is16(p.src) || Is16A(p.src)) ? 2 : 3);
      if (Is32X(p.src)) test::FillPixels(*src, key);
      const std::vector<uint8_t> before = test::Snapshot(*b);
      EXPECT_EQ(Call(*b, src.get(), Variant{op, true, levelled}, level, place.at), kBlitDone);
      ASSERT_EQ(test::Snapshot(*b), before) << PixelFormatName(p.src);
    }
  }
}

}  // namespace satref

}  // namespace pixelops
