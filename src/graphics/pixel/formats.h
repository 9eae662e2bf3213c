// Pixel format traits: what a pixel routine needs to know of a format to read,
// write and compare its pixels. Routines are templates over these types.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "graphics/blend_tables.h"
#include <pixelops/pixel_format.h>

static_assert(std::endian::native == std::endian::little, "pixel words are little-endian");

namespace pixelops {

namespace px {

inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint32_t Load24(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
}
inline void Store24(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// A pixel of N bytes read whole into registers: byte i of the pixel is [i],
// its first two bytes Word(). A rule that writes its destination pixel in
// more than one store holds its source pixel first (Hold), so that where the
// two pixels' bytes overlap (surfaces over one buffer) the pixel is read as it
// was before any of its bytes were written.
template <int32_t N>
struct Held {
  uint8_t bytes[N];
  uint16_t word;  // bytes 0-1 read as one (N >= 2)
  uint8_t operator[](int32_t i) const { return bytes[i]; }
  uint16_t Word() const { return word; }
};

// The bytes and the word are loaded apart, so that a rule finds each in a
// register as it would have loaded it; the loads it does not use go.
template <class F>
inline Held<F::kBytes> Hold(const uint8_t* p) {
  Held<F::kBytes> h{};
  for (int32_t i = 0; i < F::kBytes; ++i) h.bytes[i] = p[i];
  if constexpr (F::kBytes >= 2) h.word = Load16(p);
  return h;
}

template <int32_t N>
inline uint16_t Load16(const Held<N>& p) {
  return p.Word();
}

// Copies a pixel of format F from s to d, read whole before it is written.
template <class F>
inline void CopyPixel(uint8_t* d, const uint8_t* s) {
  if constexpr (F::kBytes == 1) {
    d[0] = s[0];
  } else if constexpr (F::kBytes == 2) {
    Store16(d, Load16(s));
  } else if constexpr (F::kBytes == 3) {
    const uint16_t low = Load16(s);
    const uint8_t high = s[2];
    Store16(d, low);
    d[2] = high;
  } else {
    Store32(d, Load32(s));
  }
}

// A colour channel as a byte with the channel's bits at the top.
struct Channels {
  uint32_t r, g, b;
};

// The two 16-bit colour words.
struct Colour565 {
  static constexpr bool kIs565 = true;
  static uint16_t Level(const BlendTables& t, uint32_t level, uint32_t word) {
    return t.L565(level, word & 0xFFFF);
  }
  static Channels Widen(uint32_t w) { return {(w >> 8) & 0xF8, (w >> 3) & 0xFC, (w << 3) & 0xFF}; }
  static uint16_t Narrow(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
  }
};

struct Colour555 {
  static constexpr bool kIs565 = false;
  static uint16_t Level(const BlendTables& t, uint32_t level, uint32_t word) {
    return t.L555(level, word & 0xFFFF);
  }
  static Channels Widen(uint32_t w) { return {(w >> 7) & 0xF8, (w >> 2) & 0xF8, (w << 3) & 0xFF}; }
  static uint16_t Narrow(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
  }
};

// Kinds of format, for rules that differ by kind (the formats' descriptions'
// kinds).
using Kind = FormatKind;

// The formats' accessors that take P read a pixel in memory (P a pointer to
// it) or one held (Held).

// 16-bit colour formats: the pixel is the colour word.
template <PixelFormat F, class C>
struct Word16Format {
  static constexpr PixelFormat kCode = F;
  static constexpr Kind kKind = Kind::Word16;
  static constexpr int32_t kBytes = 2;
  static constexpr bool kHasAlpha = false;
  using Colour = C;
  template <class P>
  static uint16_t ColourWord(const P& p) {
    return Load16(p);
  }
  static void SetColourWord(uint8_t* p, uint16_t w) { Store16(p, w); }
  static bool KeyMatches(const uint8_t* p, uint32_t key) { return Load16(p) == (key & 0xFFFF); }
};

// 16-bit alpha formats: colour word, alpha level 0..15, pad. Alpha bytes above
// 15 are read by their low four bits.
template <PixelFormat F, class C>
struct Word16AlphaFormat {
  static constexpr PixelFormat kCode = F;
  static constexpr Kind kKind = Kind::Word16Alpha;
  static constexpr int32_t kBytes = 4;
  static constexpr bool kHasAlpha = true;
  static constexpr int32_t kAlphaByte = 2;
  using Colour = C;
  template <class P>
  static uint16_t ColourWord(const P& p) {
    return Load16(p);
  }
  static void SetColourWord(uint8_t* p, uint16_t w) { Store16(p, w); }
  template <class P>
  static uint32_t Alpha(const P& p) {
    return p[kAlphaByte] & 15u;
  }
  static bool KeyMatches(const uint8_t* p, uint32_t key) { return Load16(p) == (key & 0xFFFF); }
};

// 24- and 32-bit formats: kRed, kGreen, kBlue are byte positions.
template <PixelFormat F, Kind K, int32_t R, int32_t B>
struct ByteFormat {
  static constexpr PixelFormat kCode = F;
  static constexpr Kind kKind = K;
  static constexpr int32_t kBytes = K == Kind::Bytes24 ? 3 : 4;
  static constexpr bool kHasAlpha = K == Kind::Bytes32Alpha;
  static constexpr int32_t kRed = R, kGreen = 1, kBlue = B;
  static constexpr int32_t kAlphaByte = 3;  // X or alpha of the 32-bit formats
  template <class P>
  static uint32_t Alpha(const P& p) {
    return p[kAlphaByte];
  }
  static bool KeyMatches(const uint8_t* p, uint32_t key) {
    if constexpr (K == Kind::Bytes32X) return Load32(p) == key;
    else return Load24(p) == (key & 0xFFFFFF);
  }
};

// Palette indexes: only copied, never blended.
struct Index8 {
  static constexpr PixelFormat kCode = PixelFormat::Index8;
  static constexpr Kind kKind = Kind::Index;
  static constexpr int32_t kBytes = 1;
  static constexpr bool kHasAlpha = false;
  static bool KeyMatches(const uint8_t* p, uint32_t key) { return p[0] == (key & 0xFF); }
};

using Rgb565 = Word16Format<PixelFormat::Rgb565, Colour565>;
using Rgb555 = Word16Format<PixelFormat::Rgb555, Colour555>;
using Rgb565A = Word16AlphaFormat<PixelFormat::Rgb565A, Colour565>;
using Rgb555A = Word16AlphaFormat<PixelFormat::Rgb555A, Colour555>;
using Bgr24 = ByteFormat<PixelFormat::Bgr24, Kind::Bytes24, 2, 0>;
using Rgb24 = ByteFormat<PixelFormat::Rgb24, Kind::Bytes24, 0, 2>;
using Bgrx32 = ByteFormat<PixelFormat::Bgrx32, Kind::Bytes32X, 2, 0>;
using Rgbx32 = ByteFormat<PixelFormat::Rgbx32, Kind::Bytes32X, 0, 2>;
using Bgra32 = ByteFormat<PixelFormat::Bgra32, Kind::Bytes32Alpha, 2, 0>;
using Rgba32 = ByteFormat<PixelFormat::Rgba32, Kind::Bytes32Alpha, 0, 2>;

// The traits of a format by its code.
template <PixelFormat F>
struct ByCode;
// clang-format off
template <> struct ByCode<PixelFormat::Index8> { using type = Index8; };
template <> struct ByCode<PixelFormat::Rgb565> { using type = Rgb565; };
template <> struct ByCode<PixelFormat::Rgb555> { using type = Rgb555; };
template <> struct ByCode<PixelFormat::Bgr24> { using type = Bgr24; };
template <> struct ByCode<PixelFormat::Rgb24> { using type = Rgb24; };
template <> struct ByCode<PixelFormat::Bgrx32> { using type = Bgrx32; };
template <> struct ByCode<PixelFormat::Rgbx32> { using type = Rgbx32; };
template <> struct ByCode<PixelFormat::Rgb565A> { using type = Rgb565A; };
template <> struct ByCode<PixelFormat::Rgb555A> { using type = Rgb555A; };
template <> struct ByCode<PixelFormat::Bgra32> { using type = Bgra32; };
template <> struct ByCode<PixelFormat::Rgba32> { using type = Rgba32; };
// clang-format on
template <PixelFormat F>
using FormatOf = typename ByCode<F>::type;

// The traits say what the format's description says.
template <class T>
constexpr bool AgreesWithDescription() {
  const int32_t i = FormatIndex(T::kCode);
  if (i < 0) return false;
  const FormatDescription& d = formats::kDescriptions[i];
  if (d.bytes != T::kBytes || d.kind != T::kKind || d.HasAlpha() != T::kHasAlpha) return false;
  if constexpr (requires { T::Colour::kIs565; }) {
    if (d.is565 != T::Colour::kIs565) return false;
  }
  if constexpr (requires { T::kRed; }) {
    if (d.red != T::kRed || d.green != T::kGreen || d.blue != T::kBlue) return false;
  }
  if constexpr (requires { T::kAlphaByte; }) {
    // The 24-bit formats carry the 32-bit formats' byte 3 without having it.
    if (T::kKind != Kind::Bytes24 && d.alphaByte != T::kAlphaByte) return false;
  }
  return true;
}

// Every described format has traits, and they agree with its description.
template <size_t... I>
constexpr bool EveryFormatAgrees(std::index_sequence<I...>) {
  return ((FormatOf<formats::kDescriptions[I].code>::kCode == formats::kDescriptions[I].code &&
           AgreesWithDescription<FormatOf<formats::kDescriptions[I].code>>()) &&
          ...);
}
static_assert(EveryFormatAgrees(std::make_index_sequence<std::size(formats::kDescriptions)>{}));

template <class F>
constexpr bool kIsWord16 = F::kKind == Kind::Word16;
template <class F>
constexpr bool kIsWord16Alpha = F::kKind == Kind::Word16Alpha;
template <class F>
constexpr bool kIsBytes =
    F::kKind == Kind::Bytes24 || F::kKind == Kind::Bytes32X || F::kKind == Kind::Bytes32Alpha;
template <class F>
constexpr bool kIs32 = F::kKind == Kind::Bytes32X || F::kKind == Kind::Bytes32Alpha;

// The 8-bit weighted blend of one channel: d + D[w][s - d] modulo 256, which
// lies between d and s.
inline uint8_t WeightChannel(const BlendTables& t, uint32_t w, uint32_t s, uint32_t d) {
  return static_cast<uint8_t>(d + t.D(w, static_cast<int32_t>(s) - static_cast<int32_t>(d)));
}

// The 16-level blend of two colour words: T[L][s] + T[15 - L][d].
template <class C>
inline uint16_t LevelBlend(const BlendTables& t, uint32_t level, uint32_t s, uint32_t d) {
  return static_cast<uint16_t>(C::Level(t, level, s) + C::Level(t, level ^ 15u, d));
}

}  // namespace px

}  // namespace pixelops
