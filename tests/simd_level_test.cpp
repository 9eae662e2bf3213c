// The SIMD level switch, and which kernels each level has. (The kernels are
// checked against the scalar level in each family's own kernel test.)
#include <gtest/gtest.h>

#include <pixelops/format_pairs.h>
#include <pixelops/simd.h>

#include <algorithm>
#include <span>

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
        // The colour copy keeping alpha has kernels for its 32-bit pairs only
        // where a vector holds more than 16 bytes: surely at avx2 and avx512.
        const bool wide = level == "avx2" || level == "avx512";
        if (f.op == Op::ColourKeepAlpha && !wide &&
            (p.src == PixelFormat::Bgra32 || p.src == PixelFormat::Rgba32))
          continue;
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
