// The kernels of the translucent blits and the two-level blends: every
// served pair of each operation drawn at every SIMD level against the scalar
// reference (kernel_check.h), at opacities and levels 0, 1, 127, 128, 254,
// 255, 256 and a random one. (The lane arithmetic they are built on is proved
// in exact_arithmetic_test.cpp.)
#include <gtest/gtest.h>
#include <pixelops/format_pairs.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "tests/kernel_check.h"

namespace pixelops {
namespace {

enum class Blit { Alpha, AlphaOpacity, TranslucentKey, Blend, BlendKey };

struct Case {
  Blit blit;
  FormatPair pair;
};

const char* BlitName(Blit b) {
  switch (b) {
    case Blit::Alpha:
      return "BltAlpha";
    case Blit::AlphaOpacity:
      return "BltAlphaOpacity";
    case Blit::TranslucentKey:
      return "BltTranslucentKey";
    case Blit::Blend:
      return "BltBlend";
    case Blit::BlendKey:
      return "BltBlendKey";
  }
  return "";
}

void PrintTo(const Case& c, std::ostream* os) {
  *os << BlitName(c.blit) << " " << PixelFormatName(c.pair.src) << " onto " << PixelFormatName(c.pair.dst);
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (Blit b : {Blit::Alpha, Blit::AlphaOpacity, Blit::TranslucentKey, Blit::Blend, Blit::BlendKey}) {
    for (const FormatPair& p : format_pairs::kBlend) {
      // BltAlphaOpacity serves the alpha sources onto their colour formats only.
      if (b == Blit::AlphaOpacity && p.src == p.dst) continue;
      cases.push_back({b, p});
    }
  }
  return cases;
}

class TranslucentKernels : public ::testing::TestWithParam<Case> {};

// Opacities (and levels) at the ends of the byte, at the middle, one past
// the byte (only its low byte counts), and a random one. Each placement of the
// check draws at one of them (the same at every level), chosen from the
// placement, so that every value meets widths, alignments and stretches.
TEST_P(TranslucentKernels, EveryLevelMatchesScalar) {
  const Case c = GetParam();
  const uint32_t seed = static_cast<uint32_t>(c.pair.src) * 131 + static_cast<uint32_t>(c.pair.dst) * 7 +
                        static_cast<uint32_t>(c.blit);
  const int32_t values[8] = {0, 1, 127, 128, 254, 255, 256, static_cast<int32_t>(std::mt19937(seed)() % 256)};
  const Blit blit = c.blit;
  test::ExpectLevelsAgree(
      c.pair.src, c.pair.dst,
      [blit, &values](DDSurface& d, DDSurface& s, int32_t x, int32_t y, const Rect* r, const Size* z,
                      const Rect* cl) {
        const uint32_t pick =
            static_cast<uint32_t>(x * 31 + y * 17 + (r ? r->left * 7 + r->right * 13 + r->bottom : 0) +
                                  (z ? z->width * 5 : 0) + (cl ? cl->right : 0));
        const int32_t a = values[pick % 8], b = values[(pick / 8 + pick) % 8];
        switch (blit) {
          case Blit::Alpha:
            return d.BltAlpha(&s, x, y, a, r, z, cl);
          case Blit::AlphaOpacity:
            return d.BltAlphaOpacity(&s, x, y, a, r, z, cl);
          case Blit::TranslucentKey:
            return d.BltTranslucentKey(&s, x, y, a, r, z, cl);
          case Blit::Blend:
            return d.BltBlend(&s, x, y, a, b, r, z, cl);
          case Blit::BlendKey:
            return d.BltBlendKey(&s, x, y, a, b, r, z, cl);
        }
        return kBlitDone;
      },
      seed);
}

INSTANTIATE_TEST_SUITE_P(Pairs, TranslucentKernels, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(BlitName(info.param.blit)) + "_" +
                                  PixelFormatName(info.param.pair.src) + "_onto_" +
                                  PixelFormatName(info.param.pair.dst);
                         });

// Surfaces that the random fill seldom makes: destination words equal to
// the source words below them (the equal 16-bit formats leave those alone),
// long runs of key pixels, and 32-bit sources whose colour bytes are the key's
// but whose fourth byte is not (Bgrx32 draws them, Bgra32 skips them).
TEST(TranslucentKernelEdges, EqualWordsKeyRunsAndFourthBytes) {
  std::mt19937 rng(5);
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Bgrx32, PixelFormat::Bgra32,
                        PixelFormat::Rgb565A, PixelFormat::Bgr24}) {
    SCOPED_TRACE(PixelFormatName(f));
    const int32_t bpp = BytesPerPixel(f), w = 203, h = 4;
    auto src = DDSurface::Make(w, h, f), dst = DDSurface::Make(w, h, f);
    ASSERT_TRUE(src && dst);
    src->SetColorKey(0x00123456);
    test::FillRandom(*src, rng);
    test::FillRandom(*dst, rng);
    const uint32_t key = src->GetColorKey();
    uint8_t* sm = test::Memory(*src);
    uint8_t* dm = test::Memory(*dst);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* sp = sm + int64_t{y} * src->Buffer().pitch + x * bpp;
        uint8_t* dp = dm + int64_t{y} * dst->Buffer().pitch + x * bpp;
        const int32_t run = (x / 37 + y) % 4;  // runs of one kind of pixel
        if (run == 1) std::memcpy(dp, sp, bpp);
        if (run == 2) {
          for (int32_t k = 0; k < bpp; ++k) sp[k] = static_cast<uint8_t>(key >> (8 * k));
          if (bpp == 4 && rng() % 2) sp[3] ^= 0x40;  // the fourth byte differs from the key's
        }
        if (run == 3 && rng() % 2) std::memcpy(dp, sp, bpp);
      }
    }
    for (int32_t opacity : {0, 16, 128, 200, 255}) {
      SCOPED_TRACE(opacity);
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltAlpha(src.get(), 0, 0, opacity, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltTranslucentKey(src.get(), 0, 0, opacity, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(*dst, [&] {
        dst->BltBlendKey(src.get(), 0, 0, opacity, 255 - opacity, nullptr, nullptr, nullptr);
      });
      // The Image draws that reach these blits, off the surface's origin.
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->DrawTranslucent(src.get(), 3, 1, opacity, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(*dst, [&] { dst->DrawAlphaLevel(src.get(), -5, 0, opacity); });
    }
  }
}

// The kernels' own byte products and level words, proved over their whole
// domains through the blits: every pair of bytes at every opacity (BltAlpha,
// byte products of every difference), every byte at every level on either
// side (BltBlend), and every colour word, bit 15 included, at every level on
// either side (BltBlend of the 16-bit colour formats), at every SIMD level
// against the scalar rules.
TEST(TranslucentKernelEdges, ByteProductsAndLevelWordsOverTheirWholeDomain) {
  auto fill = [](DDSurface& s, const std::function<uint32_t(int32_t, int32_t)>& value) {  // 256 x 256
    const int32_t bpp = BytesPerPixel(s.Format());
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) {
        const uint32_t v = value(x, y);
        std::memcpy(test::Memory(s) + int64_t{y} * s.Buffer().pitch + x * bpp, &v, static_cast<size_t>(bpp));
      }
  };
  {
    // Byte k of source pixel (x, y) is x ^ 85k, of the destination pixel y ^ 85k:
    // every pair of bytes in every byte position.
    auto src = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
    auto dst = DDSurface::Make(256, 256, PixelFormat::Bgrx32);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t) {
      const uint32_t b = static_cast<uint32_t>(x);
      return b | (b ^ 85) << 8 | (b ^ 170) << 16 | (b ^ 255) << 24;
    });
    fill(*dst, [](int32_t, int32_t y) {
      const uint32_t b = static_cast<uint32_t>(y);
      return b | (b ^ 85) << 8 | (b ^ 170) << 16 | (b ^ 255) << 24;
    });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      test::ExpectSameAtEveryLevel(*dst,
                                   [&] { dst->BltAlpha(src.get(), 0, 0, w, nullptr, nullptr, nullptr); });
      const Rect row{0, w, 256, w + 1};  // one row: every byte against one
      test::ExpectSameAtEveryLevel(*dst,
                                   [&] { dst->BltBlend(src.get(), 0, 0, w, 0, &row, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(*dst,
                                   [&] { dst->BltBlend(src.get(), 0, w, 0, w, &row, nullptr, nullptr); });
    }
  }
  // The source level of each alpha of Rgb565A / Rgb555A (a look-up built per
  // row) at every opacity and level, every alpha against many words.
  for (FormatPair p : {FormatPair{PixelFormat::Rgb565A, PixelFormat::Rgb565},
                       FormatPair{PixelFormat::Rgb555A, PixelFormat::Rgb555}}) {
    SCOPED_TRACE(PixelFormatName(p.src));
    auto src = DDSurface::Make(256, 256, p.src), dst = DDSurface::Make(256, 256, p.dst);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t y) {
      const uint32_t word = static_cast<uint32_t>(y * 256 + x) * 40503u & 0xFFFF;
      return word | static_cast<uint32_t>(x * 7 + y) % 256 << 16 | static_cast<uint32_t>(y) << 24;
    });
    fill(*dst, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 256 + y) ^ 0xA5A5; });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      const Rect rows{0, w / 4 * 4, 256, w / 4 * 4 + 4};
      test::ExpectSameAtEveryLevel(*dst, [&] { dst->BltAlpha(src.get(), 0, 0, w, &rows, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, w, 255 - w, &rows, nullptr, nullptr); });
    }
  }
  // Equal Rgb565A / Rgb555A: pixel i has alpha i % 16, source channels
  // (i / 16) % 64 and destination channels (i / 1024) % 64 (red and blue
  // their low 5 bits), so that every alpha meets every pair of channel values,
  // at every opacity and level.
  for (PixelFormat f : {PixelFormat::Rgb565A, PixelFormat::Rgb555A}) {
    SCOPED_TRACE(PixelFormatName(f));
    auto src = DDSurface::Make(256, 256, f), dst = DDSurface::Make(256, 256, f);
    ASSERT_TRUE(src && dst);
    const bool is565 = f == PixelFormat::Rgb565A;
    auto wordOf = [is565](uint32_t c) {
      return is565 ? (c & 31) << 11 | c << 5 | (c & 31) : (c & 31) << 10 | (c & 31) << 5 | (c & 31);
    };
    fill(*src, [&](int32_t x, int32_t y) {
      const uint32_t i = static_cast<uint32_t>(y * 256 + x);
      return wordOf(i / 16 % 64) | (i % 16) << 16 | (i & 0xF0) << 20;
    });
    fill(*dst, [&](int32_t x, int32_t y) {
      const uint32_t i = static_cast<uint32_t>(y * 256 + x);
      return wordOf(i / 1024 % 64) | (15 - i % 16) << 16 | 0x80000000u;
    });
    for (int32_t w = 0; w < 256; ++w) {
      SCOPED_TRACE(w);
      test::ExpectSameAtEveryLevel(*dst,
                                   [&] { dst->BltAlpha(src.get(), 0, 0, w, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, w, 255 - w, nullptr, nullptr, nullptr); });
    }
  }
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555}) {
    SCOPED_TRACE(PixelFormatName(f));
    auto src = DDSurface::Make(256, 256, f), dst = DDSurface::Make(256, 256, f);
    ASSERT_TRUE(src && dst);
    fill(*src, [](int32_t x, int32_t y) { return static_cast<uint32_t>(y * 256 + x); });
    fill(*dst, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 256 + y) ^ 0x5A5A; });
    for (int32_t level = 0; level < 16; ++level) {
      SCOPED_TRACE(level);
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, level * 16 + 3, 0, nullptr, nullptr, nullptr); });
      test::ExpectSameAtEveryLevel(
          *dst, [&] { dst->BltBlend(src.get(), 0, 0, 0, level * 16 + 9, nullptr, nullptr, nullptr); });
    }
  }
}

}  // namespace
}  // namespace pixelops
