// Per-pixel rules of the translucent blit with one opacity. The keyed
// translucent blit applies the same rules to every pixel that is not the key.
#pragma once

#include <cstdint>
#include <type_traits>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/blend_pixels.h"
#include "graphics/pixel/exact_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/row_kernels.h"

namespace pixelops {

struct OpacityValues {
  uint32_t opacity;  // low byte counts
};

struct KeyedOpacityValues {
  uint32_t opacity;
  uint32_t key = 0;
};

namespace translucent {

// The kernel op of the translucent rules, and their kernel: whole rows at
// opacity op.
inline constexpr kernels::Op kOpacityOp = kernels::Op::Translucent;
template <class S, class D>
kernels::RowKernel OpacityKernel(uint32_t op) {
  return kernels::RowKernelFor<S, D>(kOpacityOp, kernels::RowArgs{.level = op & 0xFF});
}

// Alpha source onto its 16-bit colour format: level P[op][16 x alpha] >> 4,
// every pixel written.
template <class S, class D>
struct AlphaLevelRule {
  const BlendTables& t;
  uint32_t op;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kOpacityOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TranslucentKeyed;
  template <class V>
  explicit AlphaLevelRule(const V& v) : t(Tables()), op(v.opacity & 0xFF), kernel(OpacityKernel<S, D>(op)) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    const uint32_t level = exact::AlphaLevel(S::Alpha(s), op);
    D::SetColourWord(d, px::LevelBlend<typename D::Colour>(t, level, S::ColourWord(s), D::ColourWord(d)));
  }
};

// Equal 16-bit colour formats: level op >> 4; a destination already equal to
// the source is left alone.
template <class S, class D>
struct OpacityLevelRule {
  const BlendTables& t;
  uint32_t level;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kOpacityOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TranslucentKeyed;
  template <class V>
  explicit OpacityLevelRule(const V& v)
      : t(Tables()), level((v.opacity & 0xFF) >> 4), kernel(OpacityKernel<S, D>(v.opacity)) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    const uint16_t sw = px::Load16(s), dw = px::Load16(d);
    if (sw == dw) return;
    px::Store16(d, px::LevelBlend<typename D::Colour>(t, level, sw, dw));
  }
};

// 24- and 32-bit pairs: the three colour bytes weighted at w, channel onto the
// same channel (byte position onto byte position when the two formats share
// their byte order); w = op, or P[A][op] for an alpha source. X is written 0,
// the alpha of an alpha destination 255.
template <class S, class D>
struct WeightRule {
  const BlendTables& t;
  uint32_t op;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kOpacityOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TranslucentKeyed;
  template <class V>
  explicit WeightRule(const V& v) : t(Tables()), op(v.opacity & 0xFF), kernel(OpacityKernel<S, D>(op)) {}
  void operator()(const uint8_t* source, uint8_t* d) const {
    const auto s = px::Hold<S>(source);  // read whole before the first store
    const uint32_t w = S::kHasAlpha ? t.P(S::Alpha(s), op) : op;
    d[D::kRed] = px::WeightChannel(t, w, s[S::kRed], d[D::kRed]);
    d[D::kGreen] = px::WeightChannel(t, w, s[S::kGreen], d[D::kGreen]);
    d[D::kBlue] = px::WeightChannel(t, w, s[S::kBlue], d[D::kBlue]);
    if constexpr (D::kKind == px::Kind::Bytes32X) d[3] = 0;
    if constexpr (D::kKind == px::Kind::Bytes32Alpha) d[3] = 255;
  }
};

// Equal 16-bit alpha formats: channel blend at P[16 x alpha][op]; only the
// colour word is written.
template <class S, class D>
struct ChannelAlphaRule {
  const BlendTables& t;
  uint32_t op;
  kernels::RowKernel kernel;
  static constexpr kernels::Op kKernelOp = kOpacityOp;
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::TranslucentKeyed;
  template <class V>
  explicit ChannelAlphaRule(const V& v)
      : t(Tables()), op(v.opacity & 0xFF), kernel(OpacityKernel<S, D>(op)) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    if constexpr (D::Colour::kIs565) BlendAlphaPixel565(d, s, op, t);
    else BlendAlphaPixel555(d, s, op, t);
  }
};

// The rule of each pair of the translucent blits with one opacity: 16-level
// blends onto the colour words, the channel blend between equal 16-bit alpha
// formats, weighted bytes onto the 24- and 32-bit formats.
template <class S, class D>
using OpacityRule =
    std::conditional_t<px::kIsWord16<D>,
                       std::conditional_t<S::kHasAlpha, AlphaLevelRule<S, D>, OpacityLevelRule<S, D>>,
                       std::conditional_t<px::kIsWord16Alpha<D>, ChannelAlphaRule<S, D>, WeightRule<S, D>>>;

}  // namespace translucent

}  // namespace pixelops
