// Row kernels of the colour copy that keeps the destination's alpha
// (color_keep_alpha.cpp), compiled for every vector target of the build (see
// row_kernels.h).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/color_keep_alpha_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(ColourKeepAlpha)
#else
namespace {

using rows::ForEachStep;
using rows::Pixels;

// The colour bits (kColour) from the source, the rest of the destination
// (d ^ ((d ^ s) & colour), as the per-pixel path computes it), four vectors
// a step (one a step loses to the compiler's vectorising of the 32-bit
// pairs' per-pixel path, which takes two).
template <uint32_t kColour>
void KeepAlphaRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  const size_t n32 = hn::Lanes(d32);
  const auto step = [d32, n32](const uint8_t* sp, uint8_t* dp, size_t, V32 colour) HWY_ATTR {
    for (size_t k = 0; k < 4; ++k) {
      const V32 dv = rows::LoadU(d32, dp + 4 * k * n32);
      const V32 sv = rows::LoadU(d32, sp + 4 * k * n32);
      rows::StoreU(hn::Xor(dv, hn::And(hn::Xor(dv, sv), colour)), d32, dp + 4 * k * n32);
    }
  };
  ForEachStep<4, 4>(s, d, Pixels(width), 4 * n32, step, hn::Set(d32, kColour));
}

void SetKernels(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::ColourKeepAlpha, F::Rgb565A, F::Rgb565A, &KeepAlphaRow<0x0000FFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Rgb555A, F::Rgb555A, &KeepAlphaRow<0x0000FFFFu>);
  // The 32-bit pairs' per-pixel path is one masked word, which the compiler
  // vectorises with 16-byte vectors itself: a kernel beats it only where a
  // vector holds more (x86 from AVX2 on, SVE beyond 128 bits).
  if (hn::Lanes(D8()) > 16) {
    t.Set(Op::ColourKeepAlpha, F::Bgra32, F::Bgra32, &KeepAlphaRow<0x00FFFFFFu>);
    t.Set(Op::ColourKeepAlpha, F::Rgba32, F::Rgba32, &KeepAlphaRow<0x00FFFFFFu>);
  }
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(ColourKeepAlpha)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(ColourKeepAlpha)
#endif
