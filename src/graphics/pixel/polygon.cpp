// The keyed and the plain textured-polygon rasterisers: a table of served
// pairs each, over the scan conversion of polygon_scan.h; and the rotated,
// scaled drawing of whole pictures.
#include <pixelops/polygon.h>

#include <cstring>
#include <type_traits>

#include "graphics/blend_tables.h"
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/polygon_scan.h"
#include "platform/mul_div.h"

namespace pixelops {

namespace {

using px::Kind;

// Writes the texel onto the pixel, channels matched by name. 16-bit alpha
// formats take colour word and alpha level (the pad byte is never written); a
// colour source gives level 15, an alpha source onto a colour word drops its
// level (and bit 15 of a 555 word). 24- and 32-bit formats: X is copied from
// X, alpha from alpha; X is written 0 and alpha 255 otherwise. The texel is
// read whole before the pixel is written (the two may share bytes).
template <class S, class D>
struct TexelCopy {
  static constexpr kernels::Op kSpanOp = kernels::Op::SpanOpaque;
  kernels::SpanKernel span = kernels::SpanKernelFor<S, D>(kSpanOp, {});
  template <class V>
  explicit TexelCopy(const V&) {}
  void operator()(const uint8_t* texel, uint8_t* d) const {
    const auto s = px::Hold<S>(texel);
    if constexpr (px::kIsWord16<D>) {
      if constexpr (px::kIsWord16Alpha<S> && !S::Colour::kIs565) {
        px::Store16(d, px::Load16(s) & 0x7FFF);
      } else {
        px::Store16(d, px::Load16(s));
      }
    } else if constexpr (px::kIsWord16Alpha<D>) {
      px::Store16(d, px::Load16(s));
      if constexpr (px::kIsWord16Alpha<S>) d[2] = s[2];
      else d[2] = 15;
    } else if constexpr (std::is_same_v<S, D>) {
      px::CopyPixel<D>(d, texel);
    } else {
      const uint8_t r = s[S::kRed], g = s[S::kGreen], b = s[S::kBlue];
      d[D::kRed] = r;
      d[D::kGreen] = g;
      d[D::kBlue] = b;
      if constexpr (D::kKind == Kind::Bytes32X) d[3] = S::kKind == Kind::Bytes32X ? s[3] : 0;
      if constexpr (D::kKind == Kind::Bytes32Alpha) {
        d[3] = S::kKind == Kind::Bytes32Alpha ? s[3] : 255;
      }
    }
  }
};

// An alpha source onto its own colour format, blended by the texel's alpha: a
// 16-level blend of the colour words, or the three colour bytes weighted by the
// alpha byte (X written 0). No key is compared.
template <class S, class D>
struct AlphaOntoColour {
  const BlendTables& t;
  static constexpr kernels::Op kSpanOp = kernels::Op::SpanKeyed;
  kernels::SpanKernel span = kernels::SpanKernelFor<S, D>(kSpanOp, {});
  template <class V>
  explicit AlphaOntoColour(const V&) : t(Tables()) {}
  void operator()(const uint8_t* texel, uint8_t* d) const {
    const auto s = px::Hold<S>(texel);  // read whole before the first store
    if constexpr (px::kIsWord16<D>) {
      D::SetColourWord(
          d, px::LevelBlend<typename D::Colour>(t, S::Alpha(s), S::ColourWord(s), D::ColourWord(d)));
    } else {
      const uint32_t a = S::Alpha(s);
      d[D::kRed] = px::WeightChannel(t, a, s[S::kRed], d[D::kRed]);
      d[D::kGreen] = px::WeightChannel(t, a, s[S::kGreen], d[D::kGreen]);
      d[D::kBlue] = px::WeightChannel(t, a, s[S::kBlue], d[D::kBlue]);
      if constexpr (D::kKind == Kind::Bytes32X) d[3] = 0;
    }
  }
};

struct PlainValues {};
struct KeyedValues {
  uint32_t key = 0;
};

// The copy that skips texels equal to the key, with the keyed span kernel.
template <class S, class D>
struct KeyedCopy : KeyedRule<TexelCopy>::For<S, D> {
  static constexpr kernels::Op kSpanOp = kernels::Op::SpanKeyed;
  kernels::SpanKernel span;
  explicit KeyedCopy(const KeyedValues& v)
      : KeyedRule<TexelCopy>::For<S, D>(v),
        span(kernels::SpanKernelFor<S, D>(kSpanOp, kernels::RowArgs{0, 0, v.key})) {}
};

// The keyed family copies texels that are not the key, except that an alpha
// source onto its colour format is blended by its alpha and not keyed; the
// plain family copies every texel.
template <class S, class D>
using KeyedTexel = std::conditional_t<S::kHasAlpha && !D::kHasAlpha, AlphaOntoColour<S, D>, KeyedCopy<S, D>>;

constexpr auto& kKeyedPairs = ServePolygonSet<format_pairs::kPolygon, KeyedTexel, KeyedValues>;
constexpr auto& kPlainPairs = ServePolygonSet<format_pairs::kPolygon, TexelCopy, PlainValues>;

}  // namespace

BlitResult DDSurface::DrawPolygonKeyed(DDSurface* src, const Point* srcPoints, const Point* dstPoints,
                                       const Rect* clip, uint8_t flag, int32_t count) {
  return RunPolygon(*this, src, kKeyedPairs, KeyedValues{},
                    PolygonArgs{srcPoints, dstPoints, clip, flag, count});
}

BlitResult DDSurface::DrawPolygon(DDSurface* src, const Point* srcPoints, const Point* dstPoints,
                                  const Rect* clip, uint8_t flag, int32_t count) {
  return RunPolygon(*this, src, kPlainPairs, PlainValues{},
                    PolygonArgs{srcPoints, dstPoints, clip, flag, count});
}

bool MakeRotatedQuad(const DDSurface& source, int32_t centreX, int32_t centreY, int32_t angle, int32_t scaleX,
                     int32_t scaleY, RotatedQuad* quad) {
  int32_t w = 0, h = 0;
  source.GetSize(&w, &h);
  if (scaleX == 0 || scaleY == 0) return false;
  const int64_t extentX = MulDiv(w - 1, scaleX, 65536);
  const int64_t extentY = MulDiv(h - 1, scaleY, 65536);
  if (extentX == 0 || extentY == 0) return false;

  const Rect& b = source.Buffer().bounds;
  const Point src[4] = {
      {b.left, b.top}, {b.right - 1, b.top}, {b.right - 1, b.bottom - 1}, {b.left, b.bottom - 1}};

  // Offsets from the centre: the left and top take the smaller half of an odd extent.
  const int64_t l = -(extentX / 2), r = (extentX + 1) / 2;
  const int64_t t = -(extentY / 2), bo = (extentY + 1) / 2;
  const int64_t offsets[4][2] = {{l, t}, {r, t}, {r, bo}, {l, bo}};
  const CosTable& table = CosTable::Get();
  const int64_t cosA = table.Cos(angle), sinA = table.Sin(angle);
  Point dst[4];
  for (int i = 0; i < 4; ++i) {
    const int64_t u = offsets[i][0], v = offsets[i][1];
    // The shift applies to the combined value, not to each product.
    const int64_t x = ((u * cosA - v * sinA) >> 16) + centreX;
    const int64_t y = ((u * sinA + v * cosA) >> 16) + centreY;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return false;
    dst[i] = Point{static_cast<int32_t>(x), static_cast<int32_t>(y)};
  }
  for (int i = 0; i < 4; ++i) {
    quad->src[i] = src[i];
    quad->dst[i] = dst[i];
  }
  return true;
}

BlitResult DrawRotatedScaled(DDSurface* target, DDSurface* source, int32_t centreX, int32_t centreY,
                             int32_t angle, int32_t scaleX, int32_t scaleY, const Rect* clip) {
  if (target == nullptr || source == nullptr) return kBlitLockRefused;
  RotatedQuad quad;
  if (!MakeRotatedQuad(*source, centreX, centreY, angle, scaleX, scaleY, &quad)) {
    return kBlitDone;
  }
  return target->DrawPolygonKeyed(source, quad.src, quad.dst, clip, 0, 4);
}

}  // namespace pixelops
