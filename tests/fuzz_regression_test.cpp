// Inputs the fuzz targets (fuzz/) found faults with, reduced to the smallest
// call that showed each fault. Most of them only fail loudly under the
// sanitizers (build with -DPIXELOPS_SANITIZE=ON); the checks below also pin the
// sound answer.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>
#include <cstdlib>
#include <random>

#include "graphics/blend_tables.h"
#include <pixelops/polygon.h>
#include "tests/test_support.h"

namespace pixelops {

namespace {

// Angles near INT32_MIN: the sine's table index was taken as angle - 128,
// which overflows.
TEST(FuzzRegression, SineOfAnglesNearTheSmallestInteger) {
  const CosTable& t = CosTable::Get();
  for (int32_t k = 0; k < 200; ++k) {
    const int32_t angle = INT32_MIN + k;
    EXPECT_EQ(t.Sin(angle), t.Sin(angle & 511)) << angle;
    EXPECT_EQ(t.Cos(angle), t.Cos(angle & 511)) << angle;
  }
  EXPECT_EQ(t.Sin(INT32_MAX), t.Sin(511));
}

TEST(FuzzRegression, RotatedDrawAtTheSmallestAngleDrawsAsAngleZero) {
  std::mt19937 rng(7);
  auto src = test::RandomSurface(5, 4, PixelFormat::Rgb565, rng);
  auto a = test::RandomSurface(16, 12, PixelFormat::Rgb565, rng);
  auto b = DDSurface::Make(16, 12, PixelFormat::Rgb565);
  test::Restore(*b, test::Snapshot(*a));
  // INT32_MIN is a multiple of 512: the same turn as angle 0.
  EXPECT_EQ(DrawRotatedScaled(a.get(), src.get(), 8, 6, INT32_MIN, 65536, 65536), kBlitDone);
  EXPECT_EQ(DrawRotatedScaled(b.get(), src.get(), 8, 6, 0, 65536, 65536), kBlitDone);
  EXPECT_EQ(test::Snapshot(*a), test::Snapshot(*b));
}

// 0 when an 8 GiB surface is refused with the address space limited to 1 GiB.
int MakeEightGigabytesUnderOne(DDSurface::Memory memory) {
  const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
  setrlimit(RLIMIT_AS, &limit);
  return DDSurface::Make(65536, 32768, PixelFormat::Bgra32, memory) == nullptr ? 0 : 1;
}

// A surface of a sound size whose memory cannot be had is refused (null), for
// own and lent memory alike, instead of ending the program. Run in a child
// process whose address space is limited to 1 GiB (not under
// AddressSanitizer, which needs far more address space).
TEST(FuzzRegression, SurfaceTooBigForMemoryIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "address space limits do not work under AddressSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "address space limits do not work under AddressSanitizer";
#endif
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const DDSurface::Memory memory : {DDSurface::Memory::Own, DDSurface::Memory::Lent}) {
    EXPECT_EXIT(std::_Exit(MakeEightGigabytesUnderOne(memory)), ::testing::ExitedWithCode(0), "");
  }
}

}  // namespace

}  // namespace pixelops
