// The SIMD level switch, and the kernels of the saturating blits checked
// against the scalar reference at every level.
#include <gtest/gtest.h>

#include <pixelops/format_pairs.h>
#include <pixelops/simd.h>

#include "tests/kernel_check.h"

namespace pixelops {
namespace {

TEST(SimdLevel, LevelsStartScalarAndEachCanBeSet) {
  const std::vector<std::string_view> levels = SimdLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), "scalar");
  for (std::string_view level : levels) {
    test::ScopedSimdLevel scoped(level);
    EXPECT_EQ(SimdLevel(), level);
  }
  EXPECT_EQ(SimdLevel(), levels.back());
  EXPECT_FALSE(SetSimdLevel("mmx"));
  EXPECT_EQ(SimdLevel(), levels.back());
}

TEST(SimdLevel, AddKernelsMatchScalar) {
  for (PixelFormat f : {PixelFormat::Bgrx32, PixelFormat::Rgbx32}) {
    test::ExpectLevelsAgree(f, f,
                            [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r,
                               const Size* z, const Rect* c) { return d.BltAdd(&s, x, y, r, z, c); },
                            11);
  }
}

}  // namespace
}  // namespace pixelops
