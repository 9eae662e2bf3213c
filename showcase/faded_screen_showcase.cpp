// The faded screen drawing: a full-screen picture faded in from black over a
// series of levels, each step a pair of calls (upper half, then lower half),
// gathered into one sheet per display format; and a pair whose two calls use
// different levels, which darkens the two halves differently.
#include <pixelops/faded_screen.h>
#include <pixelops/screen_transition.h>
#include "showcase/showcase.h"

namespace pixelops {

namespace {

constexpr int32_t kLevels[] = {0, 32, 64, 96, 128, 160, 224, 255, 256};

std::unique_ptr<DDSurface> Picture(Showcase& show, PixelFormat f) {
  auto picture = show.Backdrop(f, 800, 600);
  auto sprite = show.Sprite(f, 160, 160);
  for (int i = 0; i < 5; ++i)
    picture->BltKeyed(sprite.get(), 20 + i * 150, 60 + (i % 2) * 220, nullptr, nullptr, nullptr);
  const Size big{300, 300};
  picture->BltKeyed(sprite.get(), 250, 280, nullptr, &big, nullptr);
  return picture;
}

Scene scene("faded_screen", [](Showcase& show) {
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Bgrx32}) {
    ScreenTransition transition(f);
    auto picture = Picture(show, f);
    auto target = DDSurface::Make(800, 600, f);
    auto sheet = DDSurface::Make(800, 600, f);
    const Size tile{264, 198};
    for (int i = 0; i < 9; ++i) {
      DrawFadedScreen(target.get(), &transition, picture.get(), kLevels[i], 0);
      DrawFadedScreen(target.get(), &transition, picture.get(), kLevels[i], 1);
      sheet->Blt(target.get(), 2 + (i % 3) * 266, 2 + (i / 3) * 200, nullptr, &tile, nullptr);
    }
    show.Save(std::string("faded_screen_steps_") + PixelFormatName(f), *sheet,
              {"DrawFadedScreen", Onto(f, f),
               "an 800 x 600 picture drawn at levels 0, 32, 64, 96, 128, 160, 224, 255, 256 "
               "(upper half, then lower half), each result shrunk into a tile by Blt; "
               "0 fills with the fill colour, 256 copies the picture as it is"});

    DrawFadedScreen(target.get(), &transition, picture.get(), 64, 0);
    DrawFadedScreen(target.get(), &transition, picture.get(), 192, 1);
    show.Save(std::string("faded_screen_halves_") + PixelFormatName(f), *target,
              {"DrawFadedScreen", Onto(f, f), "the upper half at level 64, the lower half at level 192"});
  }
});

}  // namespace

}  // namespace pixelops
