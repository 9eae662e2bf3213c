// The lane types and the row walk of the row kernels: whole steps of pixels
// straight from the row, then the last partial step through zeroed stack
// copies, so that no byte before or after the row is read or written.
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

// The pixels of a row of `width` (none for a width of 0 or below).
HWY_INLINE size_t Pixels(int32_t width) { return width > 0 ? static_cast<size_t>(width) : 0; }

// The most pixels a step may take: one vector of bytes' worth.
constexpr size_t kMaxStep = HWY_MAX_BYTES;

// Runs body(sp, dp, first) over whole steps of `step` pixels (SB source bytes
// and DB destination bytes each), then once more over the last partial step
// through zeroed buffers of kMaxStep pixels, whose written bytes are copied
// back; first is the index of the step's first pixel in the row. step is at
// most kMaxStep.
template <int SB, int DB, class Body>
HWY_INLINE void ForEachStep(const uint8_t* s, uint8_t* d, size_t n, size_t step, const Body& body) {
  size_t i = 0;
  for (; i + step <= n; i += step) body(s + i * SB, d + i * DB, i);
  if (i == n) return;
  alignas(64) uint8_t sbuf[kMaxStep * SB] = {};
  alignas(64) uint8_t dbuf[kMaxStep * DB] = {};
  const size_t rest = n - i;
  std::memcpy(sbuf, s + i * SB, rest * SB);
  std::memcpy(dbuf, d + i * DB, rest * DB);
  body(sbuf, dbuf, i);
  std::memcpy(d + i * DB, dbuf, rest * DB);
}

}  // namespace rows
}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // PIXELOPS_KERNEL_ROWS_INL_H_
