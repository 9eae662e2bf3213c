// The kernels of the blend frame's walks (blend_frame.h): the gather of the
// stretched walk, a row's source pixels picked by the row's source columns
// and packed into a buffer for a row kernel, for pixels of 1, 2, 3 and 4
// bytes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/blend_frame_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include <cstring>

#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(BlendFrame)
#else
namespace {

// Every gather copies the pixels at row + B x columns[i] to out + B x i for
// i < n (B bytes a pixel); the columns rise, and every column is below
// available, the pixels the row holds. No byte of the row from pixel
// available on is read, and no byte of out from pixel n on is written.

// The pixels from..to - 1 one at a time.
template <int B>
HWY_INLINE void CopyPixels(const uint8_t* row, const int32_t* columns, int32_t from, int32_t to,
                           uint8_t* out) {
  for (int32_t i = from; i < to; ++i) std::memcpy(out + B * i, row + int64_t{columns[i]} * B, B);
}

#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
constexpr bool kGatherInstruction = true;  // a gather instruction beats pixel by pixel
#else
constexpr bool kGatherInstruction = false;
#endif

// 4-byte pixels. While the columns of each vector span fewer pixels than
// a vector holds (an enlarging stretch), one load and a lane permutation
// gather them; from the first vector whose columns do not (the columns of a
// stretch are evenly spread: the later ones do not either), a gather
// instruction (which takes the row as a plain address, no alignment asked),
// or pixel by pixel on targets without one.
void Gather32(const uint8_t* row, const int32_t* columns, int32_t n, int32_t available, uint8_t* out) {
  const hn::ScalableTag<int32_t> di;
  const hn::ScalableTag<uint8_t> du8;
  const int32_t lanes = static_cast<int32_t>(hn::Lanes(di));
  int32_t i = 0;
  for (; i + lanes <= n; i += lanes) {
    const int32_t first = columns[i];
    if (columns[i + lanes - 1] - first >= lanes || first + lanes > available) break;
    const auto pixels = hn::BitCast(di, hn::LoadU(du8, row + int64_t{first} * 4));
    const auto place = hn::Sub(hn::LoadU(di, columns + i), hn::Set(di, first));
    hn::StoreU(hn::BitCast(du8, hn::TableLookupLanes(pixels, hn::IndicesFromVec(di, place))), du8,
               out + 4 * i);
  }
  if constexpr (kGatherInstruction) {
    for (; i + lanes <= n; i += lanes) {
      const auto v = hn::GatherIndex(di, reinterpret_cast<const int32_t*>(row), hn::LoadU(di, columns + i));
      hn::StoreU(hn::BitCast(du8, v), du8, out + 4 * i);
    }
  }
  CopyPixels<4>(row, columns, i, n, out);
}

// Pixels of 1, 2 and 3 bytes go by 128-bit blocks: each block of a vector
// picks its pixels out of a window of 16 bytes of the row that starts at its
// own first pixel, by a byte shuffle, wherever its pixels lie in the window
// (an enlarging stretch, or one that shrinks a little). The vectors are the
// widest of whole blocks known when compiling (one block on targets of
// scalable vectors).
#if HWY_HAVE_SCALABLE
using DB = hn::CappedTag<uint8_t, 16>;
#else
using DB = hn::ScalableTag<uint8_t>;
#endif
using VB = hn::Vec<DB>;
constexpr size_t kBlocks = hn::MaxLanes(DB()) / 16;
static_assert(kBlocks == 1 || kBlocks == 2 || kBlocks == 4);

// The vector whose block b holds the 16 bytes from at(b).
template <class At>
HWY_INLINE VB LoadWindows(const At& at) {
  const DB d;
  if constexpr (kBlocks == 1) {
    return hn::LoadU(d, at(0));
  } else if constexpr (kBlocks == 2) {
    const hn::Half<DB> h;
    return hn::Combine(d, hn::LoadU(h, at(1)), hn::LoadU(h, at(0)));
  } else {
    const hn::Half<DB> h;
    const hn::Half<hn::Half<DB> > q;
    return hn::Combine(d, hn::Combine(h, hn::LoadU(q, at(3)), hn::LoadU(q, at(2))),
                       hn::Combine(h, hn::LoadU(q, at(1)), hn::LoadU(q, at(0))));
  }
}

// The low byte (kBytes 1) or the low two bytes (kBytes 2) of the columns
// from c on, one pixel a lane of kBytes bytes: a vector of pixels' worth.
// Vectors capped at one block (scalable targets, where the lanes past the
// cap do not follow ConcatEven) take each 4 columns' bytes by a byte shuffle
// to their places, the others zeroed.
template <int kBytes>
HWY_INLINE VB LowColumnBytes(const int32_t* c) {
  const DB d8;
  const hn::Repartition<uint16_t, DB> d16;
  const hn::Repartition<int32_t, DB> d32;
  const size_t n = hn::Lanes(d32);
#if HWY_HAVE_SCALABLE
  // Vector k of the 4 / kBytes: its lanes' low bytes to bytes 4 kBytes k on.
  alignas(16) static constexpr uint8_t kPlace[2][4][16] = {
      {{0, 4, 8, 12, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128},
       {128, 128, 128, 128, 0, 4, 8, 12, 128, 128, 128, 128, 128, 128, 128, 128},
       {128, 128, 128, 128, 128, 128, 128, 128, 0, 4, 8, 12, 128, 128, 128, 128},
       {128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 0, 4, 8, 12}},
      {{0, 1, 4, 5, 8, 9, 12, 13, 128, 128, 128, 128, 128, 128, 128, 128},
       {128, 128, 128, 128, 128, 128, 128, 128, 0, 1, 4, 5, 8, 9, 12, 13}}};
  (void)d16;
  VB bytes = hn::Zero(d8);
  for (size_t k = 0; k < 4 / kBytes; ++k) {
    const VB v = hn::BitCast(d8, hn::LoadU(d32, c + k * n));
    bytes = hn::Or(bytes, hn::TableLookupBytesOr0(v, hn::LoadDup128(d8, kPlace[kBytes - 1][k])));
  }
  return bytes;
#else
  const auto low16 = [&](const int32_t* p) HWY_ATTR {
    return hn::ConcatEven(d16, hn::BitCast(d16, hn::LoadU(d32, p + n)), hn::BitCast(d16, hn::LoadU(d32, p)));
  };
  if constexpr (kBytes == 2) {
    return hn::BitCast(d8, low16(c));
  } else {
    return hn::ConcatEven(d8, hn::BitCast(d8, low16(c + 2 * n)), hn::BitCast(d8, low16(c)));
  }
#endif
}

// 1- and 2-byte pixels: 16 / kBytes pixels a block. The columns' low byte
// (or two bytes) less the block's first, wrapped, are the pixels' places in
// the block's window; the window holds them where each place is below
// 16 / kBytes. From the first vector whose pixels the windows do not hold
// (or whose windows would pass the row's end), a gather instruction (2-byte
// pixels; 4 bytes read at each, so never at the row's last pixel) or pixel
// by pixel, as in Gather32.
template <int kBytes>
void GatherNarrow(const uint8_t* row, const int32_t* columns, int32_t n, int32_t available, uint8_t* out) {
  static_assert(kBytes == 1 || kBytes == 2);
  constexpr int32_t kPerBlock = 16 / kBytes;
  const DB d8;
  const hn::RebindToSigned<DB> di8;
  const hn::Repartition<uint16_t, DB> d16;
  const hn::Repartition<int16_t, DB> di16;
  const int32_t lanes = static_cast<int32_t>(hn::Lanes(d8)) / kBytes;
  // The vector's columns are tried in their windows where they span fewer
  // pixels than the vector holds and a block more (a stretch that shrinks
  // more is not worth the try); their places in the windows are then exact
  // in a signed lane of kBytes bytes.
  const int32_t span = lanes + kPerBlock;
  static_assert(hn::MaxLanes(DB()) + 16 < 128);
  // Byte 0 (or bytes 0 and 1) of each block, everywhere in the block.
  alignas(16) static constexpr uint8_t kFirst[2][16] = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                                        {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}};
  const VB first = hn::LoadDup128(d8, kFirst[kBytes - 1]);
  int32_t i = 0;
  for (; i + lanes <= n; i += lanes) {
    if (columns[i + lanes - 1] - columns[i] >= span ||
        columns[i + lanes - kPerBlock] + kPerBlock > available) {
      break;
    }
    const VB c = LowColumnBytes<kBytes>(columns + i);
    VB index;
    if constexpr (kBytes == 1) {
      index = hn::Sub(c, hn::TableLookupBytes(c, first));
      if (!hn::AllFalse(di8, hn::Gt(hn::BitCast(di8, index), hn::Set(di8, 15)))) break;
    } else {
      const auto c16 = hn::BitCast(d16, c);
      const auto p16 = hn::Sub(c16, hn::BitCast(d16, hn::TableLookupBytes(c, first)));
      if (!hn::AllFalse(di16, hn::Gt(hn::BitCast(di16, p16), hn::Set(di16, 7)))) break;
      // Bytes 2p and 2p + 1.
      index = hn::BitCast(d8, hn::Add(hn::Mul(p16, hn::Set(d16, 0x0202)), hn::Set(d16, 0x0100)));
    }
    const VB window = LoadWindows(
        [&](size_t b) { return row + int64_t{columns[i + static_cast<int32_t>(b) * kPerBlock]} * kBytes; });
    hn::StoreU(hn::TableLookupBytes(window, index), d8, out + kBytes * i);
  }
  if constexpr (kGatherInstruction && kBytes == 2) {
    const hn::ScalableTag<int32_t> di;
    const hn::ScalableTag<uint16_t> dw;
    const int32_t half = static_cast<int32_t>(hn::Lanes(di));
    const auto base = reinterpret_cast<const int32_t*>(row);
    for (; i + lanes <= n; i += lanes) {
      const int32_t last = columns[i + lanes - 1];
      if (last + 2 > available || last >= (1 << 30)) break;
      const auto lo = hn::GatherOffset(di, base, hn::ShiftLeft<1>(hn::LoadU(di, columns + i)));
      const auto hi = hn::GatherOffset(di, base, hn::ShiftLeft<1>(hn::LoadU(di, columns + i + half)));
      hn::StoreU(hn::ConcatEven(dw, hn::BitCast(dw, hi), hn::BitCast(dw, lo)), dw,
                 reinterpret_cast<uint16_t*>(out + 2 * i));
    }
  }
  CopyPixels<kBytes>(row, columns, i, n, out);
}

// 3-byte pixels: 4 a block, taken from its window while they lie at most 4
// pixels past the block's first (bytes 0-14); then, as in Gather32, by a
// gather instruction (4 bytes read at each, so never at the row's last
// pixel) or pixel by pixel. Each block leaves 12 bytes, packed together by
// a lane permutation; the vector is stored whole while the bytes past the
// step's pixels lie before pixel n (the next step writes them again).
void Gather24(const uint8_t* row, const int32_t* columns, int32_t n, int32_t available, uint8_t* out) {
  const DB d8;
  const hn::Repartition<int32_t, DB> di;
  const hn::Repartition<uint32_t, DB> du;
  const int32_t lanes = static_cast<int32_t>(hn::Lanes(di));
  // Byte 0 of each pixel's lane three times, then 1 and 2 added: bytes
  // 3p..3p + 2 of the window.
  alignas(16) static constexpr uint8_t kSpread[16] = {0, 0, 0, 4, 4, 4, 8, 8, 8, 12, 12, 12, 0, 0, 0, 0};
  alignas(16) static constexpr uint8_t kByte[16] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 0, 0, 0};
  // The 3 bytes of each 4-byte lane, packed to the block's first 12 bytes.
  alignas(16) static constexpr uint8_t kPack[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0};
  // The blocks' first 12 bytes packed together (lane 3k + j from lane 4k + j).
  alignas(64) static constexpr int32_t kJoin[3][16] = {
      {0, 1, 2, 3}, {0, 1, 2, 4, 5, 6, 0, 0}, {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0}};
  const VB spread = hn::LoadDup128(d8, kSpread), byte = hn::LoadDup128(d8, kByte);
  const VB pack = hn::LoadDup128(d8, kPack);
  const auto join = hn::SetTableIndices(du, kJoin[kBlocks / 2]);
  const auto store = [&](VB v, int32_t at) HWY_ATTR {
    if constexpr (kBlocks > 1) v = hn::BitCast(d8, hn::TableLookupLanes(hn::BitCast(du, v), join));
    hn::StoreU(v, d8, out + 3 * at);
  };
  int32_t i = 0;
  // A store writes 4 x lanes bytes: lanes / 3 pixels past the step's.
  const int32_t reach = lanes + (lanes + 2) / 3;
  for (; i + reach <= n; i += lanes) {
    if (3 * int64_t{columns[i + lanes - 4]} + 16 > 3 * int64_t{available}) break;
    const auto c = hn::LoadU(di, columns + i);
    const auto place = hn::Sub(c, hn::Broadcast<0>(c));
    if (!hn::AllFalse(di, hn::Gt(place, hn::Set(di, 4)))) break;
    const VB triple = hn::BitCast(d8, hn::Add(place, hn::Add(place, place)));
    const VB index = hn::Add(hn::TableLookupBytes(triple, spread), byte);
    const VB window =
        LoadWindows([&](size_t b) { return row + int64_t{columns[i + 4 * static_cast<int32_t>(b)]} * 3; });
    store(hn::TableLookupBytes(window, index), i);
  }
  if constexpr (kGatherInstruction) {
    for (; i + reach <= n; i += lanes) {
      const int32_t last = columns[i + lanes - 1];
      if (last + 2 > available || last >= (1 << 29)) break;
      const auto c = hn::LoadU(di, columns + i);
      const auto v = hn::GatherOffset(di, reinterpret_cast<const int32_t*>(row), hn::Add(c, hn::Add(c, c)));
      store(hn::TableLookupBytes(hn::BitCast(d8, v), pack), i);
    }
  }
  CopyPixels<3>(row, columns, i, n, out);
}

void SetKernels(KernelTable& t) {
  // In vectors of 16 bytes on x86 Gather32 is no faster than the walk's own
  // loop, which moves a 4-byte pixel in one instruction.
  constexpr bool kGather32 = !(HWY_ARCH_X86 && HWY_TARGET >= HWY_SSE4);
  for (const FormatDescription& f : formats::kDescriptions) {
    if (f.bytes == 4 && !kGather32) continue;
    const GatherFn fn = f.bytes == 4   ? &Gather32
                        : f.bytes == 3 ? &Gather24
                        : f.bytes == 2 ? &GatherNarrow<2>
                                       : &GatherNarrow<1>;
    t.Set(Op::Gather, f.code, f.code, fn);
  }
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(BlendFrame)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(BlendFrame)
#endif
