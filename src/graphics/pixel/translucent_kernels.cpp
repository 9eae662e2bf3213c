// Row kernels of the translucent blits (BltAlpha, BltAlphaOpacity,
// BltTranslucentKey) and of the two-level blends (BltBlend, BltBlendKey),
// compiled for every vector target of the build (see row_kernels.h).
//
// Every kernel computes the table entries of its rule in lanes
// (blend_arithmetic-inl.h) and gives exactly the rule's bytes. The keyed forms
// compare a vector of source pixels with the key at once and keep the
// destination where they match. The last partial vector of a row runs through
// a small buffer, so nothing is read or written past the row.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/translucent_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>
#include <type_traits>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Translucent)
#else
namespace {

// The two families: the translucent blend d + D[w][s - d] at one weight (a),
// and the two-level mix P[a][s] + P[b][d].
enum class Family { Translucent, TwoLevel };

using rows::ForEachStep;
using rows::Pixels;

// blend::Narrow (the same words, each channel taken modulo 256) for channel
// sums below 512: each channel shifted to its place and its bits masked there.
template <bool k565, class V>
HWY_INLINE V NarrowSums(V r, V g, V b) {
  const hn::DFromV<V> d;
  const auto blue = hn::And(hn::ShiftRight<3>(b), hn::Set(d, 0x1F));
  if constexpr (k565) {
    return hn::OrAnd(hn::OrAnd(blue, hn::ShiftLeft<8>(r), hn::Set(d, 0xF800)), hn::ShiftLeft<3>(g),
                     hn::Set(d, 0x07E0));
  } else {
    return hn::OrAnd(hn::OrAnd(blue, hn::ShiftLeft<7>(r), hn::Set(d, 0x7C00)), hn::ShiftLeft<2>(g),
                     hn::Set(d, 0x03E0));
  }
}

// ---------------------------------------------------------------------------
// 32-bit pixels onto 32-bit pixels, byte position onto byte position.

// The form of the weights P[A][k] of AlphaWeights: below 255, k makes every
// weight at most 254, which then takes the one-multiply form too.
template <class K>
using AlphaForm =
    std::conditional_t<std::is_same_v<K, blend::FullWeight>, blend::LaneWeight, blend::FixedWeight>;

// P[byte 3 of each pixel][k] in both 16-bit lanes of the pixel, in the form
// AlphaForm<K>, k given in one of the one-weight forms of
// blend_arithmetic-inl.h.
template <class K>
HWY_INLINE V16 AlphaWeights(D8 d8, V8 px, K form, V16 k) {
  const auto alpha = exact::Byte3InHalves(d8, px);
  const auto w = blend::ProductLanes(form, k, alpha);
  if constexpr (std::is_same_v<K, blend::FullWeight>) return w;
  else return exact::FixedMultiplier(w);
}

// Runs body(formA, wa, formB, wb, vecs...) with the one-weight forms of a
// and (TwoLevel) b, vecs passed through.
template <Family kFamily, class Body, class FA, class... Vecs>
HWY_INLINE void WithWeightB(uint32_t b, const Body& body, FA formA, V16 wa, Vecs... vecs) {
  if constexpr (kFamily == Family::TwoLevel) {
    if (b >= 255) body(formA, wa, blend::FullWeight{}, hn::Zero(D16()), vecs...);
    else body(formA, wa, blend::FixedWeight{}, blend::MakeFixedWeight(D8(), b), vecs...);
  } else {
    (void)b;
    body(formA, wa, blend::FullWeight{}, hn::Zero(D16()), vecs...);
  }
}
template <Family kFamily, class Body, class... Vecs>
HWY_INLINE void WithWeights(uint32_t a, uint32_t b, const Body& body, Vecs... vecs) {
  if (a >= 255) WithWeightB<kFamily>(b, body, blend::FullWeight{}, hn::Zero(D16()), vecs...);
  else WithWeightB<kFamily>(b, body, blend::FixedWeight{}, blend::MakeFixedWeight(D8(), a), vecs...);
}

// The three colour bytes (and a fourth that the caller replaces) of 4-byte
// pixels vs over vd, at the weights of the pair (kSrcAlpha, kDstAlpha: as for
// Bytes32Row below).
template <Family kFamily, bool kDstAlpha, class FS, class FB>
HWY_INLINE V8 Mix32Weighted(D8 d8, V8 vs, V8 vd, FS formS, V16 ws, FB formB, V16 wb) {
  if constexpr (kFamily == Family::Translucent) {
    (void)formB, (void)wb;
    return blend::WeightBytes(d8, formS, ws, vs, vd);
  } else if constexpr (kDstAlpha) {
    return blend::MixBytes(d8, formS, ws, vs, AlphaForm<FB>{}, AlphaWeights(d8, vd, formB, wb), vd);
  } else {
    return blend::MixBytes(d8, formS, ws, vs, formB, wb, vd);
  }
}
template <Family kFamily, bool kSrcAlpha, bool kDstAlpha, class FA, class FB>
HWY_INLINE V8 Mix32(D8 d8, V8 vs, V8 vd, FA formA, V16 wa, FB formB, V16 wb) {
  if constexpr (kSrcAlpha) {
    return Mix32Weighted<kFamily, kDstAlpha>(d8, vs, vd, AlphaForm<FA>{}, AlphaWeights(d8, vs, formA, wa),
                                             formB, wb);
  } else {
    return Mix32Weighted<kFamily, kDstAlpha>(d8, vs, vd, formA, wa, formB, wb);
  }
}

// Keyed rows blend the key pixels back rather than store under a mask, which
// is slow on AVX2.
//
// kSrcAlpha: the source's byte 3 is its alpha (weights P[A][a]), and the key
// is compared on bytes 0-2; otherwise on the whole word. kDstAlpha: the
// destination's byte 3 is its alpha and becomes 255 (two-level: its weight is
// P[A][b]); otherwise byte 3 becomes 0.
template <Family kFamily, bool kSrcAlpha, bool kDstAlpha, bool kKeyed>
void Bytes32Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const D32 d32;
  const uint32_t keyMask = kSrcAlpha ? 0xFFFFFFu : 0xFFFFFFFFu;
  const uint32_t keyBits = args.key & keyMask;
  const auto row = [&](auto formA, V16 wa, auto formB, V16 wb) HWY_ATTR {
    const auto key = hn::Set(d32, keyBits);
    // The colour bytes of each pixel (the key's mask where byte 3 is alpha):
    // byte 3 is set as the complement of it, so that no other constant is kept.
    const auto colourBytes = hn::Set(d32, 0xFFFFFFu);
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V16 wa, V16 wb, V32 key,
                          V32 colourBytes) HWY_ATTR {
      const auto vs = hn::LoadU(d8, sp);
      const auto vs32 = hn::BitCast(d32, vs);
      auto match = hn::FirstN(d32, 0);
      if constexpr (kKeyed) {
        match = hn::Eq(kSrcAlpha ? hn::And(vs32, hn::Set(d32, keyMask)) : vs32, key);
        // A vector of key pixels leaves the destination as it is.
        if (hn::AllTrue(d32, match)) return;
      }
      const auto vd = hn::LoadU(d8, dp);
      const auto mixed = Mix32<kFamily, kSrcAlpha, kDstAlpha>(d8, vs, vd, formA, wa, formB, wb);
      auto out = hn::BitCast(d32, mixed);
      out = kDstAlpha ? hn::Or(out, hn::Not(colourBytes)) : hn::And(out, colourBytes);
      if constexpr (kKeyed) out = hn::IfThenElse(match, hn::BitCast(d32, vd), out);
      hn::StoreU(hn::BitCast(d8, out), d8, dp);
    };
    ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, wa, wb, key, colourBytes);
  };
  WithWeights<kFamily>(args.level & 0xFF, args.destLevel & 0xFF, row);
}

// ---------------------------------------------------------------------------
// 24-bit destinations.

// Equal 24-bit formats without a key: every byte of the row is a colour byte
// under the same weights, so the row is one run of bytes.
template <Family kFamily>
void Bytes24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const auto row = [&](auto formA, V16 wa, auto formB, V16 wb) HWY_ATTR {
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V16 wa, V16 wb) HWY_ATTR {
      const auto vs = hn::LoadU(d8, sp), vd = hn::LoadU(d8, dp);
      if constexpr (kFamily == Family::Translucent)
        hn::StoreU(blend::WeightBytes(d8, formA, wa, vs, vd), d8, dp);
      else hn::StoreU(blend::MixBytes(d8, formA, wa, vs, formB, wb, vd), d8, dp);
    };
    ForEachStep<1, 1>(s, d, Pixels(width) * 3, hn::Lanes(d8), step, wa, wb);
  };
  WithWeights<kFamily>(args.level & 0xFF, args.destLevel & 0xFF, row);
}

// The first three quarters of v's bytes (a step of 3-byte pixels, one a
// 32-bit lane) at p, and no byte after them: a masked store where the target
// has one for bytes (AVX-512, SVE), else half a vector and a quarter of one
// (Highway stores bytes under a mask a byte at a time elsewhere on x86).
HWY_INLINE void StoreThreeQuarters(V8 v, uint8_t* p) {
#if (HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3) || \
    (HWY_TARGET & (HWY_SVE | HWY_SVE2 | HWY_SVE_256 | HWY_SVE2_128))
  const D8 d8;
  hn::BlendedStore(v, hn::FirstN(d8, hn::Lanes(d8) / 4 * 3), d8, p);
#else
  const hn::Half<D8> dh;
  const hn::Half<decltype(dh)> dq;
  hn::StoreU(hn::LowerHalf(dh, v), dh, p);
  hn::StoreU(hn::LowerHalf(dq, hn::UpperHalf(dh, v)), dq, p + hn::Lanes(dh));
#endif
}

// 3- or 4-byte sources (a 4-byte source's byte 3 is its alpha, and weights
// the source by P[A][a]) onto 24-bit pixels. The 24-bit pixels of a step are
// spread into 4-byte pixels (each block of 16 bytes taking four, byte 3 zero),
// mixed as 32-bit pixels, and packed back; only the step's bytes are stored
// (a vector loads past them). The key is compared on bytes 0-2.
template <Family kFamily, int32_t kSrcBytes, bool kKeyed>
void Expanded24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D8 d8;
  const D32 d32;
  const size_t lanes32 = hn::Lanes(d32);  // pixels per step
  constexpr uint8_t Z = 0x80;             // a byte made 0
  alignas(16) static constexpr uint8_t kSpread[16] = {0, 1, 2, Z, 3, 4, 5, Z, 6, 7, 8, Z, 9, 10, 11, Z};
  alignas(16) static constexpr uint8_t kPack[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, Z, Z, Z, Z};
  // Lane j of a spread vector takes 32-bit lane j - j / 4 (block k starts at
  // byte 12k); packing takes lane (j / 3) x 4 + j % 3 into lane j.
  alignas(64) int32_t spreadLanes[rows::kMaxStep / 4], packLanes[rows::kMaxStep / 4];
  for (size_t j = 0; j < lanes32; ++j) {
    spreadLanes[j] = static_cast<int32_t>(j - j / 4);
    packLanes[j] = static_cast<int32_t>(j < lanes32 / 4 * 3 ? j / 3 * 4 + j % 3 : 0);
  }
  const auto spread = [d8, d32](V8 v, auto lanes, V8 bytes) HWY_ATTR {
    return hn::TableLookupBytesOr0(hn::BitCast(d8, hn::TableLookupLanes(hn::BitCast(d32, v), lanes)), bytes);
  };
  const auto row = [&](auto formA, V16 wa, auto formB, V16 wb, auto spreadIdx, auto packIdx, V8 spreadBytes,
                       V8 packBytes, V32 key, V32 colour) HWY_ATTR {
    const auto step = [&](const uint8_t* sp, uint8_t* dp, V8 raw, V16 wa, V16 wb, auto spreadIdx,
                          auto packIdx, V8 spreadBytes, V8 packBytes, V32 key, V32 colour) HWY_ATTR {
      const auto vs = kSrcBytes == 4 ? hn::LoadU(d8, sp) : spread(hn::LoadU(d8, sp), spreadIdx, spreadBytes);
      const auto vd = spread(raw, spreadIdx, spreadBytes);
      auto out = Mix32<kFamily, kSrcBytes == 4, false>(d8, vs, vd, formA, wa, formB, wb);
      if constexpr (kKeyed) {
        const auto match = hn::Eq(hn::And(hn::BitCast(d32, vs), colour), key);
        out = hn::BitCast(d8, hn::IfThenElse(match, hn::BitCast(d32, vd), hn::BitCast(d32, out)));
      }
      const auto packed = hn::BitCast(
          d8, hn::TableLookupLanes(hn::BitCast(d32, hn::TableLookupBytesOr0(out, packBytes)), packIdx));
      StoreThreeQuarters(packed, dp);
    };
    rows::ForEachStepAhead<kSrcBytes>(s, d, Pixels(width), lanes32, (lanes32 + 2) / 3, step, wa, wb,
                                      spreadIdx, packIdx, spreadBytes, packBytes, key, colour);
  };
  WithWeights<kFamily>(args.level & 0xFF, args.destLevel & 0xFF, row, hn::SetTableIndices(d32, spreadLanes),
                       hn::SetTableIndices(d32, packLanes), hn::LoadDup128(d8, kSpread),
                       hn::LoadDup128(d8, kPack), hn::Set(d32, args.key & 0xFFFFFF), hn::Set(d32, 0xFFFFFFu));
}

// ---------------------------------------------------------------------------
// 16-bit colour destinations: 16-level blends of colour words.

// Equal 16-bit colour formats. Translucent: level L = a >> 4, the word becomes
// T[L][s] + T[15 - L][d] unless it already equals the source. TwoLevel:
// T[a >> 4][s] + T[b >> 4][d], every word written.
template <Family kFamily, bool k565, bool kKeyed>
void ColourWordRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const uint32_t ls = (args.level & 0xFF) >> 4;
  const uint32_t ld = kFamily == Family::Translucent ? 15 - ls : (args.destLevel & 0xFF) >> 4;
  const auto ms = exact::LevelMultiplier(hn::Set(d16, static_cast<uint16_t>(ls)));
  const auto md = exact::LevelMultiplier(hn::Set(d16, static_cast<uint16_t>(ld)));
  const auto key = hn::Set(d16, static_cast<uint16_t>(args.key));
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V16 ms, V16 md, V16 key) HWY_ATTR {
    const auto vs = rows::LoadU(d16, sp);
    const auto vd = rows::LoadU(d16, dp);
    auto out = hn::Add(blend::LevelWord<k565>(vs, ms), blend::LevelWord<k565>(vd, md));
    if constexpr (kFamily == Family::Translucent) out = hn::IfThenElse(hn::Eq(vs, vd), vd, out);
    if constexpr (kKeyed) out = hn::IfThenElse(hn::Eq(vs, key), vd, out);
    rows::StoreU(out, d16, dp);
  };
  ForEachStep<2, 2>(s, d, Pixels(width), hn::Lanes(d16), step, ms, md, key);
}

// Rgb565A / Rgb555A onto their colour format: the source level is
// P[a][16 x alpha] >> 4 per pixel; the destination level 15 minus it
// (Translucent) or P[b][240] >> 4 (TwoLevel). The key is compared on the colour word.
template <Family kFamily, bool k565, bool kKeyed>
void AlphaOntoColourWordRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t,
                            int32_t) {
  const D8 d8;
  const D16 d16;
  const size_t lanes = hn::Lanes(d16);
  const auto fifteen = hn::Set(d16, 15);
  const auto md = exact::LevelMultiplier(
      hn::Set(d16, static_cast<uint16_t>(pixelops::exact::AlphaLevel(15, args.destLevel & 0xFF))));
  const auto key = hn::Set(d16, static_cast<uint16_t>(args.key));
  const auto full = exact::LevelMultiplier(fifteen);
  // The source level of each alpha, P[a][16 x alpha] >> 4, looked up by the
  // alpha (the byte above it is 0, which looks up level 0, that of alpha 0).
  alignas(16) uint8_t levels[16];
  for (uint32_t alpha = 0; alpha < 16; ++alpha)
    levels[alpha] = static_cast<uint8_t>(pixelops::exact::AlphaLevel(alpha, args.level & 0xFF));
  const auto levelOf = hn::LoadDup128(d8, levels);
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V16 fifteen, V16 md, V16 key, V16 full,
                        V8 levelOf) HWY_ATTR {
    V16 words, alphaPad;
    exact::LoadWordAlpha(d16, sp, words, alphaPad);
    const auto vd = rows::LoadU(d16, dp);
    const auto alpha = hn::And(alphaPad, fifteen);
    const auto ms =
        exact::LevelMultiplier(hn::BitCast(d16, hn::TableLookupBytes(levelOf, hn::BitCast(d8, alpha))));
    // The multiplier of level 15 - L is that of 15 less that of L.
    const auto mdPixel = kFamily == Family::Translucent ? hn::Sub(full, ms) : md;
    auto out = hn::Add(blend::LevelWord<k565>(words, ms), blend::LevelWord<k565>(vd, mdPixel));
    if constexpr (kKeyed) out = hn::IfThenElse(hn::Eq(words, key), vd, out);
    rows::StoreU(out, d16, dp);
  };
  ForEachStep<4, 2>(s, d, Pixels(width), lanes, step, fifteen, md, key, full, levelOf);
}

// Equal Rgb565A / Rgb555A: the colour words blended channel by channel, the
// destination's alpha and pad bytes kept. Translucent: W = P[16 x alpha][a], each
// channel K[W][d] + P[W][s]. TwoLevel: P[ws][s] + P[wd][d] modulo 256 with
// ws = P[16 x source alpha][a], wd = P[16 x destination alpha][b].
template <Family kFamily, bool k565, bool kKeyed>
void AlphaEqual16Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D16 d16;
  const D32 d32;
  const size_t lanes = hn::Lanes(d16);
  const uint16_t keyWord = static_cast<uint16_t>(args.key);
  // Two vectors of pixels at a time, packed into one vector of 16-bit lanes:
  // the first vector's words (or alpha and pad bytes) in the even lanes, the
  // second's in the odd lanes (blend::PackWords). Each lane is worked out
  // alone, so the order does not matter.
  const auto alpha16 = [d16, d32](V16 first, V16 second, V16 fifteen) HWY_ATTR {  // 16 x alpha
    const auto ap = hn::OddEven(second, hn::BitCast(d16, hn::ShiftRight<16>(hn::BitCast(d32, first))));
    return hn::ShiftLeft<4>(hn::And(ap, fifteen));
  };
  // The weights P[16 x alpha][a] are at most 240, so their products take the
  // one-multiply form per lane.
  const auto row = [&](auto formA, V16 wa, auto formB, V16 wb) HWY_ATTR {
    const auto fifteen = hn::Set(d16, 15);
    const auto key = hn::Set(d16, keyWord);
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V16 wa, V16 wb, V16 fifteen,
                          V16 key) HWY_ATTR {
      const auto s1 = rows::LoadU(d16, sp), s2 = rows::LoadU(d16, sp + 2 * lanes);
      const auto sw = blend::PackWords(s1, s2);
      if (kKeyed && hn::AllTrue(d16, hn::Eq(sw, key))) return;  // key pixels only
      const auto d1 = rows::LoadU(d16, dp), d2 = rows::LoadU(d16, dp + 2 * lanes);
      const auto dw = blend::PackWords(d1, d2);
      V16 sr, sg, sb, dr, dg, db;
      blend::Widen<k565>(sw, sr, sg, sb);
      blend::Widen<k565>(dw, dr, dg, db);
      const auto ws = blend::ProductLanes(formA, wa, alpha16(s1, s2, fifteen));
      const auto ms = exact::FixedMultiplier(ws);
      const blend::FixedWeight fixed;
      V16 r, g, bl;
      if constexpr (kFamily == Family::Translucent) {
        // K[W][d] = P[255 - W][d]: for W >= 1 in the one-multiply form, at
        // the complement of W's multiplier; for W = 0, d itself.
        const auto mk = exact::ComplementMultiplier(ms);
        const auto none = hn::Eq(ws, hn::Zero(d16));
        const auto k = [](V16 c, V16 mk, hn::Mask<D16> none)
                           HWY_ATTR { return hn::IfThenElse(none, c, hn::MulHigh(c, mk)); };
        r = hn::Add(k(dr, mk, none), blend::ProductLanes(fixed, ms, sr));
        g = hn::Add(k(dg, mk, none), blend::ProductLanes(fixed, ms, sg));
        bl = hn::Add(k(db, mk, none), blend::ProductLanes(fixed, ms, sb));
      } else {
        const auto md = exact::FixedMultiplier(blend::ProductLanes(formB, wb, alpha16(d1, d2, fifteen)));
        r = hn::Add(blend::ProductLanes(fixed, ms, sr), blend::ProductLanes(fixed, md, dr));
        g = hn::Add(blend::ProductLanes(fixed, ms, sg), blend::ProductLanes(fixed, md, dg));
        bl = hn::Add(blend::ProductLanes(fixed, ms, sb), blend::ProductLanes(fixed, md, db));
      }
      auto out = NarrowSums<k565>(r, g, bl);
      if constexpr (kKeyed) out = hn::IfThenElse(hn::Eq(sw, key), dw, out);
      // The new words back into the destination pixels, beside their alpha
      // and pad bytes.
      rows::StoreU(blend::UnpackWordsLow(out, d1), d16, dp);
      rows::StoreU(blend::UnpackWordsHigh(out, d2), d16, dp + 2 * lanes);
    };
    ForEachStep<4, 4>(s, d, Pixels(width), lanes, step, wa, wb, fifteen, key);
  };
  WithWeights<kFamily>(args.level & 0xFF, args.destLevel & 0xFF, row);
}

// ---------------------------------------------------------------------------

template <Family kFamily, bool kKeyed>
void RegisterFamily(KernelTable& t, Op op) {
  using F = PixelFormat;
  t.Set(op, F::Rgb565, F::Rgb565, &ColourWordRow<kFamily, true, kKeyed>);
  t.Set(op, F::Rgb555, F::Rgb555, &ColourWordRow<kFamily, false, kKeyed>);
  t.Set(op, F::Rgb565A, F::Rgb565, &AlphaOntoColourWordRow<kFamily, true, kKeyed>);
  t.Set(op, F::Rgb555A, F::Rgb555, &AlphaOntoColourWordRow<kFamily, false, kKeyed>);
  t.Set(op, F::Rgb565A, F::Rgb565A, &AlphaEqual16Row<kFamily, true, kKeyed>);
  t.Set(op, F::Rgb555A, F::Rgb555A, &AlphaEqual16Row<kFamily, false, kKeyed>);
  if constexpr (kKeyed) {
    t.Set(op, F::Bgr24, F::Bgr24, &Expanded24Row<kFamily, 3, true>);
    t.Set(op, F::Rgb24, F::Rgb24, &Expanded24Row<kFamily, 3, true>);
  } else {
    t.Set(op, F::Bgr24, F::Bgr24, &Bytes24Row<kFamily>);
    t.Set(op, F::Rgb24, F::Rgb24, &Bytes24Row<kFamily>);
  }
  t.Set(op, F::Bgra32, F::Bgr24, &Expanded24Row<kFamily, 4, kKeyed>);
  t.Set(op, F::Rgba32, F::Rgb24, &Expanded24Row<kFamily, 4, kKeyed>);
  t.Set(op, F::Bgrx32, F::Bgrx32, &Bytes32Row<kFamily, false, false, kKeyed>);
  t.Set(op, F::Rgbx32, F::Rgbx32, &Bytes32Row<kFamily, false, false, kKeyed>);
  t.Set(op, F::Bgra32, F::Bgrx32, &Bytes32Row<kFamily, true, false, kKeyed>);
  t.Set(op, F::Rgba32, F::Rgbx32, &Bytes32Row<kFamily, true, false, kKeyed>);
  t.Set(op, F::Bgra32, F::Bgra32, &Bytes32Row<kFamily, true, true, kKeyed>);
  t.Set(op, F::Rgba32, F::Rgba32, &Bytes32Row<kFamily, true, true, kKeyed>);
}

void SetKernels(KernelTable& t) {
  RegisterFamily<Family::Translucent, false>(t, Op::Translucent);
  RegisterFamily<Family::Translucent, true>(t, Op::TranslucentKeyed);
  RegisterFamily<Family::TwoLevel, false>(t, Op::TwoLevel);
  RegisterFamily<Family::TwoLevel, true>(t, Op::TwoLevelKeyed);
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Translucent)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Translucent)
#endif
