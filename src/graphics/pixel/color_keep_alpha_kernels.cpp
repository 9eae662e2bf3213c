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
// The scalar level has no kernels: its rules run their per-pixel paths.
void RegisterColourKeepAlpha(KernelTable&) {}
#else

using rows::ForEachStep;
using rows::Pixels;

// The colour bits (kColour) from the source, the rest of the destination.
template <uint32_t kColour>
void KeepAlphaRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t, int32_t) {
  const D32 d32;
  ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), [&](const uint8_t* sp, uint8_t* dp, size_t) {
    const V32 sv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    const V32 dv = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(dp));
    const V32 colour = hn::Set(d32, kColour);
    hn::StoreU(hn::Or(hn::And(sv, colour), hn::AndNot(colour, dv)), d32, reinterpret_cast<uint32_t*>(dp));
  });
}

void RegisterColourKeepAlpha(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::ColourKeepAlpha, F::Rgb565A, F::Rgb565A, &KeepAlphaRow<0x0000FFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Rgb555A, F::Rgb555A, &KeepAlphaRow<0x0000FFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Bgra32, F::Bgra32, &KeepAlphaRow<0x00FFFFFFu>);
  t.Set(Op::ColourKeepAlpha, F::Rgba32, F::Rgba32, &KeepAlphaRow<0x00FFFFFFu>);
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(ColourKeepAlpha)
#endif
