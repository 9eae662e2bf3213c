// The ramp that maps a mask's blue channel (0..255) to an alpha: a up to lo, a
// straight line from a towards b between lo and hi, b from hi on.
#pragma once

#include <cstdint>

namespace pixelops {

// Fills the 256 entries in three passes: entries 0..lo get a (when lo >= 0);
// entries i with lo < i < hi get a + (b - a) x (i - lo) / (hi - lo), the
// quotient truncated towards zero and the value clamped to 0..255; entries
// hi..255 get b (when hi < 256). a and b outside the slope are stored by their
// low byte. Any four values give a ramp; only entries 0..255 are written.
// Answers ramp.
uint8_t* BuildRampTable(uint8_t* ramp, int32_t lo, int32_t hi, int32_t a, int32_t b);

}  // namespace pixelops
