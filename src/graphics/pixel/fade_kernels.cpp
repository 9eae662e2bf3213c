// Row kernels of the fade (fade.cpp), compiled for every vector target of
// the build (see row_kernels.h). Each channel is scaled by the level through
// the exact identities of exact_arithmetic-inl.h (by way of
// blend_arithmetic-inl.h).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/fade_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Fade)
#else
namespace {

using rows::ForEachStep;
using rows::Pixels;

// s is the row itself; the kernels read and write d only. args.level: the level.

// Rgb565, Rgb555: the 16-level table's word at L = level >> 4.
template <bool k565>
void FadeWordRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const V16 m = exact::LevelMultiplier(hn::Set(d16, static_cast<uint16_t>((args.level & 0xFF) >> 4)));
  const auto step = [d16](const uint8_t*, uint8_t* dp, size_t, V16 m)
                        HWY_ATTR { rows::StoreU(blend::LevelWord<k565>(rows::LoadU(d16, dp), m), d16, dp); };
  ForEachStep<2, 2>(d, d, Pixels(width), hn::Lanes(d16), step, m);
}

// Rgb565A, Rgb555A: each channel widened to the top of a byte, P[level][byte],
// narrowed back; bytes 2 and 3 kept. Widening puts the field f at f x 2^k
// and narrowing drops the low k bits again, so the new field is
// floor(floor(level x f x 2^k / 255) / 2^k) = floor(level x f / 255). The
// words of two vectors of pixels are packed into one vector of 16-bit lanes
// (one vector's words in the low halves of 32-bit lanes, the other's in the
// high halves) and put back the same way.
template <bool k565>
void FadeWordAlphaRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const D32 d32;
  const V16 level = hn::Set(d16, static_cast<uint16_t>(args.level & 0xFF));
  const size_t n32 = hn::Lanes(d32);
  const auto step = [&](const uint8_t*, uint8_t* dp, size_t, V16 level) HWY_ATTR {
    const V32 a = rows::LoadU(d32, dp), b = rows::LoadU(d32, dp + 4 * n32);
    const V16 w = blend::PackWords(hn::BitCast(d16, a), hn::BitCast(d16, b));
    constexpr int kRedShift = k565 ? 11 : 10;
    const V16 five = hn::Set(d16, 31);
    const V16 r = blend::Product(hn::And(hn::ShiftRight<kRedShift>(w), five), level);
    const V16 g = blend::Product(hn::And(hn::ShiftRight<5>(w), hn::Set(d16, k565 ? 63 : 31)), level);
    const V16 bl = blend::Product(hn::And(w, five), level);
    const V16 out = hn::Or(hn::Or(hn::ShiftLeft<kRedShift>(r), hn::ShiftLeft<5>(g)), bl);
    rows::StoreU(blend::UnpackWordsLow(out, hn::BitCast(d16, a)), d16, dp);
    rows::StoreU(blend::UnpackWordsHigh(out, hn::BitCast(d16, b)), d16, dp + 4 * n32);
  };
  ForEachStep<4, 4>(d, d, Pixels(width), 2 * n32, step, level);
}

// 24-bit: every byte of the row scaled.
void FadeBytesRow(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const V16 level = hn::Set(D16(), static_cast<uint16_t>(args.level & 0xFF));
  const auto step = [d8](const uint8_t*, uint8_t* dp, size_t, V16 level) HWY_ATTR {
    hn::StoreU(blend::ProductBytes(d8, blend::LaneWeight{}, level, hn::LoadU(d8, dp)), d8, dp);
  };
  ForEachStep<1, 1>(d, d, Pixels(width * 3), hn::Lanes(d8), step, level);
}

// 32-bit: bytes 0-2 scaled, byte 3 replaced by kByte3 (0 or 255).
template <uint32_t kByte3>
void Fade32Row(const uint8_t*, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const D32 d32;
  const V16 level = hn::Set(D16(), static_cast<uint16_t>(args.level & 0xFF));
  const auto step = [d8, d32](const uint8_t*, uint8_t* dp, size_t, V16 level) HWY_ATTR {
    const V32 scaled =
        hn::BitCast(d32, blend::ProductBytes(d8, blend::LaneWeight{}, level, hn::LoadU(d8, dp)));
    rows::StoreU(hn::Or(hn::And(scaled, hn::Set(d32, 0x00FFFFFFu)), hn::Set(d32, kByte3 << 24)), d32, dp);
  };
  ForEachStep<4, 4>(d, d, Pixels(width), hn::Lanes(d32), step, level);
}

void SetKernels(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::Fade, F::Rgb565, F::Rgb565, &FadeWordRow<true>);
  t.Set(Op::Fade, F::Rgb555, F::Rgb555, &FadeWordRow<false>);
  t.Set(Op::Fade, F::Rgb565A, F::Rgb565A, &FadeWordAlphaRow<true>);
  t.Set(Op::Fade, F::Rgb555A, F::Rgb555A, &FadeWordAlphaRow<false>);
  t.Set(Op::Fade, F::Bgr24, F::Bgr24, &FadeBytesRow);
  t.Set(Op::Fade, F::Rgb24, F::Rgb24, &FadeBytesRow);
  t.Set(Op::Fade, F::Bgrx32, F::Bgrx32, &Fade32Row<0>);
  t.Set(Op::Fade, F::Rgbx32, F::Rgbx32, &Fade32Row<0>);
  t.Set(Op::Fade, F::Bgra32, F::Bgra32, &Fade32Row<255>);
  t.Set(Op::Fade, F::Rgba32, F::Rgba32, &Fade32Row<255>);
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Fade)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Fade)
#endif
