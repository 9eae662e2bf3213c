// Per-pixel rules of the additive and subtractive blits, shared by both: each
// rule is written once over the arithmetic (AddOp or SubOp) and over how it
// takes its source pixel (as it is, or scaled by the call's level). The keyed
// operations run the same rules under KeyedRule. Every rule carries the row
// kernel of its form and names that of its keyed form (saturating_kernels.cpp).
#pragma once

#include <cstdint>
#include <type_traits>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/level_scaling.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/saturating.h"

namespace pixelops {

namespace saturating {

// Values of the four forms of each operation.
struct Plain {};
struct Keyed {
  uint32_t key = 0;
};
struct Levelled {
  uint32_t level = 0;  // 0..254
};
using LevelledKeyed = LevelKey;  // level first, then the key

// The source pixel as it is.
struct AsIs {
  static constexpr bool kOpaque = false;
  template <class V>
  explicit AsIs(const V&) {}
  template <class S>
  uint32_t Pixel(uint32_t raw) const {
    return raw;
  }
  template <class S>
  uint32_t Pair(uint32_t raw) const {
    return raw;
  }
};

// The source pixel scaled by the level (see level_scaling.h). A scaled 32-bit
// alpha pixel is opaque: its alpha weighting leaves it as it is.
struct Scaled {
  static constexpr bool kOpaque = true;
  const BlendTables& t;
  uint32_t level;
  template <class V>
  explicit Scaled(const V& v) : t(Tables()), level(v.level & 0xFF) {}
  template <class S>
  uint32_t Pixel(uint32_t raw) const {
    return scaling::Pixel<S>(t, level, raw);
  }
  template <class S>
  uint32_t Pair(uint32_t raw) const {
    return scaling::RowPair<typename S::Colour>(t, level, raw);
  }
};

template <class Op, class Source>
struct Rules {
  // The row kernels of this operation's plain and keyed forms (the keyed one
  // is taken by KeyedRule), and the rule's values as the kernels take them.
  static constexpr bool kAdd = std::is_same_v<Op, AddOp>;
  static constexpr bool kScaled = std::is_same_v<Source, Scaled>;
  static constexpr kernels::Op kKernelOp = kAdd ? (kScaled ? kernels::Op::AddLevel : kernels::Op::Add)
                                                : (kScaled ? kernels::Op::SubLevel : kernels::Op::Sub);
  static constexpr kernels::Op kKeyedOp =
      kAdd ? (kScaled ? kernels::Op::AddLevelKeyed : kernels::Op::AddKeyed)
           : (kScaled ? kernels::Op::SubLevelKeyed : kernels::Op::SubKeyed);
  template <class S, class D, class V>
  static kernels::RowKernel KernelFor(const V& v) {
    kernels::RowArgs args;
    if constexpr (kScaled) args.level = v.level & 0xFF;
    return kernels::RowKernelFor<S, D>(kKernelOp, args);
  }

  // Rgb565 / Rgb555 onto their own format. A one-to-one row goes two pixels a
  // word after an odd first column, eight pixels (four words) a run; each word
  // gives exactly the pixels of the one-pixel form. (A word reads its second
  // source pixel before its first pixel is written: the walk hands the row
  // over only where no pixel reads what one before it wrote.)
  template <class S, class D>
  struct Word16 {
    using C = typename D::Colour;
    Source src;
    static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
    static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
    kernels::RowKernel kernel;
    template <class V>
    explicit Word16(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
      px::Store16(d, static_cast<uint16_t>(
                         Op::template Word<C>(px::Load16(d), src.template Pixel<S>(px::Load16(s)))));
    }
    void Two(const uint8_t* s, uint8_t* d) const {
      px::Store32(d, Op::template Pair<C>(px::Load32(d), src.template Pair<S>(px::Load32(s))));
    }
    void Row(const uint8_t* s, uint8_t* d, int32_t width, int32_t dstLeft) const {
      if (width <= 0) return;
      if (dstLeft & 1) {
        (*this)(s, d);
        s += 2;
        d += 2;
        --width;
      }
      for (int32_t n = width >> 3; n > 0; --n) {
        Two(s, d);
        Two(s + 4, d + 4);
        Two(s + 8, d + 8);
        Two(s + 12, d + 12);
        s += 16;
        d += 16;
      }
      for (int32_t n = (width & 7) >> 1; n > 0; --n) {
        Two(s, d);
        s += 4;
        d += 4;
      }
      if (width & 1) (*this)(s, d);
    }
  };

  // Rgb565A / Rgb555A onto their own format: the colour words only; the
  // source alpha is no weight, the destination's alpha and pad bytes stay.
  template <class S, class D>
  struct AlphaWords {
    using C = typename D::Colour;
    Source src;
    static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
    static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
    kernels::RowKernel kernel;
    template <class V>
    explicit AlphaWords(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
      const uint32_t sw = src.template Pixel<S>(px::Load32(s)) & 0xFFFF;
      px::Store16(d, static_cast<uint16_t>(Op::template AlphaColour<C>(px::Load16(d), sw)));
    }
  };

  // Rgb565A / Rgb555A onto their colour format: the colour through the level
  // table at the source's alpha level, then the one-pixel form.
  template <class S, class D>
  struct AlphaLevelWord {
    using C = typename D::Colour;
    Source src;
    const BlendTables& t = Tables();
    static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
    static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
    kernels::RowKernel kernel;
    template <class V>
    explicit AlphaLevelWord(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
      const uint32_t sw = scaling::ByAlphaLevel<C>(t, src.template Pixel<S>(px::Load32(s)));
      px::Store16(d, static_cast<uint16_t>(Op::template Word<C>(px::Load16(d), sw)));
    }
  };

  // Equal 24-bit formats (three bytes written) and equal Bgrx32 / Rgbx32
  // (whole words: byte 3 runs modulo 256, so a scaled source, whose byte 3 is
  // 0, leaves it as it was).
  template <class S, class D>
  struct Bytes {
    Source src;
    static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
    static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
    kernels::RowKernel kernel;
    template <class V>
    explicit Bytes(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
      if constexpr (D::kBytes == 3) {
        px::Store24(d, Op::Bytes(px::Load24(d), src.template Pixel<S>(px::Load24(s))));
      } else {
        px::Store32(d, Op::Bytes(px::Load32(d), src.template Pixel<S>(px::Load32(s))));
      }
    }
    // Unscaled, every byte of a 24-bit row is a colour channel on its own:
    // the row goes as one run of bytes. (Where the memories overlap, the walk
    // hands it only rows whose destination starts no later than their source,
    // where each byte reads its source as it was.)
    void Row(const uint8_t* s, uint8_t* d, int32_t width, int32_t) const
        requires(D::kBytes == 3 && std::is_same_v<Source, AsIs>) {
      const int64_t n = int64_t{width} * 3;
      for (int64_t i = 0; i < n; ++i) d[i] = Op::Byte(d[i], s[i]);
    }
  };

  // Equal Bgra32 / Rgba32: bytes 0-2, the source alpha not read; the
  // destination becomes opaque.
  template <class S, class D>
  struct OpaqueBytes {
    Source src;
    static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
    static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
    kernels::RowKernel kernel;
    template <class V>
    explicit OpaqueBytes(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
      const uint32_t sv = src.template Pixel<S>(px::Load32(s)) & 0xFFFFFF;
      px::Store32(d, Op::Bytes(px::Load32(d) & 0xFFFFFF, sv) | 0xFF000000u);
    }
  };

  // Bgra32 / Rgba32 onto a 24-bit format or onto Bgrx32 / Rgbx32: bytes 0-2
  // weighted by the source's alpha (a scaled source is opaque, so only the
  // level weighs it). kClearX writes 0 into the destination's byte 3, else it
  // is kept.
  template <bool kClearX>
  struct AlphaBytesX {
    template <class S, class D>
    struct For {
      Source src;
      const BlendTables& t = Tables();
      static constexpr kernels::Op kKernelOp = Rules::kKernelOp;
      static constexpr kernels::Op kKeyedKernelOp = kKeyedOp;
      kernels::RowKernel kernel;
      template <class V>
      explicit For(const V& v) : src(v), kernel(KernelFor<S, D>(v)) {}
      void operator()(const uint8_t* s, uint8_t* d) const {
        const uint32_t raw = src.template Pixel<S>(px::Load32(s));
        const uint32_t sv = Source::kOpaque ? raw & 0xFFFFFF : scaling::ByOwnAlpha(t, raw);
        if constexpr (D::kBytes == 3) px::Store24(d, Op::Bytes(px::Load24(d), sv));
        else if constexpr (kClearX) px::Store32(d, Op::Bytes(px::Load32(d) & 0xFFFFFF, sv));
        else px::Store32(d, Op::Bytes(px::Load32(d), sv));
      }
    };
  };
  template <class S, class D>
  using AlphaBytes = typename AlphaBytesX<false>::template For<S, D>;
  template <class S, class D>
  using AlphaBytesClearX = typename AlphaBytesX<true>::template For<S, D>;
  // Rgba32 onto Rgbx32: the subtract writes 0 into byte 3, the add keeps it.
  template <class S, class D>
  using RgbaOntoRgbx = typename AlphaBytesX<Op::kRgbaOntoRgbxClearsX>::template For<S, D>;
};

// The rule of each pair of an additive or subtractive operation, from the two
// formats' kinds.
template <class R, class S, class D>
struct RuleOf {
  static constexpr px::Kind d = D::kKind;
  using type = std::conditional_t<
      px::kIsWord16<D>,
      std::conditional_t<px::kIsWord16Alpha<S>, typename R::template AlphaLevelWord<S, D>,
                         typename R::template Word16<S, D>>,
      std::conditional_t<
          px::kIsWord16Alpha<D>, typename R::template AlphaWords<S, D>,
          std::conditional_t<
              !S::kHasAlpha, typename R::template Bytes<S, D>,
              std::conditional_t<
                  d == px::Kind::Bytes32Alpha, typename R::template OpaqueBytes<S, D>,
                  std::conditional_t<
                      d == px::Kind::Bytes32X && formats::kDescriptions[FormatIndex(S::kCode)].red == 0,
                      typename R::template RgbaOntoRgbx<S, D>, typename R::template AlphaBytes<S, D>>>>>>;
};

// The pairs of an additive or subtractive operation (format_pairs::kBlend):
// Op the arithmetic, Source how the source pixel is taken (as it is, or scaled
// by the level).
template <class Op, class Source, bool kKeyed, class V>
struct Table {
  template <class S, class D>
  using Rule = typename RuleOf<Rules<Op, Source>, S, D>::type;
  template <class S, class D>
  using KeyedOrNot = std::conditional_t<kKeyed, typename KeyedRule<Rule>::template For<S, D>, Rule<S, D>>;
  static constexpr auto& kPairs = ServeSet<format_pairs::kBlend, KeyedOrNot, V>;
};

// The four forms of an operation. The levelled ones hand a level of 255 to the
// unlevelled twin (plain or keyed) on the same destination before anything is
// locked; only the level's low byte counts.
template <class Op>
struct Operation {
  static BlitResult Plain(DDSurface& dst, DDSurface* src, const Placement& at) {
    return RunBlend(dst, src, Table<Op, AsIs, false, saturating::Plain>::kPairs, saturating::Plain{}, at);
  }
  static BlitResult Keyed(DDSurface& dst, DDSurface* src, const Placement& at) {
    return RunBlend(dst, src, Table<Op, AsIs, true, saturating::Keyed>::kPairs, saturating::Keyed{}, at);
  }
  template <class Unlevelled>
  static BlitResult Level(DDSurface& dst, DDSurface* src, int32_t level, const Placement& at,
                          Unlevelled unlevelled) {
    const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
    if (lv == 255) return (dst.*unlevelled)(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
    return RunBlend(dst, src, Table<Op, Scaled, false, Levelled>::kPairs, Levelled{lv}, at);
  }
  template <class Unlevelled>
  static BlitResult LevelKey(DDSurface& dst, DDSurface* src, int32_t level, const Placement& at,
                             Unlevelled unlevelled) {
    const uint32_t lv = static_cast<uint32_t>(level) & 0xFF;
    if (lv == 255) return (dst.*unlevelled)(src, at.x, at.y, at.srcRect, at.dstSize, at.clip);
    return RunBlend(dst, src, Table<Op, Scaled, true, LevelledKeyed>::kPairs, LevelledKeyed{lv, 0}, at);
  }
};

}  // namespace saturating

}  // namespace pixelops
