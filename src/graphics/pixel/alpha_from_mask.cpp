// AlphaFromMaskRamp: rewrites the alpha of an alpha-format surface from the blue
// channel of a mask surface through a 256-entry ramp; the colour is untouched.
// AlphaFromMaskRect: the same for one rectangle of the mask, at its own place.
#include "graphics/pixel/alpha_from_mask.h"

#include <algorithm>
#include <array>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/formats.h"

namespace pixelops {

uint8_t* BuildRampTable(uint8_t* ramp, int32_t lo, int32_t hi, int32_t a, int32_t b) {
  if (lo >= 0) std::fill(ramp, ramp + std::min(lo, 255) + 1, static_cast<uint8_t>(a));
  // The slope: spans and positions in 64 bits, the product's magnitude in
  // unsigned 64 bits (below 2^64, since 0 < i - lo < span <= 2^32), so that no
  // four values can overflow. The division truncates towards zero.
  const int64_t span = int64_t{hi} - lo;
  const int64_t rise = int64_t{b} - a;
  const uint64_t riseMagnitude = rise < 0 ? 0 - static_cast<uint64_t>(rise) : static_cast<uint64_t>(rise);
  for (int64_t i = std::max<int64_t>(int64_t{lo} + 1, 0); i < hi && i < 256; ++i) {
    const uint64_t q = riseMagnitude * static_cast<uint64_t>(i - lo) / static_cast<uint64_t>(span);
    // |step| <= |rise| < 2^33, so a + step fits 64 bits.
    const int64_t step = rise < 0 ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
    const int64_t value = a + step;
    ramp[i] = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
  }
  if (hi < 256) std::fill(ramp + std::max(hi, 0), ramp + 256, static_cast<uint8_t>(b));
  return ramp;
}

namespace {

struct RampValues {
  std::array<uint8_t, 256> ramp;
};

// The mask value is the blue channel on the 0..255 scale: the five blue bits
// of a colour word moved to the top of a byte, or the blue byte. A 16-bit
// alpha destination takes the ramp's top four bits as its level; a 32-bit one
// takes the ramp byte.
//
// The kernels may run a row's last pixels twice, reading their mask bytes
// again: where mask and destination share memory, they take only rows whose
// bytes are apart.
template <class S, class D>
struct MaskAlphaRule {
  const uint8_t* ramp;
  static constexpr kernels::Op kKernelOp = kernels::Op::MaskAlpha;
  static constexpr bool kKernelRereadsSource = true;
  kernels::RowKernel kernel;
  explicit MaskAlphaRule(const RampValues& v) : ramp(v.ramp.data()) {
    kernels::RowArgs args;
    args.table = ramp;
    kernel = kernels::RowKernelFor<S, D>(kKernelOp, args);
  }
  void operator()(const uint8_t* s, uint8_t* d) const {
    uint32_t m;
    if constexpr (px::kIsBytes<S>) m = s[S::kBlue];
    else m = (uint32_t{s[0]} << 3) & 0xFF;
    if constexpr (px::kIsWord16Alpha<D>) d[D::kAlphaByte] = ramp[m] >> 4;
    else d[D::kAlphaByte] = ramp[m];
  }
};

using V = RampValues;

// Mask onto destination.
constexpr auto& kMaskPairs = ServeSet<format_pairs::kMaskOntoAlpha, MaskAlphaRule, V>;

}  // namespace

BlitResult DDSurface::AlphaFromMaskRamp(DDSurface* mask, int32_t lo, int32_t hi, int32_t a, int32_t b,
                                        int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                                        const Rect* clip) {
  V values{};
  BuildRampTable(values.ramp.data(), lo, hi, a, b);
  // Pairs without a routine draw nothing and answer 0, different or not.
  return RunBlend(*this, mask, kMaskPairs, values, Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitDone, kBlitDone});
}

BlitResult DDSurface::AlphaFromMaskRect(DDSurface* mask, int32_t lo, int32_t hi, int32_t a, int32_t b,
                                        const Rect* rect) {
  if (rect == nullptr) return AlphaFromMaskRamp(mask, lo, hi, a, b, 0, 0, nullptr, nullptr, nullptr);
  return AlphaFromMaskRamp(mask, lo, hi, a, b, rect->left, rect->top, rect, nullptr, nullptr);
}

}  // namespace pixelops
