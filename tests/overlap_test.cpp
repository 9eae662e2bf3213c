// Two surfaces wrapped over one buffer, the destination a pixel or a row off
// the source: every level draws the scalar level's bytes (each pixel reads
// what the pixels drawn before it wrote), one to one, stretched, shrunk and
// as a polygon texture.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <pixelops/dd_surface.h>
#include <pixelops/simd.h>
#include <pixelops/textured_quad.h>

#include "tests/kernel_check.h"

namespace pixelops {

namespace {

constexpr int32_t kW = 40, kH = 6, kPitch = kW * 4 + 12;
constexpr uint32_t kKey = 0x00123456;

using Draw = std::function<BlitResult(DDSurface& dst, DDSurface& src)>;

struct OverlapCase {
  std::string name;
  int32_t offset;  // destination start minus source start, in bytes
  Draw draw;
  PixelFormat srcFormat = PixelFormat::Bgrx32, dstFormat = PixelFormat::Bgrx32;
};
void PrintTo(const OverlapCase& c, std::ostream* os) { *os << c.name; }

std::vector<OverlapCase> Cases() {
  static const Rect kHalf{3, 1, 3 + kW / 2, 1 + kH / 2};
  static const Size kDouble{kW, kH}, kShrunk{kW / 2 + 3, kH / 2 + 1};
  struct Placed {
    const char* name;
    const Rect* srcRect;
    const Size* size;
  };
  const Placed placements[] = {
      {"OneToOne", nullptr, nullptr}, {"Stretched", &kHalf, &kDouble}, {"Shrunk", nullptr, &kShrunk}};
  std::vector<std::pair<std::string, Draw>> draws;
  for (const Placed& p : placements) {
    draws.emplace_back(std::string("Keyed") + p.name, [p](DDSurface& d, DDSurface& s) {
      return d.BltKeyed(&s, 1, 0, p.srcRect, p.size, nullptr);
    });
    draws.emplace_back(std::string("Alpha") + p.name, [p](DDSurface& d, DDSurface& s) {
      return d.BltAlpha(&s, 0, 1, 100, p.srcRect, p.size, nullptr);
    });
    draws.emplace_back(std::string("Add") + p.name, [p](DDSurface& d, DDSurface& s) {
      return d.BltAdd(&s, 0, 0, p.srcRect, p.size, nullptr);
    });
  }
  // The source's left part turned a little and stretched over the destination.
  static const Point kTexels[] = {{0, 0}, {kW / 2, 0}, {kW / 2, kH - 1}, {0, kH - 1}};
  static const Point kPixels[] = {{1, 0}, {kW - 1, 1}, {kW - 2, kH - 1}, {0, kH - 2}};
  draws.emplace_back("PolygonKeyed", [](DDSurface& d, DDSurface& s) {
    return d.DrawPolygonKeyed(&s, kTexels, kPixels, nullptr, 0, 4);
  });
  draws.emplace_back("PolygonOpaque", [](DDSurface& d, DDSurface& s) {
    return d.DrawPolygon(&s, kTexels, kPixels, nullptr, 0, 4);
  });
  draws.emplace_back("QuadBlended", [](DDSurface& d, DDSurface& s) {
    return FillTexturedQuad(&d, &s, 100, kTexels, kPixels, nullptr, 0, 4);
  });
  std::vector<OverlapCase> out;
  const std::pair<const char*, int32_t> offsets[] = {
      {"PixelAfter", 4}, {"PixelBefore", -4}, {"RowAfter", kPitch}, {"RowBefore", -kPitch}};
  for (const auto& [drawName, draw] : draws) {
    for (const auto& [offsetName, offset] : offsets) {
      out.push_back({drawName + offsetName, offset, draw});
    }
  }
  // Wider source pixels onto narrower ones, a destination pixel after and before.
  out.push_back({"Alpha565AOneToOnePixelAfter", 2, draws[1].second, PixelFormat::Rgb565A,
                 PixelFormat::Rgb565});
  out.push_back({"Alpha565AOneToOnePixelBefore", -2, draws[1].second, PixelFormat::Rgb565A,
                 PixelFormat::Rgb565});
  return out;
}

class OverlapTest : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(OverlapTest, EveryLevelDrawsTheScalarBytes) {
  const OverlapCase& c = GetParam();
  std::vector<uint8_t> buffer(static_cast<size_t>(kPitch) * (kH + 2) + 8);
  std::mt19937 rng(static_cast<uint32_t>(c.offset + 1000));
  for (uint8_t& b : buffer) b = static_cast<uint8_t>(rng());
  for (size_t i = 0; i + 4 <= buffer.size(); i += 4 * (rng() % 4 + 1)) std::memcpy(&buffer[i], &kKey, 4);
  const std::vector<uint8_t> initial = buffer;
  uint8_t* base = buffer.data() + kPitch + 4;
  auto src = DDSurface::Wrap(base, kW, kH, c.srcFormat, kPitch);
  auto dst = DDSurface::Wrap(base + c.offset, kW, kH, c.dstFormat, kPitch);
  ASSERT_TRUE(src && dst);
  src->SetColorKey(kKey);
  std::vector<uint8_t> reference;
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    buffer = initial;
    ASSERT_EQ(c.draw(*dst, *src), kBlitDone) << level;
    if (level == "scalar") reference = buffer;
    else EXPECT_EQ(buffer, reference) << "level " << level;
  }
}

INSTANTIATE_TEST_SUITE_P(Wraps, OverlapTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

}  // namespace pixelops
