// DDSurface::Fade: darkens a rectangle of a surface towards black by a level.
//
// One rectangle walk serves every format; what happens to a row of pixels is
// the format's rule:
//   Rgb565, Rgb555     the colour word as the 16-level table gives it at
//                      L = level >> 4: each channel times L / 15
//   Rgb565A, Rgb555A   each channel widened to a byte, scaled by P[level][byte],
//                      narrowed back; the alpha and pad bytes are kept
//   24-bit             every byte scaled by P[level][byte]
//   Bgrx32, Rgbx32     the three colour bytes scaled, X written 0
//   Bgra32, Rgba32     the three colour bytes scaled, alpha written 255
// Index8 has no rule: its pixels stay as they are.
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include <pixelops/dd_surface.h>
#include <pixelops/format_pairs.h>
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/row_kernels.h"

namespace pixelops {

namespace {

// The rules compute the tables' entries instead of looking them up, which lets
// the row loops vectorise; the results are the same bytes.
//
// P[level][c] = level x c / 255 without the table: level x c <= 65025, in
// 16-bit lanes.
inline uint8_t ScaleByte(uint16_t level, uint8_t c) {
  return static_cast<uint8_t>(exact::Div255In16(static_cast<uint16_t>(level * c)));
}

// Scales n contiguous colour bytes.
inline void ScaleBytes(uint8_t* p, int32_t n, uint16_t level) {
  for (int32_t i = 0; i < n; ++i) p[i] = ScaleByte(level, p[i]);
}

// The 16-level table's channel, L565[L] and L555[L] by channel: v x L / 15 for
// v x L <= 3825 (a widened channel v <= 255, L <= 15), in 16-bit lanes.
inline uint32_t ScaleLevel(uint16_t level16, uint32_t v) {
  return static_cast<uint16_t>(exact::Div15(static_cast<uint16_t>(level16 * v)));
}

template <class F>
struct FadeRule;

// 16-bit colour words, by channel: each channel widened to the top of a byte,
// scaled, narrowed back. Rgb565 and Rgb555 scale by L / 15 with L = level >> 4,
// which gives the level table's word (the widened channel is a multiple of 8 or
// 4 of the field, and narrowing drops the same fraction the table drops; bit 15
// of an Rgb555 word is cleared as the table clears it). Rgb565A and Rgb555A
// scale by level / 255 and keep bytes 2 and 3.
template <class F>
requires(px::kIsWord16<F> || px::kIsWord16Alpha<F>) struct FadeRule<F> {
  using C = typename F::Colour;
  uint16_t level;
  explicit FadeRule(uint32_t l) : level(static_cast<uint16_t>(px::kIsWord16<F> ? l >> 4 : l)) {}
  static uint32_t Scale(uint16_t l, uint32_t v) {
    if constexpr (px::kIsWord16<F>) return ScaleLevel(l, v);
    else return ScaleByte(l, static_cast<uint8_t>(v));
  }
  void Row(uint8_t* p, int32_t width) const {
    const uint16_t l = level;  // a local: the byte stores could alias a member
    for (int32_t i = 0; i < width; ++i, p += F::kBytes) {
      const px::Channels c = C::Widen(F::ColourWord(p));
      F::SetColourWord(p, C::Narrow(Scale(l, c.r), Scale(l, c.g), Scale(l, c.b)));
    }
  }
};

// 24-bit formats: the row is one run of colour bytes.
template <class F>
requires(F::kKind == px::Kind::Bytes24) struct FadeRule<F> {
  uint16_t level;
  explicit FadeRule(uint32_t l) : level(static_cast<uint16_t>(l)) {}
  void Row(uint8_t* p, int32_t width) const { ScaleBytes(p, width * F::kBytes, level); }
};

// 32-bit formats: bytes 0-2 scaled, byte 3 replaced by the format's constant
// (0 for X, 255 for alpha). Bytes 0 and 2 are scaled together in the two
// 16-bit halves of a word: neither product reaches the other half.
template <class F>
requires px::kIs32<F>
struct FadeRule<F> {
  // Byte 3 as the fade writes it, in place: 255 for an alpha format, else 0.
  static constexpr uint32_t kByte3 = F::kKind == px::Kind::Bytes32Alpha ? 0xFF000000u : 0;
  uint16_t level;
  explicit FadeRule(uint32_t l) : level(static_cast<uint16_t>(l)) {}
  void Row(uint8_t* p, int32_t width) const {
    const uint16_t l = level;  // a local: the byte stores could alias a member
    for (int32_t i = 0; i < width; ++i, p += 4) {
      const uint32_t w = px::Load32(p);
      const uint32_t x = (w & 0x00FF00FFu) * uint32_t{l};
      const uint32_t outer = exact::Div255In16Pair(x);
      const uint32_t middle = uint32_t{ScaleByte(l, static_cast<uint8_t>(w >> 8))} << 8;
      px::Store32(p, outer | middle | kByte3);
    }
  }
};

// The rectangle walk: the rule applied to every row of r (already inside the
// surface's bounds and not empty), or the format's row kernel where the level
// in force has one (handed the row as both source and destination).
template <class F>
void FadeRect(const PixelBuffer& b, const Rect& r, uint32_t level) {
  const FadeRule<F> rule(level);
  const int32_t width = r.right - r.left;
  const kernels::RowFn kernel = kernels::Find(kernels::Op::Fade, F::kCode, F::kCode);
  kernels::RowArgs args;
  args.level = level;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint8_t* row = b.pixels + int64_t{y} * b.pitch + int64_t{r.left} * F::kBytes;
    if (kernel != nullptr) kernel(row, row, width, args, 0, 0);
    else rule.Row(row, width);
  }
}

struct FadeEntry {
  PixelFormat format;
  void (*fade)(const PixelBuffer&, const Rect&, uint32_t);
};

// One entry per format of format_pairs::kBlendedFormats.
constexpr auto kFades = []<size_t... I>(std::index_sequence<I...>) {
  using format_pairs::kBlendedFormats;
  return std::array{FadeEntry{kBlendedFormats[I], &FadeRect<px::FormatOf<kBlendedFormats[I]>>}...};
}
(std::make_index_sequence<format_pairs::kBlendedFormats.size()>{});

}  // namespace

BlitResult DDSurface::Fade(int32_t level, const Rect* rect) {
  if (Lock() != 0) return kBlitLockRefused;
  const Rect& bounds = buffer_.bounds;
  Rect r = rect ? *rect : bounds;
  r.left = std::max(r.left, bounds.left);
  r.top = std::max(r.top, bounds.top);
  r.right = std::min(r.right, bounds.right);
  r.bottom = std::min(r.bottom, bounds.bottom);
  if (r.left < r.right && r.top < r.bottom && buffer_.pixels != nullptr) {
    for (const FadeEntry& e : kFades) {
      if (e.format == format_) {
        e.fade(buffer_, r, static_cast<uint32_t>(level) & 0xFF);
        break;
      }
    }
  }
  Unlock();
  return kBlitDone;
}

}  // namespace pixelops
