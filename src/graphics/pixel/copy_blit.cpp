// Plain and colour-keyed copies between surfaces of the same format, on the
// blend frame (so they clip and stretch like every blend).
#include <cstring>

#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"

namespace pixelops {

namespace {

struct CopyValues {};
struct KeyedCopyValues {
  uint32_t key = 0;
};

template <class S, class D>
struct CopyRule {
  // The keyed copy's row kernel (through KeyedRule).
  static constexpr kernels::Op kKeyedKernelOp = kernels::Op::KeyedCopy;
  template <class V>
  explicit CopyRule(const V&) {}
  // The pixel is read whole before it is written (the two may share bytes).
  void operator()(const uint8_t* s, uint8_t* d) const { px::CopyPixel<D>(d, s); }
  // A one-to-one row at once. The walk hands it only rows whose bytes are
  // apart, or whose destination starts no later than their source (a surface
  // copied onto itself up or left), where each pixel reads its source as it
  // was: what memmove gives.
  void Row(const uint8_t* s, uint8_t* d, int32_t width, int32_t) const {
    const size_t n = static_cast<size_t>(width) * D::kBytes;
    const uintptr_t from = reinterpret_cast<uintptr_t>(s), to = reinterpret_cast<uintptr_t>(d);
    if (from + n <= to || to + n <= from) std::memcpy(d, s, n);
    else std::memmove(d, s, n);
  }
};

template <class V, template <class, class> class Rule>
constexpr auto& kSameFormat = ServeSet<format_pairs::kSameFormat, Rule, V>;

}  // namespace

BlitResult DDSurface::Blt(Image* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                          const Rect* clip) {
  return RunBlend(*this, src ? src->AsDDSurface() : nullptr, kSameFormat<CopyValues, CopyRule>, CopyValues{},
                  Placement{x, y, srcRect, dstSize, clip});
}

BlitResult DDSurface::BltKeyed(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                               const Rect* clip) {
  return RunBlend(*this, src, kSameFormat<KeyedCopyValues, KeyedRule<CopyRule>::For>, KeyedCopyValues{},
                  Placement{x, y, srcRect, dstSize, clip});
}

}  // namespace pixelops
