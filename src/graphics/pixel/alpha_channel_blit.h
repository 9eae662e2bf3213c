// Source-over compositing of one alpha pixel onto another of the same format:
// the colours are mixed by the two alphas and the coverages combined. Each
// routine changes the destination pixel in place and answers it.
#pragma once

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

}  // namespace pixelops
