// The stretched walk's gathers (the row's source pixels picked by the row's
// source columns), called straight: at every vector level, for pixels of
// every size, each gathered pixel is its column's, on rows that end right
// after the pixels they hold (so that a read past them leaves the buffer)
// and outputs followed by bytes that must stay, at every start alignment.
#include <gtest/gtest.h>

#include <pixelops/pixel_format.h>
#include <pixelops/simd.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/pixel/row_kernels.h"
#include "tests/kernel_check.h"

namespace pixelops {
namespace {

// Rising source columns of n destination pixels: a stretch by src / dst
// pixels starting at a column, or steps drawn from a list (repeats, small
// and large jumps).
std::vector<int32_t> Columns(std::mt19937& rng, int32_t n, int kind) {
  std::vector<int32_t> c(static_cast<size_t>(n));
  const int64_t start = rng() % 3 == 0 ? 0 : rng() % 40;
  if (kind < 3) {
    // Enlarging (1 to 4 destination pixels a source pixel), a little
    // shrinking (up to 2 source pixels a destination pixel), or any.
    const int64_t dst = 1 + rng() % 64;
    const int64_t src = kind == 0   ? 1 + static_cast<int64_t>(rng() % dst)
                        : kind == 1 ? dst + static_cast<int64_t>(rng() % (dst + 1))
                                    : 1 + static_cast<int64_t>(rng() % (8 * dst));
    const int64_t offset = rng() % dst;
    for (int32_t k = 0; k < n; ++k)
      c[static_cast<size_t>(k)] = static_cast<int32_t>(start + (k * src + offset) / dst);
  } else {
    const int32_t steps[] = {0, 0, 1, 1, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 40, 127, 128, 300};
    int64_t at = start;
    for (int32_t k = 0; k < n; ++k) {
      c[static_cast<size_t>(k)] = static_cast<int32_t>(at);
      at += steps[rng() % std::size(steps)];
    }
  }
  return c;
}

TEST(GatherKernels, EveryLevelGathersTheColumnsPixelsAndTouchesNothingElse) {
  std::mt19937 rng(23);
  for (const FormatDescription& f : formats::kDescriptions) {
    const int32_t bytes = f.bytes;
    for (std::string_view level : SimdLevels()) {
      test::ScopedSimdLevel scoped(level);
      const auto gather = kernels::Find<kernels::GatherFn>(kernels::Op::Gather, f.code, f.code);
      if (level == "scalar") {
        EXPECT_EQ(gather, nullptr);
        continue;
      }
      // A level may leave 4-byte pixels, moved in one instruction each, to
      // the walk's own loop.
      if (gather == nullptr && bytes == 4) continue;
      ASSERT_NE(gather, nullptr) << f.name << " at " << level;
      for (int round = 0; round < 1200; ++round) {
        const int32_t n = round < 300 ? round : static_cast<int32_t>(rng() % 300);
        const std::vector<int32_t> columns = Columns(rng, n, round % 4);
        // The row ends just after the last column's pixel, or a few pixels on.
        const int32_t available = (n == 0 ? 0 : columns.back() + 1) + (rng() % 3 == 0 ? rng() % 9 : 0);
        const size_t rowShift = rng() % 16, outShift = rng() % 16;
        std::vector<uint8_t> rowBytes(rowShift + static_cast<size_t>(available) * bytes);
        for (uint8_t& b : rowBytes) b = static_cast<uint8_t>(rng());
        const uint8_t* row = rowBytes.data() + rowShift;
        const size_t outBytes = static_cast<size_t>(n) * bytes;
        std::vector<uint8_t> out(outShift + outBytes + 80, 0xA5);
        std::vector<uint8_t> want(out);
        for (int32_t k = 0; k < n; ++k) {
          std::memcpy(want.data() + outShift + static_cast<size_t>(k) * bytes,
                      row + static_cast<int64_t>(columns[static_cast<size_t>(k)]) * bytes, bytes);
        }
        gather(row, columns.data(), n, available, out.data() + outShift);
        ASSERT_EQ(out, want) << f.name << " at " << level << ", round " << round << ", n " << n
                             << ", available " << available;
      }
    }
  }
}

}  // namespace
}  // namespace pixelops
