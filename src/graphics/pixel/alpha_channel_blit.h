// Source-over compositing of one alpha pixel onto another of the same format:
// the colours are mixed by the two alphas and the coverages combined. Each
// routine changes the destination pixel in place and answers it; it reads the
// source pixel whole before it writes (the two may share bytes).
#pragma once

#include <array>
#include <cstdint>

namespace pixelops {

// Rgb565A / Rgb555A (colour word, alpha level 0..15 in byte 2, pad in byte 3):
// the alpha becomes the combined coverage; the colour word is mixed unless
// both alphas are 0; the pad byte is never touched. Alpha bytes are read by
// their low four bits.
uint8_t* OverPixel565A(uint8_t* dst, const uint8_t* src);
uint8_t* OverPixel555A(uint8_t* dst, const uint8_t* src);

// Bgra32 / Rgba32 (colour bytes 0-2, alpha 0..255 in byte 3): the colour bytes
// are mixed and the alpha set to 255, unless both alphas are 0, which leaves
// the pixel as it is.
uint8_t* OverPixel32A(uint8_t* dst, const uint8_t* src);

// What source over does with a pair of 16-bit alpha levels: on the 0..240 scale
// of 16 x level, the destination keeps r = 16 x da x (240 - 16 x sa) / 240 of
// its coverage (truncated; the fraction of 240 the source leaves, so a clear
// source keeps all of it and an opaque destination stays opaque), the alpha
// becomes (r + 16 x sa) >> 4, and, unless that total t is 0, the colours are
// mixed at levels 16 x sa x 15 / t and r x 15 / t (their sum never exceeds
// 15). Only the two levels decide, so the steps are worked out for all 256
// pairs once, here, for the rule and its row kernels alike.
struct Over16Step {
  uint8_t alpha, ws, wd;
  bool mix;
};

inline constexpr auto kOver16 = [] {
  std::array<std::array<Over16Step, 16>, 16> steps{};
  for (uint32_t sa = 0; sa < 16; ++sa) {
    for (uint32_t da = 0; da < 16; ++da) {
      const uint32_t s16 = sa * 16, d16 = da * 16;
      const uint32_t left = d16 * (240 - s16) / 240;
      const uint32_t total = left + s16;  // at most 240
      Over16Step& step = steps[sa][da];
      step.alpha = static_cast<uint8_t>(total >> 4);
      step.mix = total != 0;
      if (step.mix) {
        step.ws = static_cast<uint8_t>(s16 * 15 / total);
        step.wd = static_cast<uint8_t>(left * 15 / total);
      }
    }
  }
  return steps;
}();

}  // namespace pixelops
