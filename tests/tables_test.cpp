// The blend tables and the cosine table against their defining formulas.
#include <gtest/gtest.h>

#include "graphics/blend_tables.h"
#include "platform/mul_div.h"

namespace pixelops {

TEST(BlendTables, ProductComplementAndDifference) {
  const BlendTables& t = Tables();
  for (int a = 0; a < 256; ++a) {
    for (int c = 0; c < 256; ++c) {
      ASSERT_EQ(t.P(a, c), a * c / 255);
      ASSERT_EQ(t.P(a, c), t.P(c, a));
      ASSERT_EQ(t.K(a, c), c * (255 - a) / 255);
    }
    EXPECT_EQ(t.P(255, a), a);
    for (int d = -255; d <= 255; ++d) {
      const int v = d < 0 ? -((-d) * a / 255) : d * a / 255;
      ASSERT_EQ(t.D(a, d), static_cast<uint8_t>(v)) << a << " " << d;
    }
  }
}

TEST(BlendTables, LevelTablesScaleEachChannel) {
  const BlendTables& t = Tables();
  for (uint32_t w = 0; w < 65536; w += 7) {
    EXPECT_EQ(t.L565(15, w), w);
    EXPECT_EQ(t.L565(0, w), 0);
    EXPECT_EQ(t.L555(15, w), w & 0x7FFF);
    for (uint32_t l = 0; l < 16; l += 5) {
      const uint32_t r = ((w >> 11) & 31) * l / 15, g = ((w >> 5) & 63) * l / 15, b = (w & 31) * l / 15;
      ASSERT_EQ(t.L565(l, w), (r << 11) | (g << 5) | b);
      const uint32_t r5 = ((w >> 10) & 31) * l / 15, g5 = ((w >> 5) & 31) * l / 15;
      ASSERT_EQ(t.L555(l, w), (r5 << 10) | (g5 << 5) | b);
    }
  }
}

TEST(CosTable, QuarterTurnsAreExact) {
  const CosTable& c = CosTable::Get();
  EXPECT_EQ(c.Cos(0), 65536);
  EXPECT_EQ(c.Cos(128), 0);
  EXPECT_EQ(c.Cos(256), -65536);
  EXPECT_EQ(c.Cos(384), 0);
  EXPECT_EQ(c.Sin(0), 0);
  EXPECT_EQ(c.Sin(128), 65536);
  EXPECT_EQ(c.Cos(512), c.Cos(0));
  EXPECT_EQ(c.Cos(-384), c.Cos(128));
  EXPECT_EQ(c.Cos(64), 46340);  // cos(45 degrees) x 65536 = 46340.95, truncated
  EXPECT_EQ(c.Cos(320), -46340);
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(99, 32768, 65536), 50);
  EXPECT_EQ(MulDiv(-99, 32768, 65536), -50);
  EXPECT_EQ(MulDiv(98, 32768, 65536), 49);
  EXPECT_EQ(MulDiv(99, 65536, 65536), 99);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
}

}  // namespace pixelops
