// The lane types and the row walks of the row kernels: every way a kernel
// steps along a row, each with what it may touch, so that no byte before or
// after the row is read or written.
//
// Per-target code: include it after hwy/highway.h from a file compiled through
// hwy/foreach_target.h (the guard below lets it be included once per target).

#if defined(PIXELOPS_KERNEL_ROWS_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PIXELOPS_KERNEL_ROWS_INL_H_
#undef PIXELOPS_KERNEL_ROWS_INL_H_
#else
#define PIXELOPS_KERNEL_ROWS_INL_H_
#endif

#include <hwy/highway.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {

// The lane types of the kernels: bytes, 16- and 32-bit lanes.
using D8 = hwy::HWY_NAMESPACE::ScalableTag<uint8_t>;
using D16 = hwy::HWY_NAMESPACE::ScalableTag<uint16_t>;
using D32 = hwy::HWY_NAMESPACE::ScalableTag<uint32_t>;
using V8 = hwy::HWY_NAMESPACE::Vec<D8>;
using V16 = hwy::HWY_NAMESPACE::Vec<D16>;
using V32 = hwy::HWY_NAMESPACE::Vec<D32>;

namespace rows {
namespace hn = hwy::HWY_NAMESPACE;

// The pixels of a row of `width` (none for a width of 0 or below).
HWY_INLINE size_t Pixels(int32_t width) { return width > 0 ? static_cast<size_t>(width) : 0; }

// The most pixels a step may take: one vector of bytes' worth, up to 256
// (the widest SVE vector). The walks' buffers are sized by it; Highway's
// bound HWY_MAX_BYTES, far larger on targets of very wide vectors (RVV),
// would make them megabytes of stack, so no kernel runs where the processor's
// vectors are wider (VectorsFit).
constexpr size_t kMaxStep = HWY_MAX_BYTES < 256 ? HWY_MAX_BYTES : 256;

// Whether this target's vectors, as the processor runs them, fit kMaxStep:
// PIXELOPS_REGISTER_KERNELS (row_kernels.h) sets a source's kernels only then.
HWY_INLINE bool VectorsFit() { return hn::Lanes(hn::ScalableTag<uint8_t>()) <= kMaxStep; }

// The lanes of d from the bytes at p, and v's lanes to the bytes at p (no
// alignment asked): vectors of bytes seen as lanes of D, so that no pointer
// is cast to a lane type.
template <class D>
HWY_INLINE hn::Vec<D> LoadU(D d, const uint8_t* p) {
  return hn::BitCast(d, hn::LoadU(hn::Repartition<uint8_t, D>(), p));
}
template <class D>
HWY_INLINE void StoreU(hn::Vec<D> v, D, uint8_t* p) {
  const hn::Repartition<uint8_t, D> d8;
  hn::StoreU(hn::BitCast(d8, v), d8, p);
}

// Every walk below runs a body over steps of a row of n pixels, SB source
// and DB destination bytes each (s and d the row's first pixels), and passes
// the loop-invariant vectors vecs to every call of the body as its last
// arguments, so that no body captures a vector. A body reads and writes only
// the pixels of its step unless a walk says otherwise.

// The common walk: body(sp, dp, first, vecs...) over whole steps of `step`
// pixels straight from the row, then once more over the last partial step
// through zeroed buffers of kMaxStep pixels, whose written bytes are copied
// back; first is the index of the step's first pixel in the row. Nothing
// outside the row is read or written. step is at most kMaxStep.
template <int SB, int DB, class Body, class... Vecs>
HWY_INLINE void ForEachStep(const uint8_t* s, uint8_t* d, size_t n, size_t step, const Body& body,
                            Vecs... vecs) {
  size_t i = 0;
  for (; i + step <= n; i += step) body(s + i * SB, d + i * DB, i, vecs...);
  if (i == n) return;
  alignas(64) uint8_t sbuf[kMaxStep * SB] = {};
  alignas(64) uint8_t dbuf[kMaxStep * DB] = {};
  const size_t rest = n - i;
  std::memcpy(sbuf, s + i * SB, rest * SB);
  std::memcpy(dbuf, d + i * DB, rest * DB);
  body(sbuf, dbuf, i, vecs...);
  std::memcpy(d + i * DB, dbuf, rest * DB);
}

// For bodies whose source loads reach `reach` pixels past their step (a
// vector loaded where the step's pixels fill only part of one): body(sp, dp,
// vecs...) straight from the row while the step and its reach lie inside
// the row, then step by step through zeroed buffers (the source's two
// kMaxStep pixels long, so that the reach stays inside it), whose written
// bytes are copied back. step and reach are at most kMaxStep.
template <int SB, int DB, class Body, class... Vecs>
HWY_INLINE void ForEachStepReaching(const uint8_t* s, uint8_t* d, size_t n, size_t step, size_t reach,
                                    const Body& body, Vecs... vecs) {
  size_t i = 0;
  for (; i + step + reach <= n; i += step) body(s + i * SB, d + i * DB, vecs...);
  while (i < n) {
    alignas(64) uint8_t sbuf[2 * kMaxStep * SB] = {};
    alignas(64) uint8_t dbuf[kMaxStep * DB] = {};
    const size_t rest = n - i < step ? n - i : step;
    std::memcpy(sbuf, s + i * SB, rest * SB);
    std::memcpy(dbuf, d + i * DB, rest * DB);
    body(sbuf, dbuf, vecs...);
    std::memcpy(d + i * DB, dbuf, rest * DB);
    i += rest;
  }
}

// As ForEachStepReaching for 3-byte destinations, with the vector of
// destination bytes at dp loaded one step early and passed as raw:
// body(sp, dp, raw, vecs...) (a load that overlaps a masked store just made
// waits for it). The loads of a step reach `ahead` pixels past it; the
// early load runs only where the next step and its reach lie inside the
// row. The last pixels (fewer than step + ahead) go through zeroed buffers
// two kMaxStep bytes long, whose written bytes are copied back. step x 3 +
// ahead x 3 and step x SB + ahead x SB are at most 2 x kMaxStep.
template <int SB, class Body, class... Vecs>
HWY_INLINE void ForEachStepAhead(const uint8_t* s, uint8_t* d, size_t n, size_t step, size_t ahead,
                                 const Body& body, Vecs... vecs) {
  const hn::ScalableTag<uint8_t> d8;
  size_t i = 0;
  if (step + ahead <= n) {
    auto raw = hn::LoadU(d8, d);
    for (; i + step + ahead <= n; i += step) {
      const bool more = i + 2 * step + ahead <= n;
      const auto next = more ? hn::LoadU(d8, d + (i + step) * 3) : raw;
      body(s + i * SB, d + i * 3, raw, vecs...);
      raw = next;
    }
  }
  if (i == n) return;
  alignas(64) uint8_t sbuf[2 * kMaxStep] = {};
  alignas(64) uint8_t dbuf[2 * kMaxStep] = {};
  const size_t rest = n - i;  // below step + ahead, which is below two steps
  std::memcpy(sbuf, s + i * SB, rest * SB);
  std::memcpy(dbuf, d + i * 3, rest * 3);
  for (size_t k = 0; k < rest; k += step)
    body(sbuf + k * SB, dbuf + k * 3, hn::LoadU(d8, dbuf + k * 3), vecs...);
  std::memcpy(d + i * 3, dbuf, rest * 3);
}

// For bodies that may run a pixel twice (its result depends only on bytes
// that the body never changes): body(sp, dp, first, vecs...) over whole
// steps, then, where the row does not end on a step, once more over the last
// step of pixels ending at the row's end, overlapping the step before. Every
// access lies inside the row. A row shorter than a step is left alone and
// false returned (the caller walks it otherwise).
template <int SB, int DB, class Body, class... Vecs>
HWY_INLINE bool ForEachStepOverlapping(const uint8_t* s, uint8_t* d, size_t n, size_t step, const Body& body,
                                       Vecs... vecs) {
  if (n < step) return false;
  size_t i = 0;
  for (; i + step <= n; i += step) body(s + i * SB, d + i * DB, i, vecs...);
  if (i != n) body(s + (n - step) * SB, d + (n - step) * DB, n - step, vecs...);
  return true;
}

// For bodies whose steps store whole vectors: body(sp, dp, args...) over
// steps of `step` units that start where the destination meets a vector
// boundary, two at a time, plus a first and a last step at the row's ends
// run on copies of the row's first and last units as they were and stored
// after the others. Where those overlap the aligned steps they store the same
// bytes, so a body must give each unit from its own source and destination
// units as they were. A row shorter than a step goes through zeroed buffers.
// Nothing outside the row is read or written. step x SB and step x DB are at
// most 4 x kMaxStep, and step x DB is a whole number of vectors of bytes.
// (GCC, once a block's loads are inlined, cannot always see that the last
// step's buffers are written wherever they are copied back: both under
// `tail`; its warning is off here.)
#if HWY_COMPILER_GCC_ACTUAL
HWY_DIAGNOSTICS(push)
HWY_DIAGNOSTICS_OFF(disable : 4701, ignored "-Wmaybe-uninitialized")
#endif
template <size_t SB, size_t DB, class Body, class... Args>
HWY_INLINE void ForEachAlignedStep(const uint8_t* s, uint8_t* d, size_t units, size_t step, const Body& body,
                                   Args... args) {
  const size_t sBlock = step * SB, dBlock = step * DB;
  alignas(64) uint8_t hs[4 * kMaxStep], hd[4 * kMaxStep];
  alignas(64) uint8_t ts[4 * kMaxStep], td[4 * kMaxStep];
  if (units < step) {
    std::memset(hs, 0, sizeof(hs));
    std::memset(hd, 0, sizeof(hd));
    std::memcpy(hs, s, units * SB);
    std::memcpy(hd, d, units * DB);
    body(hs, hd, args...);
    std::memcpy(d, hd, units * DB);
    return;
  }
  const size_t vector = hn::Lanes(hn::ScalableTag<uint8_t>());
  const size_t ahead = (vector - (reinterpret_cast<uintptr_t>(d) & (vector - 1))) & (vector - 1);
  size_t i = ahead % DB == 0 ? ahead / DB : 0;
  if (i > units - step) i = 0;
  const bool head = i != 0;
  const bool tail = (units - i) % step != 0;
  const size_t last = units - step;
  if (head) {
    std::memcpy(hs, s, sBlock);
    std::memcpy(hd, d, dBlock);
    body(hs, hd, args...);
  }
  if (tail) {
    std::memcpy(ts, s + last * SB, sBlock);
    std::memcpy(td, d + last * DB, dBlock);
    body(ts, td, args...);
  }
  for (; i + 2 * step <= units; i += 2 * step) {
    body(s + i * SB, d + i * DB, args...);
    body(s + (i + step) * SB, d + (i + step) * DB, args...);
  }
  if (i + step <= units) body(s + i * SB, d + i * DB, args...);
  if (head) std::memcpy(d, hd, dBlock);
  if (tail) std::memcpy(d + last * DB, td, dBlock);
}
#if HWY_COMPILER_GCC_ACTUAL
HWY_DIAGNOSTICS(pop)
#endif

// A row kernel of blocks K, walked by ForEachAlignedStep. K gives kSrcBytes /
// kDstBytes per unit (a pixel, or a byte for byte runs), kUnitsPerPixel,
// Units() per block and Block(s, d, args); a block's destination bytes are a
// whole number of vectors, and each unit's result depends only on its own
// source and destination units as they were (a row that a kernel runs never
// reads pixels that an earlier pixel of it wrote).
template <class K, class Args>
void RunBlocks(const uint8_t* s, uint8_t* d, int32_t width, const Args& args, int32_t, int32_t) {
  if (width <= 0) return;
  // A copy the stores through d cannot be taken to change, so that what the
  // blocks derive from it stays in registers.
  const Args a = args;
  const size_t units = static_cast<size_t>(width) * K::kUnitsPerPixel;
  // Forced inline: out of line, the blocks of the 16-bit word rows run a quarter slower.
  const auto block =
      [](const uint8_t* sp, uint8_t* dp, const Args& a) HWY_ATTR __attribute__((always_inline)) {
    K::Block(sp, dp, a);
  };
  ForEachAlignedStep<K::kSrcBytes, K::kDstBytes>(s, d, units, K::Units(), block, a);
}

// Whether the last, partial vector of a span may go under a mask of the
// lanes of D: the masked loads and stores of x86 from AVX2 (32-bit lanes) or
// AVX-512 (16-bit lanes) touch no byte outside the mask.
template <class D>
constexpr bool MaskedTail() {
#if HWY_ARCH_X86
  return sizeof(hn::TFromD<D>) >= 4 ? HWY_TARGET <= HWY_AVX2 : HWY_TARGET <= HWY_AVX3;
#else
  return false;
#endif
}

// The span walk, for kernels that step by lanes of D along a span of n
// lanes: body(i, args...) over whole steps of `step` lanes from lane i, then,
// where MaskedTail<D>(), tail(i, args...) once over the last n - i lanes
// (fewer than a step), which must load and store only under FirstN of them.
// Returns the lanes done; the caller finishes the rest. vecs go by reference,
// so that the bodies advance the caller's running vectors.
template <class D, class Body, class Tail, class... Vecs>
HWY_INLINE size_t ForEachSpanStep(size_t n, size_t step, const Body& body, const Tail& tail, Vecs&... vecs) {
  size_t i = 0;
  for (; i + step <= n; i += step) body(i, vecs...);
  if constexpr (MaskedTail<D>()) {
    if (i < n) {
      tail(i, vecs...);
      return n;
    }
  } else {
    (void)tail;
  }
  return i;
}

}  // namespace rows
}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // PIXELOPS_KERNEL_ROWS_INL_H_
