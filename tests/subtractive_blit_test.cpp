// The saturating subtract forms and the four subtractive blits.
#include <gtest/gtest.h>

#include <random>

#include "graphics/pixel/saturating.h"
#include "tests/saturating_reference.h"

namespace pixelops {

namespace {

using satref::Op;
using satref::Variant;

// Per-channel max(0, d - s) of two 16-bit words; Rgb555 bit 15 = d15 ^ s15.
TEST(SaturatingSub, WordFormsClampEachChannel) {
  satref::SweepWordForms(SubSat565, SubSat555, satref::SubChannel, 21);
}

TEST(SaturatingSub, PairFormsAgreeWithOnePixelForms) {
  // Every low pixel would borrow from its neighbour.
  auto borrow = [](uint32_t& d, uint32_t& s) { d &= 0x7FFF7FFFu, s |= 0x80008000u; };
  satref::PairFormMatchesOnePixelForm(SubSat565Pair, SubSat565, borrow, 22);
  satref::PairFormMatchesOnePixelForm(SubSat555Pair, SubSat555, borrow, 23);
}

TEST(SaturatingSub, ByteLanesClampAndByte3Wraps) {
  std::mt19937 rng(23);
  for (int lane = 0; lane < 3; ++lane) {
    for (uint32_t a = 0; a < 256; ++a) {
      for (uint32_t b = 0; b < 256; ++b) {
        const uint32_t d = (rng() & ~(0xFFu << 8 * lane)) | (a << 8 * lane);
        const uint32_t s = (rng() & ~(0xFFu << 8 * lane)) | (b << 8 * lane);
        uint32_t want = (((d >> 24) - (s >> 24)) & 0xFF) << 24;
        for (int i = 0; i < 3; ++i)
          want |= uint32_t(std::max(0, int((d >> 8 * i) & 255) - int((s >> 8 * i) & 255))) << 8 * i;
        ASSERT_EQ(SubSat32(d, s), want);
        ASSERT_EQ(SubSat24(d, s), want & 0xFFFFFF);
      }
    }
  }
}

// The unpacked forms as told: channels widened to bytes, each difference 0
// when, as an unsigned 16-bit number, it exceeds 255.
TEST(SaturatingSub, UnpackedFormsWorkChannelByChannel) {
  auto unpacked = [](uint32_t d, uint32_t s, bool is565) {
    auto widen = [&](uint32_t w, uint32_t out[3]) {
      out[0] = is565 ? (w >> 8) & 0xF8 : (w >> 7) & 0xF8;
      out[1] = is565 ? (w >> 3) & 0xFC : (w >> 2) & 0xF8;
      out[2] = (w << 3) & 0xFF;
    };
    uint32_t dc[3], sc[3], r[3];
    widen(d, dc);
    widen(s, sc);
    for (int i = 0; i < 3; ++i) {
      const uint16_t diff = static_cast<uint16_t>(dc[i] - sc[i]);
      r[i] = diff > 255 ? 0 : diff;
    }
    return is565 ? ((r[0] & 0xF8) << 8) | (r[1] << 3) | (r[2] >> 3) : (r[0] << 7) | (r[1] << 2) | (r[2] >> 3);
  };
  std::mt19937 rng(24);
  for (int k = 0; k < 200000; ++k) {
    const uint32_t d = rng() & 0xFFFF, s = rng() & 0xFFFF;
    ASSERT_EQ(SubSatUnpacked565(d, s), unpacked(d, s, true));
    ASSERT_EQ(SubSatUnpacked565(d, s), SubSat565(d, s));
    ASSERT_EQ(SubSatUnpacked555(d, s), unpacked(d, s, false));
  }
}

TEST(SaturatingSub, EdgeValuesAndLevelKeyPixel) {
  const uint32_t white = 0xFFFF, one = (1 << 11) | (1 << 5) | 1;
  EXPECT_EQ(SubSat565(white, one), (30u << 11) | (62u << 5) | 30u);
  EXPECT_EQ(SubSat565(0, 0xFFFF), 0u);
  EXPECT_EQ(SubSat565(0x07E0, 0xF81F), 0x07E0u);                  // green minus magenta stays green
  EXPECT_EQ(SubSat555(0x0000, 0x8000), 0x8000u);                  // bit 15 as a plain bit, borrow dropped
  EXPECT_EQ(SubSat555Pair(0x00010000, 0x00008000), 0x00018000u);  // and not from the next pixel
  std::mt19937 rng(25);
  for (int k = 0; k < 50000; ++k) {
    const uint32_t dv = rng(), sv = rng();
    const saturating::LevelKey lk{uint32_t(rng() % 255), k % 3 == 0 ? sv : uint32_t(rng())};
    uint8_t got[4], want[4], s[4];
    std::memcpy(got, &dv, 4);
    std::memcpy(want, &dv, 4);
    std::memcpy(s, &sv, 4);
    SubLevelKeyPixel32(&lk, got, s);
    satref::Pixel(Op::Sub, true, lk.level, lk.key, PixelFormat::Rgbx32, PixelFormat::Rgbx32, s, want);
    ASSERT_EQ(std::memcmp(got, want, 4), 0);
  }
}

uint32_t SubOne(PixelFormat sf, uint32_t s, PixelFormat df, uint32_t d, int32_t level, bool keyed = false,
                uint32_t keyColour = 0) {
  return satref::OnePixel(Op::Sub, sf, s, df, d, level, keyed, keyColour);
}

TEST(SubtractiveBlit, EdgeValues) {
  using F = PixelFormat;
  for (bool keyed : {false, true}) {
    for (int32_t level = 0; level < 16; ++level)
      EXPECT_EQ(SubOne(F::Rgb565, 0xFFFF, F::Rgb565, 0x1234, level, keyed), 0x1234u);
    for (int32_t level = 240; level < 256; ++level)
      EXPECT_EQ(SubOne(F::Rgb565, 0x0841, F::Rgb565, 0x1A75, level, keyed), 0x1234u);
    // Level 128 is table row 8: white takes 16, 33, 16 off.
    EXPECT_EQ(SubOne(F::Rgb565, 0xFFFF, F::Rgb565, 0xFFFF, 128, keyed), (15u << 11) | (30u << 5) | 15u);
    EXPECT_EQ(SubOne(F::Bgrx32, 0xFFFFFFFF, F::Bgrx32, 0x12345678, 0, keyed), 0x12345678u);
    EXPECT_EQ(SubOne(F::Bgra32, 0x00FFFFFF, F::Bgr24, 0xFFFFFF, 200, keyed), 0x373737u);
    EXPECT_EQ(SubOne(F::Rgb565A, 0x00F0FFFF, F::Rgb565, 0xFFFF, 200, keyed), 0xFFFFu);
    EXPECT_EQ(SubOne(F::Bgra32, 0x00000000, F::Bgra32, 0x00102030, 0, keyed, 0x0000FF), 0xFF102030u);
    // Bgra32 onto Bgrx32 keeps byte 3; Rgba32 onto Rgbx32 writes 0 there.
    EXPECT_EQ(SubOne(F::Bgra32, 0x00010101, F::Bgrx32, 0x7F102030, 100, keyed), 0x7F102030u);
    EXPECT_EQ(SubOne(F::Rgba32, 0x00010101, F::Rgbx32, 0x7F102030, 100, keyed), 0x00102030u);
    EXPECT_EQ(SubOne(F::Rgba32, 0x00010101, F::Rgbx32, 0x7F102030, 255, keyed), 0x00102030u);
    // Rgb555: a levelled source has no bit 15, so the destination keeps its own.
    EXPECT_EQ(SubOne(F::Rgb555, 0xFFFF, F::Rgb555, 0xFFFF, 254, keyed), 0x8000u);
  }
  // Unlevelled alpha weights: alpha 0 takes nothing, full alpha everything.
  EXPECT_EQ(SubOne(F::Rgb565A, 0x00F01234, F::Rgb565, 0xFFFF, 255), 0xFFFFu);
  EXPECT_EQ(SubOne(F::Rgb565A, 0x000F1234, F::Rgb565, 0xFFFF, 255), 0xFFFFu - 0x1234u);
  EXPECT_EQ(SubOne(F::Bgra32, 0x00FFFFFF, F::Bgrx32, 0x00FFFFFF, 255), 0x00FFFFFFu);
  EXPECT_EQ(SubOne(F::Bgra32, 0xFF102030, F::Bgrx32, 0x00FFFFFF, 255), 0x00EFDFCFu);
  EXPECT_EQ(SubOne(F::Rgb565A, 0x00011234, F::Rgb565A, 0xAB05FFFF, 255), 0xAB05EDCBu);
  EXPECT_EQ(SubOne(F::Bgrx32, 0x01000010, F::Bgrx32, 0x00000011, 255, true, 0x100000), 0xFF000001u);
  EXPECT_EQ(SubOne(F::Bgrx32, 0x00000010, F::Bgrx32, 0x00000011, 255, true, 0x100000), 0x00000011u);
  EXPECT_EQ(SubOne(F::Bgrx32, 0x00000011, F::Bgrx32, 0x00000011, 255, true, 0x100000), 0u);
  EXPECT_EQ(SubOne(F::Rgb565A, 0x00050002, F::Rgb565A, 0x00000003, 255, true, 0x100000), 3u);
  EXPECT_EQ(SubOne(F::Rgb565A, 0x000A0002, F::Rgb565A, 0x00000003, 255, true, 0x100000), 3u);
}

}  // namespace

}  // namespace pixelops
