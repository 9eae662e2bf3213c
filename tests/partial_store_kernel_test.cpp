// The row kernels that store only part of their vectors' bytes, or rewrite
// whole pixels around the bytes they change (3-byte destinations, alpha
// bytes, colour bytes beside alpha): every width from 0 to past four steps
// of the widest vectors, each drawn on 64 rows that start at the 64 byte
// offsets of a 64-byte vector, at every level against the scalar level,
// padding included (kernel_check.h draws from start columns 0..15 only),
// some rows ending at the surfaces' last bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include <pixelops/dd_surface.h>

#include "tests/kernel_check.h"

namespace pixelops {
namespace {

using F = PixelFormat;

// Draws the source rectangle r at (x, 0), with a value chosen by the width.
using RowsDraw =
    std::function<BlitResult(DDSurface& dst, DDSurface& src, int32_t x, const Rect& r, int32_t value)>;

struct Case {
  const char* name;
  F src, dst;
  RowsDraw draw;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

constexpr int32_t kRows = 64, kWidest = 4 * 64 + 9;

class PartialStoreKernels : public testing::TestWithParam<Case> {};

TEST_P(PartialStoreKernels, EveryWidthAtEveryByteOffset) {
  const Case& c = GetParam();
  std::mt19937 rng(static_cast<uint32_t>(c.src) * 31 + static_cast<uint32_t>(c.dst));
  // Pitches one byte past a multiple of 64: row y starts y bytes further
  // into a 64-byte vector than row 0.
  constexpr int32_t width = kWidest + 16;
  const auto pitch = [](F f) { return (width * BytesPerPixel(f) + 63) / 64 * 64 + 1; };
  auto src = DDSurface::Make(width, kRows, c.src, DDSurface::Memory::Own, pitch(c.src) + 2);
  auto dst = DDSurface::Make(width, kRows, c.dst, DDSurface::Memory::Own, pitch(c.dst));
  ASSERT_TRUE(src && dst);
  src->SetColorKey(0x00FF00FF);
  static constexpr int32_t kValues[] = {128, 0, 255, 77, 254, 1};
  test::FillForKernels(*src, rng);
  test::FillForKernels(*dst, rng);
  for (int32_t w = 0; w <= kWidest; ++w) {
    // Odd widths end at the source's last pixels, some at the destination's
    // (the last row ends at its last pixel: nothing follows it).
    const int32_t sx = w % 2 ? width - w : w % 13, dx = w % 4 == 1 ? width - w : w % 7;
    const Rect r{sx, 0, sx + w, kRows};
    const int32_t value = kValues[w % 6];
    test::ExpectSameAtEveryLevel(
        *dst, [&] { return c.draw(*dst, *src, dx, r, value); },
        std::string(c.name) + ", width " + std::to_string(w));
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

BlitResult Ramp(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t value) {
  // Ramps over the whole byte, a narrow one, and a falling one.
  if (value % 3 == 0) return d.AlphaFromMaskRamp(&s, 0, 255, 3, 250, x, 0, &r, nullptr, nullptr);
  if (value % 3 == 1) return d.AlphaFromMaskRamp(&s, 64, 192, 0, 255, x, 0, &r, nullptr, nullptr);
  return d.AlphaFromMaskRamp(&s, -5, 300, 255, 0, x, 0, &r, nullptr, nullptr);
}

BlitResult Alpha(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t value) {
  return d.BltAlpha(&s, x, 0, value, &r, nullptr, nullptr);
}
BlitResult TranslucentKey(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t value) {
  return d.BltTranslucentKey(&s, x, 0, value, &r, nullptr, nullptr);
}
BlitResult Blend(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t value) {
  return d.BltBlend(&s, x, 0, value, 255 - value, &r, nullptr, nullptr);
}
BlitResult BlendKey(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t value) {
  return d.BltBlendKey(&s, x, 0, value, value / 2, &r, nullptr, nullptr);
}
BlitResult KeepAlpha(DDSurface& d, DDSurface& s, int32_t x, const Rect& r, int32_t) {
  return d.BltColorKeepAlpha(&s, x, 0, &r, nullptr, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PartialStoreKernels,
    testing::Values(
        Case{"RampBgra32", F::Bgra32, F::Bgra32, Ramp}, Case{"RampBgrx32", F::Bgrx32, F::Bgra32, Ramp},
        Case{"RampRgba32", F::Rgba32, F::Rgba32, Ramp}, Case{"RampBgr24", F::Bgr24, F::Bgra32, Ramp},
        Case{"RampRgb24", F::Rgb24, F::Rgba32, Ramp}, Case{"RampRgb565", F::Rgb565, F::Rgb565A, Ramp},
        Case{"RampRgb555A", F::Rgb555A, F::Rgb555A, Ramp},
        Case{"AlphaBgra32OntoBgr24", F::Bgra32, F::Bgr24, Alpha},
        Case{"TranslucentKeyBgr24", F::Bgr24, F::Bgr24, TranslucentKey},
        Case{"TranslucentKeyRgba32OntoRgb24", F::Rgba32, F::Rgb24, TranslucentKey},
        Case{"BlendBgra32OntoBgr24", F::Bgra32, F::Bgr24, Blend},
        Case{"BlendKeyRgb24", F::Rgb24, F::Rgb24, BlendKey},
        Case{"BlendKeyBgra32OntoBgr24", F::Bgra32, F::Bgr24, BlendKey},
        Case{"KeepAlphaBgra32", F::Bgra32, F::Bgra32, KeepAlpha},
        Case{"KeepAlphaRgb565A", F::Rgb565A, F::Rgb565A, KeepAlpha}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pixelops
