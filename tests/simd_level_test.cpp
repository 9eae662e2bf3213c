// The SIMD level switch, and which kernels each level has. (The kernels are
// checked against the scalar level in each family's own kernel test.)
#include <gtest/gtest.h>

#include <pixelops/format_pairs.h>
#include <pixelops/simd.h>

#include <span>

#include "graphics/pixel/row_kernels.h"
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

// Every vector level has a kernel for every served pair of the operations
// that have one, so that no pair silently stays on the per-pixel path.
TEST(SimdLevel, EveryLevelHasTheKernelsOfEveryServedPair) {
  namespace fp = format_pairs;
  using kernels::Op;
  struct Family {
    Op op;
    std::span<const FormatPair> pairs;
  };
  const Family families[] = {
      {Op::Translucent, fp::kBlend},         {Op::TranslucentKeyed, fp::kBlend},
      {Op::TwoLevel, fp::kBlend},            {Op::TwoLevelKeyed, fp::kBlend},
      {Op::AlphaChannel, fp::kAlphaComposite}, {Op::Pattern, fp::kPattern},
      {Op::ColourKeepAlpha, fp::kEqualAlpha}, {Op::KeyedCopy, fp::kSameFormat},
      {Op::Add, fp::kBlend},                 {Op::AddKeyed, fp::kBlend},
      {Op::AddLevel, fp::kBlend},            {Op::AddLevelKeyed, fp::kBlend},
      {Op::Sub, fp::kBlend},                 {Op::SubKeyed, fp::kBlend},
      {Op::SubLevel, fp::kBlend},            {Op::SubLevelKeyed, fp::kBlend},
  };
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    for (const Family& f : families) {
      for (const FormatPair& p : f.pairs) {
        EXPECT_EQ(kernels::Find(f.op, p.src, p.dst) != nullptr, level != "scalar")
            << level << " op " << static_cast<int>(f.op) << " " << PixelFormatName(p.src)
            << " onto " << PixelFormatName(p.dst);
      }
    }
    for (PixelFormat f : fp::kBlendedFormats) {
      EXPECT_EQ(kernels::Find(Op::Fade, f, f) != nullptr, level != "scalar") << level;
    }
  }
}

}  // namespace
}  // namespace pixelops
