// The SIMD level switch. (The kernels are checked against the scalar level in
// each family's own kernel test.)
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

}  // namespace
}  // namespace pixelops
