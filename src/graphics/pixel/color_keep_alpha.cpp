// BltColorKeepAlpha: copies the colour of a source into a destination of the
// same alpha format and keeps the destination's alpha. BltNoOp: draws nothing.
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/pair_table.h"
#include "graphics/pixel/formats.h"

namespace pixelops {

namespace {

struct NoValues {};

// The colour word, or bytes 0-2; the destination's alpha (and pad) bytes stay,
// the source's alpha is not read.
template <class S, class D>
struct KeepAlphaRule {
  static constexpr kernels::Op kKernelOp = kernels::Op::ColourKeepAlpha;
  kernels::RowKernel kernel;
  explicit KeepAlphaRule(const NoValues&) : kernel(kernels::RowKernelFor<S, D>(kKernelOp, {})) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    if constexpr (px::kIsWord16Alpha<D>) {
      D::SetColourWord(d, S::ColourWord(s));
    } else {
      const uint32_t dw = px::Load32(d);
      px::Store32(d, dw ^ ((dw ^ px::Load32(s)) & 0x00FFFFFFu));
    }
  }
};

constexpr auto& kKeepAlphaPairs = ServeSet<format_pairs::kEqualAlpha, KeepAlphaRule, NoValues>;

}  // namespace

BlitResult DDSurface::BltColorKeepAlpha(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect,
                                        const Size* dstSize, const Rect* clip) {
  // Different formats: 2; equal formats without alpha: 3.
  return RunBlend(*this, src, kKeepAlphaPairs, NoValues{}, Placement{x, y, srcRect, dstSize, clip},
                  BlendPolicy{kBlitPairNotServed, kBlitNotAlphaFormat});
}

BlitResult DDSurface::BltNoOp(DDSurface*, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) {
  return kBlitDone;
}

}  // namespace pixelops
