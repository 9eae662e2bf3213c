// The span kernels of the textured-polygon families: at every vector level
// this machine runs, the keyed, opaque and blending rasterisers give exactly
// the bytes of the scalar level, for every served pair, on random polygons,
// rotations, scales, clips and flags; spans whose accumulators do not fit 32
// bits, and surfaces drawn onto themselves, too.
#include <gtest/gtest.h>
#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/simd.h>
#include <pixelops/textured_quad.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "graphics/pixel/polygon_scan.h"
#include "tests/kernel_check.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using test::Snapshot;

using test::Pick;
using Family = test::PolygonFamily;

struct SpanCase {
  FormatPair pair;
  Family family;
};

void PrintTo(const SpanCase& c, std::ostream* os) {
  *os << PixelFormatName(c.pair.src) << " onto " << PixelFormatName(c.pair.dst) << ", family "
      << static_cast<int>(c.family);
}

std::string Name(const testing::TestParamInfo<SpanCase>& info) {
  const char* f = info.param.family == Family::kKeyed    ? "Keyed"
                  : info.param.family == Family::kOpaque ? "Opaque"
                                                         : "Blend";
  return std::string(f) + "_" + std::string(PixelFormatName(info.param.pair.src)) + "_onto_" +
         std::string(PixelFormatName(info.param.pair.dst));
}

std::vector<SpanCase> AllCases() {
  std::vector<SpanCase> out;
  for (Family f : {Family::kKeyed, Family::kOpaque, Family::kBlend}) {
    for (const FormatPair& p : format_pairs::kPolygon) out.push_back({p, f});
  }
  return out;
}

class PolygonSpanLevels : public testing::TestWithParam<SpanCase> {
 protected:
  // A generator seeded from the case, and a surface of the given format
  // whose rows carry pad bytes.
  std::mt19937 Rng(uint32_t srcFactor, uint32_t dstFactor) const {
    const SpanCase& c = GetParam();
    return std::mt19937(static_cast<uint32_t>(c.pair.src) * srcFactor +
                        static_cast<uint32_t>(c.pair.dst) * dstFactor + static_cast<uint32_t>(c.family));
  }
  static std::unique_ptr<DDSurface> Padded(PixelFormat f, int32_t w, int32_t h, int32_t pad) {
    return DDSurface::Make(w, h, f, DDSurface::Memory::Own, w * BytesPerPixel(f) + pad);
  }

  // One drawing of the family.
  BlitResult Draw(DDSurface& dst, DDSurface& src, const std::vector<Point>& sp, const std::vector<Point>& dp,
                  const Rect* clip, uint8_t flag, int32_t alpha) {
    return test::DrawPolygonFamily(GetParam().family, dst, src, sp, dp, clip, flag, alpha);
  }
};

TEST_P(PolygonSpanLevels, EveryLevelGivesTheScalarBytes) {
  const SpanCase c = GetParam();
  std::mt19937 rng = Rng(131, 7);
  auto src = Padded(c.pair.src, 70, 52, 12);
  auto dst = Padded(c.pair.dst, 150, 96, 8);
  ASSERT_TRUE(src && dst);
  src->SetColorKey(static_cast<uint32_t>(rng()));
  const int32_t alphas[] = {0, 1, 15, 16, 127, 128, 200, 254, 255};
  for (int round = 0; round < 30; ++round) {
    test::FillForKernels(*src, rng);
    test::FillForKernels(*dst, rng);
    std::vector<Point> sp, dp;
    if (round % 2 == 0) {
      // A turned, scaled picture (a sub-rectangle of the source).
      RotatedQuad q;
      const int32_t scale = Pick(rng, 20000, 300000);
      const int32_t scaleY = rng() % 2 ? scale : Pick(rng, 20000, 300000);
      if (!MakeRotatedQuad(*src, Pick(rng, -20, 170), Pick(rng, -20, 110), Pick(rng, 0, 511), scale, scaleY,
                           &q)) {
        continue;
      }
      sp.assign(q.src, q.src + 4);
      dp.assign(q.dst, q.dst + 4);
    } else {
      // A random quad or triangle, texels anywhere in the source.
      const int32_t n = rng() % 3 ? 4 : 3;
      for (int32_t i = 0; i < n; ++i) {
        sp.push_back({Pick(rng, 0, 69), Pick(rng, 0, 51)});
        dp.push_back({Pick(rng, -30, 180), Pick(rng, -30, 120)});
      }
    }
    Rect clip{Pick(rng, -5, 60), Pick(rng, -5, 40), Pick(rng, 60, 160), Pick(rng, 40, 100)};
    const Rect* clipArg = rng() % 3 == 0 ? nullptr : &clip;
    const uint8_t flag = rng() % 4 == 0 ? 1 : 0;
    const int32_t alpha = alphas[rng() % std::size(alphas)];
    test::ExpectSameAtEveryLevel(
        *dst, [&] { return Draw(*dst, *src, sp, dp, clipArg, flag, alpha); },
        "round " + std::to_string(round) + " alpha " + std::to_string(alpha));
    if (HasFatalFailure()) return;
  }
  // The whole picture turned about the middle, as the rotated drawers do.
  for (int32_t angle : {0, 43, 128, 300}) {
    test::FillForKernels(*dst, rng);
    test::ExpectSameAtEveryLevel(
        *dst,
        [&] {
          if (c.family == Family::kBlend) {
            return DrawRotatedSprite(dst.get(), src.get(), 75, 48, angle, 65536, 65536, 255);
          }
          if (c.family == Family::kKeyed) {
            return DrawRotatedScaled(dst.get(), src.get(), 75, 48, angle, 70000, 90000);
          }
          RotatedQuad q;
          MakeRotatedQuad(*src, 75, 48, angle, 65536, 65536, &q);
          return dst->DrawPolygon(src.get(), q.src, q.dst, nullptr, 0, 4);
        },
        "angle " + std::to_string(angle));
    if (HasFatalFailure()) return;
  }
  // A surface drawn onto itself reads texels that earlier pixels wrote.
  if (c.pair.src == c.pair.dst) {
    test::FillForKernels(*src, rng);
    const std::vector<Point> sp{{0, 0}, {60, 2}, {50, 40}, {3, 45}};
    const std::vector<Point> dp{{2, 1}, {69, 3}, {66, 50}, {4, 44}};
    test::ExpectSameAtEveryLevel(
        *src, [&] { return Draw(*src, *src, sp, dp, nullptr, 0, 128); }, "onto itself");
  }
}

// Spans of every width from 1 to past several vectors, each starting at
// every column modulo 16, one band of two rows each, texels stepping by less
// and more than one texel a pixel, along a source row and across rows.
TEST_P(PolygonSpanLevels, EveryWidthAtEveryStartGivesTheScalarBytes) {
  const SpanCase c = GetParam();
  std::mt19937 rng = Rng(31, 3);
  auto src = Padded(c.pair.src, 70, 52, 4);
  auto dst = Padded(c.pair.dst, 120, 2 * 90, 4);
  ASSERT_TRUE(src && dst);
  src->SetColorKey(static_cast<uint32_t>(rng()));
  for (int32_t start = 0; start < 16; ++start) {
    test::FillForKernels(*src, rng);
    test::FillForKernels(*dst, rng);
    const int32_t u0 = Pick(rng, 0, 30), v0 = Pick(rng, 0, 20), u1 = Pick(rng, 0, 69), v1 = Pick(rng, 0, 51),
                  alpha = Pick(rng, 0, 255);
    test::ExpectSameAtEveryLevel(
        *dst,
        [&] {
          for (int32_t width = 1; width <= 90; ++width) {
            const int32_t x = (start + 5 * width) % 16, y = 2 * (width - 1);
            const std::vector<Point> dp{{x, y}, {x + width - 1, y}, {x + width - 1, y + 1}, {x, y + 1}};
            const std::vector<Point> sp{{u0, v0}, {u1, v0 + (width % 3)}, {u1, v1}, {u0, v1}};
            Draw(*dst, *src, sp, dp, nullptr, static_cast<uint8_t>(width % 5 == 0), alpha);
          }
        },
        "start " + std::to_string(start));
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, PolygonSpanLevels, testing::ValuesIn(AllCases()), Name);

// Texel accumulators past 32 bits (a source wider than 2048 texels squeezed
// into a few pixels) go the per-pixel way; those just inside take the kernel.
TEST(PolygonSpanLevelsWide, AccumulatorsPastThirtyTwoBitsStayExact) {
  std::mt19937 rng(77);
  auto src = DDSurface::Make(4200, 3, PixelFormat::Bgrx32);
  auto dst = DDSurface::Make(64, 8, PixelFormat::Bgrx32);
  for (int32_t width : {2047, 2100, 4199}) {
    test::FillForKernels(*src, rng);
    test::FillForKernels(*dst, rng);
    const Point sp[4] = {{0, 0}, {width, 0}, {width, 2}, {0, 2}};
    const Point dp[4] = {{1, 1}, {60, 1}, {60, 6}, {1, 6}};
    test::ExpectSameAtEveryLevel(
        *dst, [&] { return dst->DrawPolygon(src.get(), sp, dp, nullptr, 0, 4); },
        "width " + std::to_string(width));
  }
}

// Which spans go to a kernel: those whose accumulators and texel offsets fit
// 32 bits and, for texels of fewer than 4 bytes, whose 4-byte reads stay
// inside the source's memory.
TEST(PolygonSpanDecision, KernelsGetOnlySpansTheirLanesAndReadsHold) {
  static int32_t calls = 0;
  const kernels::SpanFn fn = [](const kernels::Span&, uint8_t*, int32_t count,
                                const kernels::RowArgs&) -> int32_t {
    ++calls;
    return count;
  };
  uint8_t memory[64] = {};
  uint8_t pixels[128] = {};
  const kernels::RowArgs args;
  const int64_t one = polyscan::kOne, half = polyscan::kHalf;
  auto run = [&](int64_t readable, int32_t pitch, int64_t sb, int64_t au, int64_t du, int64_t av, int64_t dv,
                 int64_t count) {
    calls = 0;
    const int32_t done =
        polyscan::SpanByKernel(fn, args, memory, readable, pitch, sb, au, du, av, dv, pixels, count);
    EXPECT_EQ(done, calls == 1 ? count : 0);
    return calls == 1;
  };
  // 2-byte texels along a row of 40 readable bytes: texel 18 (bytes 36-39) is
  // the last whose 4 bytes are there.
  EXPECT_TRUE(run(40, 20, 2, half, one, half, 0, 19));
  EXPECT_FALSE(run(40, 20, 2, half, one, half, 0, 20));
  // Walking backwards to texel 0 from texel 18, and down rows.
  EXPECT_TRUE(run(40, 20, 2, 18 * one + half, -one, half, 0, 19));
  EXPECT_FALSE(run(40, 20, 2, 19 * one + half, -one, half, 0, 2));
  EXPECT_TRUE(run(40, 20, 2, half, 0, half, one, 2));   // texel 0 of rows 0 and 1
  EXPECT_FALSE(run(40, 20, 2, half, 0, half, one, 3));  // row 2 starts at byte 40
  // 4-byte texels read only themselves.
  EXPECT_TRUE(run(40, 40, 4, half, one, half, 0, 10));
  // Accumulators or offsets past 32 bits.
  EXPECT_TRUE(run(1 << 30, 4, 4, half, one, half, 0, 2047));
  EXPECT_FALSE(run(INT64_MAX, 4, 4, half, one, half, 0, 2049));
  EXPECT_FALSE(run(INT64_MAX, 4, 4, -(int64_t{1} << 31) - 1, one, half, 0, 4));
  EXPECT_FALSE(run(INT64_MAX, 1 << 30, 4, half, 0, half, one, 3));
  EXPECT_TRUE(run(INT64_MAX, 1 << 29, 4, half, 0, half, one, 3));
}

}  // namespace

}  // namespace pixelops
