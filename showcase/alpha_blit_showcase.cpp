// The translucent blit with one opacity: a sprite at rising opacities, one to
// one and stretched, on every served pair.
#include "showcase/showcase.h"
#include <pixelops/format_pairs.h>

namespace pixelops {

namespace {

using Pair = FormatPair;

constexpr auto& kPairs = format_pairs::kBlend;

Scene scene("alpha_blit", [](Showcase& show) {
  for (const Pair& p : kPairs) {
    auto dst = show.Backdrop(p.dst);
    auto sprite = show.Sprite(p.src, 64, 64);
    for (int i = 0; i < 4; ++i)
      dst->BltAlpha(sprite.get(), 8 + i * 76, 8, 64 + i * 64, nullptr, nullptr, nullptr);
    const Size big{150, 110};
    dst->BltAlpha(sprite.get(), 10, 100, 200, nullptr, &big, nullptr);
    const Rect clip{180, 100, 300, 200};
    dst->BltAlpha(sprite.get(), 170, 90, 160, nullptr, &big, &clip);
    show.Save(std::string("alpha_blit_") + PixelFormatName(p.src) + "_onto_" + PixelFormatName(p.dst), *dst,
              {"BltAlpha", Onto(p.src, p.dst),
               "a 64 x 64 sprite at opacity 64, 128, 192, 256 (256 keeps only its low byte: "
               "nothing drawn); stretched to 150 x 110 at opacity 200; the same stretch at "
               "opacity 160 cut by the clip (180, 100)-(300, 200)"});
  }
});

}  // namespace

}  // namespace pixelops
