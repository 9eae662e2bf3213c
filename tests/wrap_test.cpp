// Surfaces over caller memory, and a surface copied onto itself.
//
// The caller's buffers are allocated to end exactly at the last pixel of the
// last row, so that AddressSanitizer reports any write past it; row padding
// is filled with random bytes and must come back untouched.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/simd.h>
#include <pixelops/textured_quad.h>

#include "tests/kernel_check.h"
#include "tests/test_support.h"

namespace pixelops {

namespace {

using F = PixelFormat;

size_t ExactSize(int32_t w, int32_t h, F f, int32_t pitch) {
  return static_cast<size_t>(pitch) * (h - 1) + static_cast<size_t>(w) * BytesPerPixel(f);
}

// A caller's buffer of random bytes and the surface wrapped around it (the
// buffer is declared first so that it outlives the surface), and a surface of
// its own memory, same size and pitch, holding the same bytes.
struct Twin {
  std::unique_ptr<uint8_t[]> bytes;
  std::unique_ptr<DDSurface> wrapped;
  std::unique_ptr<DDSurface> made;
  std::vector<uint8_t> initial;

  Twin(int32_t w, int32_t h, F f, int32_t pitch, std::mt19937& rng) {
    const size_t n = ExactSize(w, h, f, pitch);
    bytes.reset(new uint8_t[n]);
    wrapped = DDSurface::Wrap(bytes.get(), w, h, f, pitch);
    made = DDSurface::Make(w, h, f, DDSurface::Memory::Own, pitch);
    test::FillRandom(*made, rng);
    initial = test::Snapshot(*made);
    std::memcpy(bytes.get(), initial.data(), n);
  }
  std::vector<uint8_t> WrappedBytes() const {
    return std::vector<uint8_t>(bytes.get(), bytes.get() + initial.size());
  }
};

using Operation = std::function<BlitResult(DDSurface& dst, DDSurface& src)>;

struct NamedOperation {
  const char* name;
  Operation draw;
};

// Operations of different families, each reaching past every edge of the
// destination so that rows run up to the padding.
const NamedOperation kOperations[] = {
    {"Blt stretched",
     [](DDSurface& d, DDSurface& s) {
       const Size size{60, 12};
       return d.Blt(&s, -5, -2, nullptr, &size, nullptr);
     }},
    {"BltAlpha",
     [](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 9, -1, 150, nullptr, nullptr, nullptr); }},
    {"BltAddLevelKey",
     [](DDSurface& d, DDSurface& s) {
       s.SetColorKey(0x00FF00FF);
       return d.BltAddLevelKey(&s, 11, 2, 200, nullptr, nullptr, nullptr);
     }},
    {"BltSub", [](DDSurface& d, DDSurface& s) { return d.BltSub(&s, -1, 0, nullptr, nullptr, nullptr); }},
    {"BltAlphaChannel",
     [](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 13, 1, nullptr, nullptr, nullptr); }},
    {"BltPattern",
     [](DDSurface& d, DDSurface& s) {
       uint8_t pattern[256];
       for (int i = 0; i < 256; ++i) pattern[i] = static_cast<uint8_t>(i * 37);
       return d.BltPattern(&s, 7, -3, pattern, nullptr, nullptr, nullptr);
     }},
    {"AlphaFromMaskRamp",
     [](DDSurface& d, DDSurface& s) {
       return d.AlphaFromMaskRamp(&s, 30, 200, 10, 250, 3, 0, nullptr, nullptr, nullptr);
     }},
    {"FillRect",
     [](DDSurface& d, DDSurface&) {
       d.SetFillColor(0x00123456);
       const Rect r{4, -10, 1000, 1000};
       return d.FillRect(&r);
     }},
    {"Fade", [](DDSurface& d, DDSurface&) { return d.Fade(90, nullptr); }},
    {"DrawRotatedSprite",
     [](DDSurface& d, DDSurface& s) { return DrawRotatedSprite(&d, &s, 40, 4, 37, 90000, 70000, 180); }},
    {"DrawPolygon",
     [](DDSurface& d, DDSurface& s) {
       RotatedQuad q;
       if (!MakeRotatedQuad(s, 20, 4, -70, 120000, 100000, &q)) return kBlitDone;
       return d.DrawPolygon(&s, q.src, q.dst, nullptr, 0, 4);
     }},
};

constexpr FormatPair kPairs[] = {
    {F::Bgr24, F::Bgr24},   {F::Rgb565A, F::Rgb565A}, {F::Rgba32, F::Rgbx32},
    {F::Bgra32, F::Bgra32}, {F::Rgb555, F::Rgb555},   {F::Rgb24, F::Bgra32},
};

// Every operation on every pair, at every level: a wrapped destination (drawn
// from a wrapped source) gets exactly the bytes a surface of its own memory
// gets, and the padding after each row stays as it was.
TEST(Wrap, DrawsWhatOwnMemoryDrawsAndLeavesPaddingAlone) {
  std::mt19937 rng(10);
  for (const std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    for (const FormatPair& p : kPairs) {
      for (const NamedOperation& op : kOperations) {
        SCOPED_TRACE(std::string(level) + " " + op.name + " " + PixelFormatName(p.src) + " onto " +
                     PixelFormatName(p.dst));
        constexpr int32_t w = 45, h = 7, sw = 37, sh = 9;
        const int32_t dbpp = BytesPerPixel(p.dst);
        const int32_t pitch = w * dbpp + 7;
        Twin dst(w, h, p.dst, pitch, rng);
        Twin src(sw, sh, p.src, sw * BytesPerPixel(p.src) + 3, rng);
        ASSERT_NE(dst.wrapped, nullptr);
        ASSERT_NE(src.wrapped, nullptr);
        const BlitResult expected = op.draw(*dst.made, *src.made);
        EXPECT_EQ(op.draw(*dst.wrapped, *src.wrapped), expected);
        const std::vector<uint8_t> got = dst.WrappedBytes();
        EXPECT_EQ(got, test::Snapshot(*dst.made));
        EXPECT_EQ(src.WrappedBytes(), src.initial);
        for (int32_t y = 0; y + 1 < h; ++y) {
          for (int32_t i = w * dbpp; i < pitch; ++i) {
            const size_t at = static_cast<size_t>(y) * pitch + i;
            ASSERT_EQ(got[at], dst.initial[at]) << "padding byte " << i << " of row " << y;
          }
        }
      }
    }
  }
}

TEST(Wrap, LocksAnswerAsForOwnMemoryAndTheBytesStayTheCallers) {
  constexpr int32_t w = 5, h = 3, pitch = 24;
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[ExactSize(w, h, F::Bgrx32, pitch)]());
  {
    auto s = DDSurface::Wrap(bytes.get(), w, h, F::Bgrx32, pitch);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Buffer().pixels, bytes.get());
    EXPECT_EQ(s->Buffer().pitch, pitch);
    EXPECT_EQ(s->Buffer().bounds, (Rect{0, 0, w, h}));
    EXPECT_EQ(s->Format(), F::Bgrx32);
    EXPECT_EQ(s->HasAlpha(), 0);
    EXPECT_EQ(s->Lock(), 0);  // direct access: no lock taken
    EXPECT_FALSE(s->IsLocked());
    EXPECT_EQ(s->Platform()->LockCalls(), 0);
    s->Unlock();

    s->SetDirectAccess(false);  // every draw locks the guard over the same bytes
    s->SetFillColor(0x00112233);
    EXPECT_EQ(s->FillRect(nullptr), kBlitDone);
    EXPECT_EQ(s->Platform()->LocksGranted(), 1);
    EXPECT_EQ(s->Platform()->LocksHeld(), 0);
    EXPECT_EQ(s->Buffer().pixels, bytes.get());
    s->Platform()->RefuseLocks(platform::kSurfaceLost);
    EXPECT_EQ(s->Fade(0, nullptr), kBlitLockRefused);
  }
  // The surface is gone, the bytes are still the caller's (AddressSanitizer
  // would report a read of freed memory) and hold the fill.
  EXPECT_EQ(bytes[0], 0x11);  // blue first
  EXPECT_EQ(bytes[2 * pitch + 4 * 4 + 2], 0x33);
  EXPECT_EQ(bytes[5 * 4], 0);  // padding
}

TEST(Wrap, RefusesWhatCannotBeHeld) {
  uint8_t bytes[64] = {};
  EXPECT_EQ(DDSurface::Wrap(nullptr, 4, 4, F::Rgb565, 8), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, 4, F::Rgb565, 7), nullptr);  // pitch < row
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, 4, F::Rgb565, 0), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, 4, F::Rgb565, -8), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, 4, static_cast<F>(9), 16), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 0, 4, F::Rgb565, 8), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, -1, F::Rgb565, 8), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, DDSurface::kMaxSide + 1, 1, F::Index8, INT32_MAX), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 1, DDSurface::kMaxSide + 1, F::Index8, 1), nullptr);
  EXPECT_EQ(DDSurface::Wrap(bytes, 4, DDSurface::kMaxSide, F::Rgba32, INT32_MAX), nullptr);
  EXPECT_NE(DDSurface::Wrap(bytes, 4, 4, F::Rgb565, 8), nullptr);
  EXPECT_NE(DDSurface::Wrap(bytes, 1, 1, F::Index8, 1), nullptr);
}

// A surface copied onto itself one pixel to the right runs pixel by pixel from
// the left, each pixel reading what the one before it wrote: the first pixel
// repeats along the row. One row down, the first row repeats down the surface.
TEST(SelfCopy, ShiftedRightRepeatsTheFirstPixelAtEveryLevel) {
  std::mt19937 rng(11);
  for (const std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    for (F f : test::kAllFormats) {
      for (int32_t w : {2, 7, 33, 100}) {
        SCOPED_TRACE(std::string(level) + " " + PixelFormatName(f) + " width " + std::to_string(w));
        auto s = test::RandomSurface(w, 3, f, rng, 5);
        ASSERT_EQ(s->Blt(s.get(), 1, 0), kBlitDone);
        for (int32_t y = 0; y < 3; ++y) {
          const uint32_t first = test::ReadPixel(*s, 0, y);
          for (int32_t x = 1; x < w; ++x) ASSERT_EQ(test::ReadPixel(*s, x, y), first) << x;
        }
        test::FillRandom(*s, rng);
        ASSERT_EQ(s->Blt(s.get(), 0, 1), kBlitDone);
        for (int32_t x = 0; x < w; ++x) {
          ASSERT_EQ(test::ReadPixel(*s, x, 2), test::ReadPixel(*s, x, 0));
        }
      }
    }
  }
}

}  // namespace

}  // namespace pixelops
