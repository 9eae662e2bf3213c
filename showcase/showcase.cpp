#include "showcase/showcase.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace pixelops {

namespace {

std::map<std::string, std::function<void(Showcase&)>>& Scenes() {
  static std::map<std::string, std::function<void(Showcase&)>> scenes;
  return scenes;
}

// Colour bytes R, G, B of any pixel.
void Decode(PixelFormat f, const uint8_t* p, uint8_t rgb[3]) {
  uint32_t w = p[0] | (p[1] << 8);
  switch (f) {
    case PixelFormat::Rgb565:
    case PixelFormat::Rgb565A:
      rgb[0] = static_cast<uint8_t>(((w >> 11) & 31) * 255 / 31);
      rgb[1] = static_cast<uint8_t>(((w >> 5) & 63) * 255 / 63);
      rgb[2] = static_cast<uint8_t>((w & 31) * 255 / 31);
      return;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb555A:
      rgb[0] = static_cast<uint8_t>(((w >> 10) & 31) * 255 / 31);
      rgb[1] = static_cast<uint8_t>(((w >> 5) & 31) * 255 / 31);
      rgb[2] = static_cast<uint8_t>((w & 31) * 255 / 31);
      return;
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32:
    case PixelFormat::Bgra32:
      rgb[0] = p[2], rgb[1] = p[1], rgb[2] = p[0];
      return;
    case PixelFormat::Rgb24:
    case PixelFormat::Rgbx32:
    case PixelFormat::Rgba32:
      rgb[0] = p[0], rgb[1] = p[1], rgb[2] = p[2];
      return;
    case PixelFormat::Index8:
      rgb[0] = rgb[1] = rgb[2] = p[0];
      return;
  }
}

void Put(DDSurface& s, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  const uint32_t v = ColourToPixel(s.Format(), colour, alpha);
  const PixelBuffer& b = s.Buffer();
  std::memcpy(b.pixels + int64_t{y} * b.pitch + int64_t{x} * BytesPerPixel(s.Format()), &v,
              BytesPerPixel(s.Format()));
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

}  // namespace

Scene::Scene(const char* name, std::function<void(Showcase&)> draw) { Scenes()[name] = std::move(draw); }

std::unique_ptr<DDSurface> Showcase::Backdrop(PixelFormat format, int32_t w, int32_t h) {
  auto s = DDSurface::Make(w, h, format);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const bool grid = (x % 32) == 0 || (y % 32) == 0;
      const uint32_t r = grid ? 230 : 40 + 150 * x / w, g = grid ? 230 : 60 + 100 * y / h;
      const uint32_t b = grid ? 230 : 170 - 120 * x / w;
      Put(*s, x, y, Rgb(r, g, b), 255);
    }
  }
  return s;
}

std::unique_ptr<DDSurface> Showcase::Sprite(PixelFormat format, int32_t w, int32_t h) {
  auto s = DDSurface::Make(w, h, format);
  const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0, radius = std::min(w, h) / 2.0 - 1;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const double d = std::hypot(x - cx, y - cy) / radius;
      if (d > 1.0) {
        Put(*s, x, y, 0x00FF00FF, 0);
        continue;
      }
      // A bar from the centre to the right edge shows which way the sprite turns.
      if (x > cx && std::abs(y - cy) < h / 16.0 + 0.5 && d < 0.8) {
        Put(*s, x, y, Rgb(30, 40, 120), 255);
        continue;
      }
      const bool ring = d > 0.8;
      const uint32_t r = ring ? 255 : static_cast<uint32_t>(250 - 120 * d);
      const uint32_t g = ring ? 210 : static_cast<uint32_t>(200 - 150 * d);
      const uint32_t b = ring ? 40 : static_cast<uint32_t>(60 + 140 * d);
      const uint32_t alpha = static_cast<uint32_t>(255 * std::min(1.0, (1.0 - d) * 4.0));
      Put(*s, x, y, Rgb(r, g, b), alpha);
    }
  }
  s->SetColorKey(0x00FF00FF);
  return s;
}

std::string Onto(PixelFormat src, PixelFormat dst) {
  return std::string(PixelFormatName(src)) + " onto " + PixelFormatName(dst);
}

std::string Showcase::Save(const std::string& name, DDSurface& surface, const Caption& caption) {
  const std::string path = dir_ + "/" + name + ".png";
  surface.Lock();
  const PixelBuffer& b = surface.Buffer();
  const int32_t w = b.bounds.right, h = b.bounds.bottom, bpp = BytesPerPixel(surface.Format());
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      Decode(surface.Format(), b.pixels + int64_t{y} * b.pitch + int64_t{x} * bpp,
             &rgb[(static_cast<size_t>(y) * w + x) * 3]);
  surface.Unlock();

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return path;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < h; ++y) png_write_row(png, &rgb[static_cast<size_t>(y) * w * 3]);
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  written_.push_back(path);
  pictures_.push_back({name + ".png", caption});
  return path;
}

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string Showcase::WriteIndex() const {
  const std::string path = dir_ + "/index.html";
  FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return "";
  std::fputs(
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>pixelops showcase</title>\n<style>\n"
      "body { font-family: sans-serif; margin: 1em; background: #f4f4f4; }\n"
      "figure { display: inline-block; vertical-align: top; margin: 0.5em; padding: 0.5em;"
      " width: 340px; background: #fff; border: 1px solid #ccc; }\n"
      "img { display: block; max-width: 100%; image-rendering: pixelated; }\n"
      "figcaption { font-size: 0.85em; margin-top: 0.4em; }\n"
      "figcaption b { font-family: monospace; font-size: 1.1em; }\n"
      "</style>\n</head>\n<body>\n<h1>pixelops showcase</h1>\n",
      file);
  std::fprintf(file, "<p>%zu pictures, each drawn by the operations named under it.</p>\n", pictures_.size());
  for (const Picture& p : pictures_) {
    std::fprintf(file,
                 "<figure id=\"%s\">\n<a href=\"%s\"><img src=\"%s\" alt=\"%s\"></a>\n"
                 "<figcaption><b>%s</b> &mdash; %s<br>%s<br><small>%s</small></figcaption>\n"
                 "</figure>\n",
                 Escaped(p.file).c_str(), Escaped(p.file).c_str(), Escaped(p.file).c_str(),
                 Escaped(p.caption.operation).c_str(), Escaped(p.caption.operation).c_str(),
                 Escaped(p.caption.formats).c_str(), Escaped(p.caption.arguments).c_str(),
                 Escaped(p.file).c_str());
  }
  std::fputs("</body>\n</html>\n", file);
  const bool ok = std::fclose(file) == 0;
  return ok ? path : "";
}

int RunShowcase(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "showcase-output";
  std::filesystem::create_directories(dir);
  Showcase show(dir);
  for (auto& [name, draw] : Scenes()) draw(show);
  const std::string index = show.WriteIndex();
  if (index.empty()) {
    std::fprintf(stderr, "Could not write the index in %s\n", dir.c_str());
    return 1;
  }
  // One line, the one to act on: the page that shows every picture (each
  // picture's file name is on it, under its caption).
  std::printf("Wrote %zu pictures; open the page that shows them all: %s\n", show.Written().size(),
              std::filesystem::absolute(index).c_str());
  return 0;
}

}  // namespace pixelops

int main(int argc, char** argv) { return pixelops::RunShowcase(argc, argv); }
