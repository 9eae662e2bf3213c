// A sprite turning, growing and fading in, step by step, through the
// alpha-blended textured quads; and two quads with channels reordered.
#include <pixelops/textured_quad.h>
#include "showcase/showcase.h"

namespace pixelops {

namespace {

Scene scene("rotated_sprite", [](Showcase& show) {
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgrx32, PixelFormat::Rgb555A}) {
    auto dst = show.Backdrop(f);
    const PixelFormat spriteFormat = f == PixelFormat::Rgb555A ? PixelFormat::Rgb555 : f;
    auto sprite = show.Sprite(spriteFormat, 64, 64);
    for (int step = 0; step < 8; ++step) {
      const int32_t cx = 36 + (step % 4) * 80, cy = 60 + (step / 4) * 120;
      DrawRotatedSprite(dst.get(), sprite.get(), cx, cy, step * 40, 40000 + step * 5000, 40000 + step * 5000,
                        32 + step * 32);
    }
    show.Save(std::string("rotated_sprite_fading_onto_") + PixelFormatName(f), *dst,
              {"DrawRotatedSprite", Onto(spriteFormat, f),
               "a 64 x 64 sprite in eight steps: turned by 0, 40, ... 280 (512ths of a turn), "
               "scaled from 0.61 to 1.14, at alpha 32, 64, ... 256 (256 draws opaque)"});
  }
  auto dst = show.Backdrop(PixelFormat::Bgra32);
  auto sprite = show.Sprite(PixelFormat::Rgb24, 96, 96);
  const Point src[4] = {{0, 0}, {95, 0}, {95, 95}, {0, 95}};
  const Point quad[4] = {{20, 30}, {150, 10}, {170, 200}, {40, 220}};
  FillTexturedQuad(dst.get(), sprite.get(), 200, src, quad, nullptr, 0, 4);
  const Point quad2[4] = {{300, 20}, {190, 60}, {230, 230}, {310, 150}};
  FillTexturedQuad(dst.get(), sprite.get(), 256, src, quad2, nullptr, 0, 4);
  show.Save("textured_quad_Rgb24_onto_Bgra32", *dst,
            {"FillTexturedQuad", Onto(PixelFormat::Rgb24, PixelFormat::Bgra32),
             "a 96 x 96 sprite mapped onto two quadrilaterals: left at alpha 200, right at "
             "256 (opaque), channels reordered from RGB to BGRA"});
});

}  // namespace

}  // namespace pixelops
