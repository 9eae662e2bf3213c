// The kernels of the blend frame's walks (blend_frame.h): the gather of the
// stretched walk, a row's source pixels picked by the row's source columns
// and packed into a buffer for a row kernel. Vector gathers for 4-byte
// pixels; others go through the walk's own loop.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/blend_frame_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>

#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET != HWY_SCALAR
// 4-byte pixels: row + 4 x columns[i] to out + 4 x i; columns rise, and
// every column is below available. Where the columns of a vector span fewer
// pixels than a vector holds (an enlarging stretch), one load and a lane
// permutation gather them; elsewhere a gather instruction (which takes the
// row as a plain address, no alignment asked), or pixel by pixel on targets
// without one.
void Gather32(const uint8_t* row, const int32_t* columns, int32_t n, int32_t available,
              uint8_t* out) {
  const hn::ScalableTag<int32_t> di;
  const hn::ScalableTag<uint8_t> du8;
  const int32_t lanes = static_cast<int32_t>(hn::Lanes(di));
  int32_t i = 0;
  for (; i + lanes <= n; i += lanes) {
    const int32_t first = columns[i];
    const auto index = hn::LoadU(di, columns + i);
    if (columns[i + lanes - 1] - first < lanes && first + lanes <= available) {
      const auto pixels = hn::BitCast(di, hn::LoadU(du8, row + int64_t{first} * 4));
      const auto picked =
          hn::TableLookupLanes(pixels, hn::IndicesFromVec(di, hn::Sub(index, hn::Set(di, first))));
      hn::StoreU(hn::BitCast(du8, picked), du8, out + 4 * i);
      continue;
    }
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
    const auto v = hn::GatherIndex(di, reinterpret_cast<const int32_t*>(row), index);
    hn::StoreU(hn::BitCast(du8, v), du8, out + 4 * i);
#else
    for (int32_t k = 0; k < lanes; ++k) {
      std::memcpy(out + 4 * (i + k), row + int64_t{columns[i + k]} * 4, 4);
    }
#endif
  }
  for (; i < n; ++i) std::memcpy(out + 4 * i, row + int64_t{columns[i]} * 4, 4);
}
#endif

void RegisterBlendFrame(KernelTable& t) {
#if HWY_TARGET == HWY_SCALAR
  (void)t;
#else
  for (const FormatDescription& f : formats::kDescriptions) {
    if (f.bytes == 4) t.Set(Op::Gather, f.code, f.code, &Gather32);
  }
#endif
}

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(BlendFrame)
#endif
