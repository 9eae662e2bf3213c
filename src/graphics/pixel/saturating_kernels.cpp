// Row kernels of the additive and subtractive blits, compiled for every
// vector target of the build (see row_kernels.h).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/saturating_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include "graphics/pixel/formats.h"
#include "graphics/pixel/row_kernels.h"
#include "graphics/pixel/saturating.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Equal Bgrx32 / Rgbx32: bytes 0-2 saturate, byte 3 runs modulo 256.
void AddBytes32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs&, int32_t,
                   int32_t) {
  const hn::ScalableTag<uint8_t> du8;
  const size_t lanes = hn::Lanes(du8);
  const auto byte3 = hn::Eq(hn::And(hn::Iota(du8, 0), hn::Set(du8, 3)), hn::Set(du8, 3));
  const size_t bytes = static_cast<size_t>(width) * 4;
  size_t i = 0;
  for (; i + lanes <= bytes; i += lanes) {
    const auto vs = hn::LoadU(du8, s + i), vd = hn::LoadU(du8, d + i);
    hn::StoreU(hn::IfThenElse(byte3, hn::Add(vd, vs), hn::SaturatedAdd(vd, vs)), du8, d + i);
  }
  for (; i < bytes; i += 4) px::Store32(d + i, AddSatBytes(px::Load32(d + i), px::Load32(s + i)));
}

void RegisterSaturating(KernelTable& t) {
  t.Set(Op::Add, PixelFormat::Bgrx32, PixelFormat::Bgrx32, &AddBytes32Row);
  t.Set(Op::Add, PixelFormat::Rgbx32, PixelFormat::Rgbx32, &AddBytes32Row);
}

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelops::kernels {
HWY_EXPORT(RegisterSaturating);
void RegisterSaturatingKernels(KernelTable& table) { HWY_DYNAMIC_DISPATCH(RegisterSaturating)(table); }
}  // namespace pixelops::kernels
#endif
