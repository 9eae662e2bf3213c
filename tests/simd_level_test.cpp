// The SIMD level switch. (Which kernels each level has and runs is checked in
// kernel_link_test.cpp, the kernels against the scalar level in each family's
// own kernel test.)
#include <gtest/gtest.h>

#include <pixelops/simd.h>

#include <algorithm>

#include "graphics/pixel/row_kernels.h"
#include "tests/kernel_check.h"

namespace pixelops {
namespace {

TEST(SimdLevel, LevelsStartScalarAndEachCanBeSet) {
  const std::vector<std::string_view> levels = SimdLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), "scalar");
  const std::string_view found = SimdLevel();
  for (std::string_view level : levels) {
    test::ScopedSimdLevel scoped(level);
    EXPECT_EQ(SimdLevel(), level);
  }
  EXPECT_EQ(SimdLevel(), found);
  for (std::string_view unknown : {"mmx", "sse3", "SSE4", "avx2 "}) {
    EXPECT_FALSE(SetSimdLevel(unknown)) << unknown;
    EXPECT_EQ(SimdLevel(), found);
  }
  if (std::find(levels.begin(), levels.end(), "ssse3") != levels.end()) {
    test::ScopedSimdLevel scoped("sse2");
    EXPECT_EQ(SimdLevel(), "ssse3");
  }
}

// Each level's table holds that level's own code, not another level's.
TEST(SimdLevel, EachVectorLevelHasItsOwnKernels) {
  std::vector<kernels::RowFn> seen;
  for (std::string_view level : SimdLevels()) {
    if (level == "scalar") continue;
    test::ScopedSimdLevel scoped(level);
    const auto fn = kernels::Find(kernels::Op::Add, PixelFormat::Bgra32, PixelFormat::Bgra32);
    EXPECT_EQ(std::find(seen.begin(), seen.end(), fn), seen.end()) << level;
    seen.push_back(fn);
  }
}

}  // namespace
}  // namespace pixelops
