// The showcase draws every operation into PNG pictures. Each operation's file
// registers a scene:
//
//   static Scene scene("alpha_blit", [](Showcase& show) {
//     auto dst = show.Backdrop(PixelFormat::Rgb565);
//     ...draw...
//     show.Save("alpha_blit_rgb565", *dst, {"BltAlpha", "Rgb565 onto Rgb565", "opacity 128"});
//   });
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <pixelops/dd_surface.h>

namespace pixelops {

class Showcase {
 public:
  explicit Showcase(std::string dir) : dir_(std::move(dir)) {}

  // A 320 x 240 surface of the format with a gradient and grid backdrop.
  std::unique_ptr<DDSurface> Backdrop(PixelFormat format, int32_t w = 320, int32_t h = 240);
  // A w x h sprite: a shaded disc with a ring, on the key colour (magenta,
  // 0x00FF00FF) outside the disc; alpha formats fade the disc's edge out.
  std::unique_ptr<DDSurface> Sprite(PixelFormat format, int32_t w = 96, int32_t h = 96);

  // What a picture shows, for its caption in the index.
  struct Caption {
    std::string operation;  // the calls drawn, e.g. "BltAlpha"
    std::string formats;    // e.g. "Rgb565 onto Rgb565"
    std::string arguments;  // the arguments and what to look for
  };

  // Writes the surface as name.png (colour only) and answers the path; the
  // picture goes into the index with its caption.
  std::string Save(const std::string& name, DDSurface& surface, const Caption& caption);
  const std::vector<std::string>& Written() const { return written_; }

  // Writes index.html beside the pictures, one captioned figure each, and
  // answers its path ("" when it cannot be written).
  std::string WriteIndex() const;

 private:
  struct Picture {
    std::string file;  // name.png
    Caption caption;
  };
  std::string dir_;
  std::vector<std::string> written_;
  std::vector<Picture> pictures_;
};

// "Src onto Dst" for captions.
std::string Onto(PixelFormat src, PixelFormat dst);

struct Scene {
  Scene(const char* name, std::function<void(Showcase&)> draw);
};

}  // namespace pixelops
