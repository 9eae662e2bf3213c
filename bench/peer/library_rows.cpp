// The library table: every one-to-one blit of the library onto a 16- or
// 32-bit destination, beside memcpy of the destination's bytes.
#include <cstdio>
#include <cstring>

#include "peer_bench.h"

namespace pixelops {

namespace peer {

namespace {

using F = PixelFormat;
using Op = std::function<BlitResult(DDSurface& dst, DDSurface& src)>;

// A 16 x 16 ordered-dither pattern of opacities for BltPattern.
const uint8_t* Dither() {
  static const auto pattern = [] {
    static uint8_t p[256];
    constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) p[y * 16 + x] = static_cast<uint8_t>(kBayer4[y & 3][x & 3] * 17);
    return p;
  }();
  return pattern;
}

bool Equal(FormatPair p) { return p.src == p.dst; }
bool AlphaSource(FormatPair p) { return IsAlphaFormat(p.src); }

struct Operation {
  const char* name;
  Op op;
  const FormatPair* pairs;
  size_t count;
  bool (*serves)(FormatPair);
};

template <class Pairs, class Serves>
Operation Over(const char* name, const Pairs& pairs, Serves serves, Op op) {
  return {name, std::move(op), std::data(pairs), std::size(pairs), serves};
}

bool Any(FormatPair) { return true; }

LibraryRow Make(const std::string& name, FormatPair p, const Op& op) {
  auto dst = std::shared_ptr<DDSurface>(Backdrop(p.dst));
  auto src = std::shared_ptr<DDSurface>(SpriteSurface(p.src, kWidth, kHeight, kTile));
  const size_t n = SurfaceBytes(*dst);
  auto saved = std::make_shared<Bytes>(AllocateBytes(n));
  std::memcpy(saved->get(), dst->Buffer().pixels, n);
  LibraryRow row;
  row.operation = name;
  row.pair = std::string(PixelFormatName(p.src)) + " -> " + PixelFormatName(p.dst);
  row.dstBytes = BytesPerPixel(p.dst);
  if (const BlitResult r = op(*dst, *src); r != kBlitDone)
    std::fprintf(stderr, "warning: %s %s answered %d\n", name.c_str(), row.pair.c_str(), r);
  row.library.name = "library";
  row.library.reset = Restore(dst->Buffer().pixels, saved->get(), n);
  row.library.run = [dst, src, op, saved] { op(*dst, *src); };
  row.library.pixels = double{kWidth} * kHeight;
  row.memcpy = MemcpyYardstick(n, double{kWidth} * kHeight);
  return row;
}

}  // namespace

std::vector<RowMaker<LibraryRow>> LibraryRows() {
  namespace fp = format_pairs;
  const Operation families[] = {
      Over("BltAlpha 128", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 0, 0, 128, nullptr, nullptr, nullptr); }),
      Over("BltAlphaOpacity 128", fp::kAlphaOntoColour, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltAlphaOpacity(&s, 0, 0, 128, nullptr, nullptr, nullptr);
           }),
      Over("BltTranslucentKey 128", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltTranslucentKey(&s, 0, 0, 128, nullptr, nullptr, nullptr);
           }),
      Over("BltAlphaChannel", fp::kBlend, AlphaSource,
           [](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 0, 0, nullptr, nullptr, nullptr); }),
      Over("BltBlend 160/95", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltBlend(&s, 0, 0, 160, 95, nullptr, nullptr, nullptr);
           }),
      Over("BltBlendKey 160/95", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltBlendKey(&s, 0, 0, 160, 95, nullptr, nullptr, nullptr);
           }),
      Over("BltPattern (ordered dither)", fp::kPattern, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltPattern(&s, 0, 0, Dither(), nullptr, nullptr, nullptr);
           }),
      Over("BltColorKeepAlpha", fp::kEqualAlpha, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltColorKeepAlpha(&s, 0, 0, nullptr, nullptr, nullptr);
           }),
      Over("AlphaFromMaskRamp 64..192", fp::kMaskOntoAlpha, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.AlphaFromMaskRamp(&s, 64, 192, 0, 255, 0, 0, nullptr, nullptr, nullptr);
           }),
      Over("Fade 128", fp::kBlend, Equal, [](DDSurface& d, DDSurface&) { return d.Fade(128, nullptr); }),
      Over("BltAdd", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) { return d.BltAdd(&s, 0, 0, nullptr, nullptr, nullptr); }),
      Over("BltAddKey", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) { return d.BltAddKey(&s, 0, 0, nullptr, nullptr, nullptr); }),
      Over(
          "BltAddLevel 160", fp::kBlend, Any,
          [](DDSurface& d, DDSurface& s) { return d.BltAddLevel(&s, 0, 0, 160, nullptr, nullptr, nullptr); }),
      Over("BltAddLevelKey 160", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltAddLevelKey(&s, 0, 0, 160, nullptr, nullptr, nullptr);
           }),
      Over("BltSub", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) { return d.BltSub(&s, 0, 0, nullptr, nullptr, nullptr); }),
      Over("BltSubKey", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) { return d.BltSubKey(&s, 0, 0, nullptr, nullptr, nullptr); }),
      Over(
          "BltSubLevel 160", fp::kBlend, Any,
          [](DDSurface& d, DDSurface& s) { return d.BltSubLevel(&s, 0, 0, 160, nullptr, nullptr, nullptr); }),
      Over("BltSubLevelKey 160", fp::kBlend, Any,
           [](DDSurface& d, DDSurface& s) {
             return d.BltSubLevelKey(&s, 0, 0, 160, nullptr, nullptr, nullptr);
           }),
      Over("BltKeyed", fp::kBlend, Equal,
           [](DDSurface& d, DDSurface& s) { return d.BltKeyed(&s, 0, 0, nullptr, nullptr, nullptr); }),
  };
  std::vector<RowMaker<LibraryRow>> rows;
  for (const Operation& f : families) {
    for (size_t i = 0; i < f.count; ++i) {
      const FormatPair p = f.pairs[i];
      const int32_t bytes = BytesPerPixel(p.dst);
      if ((bytes != 2 && bytes != 4) || !f.serves(p)) continue;
      const std::string name = f.name;
      const Op op = f.op;
      rows.push_back({name, std::string(PixelFormatName(p.src)) + " -> " + PixelFormatName(p.dst),
                      [name, p, op] { return Make(name, p, op); }});
    }
  }
  return rows;
}

}  // namespace peer

}  // namespace pixelops
