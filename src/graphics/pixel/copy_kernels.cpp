// Row kernels of the colour-keyed copy (copy_blit.cpp), compiled for every
// vector target of the build (see row_kernels.h). Each kernel is a block of
// rows::RunBlocks that gives exactly the bytes of the copy's rule.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/copy_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Copy)
#else
namespace {

// RowArgs: key the source's colour key.
template <class K>
constexpr RowFn Run = &rows::RunBlocks<K, RowArgs>;

// Source pixels that are not the key replace the destination's: 1, 2 and
// 4-byte pixels a lane (the 16-bit alpha formats compare their colour word,
// Bgra32 / Rgba32 their three colour bytes), 3-byte pixels by planes.
template <class T, uint32_t kKeyMask>
struct KeyedCopyLanes {
  using D = hn::ScalableTag<T>;
  static constexpr size_t kSrcBytes = sizeof(T), kDstBytes = sizeof(T), kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D t;
    const auto vs = rows::LoadU(t, s);
    const auto vd = rows::LoadU(t, d);
    const auto m = hn::Set(t, static_cast<T>(kKeyMask));
    const auto key = hn::Eq(hn::And(vs, m), hn::Set(t, static_cast<T>(a.key & kKeyMask)));
    rows::StoreU(hn::IfThenElse(key, vd, vs), t, d);
  }
};

struct KeyedCopy24 {
  static constexpr size_t kSrcBytes = 3, kDstBytes = 3, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D8()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D8 t;
    V8 s0, s1, s2, d0, d1, d2;
    hn::LoadInterleaved3(t, s, s0, s1, s2);
    hn::LoadInterleaved3(t, d, d0, d1, d2);
    const auto key = hn::And(hn::And(hn::Eq(s0, hn::Set(t, static_cast<uint8_t>(a.key))),
                                     hn::Eq(s1, hn::Set(t, static_cast<uint8_t>(a.key >> 8)))),
                             hn::Eq(s2, hn::Set(t, static_cast<uint8_t>(a.key >> 16))));
    hn::StoreInterleaved3(hn::IfThenElse(key, d0, s0), hn::IfThenElse(key, d1, s1),
                          hn::IfThenElse(key, d2, s2), t, d);
  }
};

void SetKernels(KernelTable& t) {
  using F = PixelFormat;
  const Op k = Op::KeyedCopy;
  t.Set(k, F::Index8, F::Index8, Run<KeyedCopyLanes<uint8_t, 0xFF> >);
  t.Set(k, F::Rgb565, F::Rgb565, Run<KeyedCopyLanes<uint16_t, 0xFFFF> >);
  t.Set(k, F::Rgb555, F::Rgb555, Run<KeyedCopyLanes<uint16_t, 0xFFFF> >);
  t.Set(k, F::Bgr24, F::Bgr24, Run<KeyedCopy24>);
  t.Set(k, F::Rgb24, F::Rgb24, Run<KeyedCopy24>);
  t.Set(k, F::Bgrx32, F::Bgrx32, Run<KeyedCopyLanes<uint32_t, 0xFFFFFFFFu> >);
  t.Set(k, F::Rgbx32, F::Rgbx32, Run<KeyedCopyLanes<uint32_t, 0xFFFFFFFFu> >);
  t.Set(k, F::Rgb565A, F::Rgb565A, Run<KeyedCopyLanes<uint32_t, 0xFFFF> >);
  t.Set(k, F::Rgb555A, F::Rgb555A, Run<KeyedCopyLanes<uint32_t, 0xFFFF> >);
  t.Set(k, F::Bgra32, F::Bgra32, Run<KeyedCopyLanes<uint32_t, 0xFFFFFF> >);
  t.Set(k, F::Rgba32, F::Rgba32, Run<KeyedCopyLanes<uint32_t, 0xFFFFFF> >);
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Copy)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Copy)
#endif
