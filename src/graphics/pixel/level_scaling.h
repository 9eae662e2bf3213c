// The three ways a source pixel is scaled by a level (0..254) before it is
// added to or subtracted from the destination:
//   row scaling      Rgb565 / Rgb555 onto their own format: the level table at
//                    row level >> 4 (16 steps of fifteenths);
//   byte scaling     24- and 32-bit sources: bytes 0-2 through P[level];
//   widened scaling  Rgb565A / Rgb555A: each channel widened to the top of a
//                    byte, through P[level], narrowed back by truncation.
// Table look-ups only. The same byte scaling weights a 32-bit alpha source by
// its own alpha.
#pragma once

#include <cstdint>

#include "graphics/blend_tables.h"
#include "graphics/pixel/formats.h"

namespace pixelops {

namespace scaling {

template <class C>
inline uint32_t Row(const BlendTables& t, uint32_t level, uint32_t word) {
  return C::Level(t, level >> 4, word & 0xFFFF);
}

// Two colour words side by side (the lower-address pixel in the low half),
// each looked up on its own.
template <class C>
inline uint32_t RowPair(const BlendTables& t, uint32_t level, uint32_t words) {
  return Row<C>(t, level, words) | (uint32_t{Row<C>(t, level, words >> 16)} << 16);
}

// Bytes 0-2 of v each through P[level]; byte 3 of the result is 0.
inline uint32_t Bytes(const BlendTables& t, uint32_t level, uint32_t v) {
  return uint32_t{t.P(level, v & 0xFF)} | (uint32_t{t.P(level, (v >> 8) & 0xFF)} << 8) |
         (uint32_t{t.P(level, (v >> 16) & 0xFF)} << 16);
}

template <class C>
inline uint32_t Widened(const BlendTables& t, uint32_t level, uint32_t word) {
  const px::Channels c = C::Widen(word & 0xFFFF);
  return C::Narrow(t.P(level, c.r), t.P(level, c.g), t.P(level, c.b));
}

// A whole source pixel of format S (its bytes as a little-endian word) scaled
// as the levelled operations scale it. What lies outside the colour:
// Rgb565A / Rgb555A keep their alpha and pad bytes; Bgrx32 / Rgbx32 get byte 3
// = 0; Bgra32 / Rgba32 become opaque (alpha 255), so that an alpha weighting
// after the scaling leaves the bytes as they are.
template <class S>
inline uint32_t Pixel(const BlendTables& t, uint32_t level, uint32_t raw) {
  if constexpr (S::kKind == px::Kind::Word16) return Row<typename S::Colour>(t, level, raw);
  else if constexpr (S::kKind == px::Kind::Word16Alpha)
    return Widened<typename S::Colour>(t, level, raw) | (raw & 0xFFFF0000u);
  else if constexpr (S::kKind == px::Kind::Bytes32Alpha) return Bytes(t, level, raw) | 0xFF000000u;
  else return Bytes(t, level, raw);
}

// A 32-bit alpha pixel weighted by its own alpha byte: bytes 0-2 through
// P[alpha], byte 3 = 0. Alpha 255 leaves the bytes as they are.
inline uint32_t ByOwnAlpha(const BlendTables& t, uint32_t raw) { return Bytes(t, raw >> 24, raw); }

// An Rgb565A / Rgb555A pixel's colour weighted by its own alpha level (0..15)
// through the level table of its colour.
template <class C>
inline uint32_t ByAlphaLevel(const BlendTables& t, uint32_t raw) {
  return C::Level(t, (raw >> 16) & 15, raw & 0xFFFF);
}

}  // namespace scaling

}  // namespace pixelops
