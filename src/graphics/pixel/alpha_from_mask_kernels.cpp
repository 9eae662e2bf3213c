// Row kernels of the alpha from a mask (alpha_from_mask.cpp), compiled for
// every vector target of the build (see row_kernels.h). The ramp is looked
// up with byte shuffles of its 16-entry pieces.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/alpha_from_mask_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>
#include <type_traits>

#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(AlphaFromMask)
#else
namespace {

using rows::ForEachStep;
using rows::kMaxStep;
using rows::Pixels;

// A 16-bit mask (colour word) onto a 16-bit alpha format: the mask value is
// the five blue bits at the top of a byte, so only the 32 ramp entries
// (b << 3) are ever read, and their top four bits become the alpha level.
// They are looked up with byte shuffles of two 16-entry tables, low (b < 16)
// and low ^ high: on every target a shuffle looks up indices 0..15 and gives
// 0 for an index with its top bit set, so low at b & 15 XOR low ^ high at
// b - 16 (whose top bit is set for b < 16) is the entry of b. (A 24- or
// 32-bit mask reads all 256 entries: see MaskRampRow.) SB: the mask's bytes
// per pixel.
template <int SB>
void MaskLevelRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D16 d16;
  const D8 d8;
  alignas(16) uint8_t low[16], mixed[16];
  for (int k = 0; k < 16; ++k) {
    low[k] = static_cast<uint8_t>(args.table[k << 3] >> 4);
    mixed[k] = static_cast<uint8_t>(low[k] ^ args.table[(k + 16) << 3] >> 4);
  }
  const V8 lowTable = hn::LoadDup128(d8, low), mixedTable = hn::LoadDup128(d8, mixed);
  // The level of each index byte b (0..31) of b15 = b & 15 and b31 = b, in
  // lanes whose other bytes have the top bit set (and stay so in b31 - 16).
  const auto level = [d8](auto b15, auto b31, auto sixteen, V8 lowTable, V8 mixedTable) HWY_ATTR {
    return hn::Xor(
        hn::TableLookupBytesOr0(lowTable, hn::BitCast(d8, b15)),
        hn::TableLookupBytesOr0(mixedTable, hn::Sub(hn::BitCast(d8, b31), hn::BitCast(d8, sixteen))));
  };
  // The level (in byte 2 of its lane) as the alpha of the pixels at p.
  const auto put = [d32](uint8_t* p, V32 level) HWY_ATTR {
    rows::StoreU(hn::Or(hn::And(rows::LoadU(d32, p), hn::Set(d32, 0xFF00FFFFu)), level), d32, p);
  };
  if constexpr (SB == 2) {
    // A vector of colour words a step: levels in byte 0 of 16-bit lanes,
    // widened to 32-bit lanes for two vectors of pixels.
    const hn::Half<D16> dh;
    const size_t n32 = hn::Lanes(d32);
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 lowTable, V8 mixedTable) HWY_ATTR {
      const V16 w = rows::LoadU(d16, sp);
      const V16 top = hn::Set(d16, 0x8000);
      const V16 b15 = hn::Or(hn::And(w, hn::Set(d16, 15)), top),
                b31 = hn::Or(hn::And(w, hn::Set(d16, 31)), top);
      const V16 levels = hn::BitCast(d16, level(b15, b31, hn::Set(d16, 16), lowTable, mixedTable));
      put(dp, hn::ShiftLeft<16>(hn::PromoteTo(d32, hn::LowerHalf(dh, levels))));
      put(dp + 4 * n32, hn::ShiftLeft<16>(hn::PromoteTo(d32, hn::UpperHalf(dh, levels))));
    };
    ForEachStep<2, 4>(s, d, Pixels(width), hn::Lanes(d16), step, lowTable, mixedTable);
  } else {
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, V8 lowTable, V8 mixedTable) HWY_ATTR {
      const V32 w = hn::ShiftLeft<16>(rows::LoadU(d32, sp));
      const V32 top = hn::Set(d32, 0x80008080u);
      const V32 b15 = hn::Or(hn::And(w, hn::Set(d32, 15u << 16)), top);
      const V32 b31 = hn::Or(hn::And(w, hn::Set(d32, 31u << 16)), top);
      put(dp, hn::BitCast(d32, level(b15, b31, hn::Set(d32, 16u << 16), lowTable, mixedTable)));
    };
    ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, lowTable, mixedTable);
  }
}

// The ramp rows are built for x86 from AVX-512 on: with narrower vectors
// their sixteen shuffles a vector, and the loads and stores that put whole
// pixels back around the alpha bytes (a byte-masked store is native only
// from AVX-512 on), cost more than the per-pixel path's table reads, and it
// is the faster there (at AVX2 they ran at nine tenths of its speed).
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3
// A byte mask (the blue byte of a 24- or 32-bit pixel) onto a 32-bit alpha
// format: the alpha byte becomes ramp[mask], a look-up in 256 entries done
// with byte shuffles of its sixteen 16-entry pieces T0..T15. On every target
// a shuffle (TableLookupBytesOr0) looks up indices 0..15 and gives 0 for an
// index whose top bit is set; for indices 16..127, x86's shuffles look up
// the index's low four bits (Arm's give 0), which this look-up relies on, so
// it is built for x86 only. The bytes x < 128 and x >= 128 go through
// chains of eight shuffles each, at indices made by subtractions that
// saturate at -128 (bytes as signed): for x < 128 in piece j, the indices
// x - 16k (k = 0..7) lie in 0..127 for k <= j and are negative (top bit
// set) for k > j, so the shuffles of T0 and of Tk ^ T(k-1) (k = 1..7) at
// them XOR to Tj[x & 15]; for x >= 128 the indices stay negative and the
// chain gives 0. The other chain does the same for x ^ 128 with T8 and
// Tk ^ T(k-1) (k = 9..15), and the two XOR to ramp[x].
// The sixteen pieces the look-up shuffles, into p (a local array of the
// x86-only row functions, handed to their steps by address): T0, T8, and
// Tk ^ T(k-1) for the others.
HWY_INLINE void MakeRampPieces(const uint8_t* ramp, V8* p) {
  const D8 d8;
  alignas(64) uint8_t table[256];
  std::memcpy(table, ramp, 256);
  V8 t[16];
  for (int k = 0; k < 16; ++k) t[k] = hn::LoadDup128(d8, table + 16 * k);
  for (int k = 0; k < 16; ++k) p[k] = k % 8 == 0 ? t[k] : hn::Xor(t[k], t[k - 1]);
}

// The alphas of four vectors of pixels at p, byte j of each lane of alpha
// going to vector j, under a mask of the alpha bytes.
HWY_INLINE void StoreFourAlphas(uint8_t* p, V32 alpha) {
  const D32 d32;
  const D8 d8;
  const size_t n8 = hn::Lanes(d8);
  const auto alphaBytes = hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u)));
  const auto put = [d8](uint8_t* at, V32 v, hn::Mask<D8> alphaBytes)
                       HWY_ATTR { hn::BlendedStore(hn::BitCast(d8, v), alphaBytes, d8, at); };
  put(p, hn::ShiftLeft<24>(alpha), alphaBytes);
  put(p + n8, hn::ShiftLeft<16>(alpha), alphaBytes);
  put(p + 2 * n8, hn::ShiftLeft<8>(alpha), alphaBytes);
  put(p + 3 * n8, alpha, alphaBytes);
}

// ramp[x] for each byte x, from the pieces of MakeRampPieces.
HWY_INLINE V8 RampLookup(const V8* p, V8 x) {
  const D8 d8;
  const hn::RebindToSigned<D8> di8;
  const auto at = [d8](const V8& piece, hn::Vec<decltype(di8)> index)
                      HWY_ATTR { return hn::TableLookupBytesOr0(piece, hn::BitCast(d8, index)); };
  const auto sixteen = hn::Set(di8, 16);
  auto low = hn::BitCast(di8, x), high = hn::Xor(low, hn::Set(di8, -128));
  V8 out = hn::Xor(at(p[0], low), at(p[8], high));
  for (int k = 1; k < 8; ++k) {
    low = hn::SaturatedSub(low, sixteen);
    high = hn::SaturatedSub(high, sixteen);
    out = hn::Xor3(out, at(p[k], low), at(p[8 + k], high));
  }
  return out;
}

// A 32-bit mask, kBlue its blue byte. A step is one vector of bytes' worth
// of pixels, four vectors of 32-bit lanes: the blue bytes of vector j's
// lanes go to byte j of one vector's lanes for a single look-up (a 24-bit
// mask: MaskRamp24Row).
template <int kBlue>
void MaskRampRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const size_t n32 = hn::Lanes(d32), n = Pixels(width);
  // The blue byte of each lane of v in byte j of the lane, the others 0.
  const auto blue = [d32](V32 v, auto j) HWY_ATTR {
    constexpr int kJ = decltype(j)::value;
    if constexpr (kJ == 3 && kBlue == 0) return hn::ShiftLeft<24>(v);
    V32 moved;
    if constexpr (kJ > kBlue) moved = hn::ShiftLeft<8 * (kJ - kBlue)>(v);
    else if constexpr (kJ < kBlue) moved = hn::ShiftRight<8 * (kBlue - kJ)>(v);
    else moved = v;
    return hn::And(moved, hn::Set(d32, 0xFFu << (8 * kJ)));
  };
  using J0 = std::integral_constant<int, 0>;
  using J1 = std::integral_constant<int, 1>;
  using J2 = std::integral_constant<int, 2>;
  using J3 = std::integral_constant<int, 3>;
  // Steps of four vectors, the last overlapping the one before: a pixel's
  // new alpha depends only on its mask byte (which the blit never changes)
  // and its other bytes stay. Shorter rows go a vector at a time (one pixel
  // a lane, byte 3 looked up).
  const size_t n8 = hn::Lanes(d8);
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, const V8* pieces) HWY_ATTR {
    const V32 index =
        hn::Or(hn::Or(blue(rows::LoadU(d32, sp), J0()), blue(rows::LoadU(d32, sp + n8), J1())),
               hn::Or(blue(rows::LoadU(d32, sp + 2 * n8), J2()), blue(rows::LoadU(d32, sp + 3 * n8), J3())));
    StoreFourAlphas(dp, hn::BitCast(d32, RampLookup(pieces, hn::BitCast(d8, index))));
  };
  const auto single = [&](const uint8_t* sp, uint8_t* dp, size_t, const V8* pieces) HWY_ATTR {
    const V32 v = rows::LoadU(d32, sp);
    const V8 alpha = RampLookup(pieces, hn::BitCast(d8, blue(v, J3())));
    hn::BlendedStore(alpha, hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u))), d8, dp);
  };
  V8 pieces[16];
  MakeRampPieces(args.table, pieces);
  if (!rows::ForEachStepOverlapping<4, 4>(s, d, n, hn::Lanes(d8), step, pieces))
    ForEachStep<4, 4>(s, d, n, n32, single, pieces);
}

// A 24-bit mask, kBlue its blue byte. A step is one vector of bytes' worth
// of pixels, four vectors of 32-bit lanes as in MaskRampRow: the blue byte of
// pixel q of vector j goes to byte j of lane q by a move of 32-bit lanes
// (block b gets the source's lanes 3b..3b+3, which hold pixels 4b..4b+3)
// and a byte shuffle in each block. A vector's pixels fill three quarters of
// a vector of bytes: the last one is loaded a quarter early, its lanes moved
// a quarter further, so that no load reaches past the step, and the steps
// go as in MaskRampRow, the last overlapping the one before.
template <int kBlue>
void MaskRamp24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const size_t n32 = hn::Lanes(d32), n = Pixels(width);
  alignas(64) int32_t laneIndex[kMaxStep / 4], lastIndex[kMaxStep / 4];
  for (size_t q = 0; q < n32; ++q) {
    laneIndex[q] = static_cast<int32_t>(3 * (q / 4) + (q % 4 < 3 ? q % 4 : 2));
    lastIndex[q] = laneIndex[q] + static_cast<int32_t>(n32 / 4);
  }
  alignas(16) uint8_t pickBytes[4][16];
  for (int j = 0; j < 4; ++j) {
    for (int b = 0; b < 16; ++b)
      pickBytes[j][b] = (b & 3) == j ? static_cast<uint8_t>(3 * (b >> 2) + kBlue) : 0x80;
  }
  // The blue bytes of vector j's pixels, loaded `early` bytes before them.
  const auto blue = [d8, d32, n32](const uint8_t* sp, int j, size_t early, auto lanes, V8 pick) HWY_ATTR {
    const V32 v = rows::LoadU(d32, sp + 3 * j * n32 - early);
    return hn::TableLookupBytesOr0(hn::BitCast(d8, hn::TableLookupLanes(v, lanes)), pick);
  };
  const auto body = [&](const uint8_t* sp, uint8_t* dp, size_t, const V8* pieces, auto lanes, auto lastLanes,
                        V8 pick0, V8 pick1, V8 pick2, V8 pick3) HWY_ATTR {
    const V8 index = hn::Or(hn::Or(blue(sp, 0, 0, lanes, pick0), blue(sp, 1, 0, lanes, pick1)),
                            hn::Or(blue(sp, 2, 0, lanes, pick2), blue(sp, 3, n32, lastLanes, pick3)));
    StoreFourAlphas(dp, hn::BitCast(d32, RampLookup(pieces, index)));
  };
  V8 pieces[16];
  MakeRampPieces(args.table, pieces);
  const auto lanes = hn::SetTableIndices(d32, laneIndex), lastLanes = hn::SetTableIndices(d32, lastIndex);
  const V8 pick0 = hn::LoadDup128(d8, pickBytes[0]), pick1 = hn::LoadDup128(d8, pickBytes[1]);
  const V8 pick2 = hn::LoadDup128(d8, pickBytes[2]), pick3 = hn::LoadDup128(d8, pickBytes[3]);
  // Rows shorter than a step go through the common walk's buffers.
  if (!rows::ForEachStepOverlapping<3, 4>(s, d, n, hn::Lanes(d8), body, pieces, lanes, lastLanes, pick0,
                                          pick1, pick2, pick3))
    ForEachStep<3, 4>(s, d, n, hn::Lanes(d8), body, pieces, lanes, lastLanes, pick0, pick1, pick2, pick3);
}
#endif

void SetKernels(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::MaskAlpha, F::Rgb565, F::Rgb565A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb555, F::Rgb555A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb565A, F::Rgb565A, &MaskLevelRow<4>);
  t.Set(Op::MaskAlpha, F::Rgb555A, F::Rgb555A, &MaskLevelRow<4>);
  // The ramp rows: x86 from AVX-512 on (see above).
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3
  t.Set(Op::MaskAlpha, F::Bgra32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Bgrx32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Rgba32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Rgbx32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Bgr24, F::Bgra32, &MaskRamp24Row<0>);
  t.Set(Op::MaskAlpha, F::Rgb24, F::Rgba32, &MaskRamp24Row<2>);
#endif
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(AlphaFromMask)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(AlphaFromMask)
#endif
