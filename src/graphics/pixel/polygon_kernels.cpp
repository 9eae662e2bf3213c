// Span kernels of the textured-polygon rasterisers (keyed, opaque and
// alpha-blending families), compiled for every vector target of the build (see
// row_kernels.h). A span kernel forms the texel offsets of a whole vector of
// pixels from the 12.20 accumulators, each lane truncating exactly as the
// per-pixel walk does, gathers the texels, and keys, blends and stores the
// pixels as vectors. The pairs of 4-byte formats, the 16-bit alpha formats
// onto their colour formats, the 16-bit colour formats onto themselves and
// onto their alpha formats, the 24-bit formats onto the 32-bit alpha formats,
// and the pairs onto the 24-bit formats (their own texels and the 32-bit
// alpha ones).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/polygon_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstring>
#include <span>
#include <utility>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/polygon_scan.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Polygon)
#else
namespace {

using DU = hn::ScalableTag<uint32_t>;
using DI = hn::RebindToSigned<DU>;
using VU = hn::Vec<DU>;

// Byte 0 and byte 2 of every pixel exchanged (red and blue of the 24-bit
// colour of the 32-bit formats).
HWY_INLINE VU SwapRedBlue(DU du, VU v) {
  const VU lowByte = hn::Set(du, 0xFF);
  return hn::Or(hn::Or(hn::ShiftLeft<16>(hn::And(v, lowByte)), hn::And(v, hn::Set(du, 0xFF00))),
                hn::And(hn::ShiftRight<16>(v), lowByte));
}

// The texels of successive vectors of pixels of a span: the offsets of a
// vector from the 12.20 accumulators of its lanes, gathered (4 bytes at each
// texel of kBytes bytes: 4, 3 or 2). The accumulators u and v are the
// caller's vectors (First sets them), passed to each call.
template <int kBytes>
struct TexelCursor {
  const int32_t* base;
  int32_t pitch;
  uint32_t au, av, du, dv;

  explicit TexelCursor(const Span& sp)
      : base(reinterpret_cast<const int32_t*>(sp.rowTexel)),
        pitch(sp.pitch),
        au(static_cast<uint32_t>(sp.au)),
        av(static_cast<uint32_t>(sp.av)),
        du(sp.du),
        dv(sp.dv) {}
  // The accumulators of the first vector.
  HWY_INLINE void First(VU& u, VU& v) const {
    const DU d;
    const VU k = hn::Iota(d, 0);
    u = hn::Add(hn::Set(d, au), hn::Mul(k, hn::Set(d, du)));
    v = hn::Add(hn::Set(d, av), hn::Mul(k, hn::Set(d, dv)));
  }
  HWY_INLINE hn::Vec<DI> Offsets(VU u, VU v) const {
    const DI di;
    const auto wholeU = hn::ShiftRight<20>(hn::BitCast(di, u));
    const auto wholeV = hn::ShiftRight<20>(hn::BitCast(di, v));
    if constexpr (kBytes == 3) {
      return hn::Add(hn::Mul(wholeV, hn::Set(di, pitch)), hn::Add(hn::ShiftLeft<1>(wholeU), wholeU));
    } else {
      return hn::Add(hn::Mul(wholeV, hn::Set(di, pitch)), hn::ShiftLeft<kBytes / 2>(wholeU));
    }
  }
  HWY_INLINE void Advance(VU& u, VU& v) const {
    const DU d;
    const uint32_t lanes = static_cast<uint32_t>(hn::Lanes(d));
    u = hn::Add(u, hn::Set(d, du * lanes));
    v = hn::Add(v, hn::Set(d, dv * lanes));
  }
  // The next whole vector.
  HWY_INLINE VU Next(VU& u, VU& v) const {
    const DI di;
    const VU texels = hn::BitCast(DU(), hn::GatherOffset(di, base, Offsets(u, v)));
    Advance(u, v);
    return texels;
  }
  // The last, part vector: lanes past the span gather the first lane's texel.
  template <class M>
  HWY_INLINE VU Part(M valid, VU u, VU v) const {
    const DI di;
    const auto offset = Offsets(u, v);
    const auto safe = hn::IfThenElse(hn::RebindMask(di, valid), offset, hn::Set(di, hn::GetLane(offset)));
    return hn::BitCast(DU(), hn::GatherOffset(di, base, safe));
  }
};

// The walk common to every span kernel: per vector of pixels, the texels are
// gathered and op(du, texels, pixels, vecs...) gives the pixels to store; a
// last part vector goes under a mask where the span walk allows it.
template <int kBytes = 4, class Op, class... Vecs>
HWY_INLINE int32_t WalkSpan(const Span& sp, uint8_t* d, int32_t count, const Op& op, Vecs... vecs) {
  const DU du;
  const TexelCursor<kBytes> cursor(sp);
  VU u, v;
  cursor.First(u, v);
  uint32_t* p = reinterpret_cast<uint32_t*>(d);
  const auto whole = [&](size_t i, VU& u, VU& v, auto&... vecs) HWY_ATTR {
    const VU texels = cursor.Next(u, v);
    hn::StoreU(op(du, texels, hn::LoadU(du, p + i), vecs...), du, p + i);
  };
  const auto part = [&](size_t i, VU& u, VU& v, auto&... vecs) HWY_ATTR {
    const auto valid = hn::FirstN(du, static_cast<size_t>(count) - i);
    hn::BlendedStore(op(du, cursor.Part(valid, u, v), hn::MaskedLoad(valid, du, p + i), vecs...), valid, du,
                     p + i);
  };
  return static_cast<int32_t>(
      rows::ForEachSpanStep<DU>(static_cast<size_t>(count), hn::Lanes(du), whole, part, u, v, vecs...));
}

// Pixels of 3 bytes in the low 3 bytes of 32-bit lanes: a vector of pixels
// is 3 x lanes bytes, loaded and stored exactly (2 x lanes bytes, then
// lanes bytes), widened by a lane permutation that gives each block of 16
// bytes 4 pixels' 12 bytes, then a byte shuffle within the blocks, and
// narrowed the opposite way. The byte above each widened pixel is not
// given.
using DB8 = hn::Repartition<uint8_t, DU>;

// The lane indices of the permutations: pack, lane 3k + j from lane 4k + j
// (j < 3; the last quarter of the lanes from the last lane); spread, lane
// 4k + j from lane 3k + min(j, 2).
HWY_INLINE VU PackLanes(DU du) {
  const VU m = hn::Iota(du, 0);
  const VU third = hn::ShiftRight<17>(hn::Mul(m, hn::Set(du, 43691)));  // m / 3, m < 2^16
  const VU lane = hn::Add(hn::ShiftLeft<2>(third), hn::Sub(m, hn::Add(third, hn::Add(third, third))));
  return hn::Min(lane, hn::Set(du, static_cast<uint32_t>(hn::Lanes(du) - 1)));
}
HWY_INLINE VU SpreadLanes(DU du) {
  const VU m = hn::Iota(du, 0);
  const VU quarter = hn::ShiftRight<2>(m);
  return hn::Add(hn::Add(quarter, hn::Add(quarter, quarter)),
                 hn::Min(hn::And(m, hn::Set(du, 3)), hn::Set(du, 2)));
}

// Byte shuffles within the blocks: 4 lanes' low 3 bytes to the block's first
// 12 bytes (pack), and back (spread).
alignas(16) constexpr uint8_t kPackBytes[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 3, 7, 11, 15};
alignas(16) constexpr uint8_t kSpreadBytes[16] = {0, 1, 2, 2, 3, 4, 5, 5, 6, 7, 8, 8, 9, 10, 11, 11};

// Lanes of one block need no permutation.
constexpr bool kOneBlock = hn::MaxLanes(DU()) == 4;

HWY_INLINE VU Load24(const uint8_t* p, VU spreadLanes) {
  const DU du;
  const DB8 d8;
  const hn::Half<DB8> dh;
  const hn::Half<hn::Half<DB8> > dq;
  const size_t lanes = hn::Lanes(du);
  VU v = hn::BitCast(
      du, hn::Combine(d8, hn::ZeroExtendVector(dh, hn::LoadU(dq, p + 2 * lanes)), hn::LoadU(dh, p)));
  if constexpr (!kOneBlock) v = hn::TableLookupLanes(v, hn::IndicesFromVec(du, spreadLanes));
  return hn::BitCast(du, hn::TableLookupBytes(hn::BitCast(d8, v), hn::LoadDup128(d8, kSpreadBytes)));
}

HWY_INLINE void Store24(VU pixels, uint8_t* p, VU packLanes) {
  const DU du;
  const DB8 d8;
  const hn::Half<DB8> dh;
  const hn::Half<hn::Half<DB8> > dq;
  const size_t lanes = hn::Lanes(du);
  VU v = hn::BitCast(du, hn::TableLookupBytes(hn::BitCast(d8, pixels), hn::LoadDup128(d8, kPackBytes)));
  if constexpr (!kOneBlock) v = hn::TableLookupLanes(v, hn::IndicesFromVec(du, packLanes));
  const auto bytes = hn::BitCast(d8, v);
  hn::StoreU(hn::LowerHalf(dh, bytes), dh, p);
  hn::StoreU(hn::LowerHalf(dq, hn::UpperHalf(dh, bytes)), dq, p + 2 * lanes);
}

// WalkSpan onto 3-byte pixels: per vector of pixels op(du, texels, pixels,
// vecs...) gives the pixels to store (their low 3 bytes); the last part
// vector goes through a buffer. Draws the whole span.
template <int kBytes, class Op, class... Vecs>
HWY_INLINE int32_t WalkSpan24(const Span& sp, uint8_t* d, int32_t count, const Op& op, Vecs... vecs) {
  const DU du;
  const size_t lanes = hn::Lanes(du), n = static_cast<size_t>(count);
  const TexelCursor<kBytes> cursor(sp);
  VU u, v;
  cursor.First(u, v);
  const VU spread = SpreadLanes(du), pack = PackLanes(du);
  size_t i = 0;
  for (; i + lanes <= n; i += lanes) {
    uint8_t* p = d + 3 * i;
    const VU texels = cursor.Next(u, v);
    Store24(op(du, texels, Load24(p, spread), vecs...), p, pack);
  }
  if (i < n) {
    alignas(64) uint8_t buffer[HWY_MAX_BYTES] = {};
    const size_t rest = 3 * (n - i);
    std::memcpy(buffer, d + 3 * i, rest);
    const VU texels = cursor.Part(hn::FirstN(du, n - i), u, v);
    Store24(op(du, texels, Load24(buffer, spread), vecs...), buffer, pack);
    std::memcpy(d + 3 * i, buffer, rest);
  }
  return count;
}

// The walk of pixels of kDstBytes bytes (3 or 4).
template <int kBytes, int kDstBytes, class Op, class... Vecs>
HWY_INLINE int32_t WalkPixels(const Span& sp, uint8_t* d, int32_t count, const Op& op, Vecs... vecs) {
  if constexpr (kDstBytes == 3) return WalkSpan24<kBytes>(sp, d, count, op, vecs...);
  else return WalkSpan<kBytes>(sp, d, count, op, vecs...);
}

// The same two vectors at a time: op(du, texelsA, texelsB, pixelsA, pixelsB,
// outA, outB, vecs...). A last single or part vector goes as its own pair.
template <int kBytes = 4, class Op, class... Vecs>
HWY_INLINE int32_t WalkSpanPairs(const Span& sp, uint8_t* d, int32_t count, const Op& op, Vecs... vecs) {
  const DU du;
  const size_t lanes = hn::Lanes(du);
  const TexelCursor<kBytes> cursor(sp);
  VU u, v;
  cursor.First(u, v);
  uint32_t* p = reinterpret_cast<uint32_t*>(d);
  const auto pair = [&](size_t i, VU& u, VU& v, auto&... vecs) HWY_ATTR {
    const VU a = cursor.Next(u, v);
    const VU b = cursor.Next(u, v);
    VU outA, outB;
    op(du, a, b, hn::LoadU(du, p + i), hn::LoadU(du, p + i + lanes), outA, outB, vecs...);
    hn::StoreU(outA, du, p + i);
    hn::StoreU(outB, du, p + i + lanes);
  };
  const auto single = [&](size_t i, VU& u, VU& v, auto&... vecs) HWY_ATTR {
    const VU a = cursor.Next(u, v);
    const VU old = hn::LoadU(du, p + i);
    VU outA, outB;
    op(du, a, a, old, old, outA, outB, vecs...);
    hn::StoreU(outA, du, p + i);
  };
  const auto rest = [&](size_t i, VU& u, VU& v, auto&... vecs) HWY_ATTR {
    if (static_cast<size_t>(count) - i >= lanes) {
      single(i, u, v, vecs...);
      i += lanes;
      if (i == static_cast<size_t>(count)) return;
    }
    const auto valid = hn::FirstN(du, static_cast<size_t>(count) - i);
    const VU a = cursor.Part(valid, u, v);
    const VU old = hn::MaskedLoad(valid, du, p + i);
    VU outA, outB;
    op(du, a, a, old, old, outA, outB, vecs...);
    hn::BlendedStore(outA, valid, du, p + i);
  };
  size_t i = rows::ForEachSpanStep<DU>(static_cast<size_t>(count), 2 * lanes, pair, rest, u, v, vecs...);
  // Without masked tails, a last whole vector still goes as a vector.
  if (static_cast<size_t>(count) - i >= lanes) {
    single(i, u, v, vecs...);
    i += lanes;
  }
  return static_cast<int32_t>(i);
}

// What a copy writes of the texel.
enum class Fill {
  kAll,       // the four bytes as they stand
  kAlpha255,  // the colour (red and blue exchanged where the orders differ), alpha 255
  kX0,        // the colour, X 0
  kKeepPad,   // colour word and alpha level; the pad byte kept
  kLevel15,   // a 16-bit colour word with alpha level 15; the pad byte kept
};

// The pixel a copy writes for texel t over pixel old.
template <bool kSwap, Fill kFill>
HWY_INLINE VU CopyTexel(DU du, VU t, VU old) {
  if constexpr (kSwap) t = SwapRedBlue(du, t);
  const VU colour = hn::Set(du, 0xFFFFFF);
  if constexpr (kFill == Fill::kAlpha255) return hn::Or(hn::And(t, colour), hn::Set(du, 0xFF000000u));
  if constexpr (kFill == Fill::kX0) return hn::And(t, colour);
  if constexpr (kFill == Fill::kKeepPad) return hn::Or(hn::And(t, colour), hn::AndNot(colour, old));
  if constexpr (kFill == Fill::kLevel15) {
    return hn::Or(hn::Or(hn::And(t, hn::Set(du, 0xFFFF)), hn::Set(du, 0xF0000)), hn::AndNot(colour, old));
  }
  return t;
}

// Texel copies of the opaque family.
template <bool kSwap, Fill kFill, int kBytes = 4, int kDstBytes = 4>
int32_t CopySpan(const Span& sp, uint8_t* d, int32_t count, const RowArgs&) {
  return WalkPixels<kBytes, kDstBytes>(
      sp, d, count, [](DU du, VU t, VU old) HWY_ATTR { return CopyTexel<kSwap, kFill>(du, t, old); });
}

// Texel copies that skip texels whose bits under keyMask are the key's (the
// texel compared as read, before red and blue change places).
template <uint32_t kKeyMask, bool kSwap, Fill kFill, int kBytes = 4, int kDstBytes = 4>
int32_t KeyedCopySpan(const Span& sp, uint8_t* d, int32_t count, const RowArgs& args) {
  const DU du;
  const VU keyMask = hn::Set(du, kKeyMask), key = hn::Set(du, args.key & kKeyMask);
  const auto op = [](DU du, VU t, VU old, VU keyMask, VU key) HWY_ATTR {
    return hn::IfThenElse(hn::Eq(hn::And(t, keyMask), key), old, CopyTexel<kSwap, kFill>(du, t, old));
  };
  return WalkPixels<kBytes, kDstBytes>(sp, d, count, op, keyMask, key);
}

// How the weight of a weighted blend is made.
enum class WeightSource {
  kOpacity,         // the opacity
  kAlphaByOpacity,  // alpha x opacity / 255
  kAlpha,           // the texel's alpha
};

// The channel arithmetic runs two channels to a pixel, one in each 16-bit
// half of the pixel's lane (products of two bytes fit 16 bits).
using D16 = hn::Repartition<uint16_t, DU>;
using V16 = hn::Vec<D16>;

// Two channels (a byte in each 16-bit half) of d weighted towards s by w (in
// both halves): blend::WeightLanes.
HWY_INLINE VU WeightPair(DU du, VU s, VU d, VU w) {
  const D16 d16;
  return hn::BitCast(du, blend::WeightLanes(hn::BitCast(d16, s), hn::BitCast(d16, d), hn::BitCast(d16, w)));
}

// The three colour bytes weighted channel onto channel; byte 3 is written
// byte3 (0 or 255). Texels equal to the key under keyMask are skipped (no key
// test when keyMask is 0).
template <uint32_t kKeyMask, bool kSwap, WeightSource kWeight, uint32_t kByte3, int kBytes = 4,
          int kDstBytes = 4>
int32_t WeightSpan(const Span& sp, uint8_t* d, int32_t count, const RowArgs& args) {
  const DU du;
  const VU keyMask = hn::Set(du, kKeyMask), key = hn::Set(du, args.key & kKeyMask);
  const VU opacity = hn::Set(du, args.level & 0xFF);
  const VU redBlue = hn::Set(du, 0x00FF00FF), byte = hn::Set(du, 0xFF);
  const auto op = [](DU du, VU t, VU old, VU keyMask, VU key, VU opacity, VU redBlue, VU byte) HWY_ATTR {
    VU w = opacity;
    if constexpr (kWeight == WeightSource::kAlpha) w = hn::ShiftRight<24>(t);
    if constexpr (kWeight == WeightSource::kAlphaByOpacity)  // P[alpha][opacity], each below 256
      w = hn::BitCast(du,
                      blend::Product(hn::BitCast(D16(), hn::ShiftRight<24>(t)), hn::BitCast(D16(), opacity)));
    const VU w2 = hn::Or(w, hn::ShiftLeft<16>(w));
    const VU s = kSwap ? SwapRedBlue(du, t) : t;
    const VU rb = WeightPair(du, hn::And(s, redBlue), hn::And(old, redBlue), w2);
    const VU g =
        WeightPair(du, hn::And(hn::ShiftRight<8>(s), byte), hn::And(hn::ShiftRight<8>(old), byte), w2);
    const VU out = hn::Or(hn::Or(rb, hn::ShiftLeft<8>(g)), hn::Set(du, kByte3 << 24));
    if constexpr (kKeyMask != 0) return hn::IfThenElse(hn::Eq(hn::And(t, keyMask), key), old, out);
    return out;
  };
  return WalkPixels<kBytes, kDstBytes>(sp, d, count, op, keyMask, key, opacity, redBlue, byte);
}

// Colour words of the 16-bit alpha formats: each channel widened to a byte,
// mixed as d x (255 - w) / 255 + s x w / 255 with w = 16 x alpha level x
// opacity / 255, narrowed back; alpha and pad bytes kept. Texels whose colour
// word is the key's are skipped. Two vectors of pixels at a time, their colour
// words interleaved into the 16-bit lanes of one vector (A's in the low
// halves, B's in the high halves).
// With kOpacityOnly, 16-bit colour texels (Rgb565, Rgb555) blend at w = the
// opacity.
template <bool kIs565, bool kOpacityOnly = false>
int32_t ChannelAlphaSpan(const Span& sp, uint8_t* d, int32_t count, const RowArgs& args) {
  constexpr int kBytes = kOpacityOnly ? 2 : 4;
  const D16 d16;
  const hn::Repartition<uint8_t, DU> d8;
  const DU du;
  const VU levelA = hn::Set(du, 15), levelB = hn::Set(du, 0x000F0000);
  const V16 key = hn::Set(d16, static_cast<uint16_t>(args.key & 0xFFFF));
  // The weight of each alpha level, looked up by byte (level 0 weighs 0, so
  // the zero high byte of a 16-bit index looks up 0).
  alignas(16) uint8_t weights[16];
  for (uint32_t l = 0; l < 16; ++l) {
    weights[l] = static_cast<uint8_t>(kOpacityOnly ? args.level & 0xFF
                                                   : pixelops::exact::Div255(16 * l * (args.level & 0xFF)));
  }
  const V16 table = hn::BitCast(d16, hn::LoadDup128(d8, weights));
  const auto words = [d16](VU a, VU b)
                         HWY_ATTR { return blend::PackWords(hn::BitCast(d16, a), hn::BitCast(d16, b)); };
  const V16 opacity = hn::Set(d16, static_cast<uint16_t>(args.level & 0xFF));
  const auto op = [&](DU, VU ta, VU tb, VU oa, VU ob, VU& outA, VU& outB, VU levelA, VU levelB, V16 key,
                      V16 table, V16 opacity) HWY_ATTR {
    const V16 s = words(ta, tb), o = words(oa, ob);
    V16 w = opacity;
    if constexpr (!kOpacityOnly) {
      const V16 level =
          hn::BitCast(d16, hn::Or(hn::And(hn::ShiftRight<16>(ta), levelA), hn::And(tb, levelB)));
      w = hn::TableLookupBytes(table, level);
    }
    // Each channel K[w][d] + P[w][s].
    const auto mix = [](V16 sc, V16 dc, V16 w)
                         HWY_ATTR { return hn::Add(blend::Complement(w, dc), blend::Product(w, sc)); };
    V16 sR, sG, sB, oR, oG, oB;
    blend::Widen<kIs565>(s, sR, sG, sB);
    blend::Widen<kIs565>(o, oR, oG, oB);
    const V16 out = blend::Narrow<kIs565>(mix(sR, oR, w), mix(sG, oG, w), mix(sB, oB, w));
    const V16 result = hn::IfThenElse(hn::Eq(s, key), o, out);
    outA = hn::BitCast(du, blend::UnpackWordsLow(result, hn::BitCast(d16, oa)));
    outB = hn::BitCast(du, blend::UnpackWordsHigh(result, hn::BitCast(d16, ob)));
  };
  return WalkSpanPairs<kBytes>(sp, d, count, op, levelA, levelB, key, table, opacity);
}

// What a span onto a 16-bit colour format does with an alpha texel.
enum class ColourWordDraw {
  kCopy,            // writes the colour word (of an alpha texel: bit 15 cleared for 555)
  kKeyedCopy,       // writes the colour word unless it is the key
  kOwnAlpha,        // blends by the texel's alpha level
  kAlphaByOpacity,  // blends at level (opacity x 16 x alpha / 255) >> 4, the key skipped
  kOpacity,         // blends at level opacity >> 4; the key, and texels equal to the pixel, skipped
};

// Alpha texels of the 16-bit alpha formats onto their colour formats: the
// 16-level blend T[L][s] + T[15 - L][d], each channel times L / 15. Two
// vectors of texels make one vector of 16-bit pixels; a last part goes under
// a mask where the span walk allows it for 16-bit lanes.
// Texels of kBytes bytes (alpha texels: 4; colour texels: 2), their
// colour word in the low 16 bits of the 4 bytes gathered.
template <bool kIs565, ColourWordDraw kMode, int kBytes = 4>
int32_t ColourWordSpan(const Span& sp, uint8_t* d, int32_t count, const RowArgs& args) {
  constexpr bool kClear15 = !kIs565 && kBytes == 4;
  const DU du;
  const D16 d16;
  const hn::Repartition<uint8_t, DU> d8;
  const int32_t lanes = static_cast<int32_t>(hn::Lanes(du));
  alignas(16) uint8_t levels[16];
  for (uint32_t l = 0; l < 16; ++l) {
    levels[l] = static_cast<uint8_t>(
        kMode == ColourWordDraw::kOwnAlpha ? l : pixelops::exact::AlphaLevel(l, args.level & 0xFF));
  }
  const V16 table = hn::BitCast(d16, hn::LoadDup128(d8, levels));
  const V16 key = hn::Set(d16, static_cast<uint16_t>(args.key & 0xFFFF));
  const V16 fifteen = hn::Set(d16, 15);
  const auto draw = [&](VU a, VU b, V16 old, V16 table, V16 key, V16 fifteen) HWY_ATTR {
    const V16 s = hn::ConcatEven(d16, hn::BitCast(d16, b), hn::BitCast(d16, a));
    if constexpr (kMode == ColourWordDraw::kCopy) {
      return kClear15 ? hn::And(s, hn::Set(d16, 0x7FFF)) : s;
    } else if constexpr (kMode == ColourWordDraw::kKeyedCopy) {
      return hn::IfThenElse(hn::Eq(s, key), old, s);
    } else {
      V16 level = hn::Set(d16, static_cast<uint16_t>((args.level & 0xFF) >> 4));
      if constexpr (kMode != ColourWordDraw::kOpacity) {
        const V16 alpha = hn::And(hn::ConcatOdd(d16, hn::BitCast(d16, b), hn::BitCast(d16, a)), fifteen);
        level = hn::TableLookupBytes(table, alpha);
      }
      const V16 out = blend::LevelBlend<kIs565>(s, old, level);
      if constexpr (kMode == ColourWordDraw::kAlphaByOpacity) return hn::IfThenElse(hn::Eq(s, key), old, out);
      if constexpr (kMode == ColourWordDraw::kOpacity) {
        return hn::IfThenElse(hn::Or(hn::Eq(s, key), hn::Eq(s, old)), old, out);
      }
      return out;
    }
  };
  const TexelCursor<kBytes> cursor(sp);
  VU u, v;
  cursor.First(u, v);
  uint16_t* p = reinterpret_cast<uint16_t*>(d);
  const auto whole = [&](size_t i, VU& u, VU& v, V16 table, V16 key, V16 fifteen) HWY_ATTR {
    const VU a = cursor.Next(u, v);
    const VU b = cursor.Next(u, v);
    hn::StoreU(draw(a, b, hn::LoadU(d16, p + i), table, key, fifteen), d16, p + i);
  };
  const auto part = [&](size_t i, VU& u, VU& v, V16 table, V16 key, V16 fifteen) HWY_ATTR {
    const int32_t rest = count - static_cast<int32_t>(i);
    const auto valid = hn::FirstN(d16, static_cast<size_t>(rest));
    const VU a =
        rest >= lanes ? cursor.Next(u, v) : cursor.Part(hn::FirstN(du, static_cast<size_t>(rest)), u, v);
    const VU b = rest > lanes ? cursor.Part(hn::FirstN(du, static_cast<size_t>(rest - lanes)), u, v) : a;
    hn::BlendedStore(draw(a, b, hn::MaskedLoad(valid, d16, p + i), table, key, fifteen), valid, d16, p + i);
  };
  return static_cast<int32_t>(rows::ForEachSpanStep<D16>(static_cast<size_t>(count), hn::Lanes(d16), whole,
                                                         part, u, v, table, key, fifteen));
}

void SetKernels(KernelTable& t) {
  // SSSE3 has no 32-bit lane multiply or blend, and the spans' texel gather
  // and per-lane selects there lose to the per-pixel path (0.7-0.95 of its
  // speed in the level sweep): no spans at that level.
#if HWY_TARGET == HWY_SSSE3
  (void)t;
  return;
#endif
  using F = PixelFormat;
  constexpr uint32_t k32 = 0xFFFFFFFFu, k24 = 0xFFFFFF, k16 = 0xFFFF;
  // Texel copies: the opaque family writes every texel, the keyed family
  // skips the key.
  struct CopyPair {
    F s, d;
    SpanFn opaque, keyed;
  };
  const CopyPair copies[] = {
      {F::Bgrx32, F::Bgrx32, &CopySpan<false, Fill::kAll>, &KeyedCopySpan<k32, false, Fill::kAll>},
      {F::Rgbx32, F::Rgbx32, &CopySpan<false, Fill::kAll>, &KeyedCopySpan<k32, false, Fill::kAll>},
      {F::Bgra32, F::Bgra32, &CopySpan<false, Fill::kAll>, &KeyedCopySpan<k24, false, Fill::kAll>},
      {F::Rgba32, F::Rgba32, &CopySpan<false, Fill::kAll>, &KeyedCopySpan<k24, false, Fill::kAll>},
      {F::Rgb565A, F::Rgb565A, &CopySpan<false, Fill::kKeepPad>, &KeyedCopySpan<k16, false, Fill::kKeepPad>},
      {F::Rgb555A, F::Rgb555A, &CopySpan<false, Fill::kKeepPad>, &KeyedCopySpan<k16, false, Fill::kKeepPad>},
      {F::Bgrx32, F::Bgra32, &CopySpan<false, Fill::kAlpha255>, &KeyedCopySpan<k32, false, Fill::kAlpha255>},
      {F::Rgbx32, F::Bgra32, &CopySpan<true, Fill::kAlpha255>, &KeyedCopySpan<k32, true, Fill::kAlpha255>},
      {F::Bgrx32, F::Rgba32, &CopySpan<true, Fill::kAlpha255>, &KeyedCopySpan<k32, true, Fill::kAlpha255>},
      {F::Rgbx32, F::Rgba32, &CopySpan<false, Fill::kAlpha255>, &KeyedCopySpan<k32, false, Fill::kAlpha255>},
      // Alpha sources onto their colour formats: the opaque family copies the
      // colour with X 0, the keyed family blends by the texel's alpha.
      {F::Bgra32, F::Bgrx32, &CopySpan<false, Fill::kX0>, &WeightSpan<0, false, WeightSource::kAlpha, 0>},
      {F::Rgba32, F::Rgbx32, &CopySpan<false, Fill::kX0>, &WeightSpan<0, false, WeightSource::kAlpha, 0>},
  };
  for (const CopyPair& c : copies) {
    t.Set(Op::SpanOpaque, c.s, c.d, c.opaque);
    t.Set(Op::SpanKeyed, c.s, c.d, c.keyed);
  }

  // Blends at an opacity, the key skipped.
  struct BlendPair {
    F s, d;
    SpanFn fn;
  };
  const BlendPair blends[] = {
      {F::Bgrx32, F::Bgrx32, &WeightSpan<k32, false, WeightSource::kOpacity, 0>},
      {F::Rgbx32, F::Rgbx32, &WeightSpan<k32, false, WeightSource::kOpacity, 0>},
      {F::Bgra32, F::Bgra32, &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 255>},
      {F::Rgba32, F::Rgba32, &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 255>},
      {F::Bgra32, F::Bgrx32, &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 0>},
      {F::Rgba32, F::Rgbx32, &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 0>},
      {F::Bgrx32, F::Bgra32, &WeightSpan<k32, false, WeightSource::kOpacity, 255>},
      {F::Rgbx32, F::Bgra32, &WeightSpan<k32, true, WeightSource::kOpacity, 255>},
      {F::Bgrx32, F::Rgba32, &WeightSpan<k32, true, WeightSource::kOpacity, 255>},
      {F::Rgbx32, F::Rgba32, &WeightSpan<k32, false, WeightSource::kOpacity, 255>},
      {F::Rgb565A, F::Rgb565A, &ChannelAlphaSpan<true>},
      {F::Rgb555A, F::Rgb555A, &ChannelAlphaSpan<false>},
  };
  for (const BlendPair& b : blends) t.Set(Op::SpanBlend, b.s, b.d, b.fn);

  // Alpha texels onto 16-bit colour pixels.
  t.Set(Op::SpanOpaque, F::Rgb565A, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kCopy>);
  t.Set(Op::SpanOpaque, F::Rgb555A, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kCopy>);
  t.Set(Op::SpanKeyed, F::Rgb565A, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kOwnAlpha>);
  t.Set(Op::SpanKeyed, F::Rgb555A, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kOwnAlpha>);
  t.Set(Op::SpanBlend, F::Rgb565A, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kAlphaByOpacity>);
  t.Set(Op::SpanBlend, F::Rgb555A, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kAlphaByOpacity>);

  // 16-bit colour texels (2 bytes, 4 read) onto their own format and onto
  // their alpha format.
  t.Set(Op::SpanOpaque, F::Rgb565, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kCopy, 2>);
  t.Set(Op::SpanOpaque, F::Rgb555, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kCopy, 2>);
  t.Set(Op::SpanKeyed, F::Rgb565, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kKeyedCopy, 2>);
  t.Set(Op::SpanKeyed, F::Rgb555, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kKeyedCopy, 2>);
  t.Set(Op::SpanBlend, F::Rgb565, F::Rgb565, &ColourWordSpan<true, ColourWordDraw::kOpacity, 2>);
  t.Set(Op::SpanBlend, F::Rgb555, F::Rgb555, &ColourWordSpan<false, ColourWordDraw::kOpacity, 2>);
  for (const auto& [s, d] : {std::pair{F::Rgb565, F::Rgb565A}, std::pair{F::Rgb555, F::Rgb555A}}) {
    t.Set(Op::SpanOpaque, s, d, &CopySpan<false, Fill::kLevel15, 2>);
    t.Set(Op::SpanKeyed, s, d, &KeyedCopySpan<k16, false, Fill::kLevel15, 2>);
  }
  t.Set(Op::SpanBlend, F::Rgb565, F::Rgb565A, &ChannelAlphaSpan<true, true>);
  t.Set(Op::SpanBlend, F::Rgb555, F::Rgb555A, &ChannelAlphaSpan<false, true>);

  // 24-bit colour texels (3 bytes, 4 read) onto the 32-bit alpha formats.
  struct Bytes24Pair {
    F s, d;
    SpanFn opaque, keyed, blend;
  };
  const Bytes24Pair bytes24[] = {
      {F::Bgr24, F::Bgra32, &CopySpan<false, Fill::kAlpha255, 3>,
       &KeyedCopySpan<k24, false, Fill::kAlpha255, 3>,
       &WeightSpan<k24, false, WeightSource::kOpacity, 255, 3>},
      {F::Rgb24, F::Bgra32, &CopySpan<true, Fill::kAlpha255, 3>,
       &KeyedCopySpan<k24, true, Fill::kAlpha255, 3>, &WeightSpan<k24, true, WeightSource::kOpacity, 255, 3>},
      {F::Bgr24, F::Rgba32, &CopySpan<true, Fill::kAlpha255, 3>,
       &KeyedCopySpan<k24, true, Fill::kAlpha255, 3>, &WeightSpan<k24, true, WeightSource::kOpacity, 255, 3>},
      {F::Rgb24, F::Rgba32, &CopySpan<false, Fill::kAlpha255, 3>,
       &KeyedCopySpan<k24, false, Fill::kAlpha255, 3>,
       &WeightSpan<k24, false, WeightSource::kOpacity, 255, 3>},
  };
  // Onto the 24-bit formats: their own texels (3 bytes, 4 read), keyed;
  // alpha texels, blended by their alpha in the keyed family.
  const Bytes24Pair onto24[] = {
      {F::Bgr24, F::Bgr24, &CopySpan<false, Fill::kAll, 3, 3>, &KeyedCopySpan<k24, false, Fill::kAll, 3, 3>,
       &WeightSpan<k24, false, WeightSource::kOpacity, 0, 3, 3>},
      {F::Rgb24, F::Rgb24, &CopySpan<false, Fill::kAll, 3, 3>, &KeyedCopySpan<k24, false, Fill::kAll, 3, 3>,
       &WeightSpan<k24, false, WeightSource::kOpacity, 0, 3, 3>},
      {F::Bgra32, F::Bgr24, &CopySpan<false, Fill::kAll, 4, 3>,
       &WeightSpan<0, false, WeightSource::kAlpha, 0, 4, 3>,
       &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 0, 4, 3>},
      {F::Rgba32, F::Rgb24, &CopySpan<false, Fill::kAll, 4, 3>,
       &WeightSpan<0, false, WeightSource::kAlpha, 0, 4, 3>,
       &WeightSpan<k24, false, WeightSource::kAlphaByOpacity, 0, 4, 3>},
  };
  for (const auto& set : {std::span<const Bytes24Pair>(bytes24), std::span<const Bytes24Pair>(onto24)}) {
    for (const Bytes24Pair& b : set) {
      t.Set(Op::SpanOpaque, b.s, b.d, b.opaque);
      t.Set(Op::SpanKeyed, b.s, b.d, b.keyed);
      t.Set(Op::SpanBlend, b.s, b.d, b.blend);
    }
  }
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Polygon)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Polygon)
#endif
