// The row kernels of the additive and subtractive blits and of the keyed copy
// against the scalar reference level: every form on every served pair at
// levels 0, 1, 15, 16, 127, 254, 255 and random ones; the keyed copy on every
// format. (The arithmetic that stands in for the level and product tables is
// proved in exact_arithmetic_test.cpp.)
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <pixelops/format_pairs.h>
#include <pixelops/simd.h>

#include "tests/kernel_check.h"

namespace pixelops {
namespace {

// One drawing call with a level (ignored by the unlevelled forms).
using LevelledCall = test::ValuedDrawCall;

// Levels at the ends of a byte, of the 16-level range, and in the middle;
// the shared check adds a random one every eighth placement.
constexpr int32_t kLevels[] = {0, 1, 15, 16, 127, 254, 255};

void ExpectAgree(PixelFormat sf, PixelFormat df, const LevelledCall& draw, uint32_t seed) {
  test::ExpectLevelsAgreeAt(sf, df, kLevels, draw, seed);
}

struct Form {
  const char* name;
  LevelledCall call;
};

const Form kForms[] = {
    {"BltAdd", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
                  const Rect* c) { return d.BltAdd(&s, x, y, r, z, c); }},
    {"BltAddKey", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
                     const Rect* c) { return d.BltAddKey(&s, x, y, r, z, c); }},
    {"BltAddLevel", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t l, const Rect* r,
                       const Size* z, const Rect* c) { return d.BltAddLevel(&s, x, y, l, r, z, c); }},
    {"BltAddLevelKey", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t l, const Rect* r,
                          const Size* z, const Rect* c) { return d.BltAddLevelKey(&s, x, y, l, r, z, c); }},
    {"BltSub", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
                  const Rect* c) { return d.BltSub(&s, x, y, r, z, c); }},
    {"BltSubKey", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
                     const Rect* c) { return d.BltSubKey(&s, x, y, r, z, c); }},
    {"BltSubLevel", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t l, const Rect* r,
                       const Size* z, const Rect* c) { return d.BltSubLevel(&s, x, y, l, r, z, c); }},
    {"BltSubLevelKey", [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t l, const Rect* r,
                          const Size* z, const Rect* c) { return d.BltSubLevelKey(&s, x, y, l, r, z, c); }},
};

// ---- Every form on every served pair ----

class SaturatingKernels : public testing::TestWithParam<std::tuple<size_t, size_t>> {};

TEST_P(SaturatingKernels, MatchScalar) {
  const auto [form, pair] = GetParam();
  const FormatPair p = format_pairs::kBlend[pair];
  ExpectAgree(p.src, p.dst, kForms[form].call, static_cast<uint32_t>(100 + form * 16 + pair));
}

INSTANTIATE_TEST_SUITE_P(EveryFormAndPair, SaturatingKernels,
                         testing::Combine(testing::Range<size_t>(0, std::size(kForms)),
                                          testing::Range<size_t>(0, std::size(format_pairs::kBlend))),
                         [](const testing::TestParamInfo<std::tuple<size_t, size_t>>& info) {
                           const FormatPair p = format_pairs::kBlend[std::get<1>(info.param)];
                           return std::string(kForms[std::get<0>(info.param)].name) + "_" +
                                  PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst);
                         });

// ---- The keyed copy on every format ----

class KeyedCopyKernels : public testing::TestWithParam<PixelFormat> {};

TEST_P(KeyedCopyKernels, MatchScalar) {
  const PixelFormat f = GetParam();
  ExpectAgree(
      f, f,
      [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
         const Rect* c) { return d.BltKeyed(&s, x, y, r, z, c); },
      7 + static_cast<uint32_t>(f));
}

TEST_P(KeyedCopyKernels, ImageDrawMatchesScalar) {
  const PixelFormat f = GetParam();
  ExpectAgree(
      f, f,
      [](DDSurface& d, DDSurface& s, int32_t x, int32_t y, int32_t, const Rect* r, const Size* z,
         const Rect* c) { return d.DrawKeyed(&s, x, y, r, z, c); },
      70 + static_cast<uint32_t>(f));
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, KeyedCopyKernels, testing::ValuesIn(kAllPixelFormats),
                         [](const testing::TestParamInfo<PixelFormat>& info) {
                           return std::string(PixelFormatName(info.param));
                         });

// A surface drawn onto itself, overlapping ahead of and behind its source.
TEST(SaturatingKernelsShared, SurfaceOntoItself) {
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgr24, PixelFormat::Bgrx32, PixelFormat::Rgb565A,
                        PixelFormat::Rgba32}) {
    std::mt19937 rng(5);
    auto s = DDSurface::Make(200, 8, f);
    ASSERT_TRUE(s);
    s->SetColorKey(0x00FF00FF);
    test::FillForKernels(*s, rng);
    const std::vector<uint8_t> before = test::Snapshot(*s);
    for (const int32_t dx : {-37, -1, 1, 37}) {
      const Rect r{0, 1, 150, 5};
      const Size z{180, 4};
      test::Restore(*s, before);
      test::ExpectSameAtEveryLevel(
          *s,
          [&] {
            s->BltAddKey(s.get(), 40 + dx, 2, &r, nullptr, nullptr);
            s->BltSubLevel(s.get(), 40 + dx, 3, 99, &r, &z, nullptr);
            s->BltKeyed(s.get(), 40 + dx, 1, &r, nullptr, nullptr);
          },
          std::string(PixelFormatName(f)) + " " + std::to_string(dx));
    }
  }
}

// The kernels themselves over whole domains: each source value drawn onto
// black, where the add gives the scaled source as it is, at every vector level
// against the scalar level (which looks the tables up).
void ExpectWholeDomain(PixelFormat sf, PixelFormat df, int32_t width, int32_t height,
                       const std::function<void(DDSurface&)>& fill,
                       const std::function<void(DDSurface&, DDSurface&, int32_t)>& draw,
                       const std::vector<int32_t>& drawLevels) {
  auto src = DDSurface::Make(width, height, sf);
  auto dst = DDSurface::Make(width, height, df);
  ASSERT_TRUE(src && dst);
  fill(*src);
  for (const int32_t level : drawLevels) {
    std::memset(test::Memory(*dst), 0, test::MemorySize(*dst));
    test::ExpectSameAtEveryLevel(
        *dst, [&] { draw(*dst, *src, level); },
        std::string(PixelFormatName(sf)) + " onto " + PixelFormatName(df) + " level " +
            std::to_string(level));
  }
}

std::vector<int32_t> AllLevels(int32_t step) {
  std::vector<int32_t> out;
  for (int32_t l = 0; l < 255; l += step) out.push_back(l);
  out.push_back(254);
  return out;
}

// Every colour word at every level row (Rgb565 / Rgb555 levelled) and at every
// alpha level (Rgb565A / Rgb555A onto their colour format); every colour word
// widened at every level (Rgb565A / Rgb555A levelled, onto their own format
// and, opaque, onto their colour format).
TEST(SaturatingFormulas, KernelsOverEveryWord) {
  const auto words = [](DDSurface& s) {
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) test::WritePixel(s, x, y, static_cast<uint32_t>(y * 256 + x));
  };
  const auto addLevel = [](DDSurface& d, DDSurface& s, int32_t l) {
    d.BltAddLevel(&s, 0, 0, l, nullptr, nullptr, nullptr);
  };
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555})
    ExpectWholeDomain(f, f, 256, 256, words, addLevel, AllLevels(16));
  for (PixelFormat f : {PixelFormat::Rgb565A, PixelFormat::Rgb555A}) {
    ExpectWholeDomain(f, f, 256, 256, words, addLevel, AllLevels(1));
    const PixelFormat colour = f == PixelFormat::Rgb565A ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
    const auto wordsAtAlpha = [](DDSurface& s) {
      for (int32_t y = 0; y < 256 * 16; ++y)
        for (int32_t x = 0; x < 256; ++x)
          test::WritePixel(s, x, y, static_cast<uint32_t>((y % 256) * 256 + x) | (uint32_t(y / 256) << 16));
    };
    const auto wordsOpaque = [](DDSurface& s) {
      for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
          test::WritePixel(s, x, y, static_cast<uint32_t>(y * 256 + x) | 0xF0000u);
    };
    ExpectWholeDomain(f, colour, 256, 256, wordsOpaque, addLevel, AllLevels(1));
    ExpectWholeDomain(
        f, colour, 256, 256 * 16, wordsAtAlpha,
        [](DDSurface& d, DDSurface& s, int32_t) { d.BltAdd(&s, 0, 0, nullptr, nullptr, nullptr); }, {255});
  }
}

// Every byte at every level, and every colour byte at every alpha (Bgra32 /
// Rgba32 weighted by their own alpha).
TEST(SaturatingFormulas, KernelsOverEveryByte) {
  const auto bytes = [](DDSurface& s) {
    for (int32_t x = 0; x < 256; ++x) test::WritePixel(s, x, 0, static_cast<uint32_t>(x) * 0x01010101u);
  };
  const auto addLevel = [](DDSurface& d, DDSurface& s, int32_t l) {
    d.BltAddLevel(&s, 0, 0, l, nullptr, nullptr, nullptr);
  };
  for (PixelFormat f : {PixelFormat::Bgr24, PixelFormat::Bgrx32, PixelFormat::Bgra32})
    ExpectWholeDomain(f, f, 256, 1, bytes, addLevel, AllLevels(1));
  ExpectWholeDomain(PixelFormat::Bgra32, PixelFormat::Bgr24, 256, 1, bytes, addLevel, AllLevels(1));
  const auto alphas = [](DDSurface& s) {
    for (int32_t a = 0; a < 256; ++a)
      for (int32_t c = 0; c < 256; ++c)
        test::WritePixel(s, c, a, static_cast<uint32_t>(c) * 0x010101u | (uint32_t(a) << 24));
  };
  for (PixelFormat d : {PixelFormat::Bgrx32, PixelFormat::Bgr24})
    ExpectWholeDomain(
        PixelFormat::Bgra32, d, 256, 256, alphas,
        [](DDSurface& dd, DDSurface& s, int32_t) { dd.BltAdd(&s, 0, 0, nullptr, nullptr, nullptr); }, {255});
}

}  // namespace
}  // namespace pixelops
