// The alpha-blending polygon rasterisers: per pair of formats, the texel is
// skipped when it is the source's colour key and otherwise blended at a weight
// made from the global alpha (and the texel's own alpha). The blends are those
// of the translucent blit with the global alpha in place of the opacity.
#include <pixelops/textured_quad.h>

#include "graphics/pixel/blend_frame.h"
#include <pixelops/polygon.h>
#include "graphics/pixel/polygon_scan.h"
#include "graphics/pixel/translucent_rules.h"

namespace pixelops {

namespace {

using namespace translucent;

struct QuadValues {
  uint32_t opacity;  // the global alpha, 0..255
  uint32_t key = 0;
};

// A 16-bit colour texel onto its alpha format: channel blend at W = g.
template <class S, class D>
struct WeightedChannelRule {
  const BlendTables& t;
  uint32_t g;
  explicit WeightedChannelRule(const QuadValues& v) : t(Tables()), g(v.opacity & 0xFF) {}
  void operator()(const uint8_t* s, uint8_t* d) const {
    if constexpr (D::Colour::kIs565) BlendWeightedPixel565(d, s, g, t);
    else BlendWeightedPixel555(d, s, g, t);
  }
};

// A rule that skips texels equal to the key, with the blending span kernel.
template <template <class, class> class Rule>
struct Keyed {
  template <class S, class D>
  struct For : KeyedRule<Rule>::template For<S, D> {
    static constexpr kernels::Op kSpanOp = kernels::Op::SpanBlend;
    kernels::SpanKernel span;
    explicit For(const QuadValues& v)
        : KeyedRule<Rule>::template For<S, D>(v),
          span(kernels::SpanKernelFor<S, D>(kSpanOp, kernels::RowArgs{v.opacity & 0xFF, 0, v.key})) {}
  };
};
using V = QuadValues;

// The translucent blit's rules, with a channel blend of the colour word for a
// 16-bit colour texel onto its alpha format; every texel is keyed.
template <class S, class D>
using QuadRule =
    std::conditional_t<px::kIsWord16Alpha<D> && !S::kHasAlpha, WeightedChannelRule<S, D>, OpacityRule<S, D>>;

constexpr auto& kPairs = ServePolygonSet<format_pairs::kPolygon, Keyed<QuadRule>::For, V>;

}  // namespace

BlitResult FillTexturedQuad(DDSurface* target, DDSurface* source, int32_t alpha, const Point* srcPoints,
                            const Point* dstPoints, const Rect* clip, uint8_t flag, int32_t count) {
  if (target == nullptr) return kBlitLockRefused;
  if (alpha >= 256) return target->DrawPolygonKeyed(source, srcPoints, dstPoints, clip, flag, count);
  return RunPolygon(*target, source, kPairs, V{static_cast<uint32_t>(alpha) & 0xFF},
                    PolygonArgs{srcPoints, dstPoints, clip, flag, count});
}

BlitResult DrawRotatedSprite(DDSurface* target, DDSurface* source, int32_t centreX, int32_t centreY,
                             int32_t angle, int32_t scaleX, int32_t scaleY, int32_t alpha) {
  if (alpha >= 256) {
    return DrawRotatedScaled(target, source, centreX, centreY, angle, scaleX, scaleY, nullptr);
  }
  if (target == nullptr || source == nullptr) return kBlitLockRefused;
  RotatedQuad quad;
  if (!MakeRotatedQuad(*source, centreX, centreY, angle, scaleX, scaleY, &quad)) return kBlitDone;
  return FillTexturedQuad(target, source, alpha & 0xFF, quad.src, quad.dst, nullptr, 0, 4);
}

}  // namespace pixelops
