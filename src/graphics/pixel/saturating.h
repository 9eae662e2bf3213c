// Saturating add and subtract of every pixel format, channel by channel:
// add gives min(max, d + s), subtract max(0, d - s), and no channel ever
// carries into or borrows from another. The 16-, 24- and 32-bit forms work on
// whole words with a fixed run of logical operations (no branch per channel):
// a carry mask marks each channel that overflows (or underflows) and forces it
// to all ones (or zero).
//
// Bits outside the channels:
//   Rgb555 bit 15    result bit 15 = d15 XOR s15 (one pixel as a plain bit
//                    whose carry or borrow is dropped); the two-pixel forms
//                    give every pixel exactly what the one-pixel form gives.
//   byte 3 of a word AddSatBytes gives (d3 + s3) mod 256, SubSat32 (d3 - s3)
//                    mod 256; bytes 0-2 never carry or borrow into it.
//
// Below the word forms come the named per-pixel routines of the additive and
// subtractive blits, and AddOp / SubOp, which hand the forms to the shared
// blit rules.
#pragma once

#include <cstdint>

#include "graphics/blend_tables.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/level_scaling.h"

namespace pixelops {

// ---- Add ----

// One Rgb565 word (d, s < 65536).
inline uint32_t AddSat565(uint32_t d, uint32_t s) {
  const uint32_t h = (((d ^ s) >> 1) & 0x7BEF) + (d & s);  // half sums; channel tops = overflow
  const uint32_t o = h & 0x8410;
  const uint32_t t =
      static_cast<uint32_t>(static_cast<int16_t>(static_cast<uint16_t>(o + 0x3DF0)) >> 5) & 0xFFFF;
  const uint32_t m = ((t & 0xFBFF) + 0x200) ^ 0x3EF;  // all bits of each saturated channel
  return ((s - m + d) | m) & 0xFFFF;
}

// Two Rgb565 words in one (the lower-address pixel in the low half).
inline uint32_t AddSat565Pair(uint32_t d, uint32_t s) {
  const uint32_t h = (((d ^ s) >> 1) & 0x7BEF7BEFu) + (d & s);
  const uint32_t o = h & 0x84108410u;
  const uint32_t t = static_cast<uint32_t>(static_cast<int32_t>(o + 0x3DF7BDF0u) >> 5);
  const uint32_t m = ((t & 0xFBFF7BFFu) + 0x02004200u) ^ 0x03EF7BEFu;
  return (s - m + d) | m;
}

// One Rgb555 word: the channel sums with their lowest bits dropped put the
// carries of blue, green and red on bits 5, 10 and 15.
inline uint32_t AddSat555(uint32_t d, uint32_t s) {
  const uint32_t c = ((d ^ s) & 0x7BDE) + ((d & s) << 1);
  const uint32_t o = (c >> 5) & 0x0421;
  const uint32_t m = (o + 0x3DEF) ^ 0x3DEF;
  return ((s - m + d) | m) & 0xFFFF;
}

// Two Rgb555 words in one. Bit 15 of each pixel is taken out before the sum and
// put back as d15 XOR s15: left in, the low pixel's bits 15 would carry into
// the high pixel's blue.
inline uint32_t AddSat555Pair(uint32_t d, uint32_t s) {
  const uint32_t top = (d ^ s) & 0x80008000u;
  d &= 0x7FFF7FFFu;
  s &= 0x7FFF7FFFu;
  const uint32_t c = ((d ^ s) & 0x7BDE7BDEu) + ((d & s) << 1);
  const uint32_t o = (c >> 5) & 0x04210421u;
  const uint32_t m = (o + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
  return ((s - m + d) | m) | top;
}

// Three byte lanes (bytes 0-2 saturate; byte 3 = (d3 + s3) mod 256). A 24-bit
// pixel goes as its three bytes with byte 3 zero in both.
inline uint32_t AddSatBytes(uint32_t d, uint32_t s) {
  const uint32_t c = ((d ^ s) & 0xFEFEFEu) + ((d & s) << 1);
  const uint32_t o = (c >> 8) & 0x010101u;
  const uint32_t m = (o + 0x7F7F7Fu) ^ 0x7F7F7Fu;
  return (s - m + d) | m;
}

// ---- Subtract ----
// The same carry masks taken on NOT d: a channel's half sum of (max - d) and s
// reaches the channel's top exactly where s > d; such channels become 0 as
// (d OR m) - (s OR m), every other one d - s.

inline uint32_t SubSat565(uint32_t d, uint32_t s) {
  const uint32_t n = d ^ 0xFFFF;
  const uint32_t h = (((n ^ s) >> 1) & 0x7BEF) + (n & s);
  const uint32_t c = h & 0x8410;
  const uint32_t t =
      static_cast<uint32_t>(static_cast<int16_t>(static_cast<uint16_t>(c + 0x3DF0)) >> 5) & 0xFFFF;
  const uint32_t m = ((t & 0xFBFF) + 0x200) ^ 0x3EF;
  return ((d | m) - (s | m)) & 0xFFFF;
}

inline uint32_t SubSat565Pair(uint32_t d, uint32_t s) {
  const uint32_t n = ~d;
  const uint32_t h = (((n ^ s) >> 1) & 0x7BEF7BEFu) + (n & s);
  const uint32_t c = h & 0x84108410u;
  const uint32_t t = static_cast<uint32_t>(static_cast<int32_t>(c + 0x3DF7BDF0u) >> 5);
  const uint32_t m = ((t & 0xFBFF7BFFu) + 0x02004200u) ^ 0x03EF7BEFu;
  return (d | m) - (s | m);
}

inline uint32_t SubSat555(uint32_t d, uint32_t s) {
  const uint32_t n = d ^ 0xFFFF;
  const uint32_t h = ((n ^ s) & 0x7BDE) + ((n & s) << 1);
  const uint32_t m = (((h >> 5) & 0x0421) + 0x3DEF) ^ 0x3DEF;
  return ((d | m) - (s | m)) & 0xFFFF;
}

// Two Rgb555 words: bit 15 handled as in AddSat555Pair (a low pixel with
// s15 > d15 would borrow from the high pixel's blue).
inline uint32_t SubSat555Pair(uint32_t d, uint32_t s) {
  const uint32_t top = (d ^ s) & 0x80008000u;
  d &= 0x7FFF7FFFu;
  s &= 0x7FFF7FFFu;
  const uint32_t n = ~d;
  const uint32_t h = ((n ^ s) & 0x7BDE7BDEu) + ((n & s) << 1);
  const uint32_t m = (((h >> 5) & 0x04210421u) + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
  return ((d | m) - (s | m)) | top;
}

// Bytes 0-2 saturate at 0; byte 3 = (d3 - s3) mod 256.
inline uint32_t SubSat32(uint32_t d, uint32_t s) {
  const uint32_t n = ~d;
  const uint32_t h = ((n ^ s) & 0xFEFEFEu) + ((n & s) << 1);
  const uint32_t m = (((h >> 8) & 0x010101u) + 0x7F7F7Fu) ^ 0x7F7F7Fu;
  return (d | m) - (s | m);
}

// Three bytes in the low 24 bits of each word.
inline uint32_t SubSat24(uint32_t d, uint32_t s) { return SubSat32(d & 0xFFFFFF, s & 0xFFFFFF) & 0xFFFFFF; }

// Colour words of the 16-bit alpha formats, channel by channel: the same words
// as the packed forms give (Rgb555 bit 15 of the result 0).
inline uint32_t SubSatUnpacked565(uint32_t d, uint32_t s) { return SubSat565(d, s); }
inline uint32_t SubSatUnpacked555(uint32_t d, uint32_t s) { return SubSat555(d & 0x7FFF, s & 0x7FFF); }

// ---- Named per-pixel routines ----

// Colour word of an Rgb565A / Rgb555A source added to the destination's colour
// word; alpha and pad bytes are not written. Rgb555A bit 15 becomes 0.
inline uint8_t* AddPixel565A(uint8_t* d, const uint8_t* s) {
  px::Store16(d, static_cast<uint16_t>(AddSat565(px::Load16(d), px::Load16(s))));
  return d;
}
inline uint8_t* AddPixel555A(uint8_t* d, const uint8_t* s) {
  px::Store16(d, static_cast<uint16_t>(AddSat555(px::Load16(d) & 0x7FFF, px::Load16(s) & 0x7FFF)));
  return d;
}

// A Bgra32 / Rgba32 source weighted by its own alpha, added to a 24-bit pixel
// (three bytes written) or to bytes 0-2 of a 32-bit pixel (byte 3 kept).
inline void AddAlphaPixel24(uint8_t* d, const uint8_t* s) {
  px::Store24(d, AddSatBytes(px::Load24(d), scaling::ByOwnAlpha(Tables(), px::Load32(s))));
}
inline void AddAlphaPixel32(uint8_t* d, const uint8_t* s) {
  px::Store32(d, AddSatBytes(px::Load32(d), scaling::ByOwnAlpha(Tables(), px::Load32(s))));
}

// Source scaled by *level (0..254), then added: 24-bit pixels; 32-bit colour
// pixels (scaled byte 3 = 0, so the destination keeps its byte 3); one Rgb565
// word at row *level >> 4.
inline void AddLevelPixel24(const uint32_t* lv, uint8_t* d, const uint8_t* s) {
  px::Store24(d, AddSatBytes(px::Load24(d), scaling::Bytes(Tables(), *lv & 0xFF, px::Load24(s))));
}
inline void AddLevelPixel32(const uint32_t* lv, uint8_t* d, const uint8_t* s) {
  px::Store32(d, AddSatBytes(px::Load32(d), scaling::Bytes(Tables(), *lv & 0xFF, px::Load32(s))));
}
inline void AddLevelPixel565(const uint32_t* lv, uint8_t* d, const uint8_t* s) {
  const uint32_t sw = scaling::Row<px::Colour565>(Tables(), *lv & 0xFF, px::Load16(s));
  px::Store16(d, static_cast<uint16_t>(AddSat565(px::Load16(d), sw)));
}

namespace saturating {
// The level and the colour key side by side, as the levelled keyed operations
// take them.
struct LevelKey {
  uint32_t level = 0;
  uint32_t key = 0;
};
}  // namespace saturating

// As AddLevelPixel24 / AddLevelPixel32 / the subtract, for a source pixel that
// is not the key (24-bit: three bytes compared; 32-bit: all four).
inline void AddLevelKeyPixel24(const saturating::LevelKey* lk, uint8_t* d, const uint8_t* s) {
  if (px::Load24(s) != (lk->key & 0xFFFFFF)) AddLevelPixel24(&lk->level, d, s);
}
inline void AddLevelKeyPixel32(const saturating::LevelKey* lk, uint8_t* d, const uint8_t* s) {
  if (px::Load32(s) != lk->key) AddLevelPixel32(&lk->level, d, s);
}
inline void SubLevelKeyPixel32(const saturating::LevelKey* lk, uint8_t* d, const uint8_t* s) {
  if (px::Load32(s) == lk->key) return;
  px::Store32(d, SubSat32(px::Load32(d), scaling::Bytes(Tables(), lk->level & 0xFF, px::Load32(s))));
}

// ---- The arithmetic as the blit rules take it ----
// Word<C> / Pair<C>: one or two colour words of C's layout; AlphaColour<C>: the
// colour words of the 16-bit alpha formats; Bytes: three byte lanes with byte 3
// running modulo 256; Byte: one colour byte (the same result as a Bytes lane).

struct AddOp {
  static constexpr bool kRgbaOntoRgbxClearsX = false;
  template <class C>
  static uint32_t Word(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return AddSat565(d, s);
    else return AddSat555(d, s);
  }
  template <class C>
  static uint32_t Pair(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return AddSat565Pair(d, s);
    else return AddSat555Pair(d, s);
  }
  template <class C>
  static uint32_t AlphaColour(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return AddSat565(d, s);
    else return AddSat555(d & 0x7FFF, s & 0x7FFF);
  }
  static uint32_t Bytes(uint32_t d, uint32_t s) { return AddSatBytes(d, s); }
  static uint8_t Byte(uint8_t d, uint8_t s) {
    const uint8_t r = static_cast<uint8_t>(d + s);
    return r < d ? 255 : r;
  }
};

struct SubOp {
  static constexpr bool kRgbaOntoRgbxClearsX = true;
  template <class C>
  static uint32_t Word(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return SubSat565(d, s);
    else return SubSat555(d, s);
  }
  template <class C>
  static uint32_t Pair(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return SubSat565Pair(d, s);
    else return SubSat555Pair(d, s);
  }
  template <class C>
  static uint32_t AlphaColour(uint32_t d, uint32_t s) {
    if constexpr (C::kIs565) return SubSatUnpacked565(d, s);
    else return SubSatUnpacked555(d, s);
  }
  static uint32_t Bytes(uint32_t d, uint32_t s) { return SubSat32(d, s); }
  static uint8_t Byte(uint8_t d, uint8_t s) { return static_cast<uint8_t>(d > s ? d - s : 0); }
};

}  // namespace pixelops
