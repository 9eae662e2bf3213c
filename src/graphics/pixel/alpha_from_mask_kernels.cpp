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
// The scalar level has no kernels: its rules run their per-pixel paths.
void RegisterAlphaFromMask(KernelTable&) {}
#else

using rows::ForEachStep;
using rows::kMaxStep;
using rows::Pixels;

// A 16-bit mask (colour word) onto a 16-bit alpha format: the mask value is
// the five blue bits at the top of a byte, so only the 32 ramp entries
// (b << 3) are ever read, and their top four bits become the alpha level.
// They are looked up with byte shuffles of two 16-entry tables. (A 24- or
// 32-bit mask reads all 256 entries: see MaskRampRow.) SB: the mask's bytes
// per pixel.
template <int SB>
void MaskLevelRow(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  alignas(16) uint8_t low[16], high[16];
  for (int k = 0; k < 16; ++k) {
    low[k] = static_cast<uint8_t>(args.table[k << 3] >> 4);
    high[k] = static_cast<uint8_t>(args.table[(k + 16) << 3] >> 4);
  }
  const V8 lowTable = hn::LoadDup128(d8, low), highTable = hn::LoadDup128(d8, high);
  // Byte 2 of each lane indexes; bytes with the top bit set look up 0.
  const V32 others = hn::Set(d32, 0x80008080u), fifteen = hn::Set(d32, 15);
  const auto apply = [d8, d32](V32 w, uint8_t* dp, V8 lowTable, V8 highTable, V32 others, V32 fifteen) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const V8 index = hn::BitCast(d8, hn::Or(hn::ShiftLeft<16>(hn::And(w, fifteen)), others));
    const auto isHigh = hn::Eq(hn::And(w, hn::Set(d32, 16)), hn::Set(d32, 16));
    const V32 level = hn::IfThenElse(isHigh, hn::BitCast(d32, hn::TableLookupBytesOr0(highTable, index)),
                                     hn::BitCast(d32, hn::TableLookupBytesOr0(lowTable, index)));
    hn::StoreU(hn::Or(hn::And(hn::LoadU(d32, p), hn::Set(d32, 0xFF00FFFFu)), level), d32, p);
  };
  if constexpr (SB == 2) {
    const hn::Rebind<uint16_t, D32> dh;
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, auto... tables) {
      apply(hn::PromoteTo(d32, hn::LoadU(dh, reinterpret_cast<const uint16_t*>(sp))), dp, tables...);
    };
    ForEachStep<2, 4>(s, d, Pixels(width), hn::Lanes(d32), step, lowTable, highTable, others, fifteen);
  } else {
    const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, auto... tables) {
      apply(hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp)), dp, tables...);
    };
    ForEachStep<4, 4>(s, d, Pixels(width), hn::Lanes(d32), step, lowTable, highTable, others, fifteen);
  }
}

#if HWY_ARCH_X86 && HWY_TARGET != HWY_EMU128
// A byte mask (the blue byte of a 24- or 32-bit pixel) onto a 32-bit alpha
// format: the alpha byte becomes ramp[mask], a look-up in 256 entries done
// with byte shuffles of its sixteen 16-entry pieces T0..T15. The shuffles
// here look up the low four bits of an index and give 0 where its top bit
// is set. For x < 128 in piece j, the indices x - 16k (k = 0..7, in bytes)
// lie in 0..127 for k <= j and have the top bit set for k > j, so the
// shuffles of T0 and of Tk ^ T(k-1) (k = 1..7) at those indices XOR to
// Tj[x & 15]. For x >= 128 in piece j, the same indices x - 16k (now
// k = 1..8) lie in 0..127 for k >= j - 7 and have the top bit set for
// k < j - 7, so the shuffles of T15 (k = 8) and of T(k+7) ^ T(k+8)
// (k = 1..7) at them XOR to Tj[x & 15]: one chain of indices serves both
// halves.
// The sixteen pieces the look-up shuffles, into p (a local array of the
// x86-only row functions, handed to their steps by address): p[k] goes with
// the index x - 16k (T0, then Tk ^ T(k-1)), p[7 + k] with x - 16k again
// (T(k+7) ^ T(k+8), then T15), k = 1..8.
HWY_INLINE void MakeRampPieces(const uint8_t* ramp, V8* p) {
  const D8 d8;
  alignas(64) uint8_t table[256];
  std::memcpy(table, ramp, 256);
  V8 t[16];
  for (int k = 0; k < 16; ++k) t[k] = hn::LoadDup128(d8, table + 16 * k);
  p[0] = t[0];
  for (int k = 1; k < 8; ++k) p[k] = hn::Xor(t[k], t[k - 1]);
  for (int k = 1; k < 8; ++k) p[7 + k] = hn::Xor(t[k + 7], t[k + 8]);
  p[15] = t[15];
}

HWY_INLINE V8 RampLookup(const V8* p, V8 x) {
  const D8 d8;
  const V8 sixteen = hn::Set(d8, 16);
  V8 i[9];
  i[0] = x;
  for (int k = 1; k < 9; ++k) i[k] = hn::Sub(i[k - 1], sixteen);
  const auto at = [](const V8& piece, V8 index) { return hn::TableLookupBytesOr0(piece, index); };
  const V8 low =
      hn::Xor(hn::Xor3(hn::Xor3(at(p[0], i[0]), at(p[1], i[1]), at(p[2], i[2])), at(p[3], i[3]), at(p[4], i[4])),
              hn::Xor3(at(p[5], i[5]), at(p[6], i[6]), at(p[7], i[7])));
  const V8 high =
      hn::Xor(hn::Xor3(hn::Xor3(at(p[8], i[1]), at(p[9], i[2]), at(p[10], i[3])), at(p[11], i[4]), at(p[12], i[5])),
              hn::Xor3(at(p[13], i[6]), at(p[14], i[7]), at(p[15], i[8])));
  const hn::RebindToSigned<D8> di8;
  return hn::IfThenElse(hn::RebindMask(d8, hn::Lt(hn::BitCast(di8, x), hn::Zero(di8))), high, low);
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
  const auto alphaBytes = hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u)));
  // The blue byte of each lane of v in byte j of the lane, into acc.
  const auto gather = [d32](V32 acc, V32 v, auto j) {
    constexpr int kJ = decltype(j)::value;
    V32 moved;
    if constexpr (kJ > kBlue) moved = hn::ShiftLeft<8 * (kJ - kBlue)>(v);
    else if constexpr (kJ < kBlue) moved = hn::ShiftRight<8 * (kBlue - kJ)>(v);
    else moved = v;
    return hn::IfVecThenElse(hn::Set(d32, 0xFFu << (8 * kJ)), moved, acc);
  };
  // Byte j of each lane of alpha as the alpha of the pixels at p.
  const auto put = [d8](uint32_t* p, V32 alpha, auto j, hn::Mask<D8> alphaBytes) {
    constexpr int kJ = decltype(j)::value;
    V32 moved;
    if constexpr (kJ < 3) moved = hn::ShiftLeft<8 * (3 - kJ)>(alpha);
    else moved = alpha;
    // Only the alpha bytes are stored (a masked store where the target has
    // one, else a load, a blend and a store).
    hn::BlendedStore(hn::BitCast(d8, moved), alphaBytes, d8, reinterpret_cast<uint8_t*>(p));
  };
  using J0 = std::integral_constant<int, 0>;
  using J1 = std::integral_constant<int, 1>;
  using J2 = std::integral_constant<int, 2>;
  using J3 = std::integral_constant<int, 3>;
  // Steps of four vectors, the last overlapping the one before: a pixel's
  // new alpha depends only on its mask byte (which the blit never changes)
  // and its other bytes stay. Shorter rows go a vector at a time (one pixel
  // a lane, byte 3 looked up).
  const auto step = [&](const uint8_t* sp, uint8_t* dp, size_t, const V8* pieces,
                        hn::Mask<D8> alphaBytes) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const uint32_t* sw = reinterpret_cast<const uint32_t*>(sp);
    V32 index = hn::Zero(d32);
    index = gather(index, hn::LoadU(d32, sw), J0());
    index = gather(index, hn::LoadU(d32, sw + n32), J1());
    index = gather(index, hn::LoadU(d32, sw + 2 * n32), J2());
    index = gather(index, hn::LoadU(d32, sw + 3 * n32), J3());
    const V32 alpha = hn::BitCast(d32, RampLookup(pieces, hn::BitCast(d8, index)));
    put(p, alpha, J0(), alphaBytes);
    put(p + n32, alpha, J1(), alphaBytes);
    put(p + 2 * n32, alpha, J2(), alphaBytes);
    put(p + 3 * n32, alpha, J3(), alphaBytes);
  };
  const auto single = [&](const uint8_t* sp, uint8_t* dp, size_t, const V8* pieces,
                          hn::Mask<D8> alphaBytes) {
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    const V32 v = hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp));
    put(p, hn::BitCast(d32, RampLookup(pieces, hn::BitCast(d8, gather(hn::Zero(d32), v, J3())))), J3(),
        alphaBytes);
  };
  V8 pieces[16];
  MakeRampPieces(args.table, pieces);
  if (!rows::ForEachStepOverlapping<4, 4>(s, d, n, hn::Lanes(d8), step, pieces, alphaBytes))
    ForEachStep<4, 4>(s, d, n, n32, single, pieces, alphaBytes);
}

// A 24-bit mask, kBlue its blue byte. A step is one vector of bytes' worth
// of pixels, four vectors of 32-bit lanes as in MaskRampRow: the blue byte of
// pixel q of vector j goes to byte j of lane q by a move of 32-bit lanes
// (block b gets the source's lanes 3b..3b+3, which hold pixels 4b..4b+3)
// and a byte shuffle in each block. Each vector's load reads a vector of
// bytes where its pixels fill three quarters of one, so the walk is the one
// for loads that reach past their step.
template <int kBlue>
void MaskRamp24Row(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t, int32_t) {
  const D32 d32;
  const D8 d8;
  const size_t n32 = hn::Lanes(d32), n = Pixels(width);
  const auto alphaBytes = hn::MaskFromVec(hn::BitCast(d8, hn::Set(d32, 0xFF000000u)));
  alignas(64) int32_t laneIndex[kMaxStep / 4];
  for (size_t q = 0; q < n32; ++q) laneIndex[q] = static_cast<int32_t>(3 * (q / 4) + (q % 4 < 3 ? q % 4 : 2));
  const auto lanes = hn::SetTableIndices(d32, laneIndex);
  alignas(16) uint8_t pickBytes[4][16];
  for (int j = 0; j < 4; ++j) {
    for (int b = 0; b < 16; ++b)
      pickBytes[j][b] = (b & 3) == j ? static_cast<uint8_t>(3 * (b >> 2) + kBlue) : 0x80;
  }
  const auto blue = [d8, d32, n32](const uint8_t* sp, int j, auto lanes, V8 pick) {
    const V32 v = hn::TableLookupLanes(hn::LoadU(d32, reinterpret_cast<const uint32_t*>(sp + 3 * j * n32)), lanes);
    return hn::TableLookupBytesOr0(hn::BitCast(d8, v), pick);
  };
  const auto put = [d8](uint32_t* p, V32 alpha, int j, hn::Mask<D8> alphaBytes) {
    const V32 moved = j == 0   ? hn::ShiftLeft<24>(alpha)
                      : j == 1 ? hn::ShiftLeft<16>(alpha)
                      : j == 2 ? hn::ShiftLeft<8>(alpha)
                               : alpha;
    hn::BlendedStore(hn::BitCast(d8, moved), alphaBytes, d8, reinterpret_cast<uint8_t*>(p));
  };
  const auto body = [&](const uint8_t* sp, uint8_t* dp, const V8* pieces, hn::Mask<D8> alphaBytes,
                        auto lanes, V8 pick0, V8 pick1, V8 pick2, V8 pick3) {
    const V8 index = hn::Or(hn::Or3(blue(sp, 0, lanes, pick0), blue(sp, 1, lanes, pick1),
                                    blue(sp, 2, lanes, pick2)),
                            blue(sp, 3, lanes, pick3));
    const V32 alpha = hn::BitCast(d32, RampLookup(pieces, index));
    uint32_t* p = reinterpret_cast<uint32_t*>(dp);
    for (int j = 0; j < 4; ++j) put(p + j * n32, alpha, j, alphaBytes);
  };
  // The last vector's load ends n32 bytes (under n32 / 3 + 1 pixels) past
  // the step.
  V8 pieces[16];
  MakeRampPieces(args.table, pieces);
  rows::ForEachStepReaching<3, 4>(s, d, n, hn::Lanes(d8), n32 / 3 + 1, body, pieces,
                                  alphaBytes, lanes, hn::LoadDup128(d8, pickBytes[0]),
                                  hn::LoadDup128(d8, pickBytes[1]), hn::LoadDup128(d8, pickBytes[2]),
                                  hn::LoadDup128(d8, pickBytes[3]));
}
#endif

void RegisterAlphaFromMask(KernelTable& t) {
  using F = PixelFormat;
  t.Set(Op::MaskAlpha, F::Rgb565, F::Rgb565A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb555, F::Rgb555A, &MaskLevelRow<2>);
  t.Set(Op::MaskAlpha, F::Rgb565A, F::Rgb565A, &MaskLevelRow<4>);
  t.Set(Op::MaskAlpha, F::Rgb555A, F::Rgb555A, &MaskLevelRow<4>);
#if HWY_ARCH_X86 && HWY_TARGET != HWY_EMU128
  t.Set(Op::MaskAlpha, F::Bgra32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Bgrx32, F::Bgra32, &MaskRampRow<0>);
  t.Set(Op::MaskAlpha, F::Rgba32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Rgbx32, F::Rgba32, &MaskRampRow<2>);
  t.Set(Op::MaskAlpha, F::Bgr24, F::Bgra32, &MaskRamp24Row<0>);
  t.Set(Op::MaskAlpha, F::Rgb24, F::Rgba32, &MaskRamp24Row<2>);
#endif
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(AlphaFromMask)
#endif
