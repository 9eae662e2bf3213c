// Process-wide look-up tables of the blends, built once before the first blend
// and only read afterwards.
#pragma once

#include <cstdint>

namespace pixelops {

struct BlendTables {
  // P[a][c] = a x c / 255: product (row 255 is the identity).
  uint8_t product[256 * 256];
  // K[a][c] = c x (255 - a) / 255: complement.
  uint8_t complement[256 * 256];
  // D[w][delta] = delta x w / 255 truncated towards zero, delta -255..255,
  // stored modulo 256 at w * 512 + 255 + delta.
  uint8_t difference[256 * 512];
  // L565[L][w], L555[L][w]: each channel of the colour word w times L / 15
  // (L = 0..15), at L * 65536 + w. The 555 table ignores bit 15 and answers 0 there.
  uint16_t level565[16 * 65536];
  uint16_t level555[16 * 65536];

  uint8_t P(uint32_t a, uint32_t c) const { return product[(a << 8) | c]; }
  uint8_t K(uint32_t a, uint32_t c) const { return complement[(a << 8) | c]; }
  uint8_t D(uint32_t w, int32_t delta) const { return difference[w * 512 + 255 + delta]; }
  uint16_t L565(uint32_t level, uint32_t word) const { return level565[(level << 16) | word]; }
  uint16_t L555(uint32_t level, uint32_t word) const { return level555[(level << 16) | word]; }

  // The tables, built on first use.
  static const BlendTables& Get();
};

// Shorthand for the pixel routines.
inline const BlendTables& Tables() { return BlendTables::Get(); }

// Cosine in 16.16 fixed point for angles in 512ths of a turn; the sine of a is
// at ((a - 128) & 511).
struct CosTable {
  int32_t entry[512];
  static const CosTable& Get();
  int32_t Cos(int32_t angle) const { return entry[angle & 511]; }
  int32_t Sin(int32_t angle) const { return entry[((angle & 511) + 384) & 511]; }
};

}  // namespace pixelops
