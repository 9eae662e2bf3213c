// The saturating add forms and the four additive blits.
#include <gtest/gtest.h>

#include <random>

#include "graphics/pixel/saturating.h"
#include "tests/saturating_reference.h"

namespace pixelops {

namespace {

using satref::Op;
using satref::Variant;

// Per-channel min(max, d + s) of two 16-bit words; Rgb555 bit 15 = d15 ^ s15.
// Every channel value pair of each channel, the other bits random.
TEST(SaturatingAdd, WordFormsSaturateEachChannel) {
  satref::SweepWordForms(AddSat565, AddSat555, satref::AddChannel, 11);
}

// The two-pixel forms give each half what the one-pixel form gives, also
// with bit 15 set in either pixel of either word.
TEST(SaturatingAdd, PairFormsAgreeWithOnePixelForms) {
  auto bit15 = [](uint32_t& d, uint32_t& s) { d |= 0x80008000u, s |= 0x80008000u; };
  satref::PairFormMatchesOnePixelForm(AddSat565Pair, AddSat565, bit15, 12);
  satref::PairFormMatchesOnePixelForm(AddSat555Pair, AddSat555, bit15, 13);
}

TEST(SaturatingAdd, ByteLanesSaturateAndByte3Wraps) {
  std::mt19937 rng(13);
  for (int lane = 0; lane < 3; ++lane) {
    for (uint32_t a = 0; a < 256; ++a) {
      for (uint32_t b = 0; b < 256; ++b) {
        const uint32_t d = (rng() & ~(0xFFu << 8 * lane)) | (a << 8 * lane);
        const uint32_t s = (rng() & ~(0xFFu << 8 * lane)) | (b << 8 * lane);
        uint32_t want = ((d >> 24) + (s >> 24)) << 24;
        for (int i = 0; i < 3; ++i)
          want |= std::min(255u, ((d >> 8 * i) & 255) + ((s >> 8 * i) & 255)) << 8 * i;
        ASSERT_EQ(AddSatBytes(d, s), want);
        ASSERT_EQ(AddSatBytes(d & 0xFFFFFF, s & 0xFFFFFF), want & 0xFFFFFF);
      }
    }
  }
}

TEST(SaturatingAdd, EdgeValues) {
  EXPECT_EQ(AddSat565(0x8410, 0x8410), 0xFFFFu);
  EXPECT_EQ(AddSat565(0x0010, 0x0001), 0x0011u);
  EXPECT_EQ(AddSat565(31, 1), 31u);                 // blue saturates, green stays 0
  EXPECT_EQ(AddSat565(63 << 5, 1 << 5), 63u << 5);  // green saturates, red stays 0
  EXPECT_EQ(AddSat555(20 << 10, 20 << 10), 31u << 10);
  EXPECT_EQ(AddSat555(0x8000, 0x8000), 0u);      // bit 15 as a plain bit, carry dropped
  EXPECT_EQ(AddSat555Pair(0x8000, 0x8000), 0u);  // and not into the next pixel
  EXPECT_EQ(AddSatBytes(0x01FFFFFF, 0xFF010203), 0x00FFFFFFu);
}

// Rgb565A / Rgb555A colour words: widened to bytes, summed, clamped at 255,
// narrowed; alpha and pad bytes untouched; Rgb555A bit 15 cleared.
TEST(SaturatingAdd, AlphaFormatColourWords) {
  std::mt19937 rng(14);
  for (int k = 0; k < 100000; ++k) {
    const uint32_t dv = rng(), sv = rng();
    uint8_t d[4], s[4];
    std::memcpy(d, &dv, 4);
    std::memcpy(s, &sv, 4);
    const bool is565 = k % 2 == 0;
    const PixelFormat f = is565 ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
    uint32_t want = dv & 0xFFFF0000u;
    for (int i = 0; i < 3; ++i) {
      const int sh = satref::Shift(f, i), bits = satref::Bits(f, i), max = (1 << bits) - 1;
      const uint32_t wd = ((dv >> sh) & max) << (8 - bits), ws = ((sv >> sh) & max) << (8 - bits);
      want |= (std::min(255u, wd + ws) >> (8 - bits)) << sh;
    }
    EXPECT_EQ(is565 ? AddPixel565A(d, s) : AddPixel555A(d, s), d);
    ASSERT_EQ(satref::Read(d, 4), want) << std::hex << dv << " " << sv;
  }
}

TEST(SaturatingAdd, AlphaWeightedAndLevelledPixels) {
  std::mt19937 rng(15);
  for (int k = 0; k < 60000; ++k) {
    const uint32_t dv = rng(), sv = rng();
    const uint32_t level = rng() % 255;
    const uint32_t keyIf = k % 3 == 0 ? sv : rng();
    const saturating::LevelKey lk{level, keyIf};
    for (int n : {3, 4}) {
      const PixelFormat df = n == 3 ? PixelFormat::Bgr24 : PixelFormat::Bgrx32;
      auto run = [&](auto fn, PixelFormat sf, uint32_t lv, bool keyed) {
        uint8_t got[4], want[4], s[4];
        std::memcpy(got, &dv, 4);
        std::memcpy(want, &dv, 4);
        std::memcpy(s, &sv, 4);
        fn(got, s);
        satref::Pixel(Op::Add, keyed, lv, keyIf, sf, df, s, want);
        ASSERT_EQ(std::memcmp(got, want, 4), 0) << n << " " << std::hex << dv << " " << sv;
      };
      if (n == 3) {
        run([](uint8_t* d, const uint8_t* s) { AddAlphaPixel24(d, s); }, PixelFormat::Bgra32, 255, false);
        run([&](uint8_t* d, const uint8_t* s) { AddLevelPixel24(&level, d, s); }, df, level, false);
        run([&](uint8_t* d, const uint8_t* s) { AddLevelKeyPixel24(&lk, d, s); }, df, level, true);
      } else {
        run([](uint8_t* d, const uint8_t* s) { AddAlphaPixel32(d, s); }, PixelFormat::Bgra32, 255, false);
        run([&](uint8_t* d, const uint8_t* s) { AddLevelPixel32(&level, d, s); }, df, level, false);
        run([&](uint8_t* d, const uint8_t* s) { AddLevelKeyPixel32(&lk, d, s); }, df, level, true);
      }
    }
    uint8_t got[2], want[2], s[2];
    std::memcpy(got, &dv, 2);
    std::memcpy(want, &dv, 2);
    std::memcpy(s, &sv, 2);
    AddLevelPixel565(&level, got, s);
    satref::Pixel(Op::Add, false, level, 0, PixelFormat::Rgb565, PixelFormat::Rgb565, s, want);
    ASSERT_EQ(std::memcmp(got, want, 2), 0);
  }
}

uint32_t AddOne(PixelFormat sf, uint32_t s, PixelFormat df, uint32_t d, int32_t level, bool keyed = false,
                uint32_t keyColour = 0) {
  return satref::OnePixel(Op::Add, sf, s, df, d, level, keyed, keyColour);
}

TEST(AdditiveBlit, LevelledEdgeValues) {
  using F = PixelFormat;
  for (bool keyed : {false, true}) {
    for (int32_t level = 0; level < 16; ++level)
      EXPECT_EQ(AddOne(F::Rgb565, 0xFFFF, F::Rgb565, 0x1234, level, keyed, 0xFF00), 0x1234u);
    for (int32_t level = 240; level < 255; ++level)
      EXPECT_EQ(AddOne(F::Rgb565, 0x0841, F::Rgb565, 0x1234, level, keyed), 0x1234u + 0x0841u);
    EXPECT_EQ(AddOne(F::Rgb565, 0xFFFF, F::Rgb565, 0, 16, keyed), (2u << 11) | (4u << 5) | 2u);
    EXPECT_EQ(AddOne(F::Rgb565, 0xFFFF, F::Rgb565, 0, 128, keyed), (16u << 11) | (33u << 5) | 16u);
    EXPECT_EQ(AddOne(F::Bgr24, 0xFFFFFF, F::Bgr24, 0, 128, keyed), 0x808080u);
    EXPECT_EQ(AddOne(F::Bgr24, 0xFFFFFF, F::Bgr24, 0, 254, keyed), 0xFEFEFEu);
    EXPECT_EQ(AddOne(F::Bgr24, 0xFEFFFE, F::Bgr24, 0, 1, keyed), 0x000100u);
    // Rgb565A white: level 254 adds 30, 62, 30; 128 adds 15, 31, 15; 8 adds green 1.
    EXPECT_EQ(AddOne(F::Rgb565A, 0x0000FFFF, F::Rgb565A, 0xAB050000, 254, keyed), 0xAB05F7DEu);
    EXPECT_EQ(AddOne(F::Rgb565A, 0x0003FFFF, F::Rgb565A, 0xAB050000, 128, keyed), 0xAB057BEFu);
    EXPECT_EQ(AddOne(F::Rgb565A, 0x000FFFFF, F::Rgb565A, 0xAB050000, 8, keyed), 0xAB050020u);
    // Level 0 draws no colour, but Bgra32 destinations become opaque.
    EXPECT_EQ(AddOne(F::Bgra32, 0x00FFFFFF, F::Bgra32, 0x10203040, 0, keyed), 0xFF203040u);
    EXPECT_EQ(AddOne(F::Bgrx32, 0x77FFFFFF, F::Bgrx32, 0x10203040, 0, keyed), 0x10203040u);
    // Alpha 0: Rgb565A onto Rgb565 adds nothing at any level; Bgra32 onto
    // Bgr24 still adds the levelled colour.
    EXPECT_EQ(AddOne(F::Rgb565A, 0x00F0FFFF, F::Rgb565, 0x1234, 200, keyed), 0x1234u);
    EXPECT_EQ(AddOne(F::Bgra32, 0x00FFFFFF, F::Bgr24, 0x000000, 200, keyed), 0xC8C8C8u);
    EXPECT_EQ(AddOne(F::Bgra32, 0x00FFFFFF, F::Bgrx32, 0x5A000000, 200, keyed), 0x5AC8C8C8u);
  }
  // At level 255 the alpha weighs again: nothing is added.
  EXPECT_EQ(AddOne(F::Bgra32, 0x00FFFFFF, F::Bgr24, 0x000000, 255), 0u);
}

TEST(AdditiveBlit, UnlevelledEdgeValues) {
  using F = PixelFormat;
  auto add = [](F sf, uint32_t s, F df, uint32_t d, bool keyed = false, uint32_t keyColour = 0) {
    auto src = DDSurface::Make(1, 1, sf);
    auto dst = DDSurface::Make(1, 1, df);
    test::WritePixel(*src, 0, 0, s);
    test::WritePixel(*dst, 0, 0, d);
    if (keyed) src->SetColorKey(keyColour);
    EXPECT_EQ(keyed ? dst->BltAddKey(src.get(), 0, 0, nullptr, nullptr, nullptr)
                    : dst->BltAdd(src.get(), 0, 0, nullptr, nullptr, nullptr),
              kBlitDone);
    return test::ReadPixel(*dst, 0, 0);
  };
  EXPECT_EQ(add(F::Rgb565A, 0x001F1234, F::Rgb565, 0x0000), 0x1234u);  // alpha byte 0x1F: level 15
  EXPECT_EQ(add(F::Rgb565A, 0x00F01234, F::Rgb565, 0x4321), 0x4321u);  // level 0
  EXPECT_EQ(add(F::Bgra32, 0x00FFFFFF, F::Bgrx32, 0x7F010203), 0x7F010203u);
  EXPECT_EQ(add(F::Bgra32, 0xFF102030, F::Bgrx32, 0x7F010203), 0x7F112233u);
  EXPECT_EQ(add(F::Bgra32, 0x00000000, F::Bgra32, 0x00102030), 0xFF102030u);
  EXPECT_EQ(add(F::Rgb565A, 0x000F0001, F::Rgb565A, 0x9C030001), 0x9C030002u);
  EXPECT_EQ(add(F::Bgrx32, 0x00010101, F::Bgrx32, 0x00FEFEFE), 0x00FFFFFFu);
  EXPECT_EQ(add(F::Bgrx32, 0x10000001, F::Bgrx32, 0xF8000000), 0x08000001u);
  // Keyed, key red (Rgb565 0xF800): the key is skipped, red 31 blue 1 is added.
  EXPECT_EQ(add(F::Rgb565, 0xF800, F::Rgb565, 0x0821, true, 0x0000FF), 0x0821u);
  EXPECT_EQ(add(F::Rgb565, 0xF801, F::Rgb565, 0x0821, true, 0x0000FF), 0xF822u);
  // Keyed Bgrx32: colour bytes equal to the key's but byte 3 not 0 is added.
  EXPECT_EQ(add(F::Bgrx32, 0x01000010, F::Bgrx32, 0x00000001, true, 0x100000), 0x01000011u);
  EXPECT_EQ(add(F::Bgrx32, 0x00000010, F::Bgrx32, 0x00000001, true, 0x100000), 0x00000001u);
  // Keyed alpha sources: compared without their alpha.
  EXPECT_EQ(add(F::Bgra32, 0x7F000010, F::Bgra32, 0x00000001, true, 0x100000), 0x00000001u);
  EXPECT_EQ(add(F::Rgb565A, 0x000C0002, F::Rgb565A, 0x00000001, true, 0x100000), 0x00000001u);
}

// Widening by 2 and shrinking read the columns the stepping names.
TEST(AdditiveBlit, StretchReadsSteppedColumns) {
  auto src = DDSurface::Make(3, 1, PixelFormat::Bgr24);
  auto dst = DDSurface::Make(6, 1, PixelFormat::Bgr24);
  test::WritePixel(*src, 0, 0, 0x000001);
  test::WritePixel(*src, 1, 0, 0x000010);
  test::WritePixel(*src, 2, 0, 0x000100);
  const Rect two{0, 0, 2, 1};
  const Size three{3, 1}, twoWide{2, 1};
  dst->BltAdd(src.get(), 0, 0, &two, &three, nullptr);       // columns 0, 1, 1
  dst->BltAdd(src.get(), 3, 0, nullptr, &twoWide, nullptr);  // columns 0, 1
  EXPECT_EQ(test::ReadPixel(*dst, 0, 0), 0x000001u);
  EXPECT_EQ(test::ReadPixel(*dst, 1, 0), 0x000010u);
  EXPECT_EQ(test::ReadPixel(*dst, 2, 0), 0x000010u);
  EXPECT_EQ(test::ReadPixel(*dst, 3, 0), 0x000001u);
  EXPECT_EQ(test::ReadPixel(*dst, 4, 0), 0x000010u);
  EXPECT_EQ(test::ReadPixel(*dst, 5, 0), 0u);
}

// A surface onto itself, rows overlapping at offsets that are not whole
// pixels: each pixel is read after the pixels before it were written.
TEST(AdditiveBlit, SurfaceOntoItselfGoesPixelByPixel) {
  std::mt19937 rng(601);
  for (PixelFormat f : {PixelFormat::Bgr24, PixelFormat::Rgb24, PixelFormat::Bgrx32}) {
    for (const Op op : {Op::Add, Op::Sub}) {
      for (int trial = 0; trial < 20; ++trial) {
        auto surf = test::RandomSurface(9, 8, f, rng, 1 + rng() % 2);
        const Rect r{int32_t(rng() % 4), int32_t(rng() % 4), 5 + int32_t(rng() % 5), 4 + int32_t(rng() % 5)};
        const int32_t x = int32_t(rng() % 5), y = int32_t(rng() % 5);
        std::vector<uint8_t> expect = test::Snapshot(*surf);
        const int32_t pitch = surf->Buffer().pitch, bpp = BytesPerPixel(f);
        for (int32_t j = 0; j < r.bottom - r.top && y + j < 8; ++j)
          for (int32_t i = 0; i < r.right - r.left && x + i < 9; ++i)
            satref::Pixel(op, false, 255, 0, f, f, expect.data() + (r.top + j) * pitch + (r.left + i) * bpp,
                          expect.data() + (y + j) * pitch + (x + i) * bpp);
        test::Placement at;
        at.x = x;
        at.y = y;
        at.srcRect = &r;
        ASSERT_EQ(satref::Call(*surf, surf.get(), Variant{op, false, false}, 0, at), kBlitDone);
        ASSERT_EQ(test::Snapshot(*surf), expect) << PixelFormatName(f) << " trial " << trial;
      }
    }
  }
}

// A call at level 255 reaches BltAdd / BltAddKey through the surface itself,
// with the arguments unchanged, and answers what they answer.
class AddSpy : public DDSurface {
 public:
  using DDSurface::DDSurface;
  BlitResult BltAdd(DDSurface* src, int32_t x, int32_t y, const Rect* r, const Size* s,
                    const Rect* c) override {
    plain = {src, x, y, r, s, c};
    return static_cast<BlitResult>(7);
  }
  BlitResult BltAddKey(DDSurface* src, int32_t x, int32_t y, const Rect* r, const Size* s,
                       const Rect* c) override {
    keyed = {src, x, y, r, s, c};
    return static_cast<BlitResult>(9);
  }
  struct Args {
    DDSurface* src = nullptr;
    int32_t x = 0, y = 0;
    const Rect* r = nullptr;
    const Size* s = nullptr;
    const Rect* c = nullptr;
  } plain, keyed;
};

TEST(AdditiveBlit, Level255HandsTheCallOver) {
  AddSpy spy(PixelFormat::Rgb565);
  ASSERT_EQ(spy.Create(4, 4, false), 0);
  auto src = DDSurface::Make(4, 4, PixelFormat::Rgb565);
  const Rect r{0, 0, 2, 2}, c{0, 0, 3, 3};
  const Size s{5, 5};
  EXPECT_EQ(spy.BltAddLevel(src.get(), -3, 8, 0x1FF, &r, &s, &c), 7);
  EXPECT_EQ(spy.plain.src, src.get());
  EXPECT_EQ(spy.plain.x, -3);
  EXPECT_EQ(spy.plain.y, 8);
  EXPECT_EQ(spy.plain.r, &r);
  EXPECT_EQ(spy.plain.s, &s);
  EXPECT_EQ(spy.plain.c, &c);
  EXPECT_EQ(spy.BltAddLevelKey(src.get(), 1, 2, 255, &r, nullptr, &c), 9);
  EXPECT_EQ(spy.keyed.x, 1);
  EXPECT_EQ(spy.keyed.s, nullptr);
  EXPECT_EQ(spy.BltAddLevel(src.get(), 0, 0, 254, nullptr, nullptr, nullptr), kBlitDone);
}

}  // namespace

}  // namespace pixelops
