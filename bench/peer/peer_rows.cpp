// The rows of the peer table: each operation of this library beside the
// closest pixman or SDL2 operation on the same pictures.
//
// pixman takes premultiplied colour, so its a8r8g8b8 pictures are the same
// pixels premultiplied; its 16-bit alpha source is the colour words as r5g6b5
// with the alpha levels (0..15) scaled to an a8 mask (x 17). SDL2 draws
// straight from copies of the same bytes.
#include <SDL.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "peer_bench.h"

namespace pixelops {

namespace peer {

namespace {

using Surface = std::shared_ptr<DDSurface>;
using Shared = std::shared_ptr<Bytes>;
using PixmanImage = std::shared_ptr<pixman_image_t>;
using SdlSurface = std::shared_ptr<SDL_Surface>;

constexpr double kScreen = double{kWidth} * kHeight;

Shared CopyOf(const uint8_t* p, size_t n) {
  auto b = std::make_shared<Bytes>(AllocateBytes(n));
  std::memcpy(b->get(), p, n);
  return b;
}

Shared CopyOf(const DDSurface& s) { return CopyOf(s.Buffer().pixels, SurfaceBytes(s)); }

// a8r8g8b8 premultiplied from a packed Bgra32 surface.
Shared Premultiplied(const DDSurface& s) {
  const size_t n = SurfaceBytes(s);
  auto b = CopyOf(s);
  uint8_t* p = b->get();
  for (size_t i = 0; i < n; i += 4) {
    const uint32_t a = p[i + 3];
    for (int c = 0; c < 3; ++c) p[i + c] = static_cast<uint8_t>((p[i + c] * a + 127) / 255);
  }
  return b;
}

// The colour words of a packed Rgb565A surface, and its alpha levels as a8.
Shared ColourWords(const DDSurface& s) {
  const size_t pixels = SurfaceBytes(s) / 4;
  auto b = std::make_shared<Bytes>(AllocateBytes(pixels * 2));
  for (size_t i = 0; i < pixels; ++i) std::memcpy(b->get() + i * 2, s.Buffer().pixels + i * 4, 2);
  return b;
}

Shared AlphaBytes(const DDSurface& s) {
  const size_t pixels = SurfaceBytes(s) / 4;
  auto b = std::make_shared<Bytes>(AllocateBytes(pixels));
  for (size_t i = 0; i < pixels; ++i)
    (*b)[i] = static_cast<uint8_t>((s.Buffer().pixels[i * 4 + 2] & 15) * 17);
  return b;
}

PixmanImage Pixman(pixman_format_code_t f, int32_t w, int32_t h, const Shared& bits, int32_t bytesPerPixel) {
  pixman_image_t* img =
      pixman_image_create_bits(f, w, h, reinterpret_cast<uint32_t*>(bits->get()), w * bytesPerPixel);
  return PixmanImage(img, [bits](pixman_image_t* i) { pixman_image_unref(i); });
}

SdlSurface Sdl(Uint32 format, int32_t w, int32_t h, const Shared& bits, int32_t bytesPerPixel) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormatFrom(bits->get(), w, h, bytesPerPixel * 8, w * bytesPerPixel, format);
  if (s == nullptr) std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
  return SdlSurface(s, [bits](SDL_Surface* p) { SDL_FreeSurface(p); });
}

// A destination of n bytes restored from its first content before each run.
struct Target {
  Shared bits, saved;
  size_t n = 0;
  std::function<void()> Reset() const { return Restore(bits->get(), saved->get(), n); }
};

Target TargetOf(const uint8_t* content, size_t n) { return {CopyOf(content, n), CopyOf(content, n), n}; }

// The library's quantity: op on dst (restored before each run) from src.
Quantity Library(const Surface& dst, const Surface& src, std::function<BlitResult(DDSurface&, DDSurface&)> op,
                 double pixels) {
  auto saved = CopyOf(*dst);
  const BlitResult r = op(*dst, *src);
  if (r != kBlitDone) std::fprintf(stderr, "warning: library call answered %d\n", r);
  Quantity q;
  q.name = "library";
  q.reset = Restore(dst->Buffer().pixels, saved->get(), SurfaceBytes(*dst));
  q.run = [dst, src, op, saved] { op(*dst, *src); };
  q.pixels = pixels;
  return q;
}

Quantity PixmanComposite(const Target& t, pixman_op_t op, const PixmanImage& src, const PixmanImage& mask,
                         const PixmanImage& dst, int32_t x, int32_t y, int32_t w, int32_t h, double pixels) {
  Quantity q;
  q.name = "pixman";
  q.reset = t.Reset();
  q.run = [t, op, src, mask, dst, x, y, w, h] {
    pixman_image_composite32(op, src.get(), mask.get(), dst.get(), x, y, x, y, x, y, w, h);
  };
  q.pixels = pixels;
  return q;
}

Quantity SdlBlit(const Target& t, const SdlSurface& src, const SdlSurface& dst, double pixels) {
  Quantity q;
  q.name = "SDL2";
  q.reset = t.Reset();
  q.run = [t, src, dst] { SDL_BlitSurface(src.get(), nullptr, dst.get(), nullptr); };
  q.pixels = pixels;
  return q;
}

// The check: one run of each from the same start, then the share of pixels
// whose colours agree within the tolerance.
std::function<std::string()> Agreement(Quantity a, const uint8_t* da, Layout la, Quantity b,
                                       const uint8_t* db, Layout lb, int32_t tolerance,
                                       std::string extra = {}) {
  return [=] {
    a.reset();
    a.run();
    b.reset();
    b.run();
    char text[160];
    std::snprintf(text, sizeof text, "%.1f %% of pixels agree within +-%d per 8-bit channel",
                  100 * AgreeingShare(da, la, db, lb, tolerance), tolerance);
    return std::string(text) + extra;
  };
}

// The same for a Bgra32 destination beside pixman's premultiplied one: the
// colours (pixman's divided by its alpha) within 4 wherever pixman's result is
// at least a quarter opaque. The alphas are not compared: this library's
// source over stores 255 where pixman stores the combined coverage.
std::function<std::string()> PremultipliedAgreement(Quantity a, const uint8_t* da, Quantity b,
                                                    const uint8_t* db) {
  return [=] {
    a.reset();
    a.run();
    b.reset();
    b.run();
    int64_t agree = 0, compared = 0;
    const int64_t n = int64_t{kWidth} * kHeight;
    for (int64_t i = 0; i < n; ++i) {
      const uint8_t* x = da + i * 4;
      const uint8_t* y = db + i * 4;
      if (y[3] < 64) continue;
      bool ok = true;
      for (int c = 0; c < 3; ++c) ok = ok && std::abs(x[c] - (y[c] * 255 + y[3] / 2) / y[3]) <= 4;
      agree += ok;
      ++compared;
    }
    char text[200];
    std::snprintf(text, sizeof text,
                  "%.1f %% of the %.0f %% of pixels that pixman leaves at alpha >= 64 agree in "
                  "colour within +-4 of pixman's unpremultiplied (alphas differ by rule)",
                  100.0 * static_cast<double>(agree) / static_cast<double>(std::max<int64_t>(compared, 1)),
                  100.0 * static_cast<double>(compared) / static_cast<double>(n));
    return std::string(text);
  };
}

uint8_t* Pixels(const Surface& s) { return s->Buffer().pixels; }

Surface Share(std::unique_ptr<DDSurface> s) { return Surface(std::move(s)); }

// --- one-to-one blits -------------------------------------------------------

// BltAlphaChannel from Bgra32 against pixman OVER of the premultiplied source.
PeerRow AlphaChannel32(PixelFormat dstFormat) {
  const bool alphaDst = dstFormat == PixelFormat::Bgra32;
  Surface dst = Share(Backdrop(dstFormat));
  Surface src = Share(SpriteSurface(PixelFormat::Bgra32, kWidth, kHeight, kTile));
  Target t = alphaDst ? TargetOf(Premultiplied(*dst)->get(), SurfaceBytes(*dst))
                      : TargetOf(Pixels(dst), SurfaceBytes(*dst));
  const pixman_format_code_t df = alphaDst ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
  auto ps = Pixman(PIXMAN_a8r8g8b8, kWidth, kHeight, Premultiplied(*src), 4);
  auto pd = Pixman(df, kWidth, kHeight, t.bits, 4);
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 0, 0, nullptr, nullptr, nullptr); },
      kScreen);
  row.other = PixmanComposite(t, PIXMAN_OP_OVER, ps, nullptr, pd, 0, 0, kWidth, kHeight, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  if (!alphaDst) {
    row.check =
        Agreement(row.library, Pixels(dst), Layout::Xrgb32, row.other, t.bits->get(), Layout::Xrgb32, 2);
  } else {
    row.check = PremultipliedAgreement(row.library, Pixels(dst), row.other, t.bits->get());
  }
  return row;
}

// BltAlpha Bgrx32 at opacity 128 against pixman OVER with a 50 % solid mask.
PeerRow AlphaBgrxPixman() {
  Surface dst = Share(Backdrop(PixelFormat::Bgrx32));
  Surface src = Share(SpriteSurface(PixelFormat::Bgrx32, kWidth, kHeight, kTile));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ps = Pixman(PIXMAN_x8r8g8b8, kWidth, kHeight, CopyOf(*src), 4);
  const pixman_color_t half{0, 0, 0, 0x8080};
  auto mask = PixmanImage(pixman_image_create_solid_fill(&half), pixman_image_unref);
  auto pd = Pixman(PIXMAN_x8r8g8b8, kWidth, kHeight, t.bits, 4);
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 0, 0, 128, nullptr, nullptr, nullptr); },
      kScreen);
  row.other = PixmanComposite(t, PIXMAN_OP_OVER, ps, mask, pd, 0, 0, kWidth, kHeight, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  row.check =
      Agreement(row.library, Pixels(dst), Layout::Xrgb32, row.other, t.bits->get(), Layout::Xrgb32, 2);
  return row;
}

// BltAlpha at opacity 128 against SDL2's surface alpha modulation 128.
PeerRow AlphaSdl(PixelFormat f) {
  const bool word = f == PixelFormat::Rgb565;
  const Uint32 sdlFormat = word ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
  const int32_t bpp = BytesPerPixel(f);
  const Layout layout = word ? Layout::Rgb565Word2 : Layout::Xrgb32;
  Surface dst = Share(Backdrop(f));
  Surface src = Share(SpriteSurface(f, kWidth, kHeight, kTile));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ss = Sdl(sdlFormat, kWidth, kHeight, CopyOf(*src), bpp);
  auto sd = Sdl(sdlFormat, kWidth, kHeight, t.bits, bpp);
  SDL_SetSurfaceBlendMode(ss.get(), SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(ss.get(), 128);
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 0, 0, 128, nullptr, nullptr, nullptr); },
      kScreen);
  row.other = SdlBlit(t, ss, sd, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  row.check = Agreement(row.library, Pixels(dst), layout, row.other, t.bits->get(), layout, word ? 12 : 2);
  return row;
}

// BltAdd Bgrx32 against pixman ADD on the same bytes as a8r8g8b8.
PeerRow AddPixman() {
  Surface dst = Share(Backdrop(PixelFormat::Bgrx32));
  Surface src = Share(SpriteSurface(PixelFormat::Bgrx32, kWidth, kHeight, kTile));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ps = Pixman(PIXMAN_a8r8g8b8, kWidth, kHeight, CopyOf(*src), 4);
  auto pd = Pixman(PIXMAN_a8r8g8b8, kWidth, kHeight, t.bits, 4);
  PeerRow row;
  row.library = Library(
      dst, src, [](DDSurface& d, DDSurface& s) { return d.BltAdd(&s, 0, 0, nullptr, nullptr, nullptr); },
      kScreen);
  row.other = PixmanComposite(t, PIXMAN_OP_ADD, ps, nullptr, pd, 0, 0, kWidth, kHeight, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  row.check =
      Agreement(row.library, Pixels(dst), Layout::Xrgb32, row.other, t.bits->get(), Layout::Xrgb32, 0);
  return row;
}

// BltAlphaChannel from Rgb565A against pixman OVER of r5g6b5 through an a8 mask.
PeerRow AlphaChannel565(PixelFormat dstFormat) {
  Surface dst = Share(Backdrop(dstFormat));
  Surface src = Share(SpriteSurface(PixelFormat::Rgb565A, kWidth, kHeight, kTile));
  const bool wide = BytesPerPixel(dstFormat) == 4;
  Shared words = wide ? ColourWords(*dst) : CopyOf(*dst);
  Target t = TargetOf(words->get(), size_t{kWidth} * kHeight * 2);
  auto ps = Pixman(PIXMAN_r5g6b5, kWidth, kHeight, ColourWords(*src), 2);
  auto pm = Pixman(PIXMAN_a8, kWidth, kHeight, AlphaBytes(*src), 1);
  auto pd = Pixman(PIXMAN_r5g6b5, kWidth, kHeight, t.bits, 2);
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) { return d.BltAlphaChannel(&s, 0, 0, nullptr, nullptr, nullptr); },
      kScreen);
  row.other = PixmanComposite(t, PIXMAN_OP_OVER, ps, pm, pd, 0, 0, kWidth, kHeight, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  if (!wide) {
    row.check = Agreement(row.library, Pixels(dst), Layout::Rgb565Word2, row.other, t.bits->get(),
                          Layout::Rgb565Word2, 12);
  } else {
    row.check = [] { return std::string("(no colour check: the destination alphas differ in kind)"); };
  }
  return row;
}

// Keyed Rgb565 copies and translucent keyed blits against SDL2's colour key.
PeerRow KeyedSdl(bool translucent, bool rle) {
  Surface dst = Share(Backdrop(PixelFormat::Rgb565));
  Surface src = Share(SpriteSurface(PixelFormat::Rgb565, kWidth, kHeight, kTile));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ss = Sdl(SDL_PIXELFORMAT_RGB565, kWidth, kHeight, CopyOf(*src), 2);
  auto sd = Sdl(SDL_PIXELFORMAT_RGB565, kWidth, kHeight, t.bits, 2);
  SDL_SetColorKey(ss.get(), SDL_TRUE, src->GetColorKey() & 0xFFFF);
  if (translucent) {
    SDL_SetSurfaceBlendMode(ss.get(), SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(ss.get(), 128);
  }
  if (rle) SDL_SetSurfaceRLE(ss.get(), 1);
  PeerRow row;
  if (translucent) {
    row.library = Library(
        dst, src,
        [](DDSurface& d, DDSurface& s) {
          return d.BltTranslucentKey(&s, 0, 0, 128, nullptr, nullptr, nullptr);
        },
        kScreen);
  } else {
    row.library = Library(
        dst, src, [](DDSurface& d, DDSurface& s) { return d.BltKeyed(&s, 0, 0, nullptr, nullptr, nullptr); },
        kScreen);
  }
  row.other = SdlBlit(t, ss, sd, kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  SDL_BlitSurface(ss.get(), nullptr, sd.get(), nullptr);  // encodes the runs where asked
  const std::string state =
      (ss->flags & SDL_RLEACCEL) ? "; SDL surface RLE-encoded" : "; SDL surface not RLE-encoded";
  row.check = Agreement(row.library, Pixels(dst), Layout::Rgb565Word2, row.other, t.bits->get(),
                        Layout::Rgb565Word2, translucent ? 12 : 0, state);
  return row;
}

// --- turned sprites ---------------------------------------------------------

constexpr int32_t kSprite = 256;
constexpr int32_t kAngle = 43;  // 512ths of a turn: 30 degrees
constexpr int32_t kUnit = 65536;

struct Turn {
  RotatedQuad quad;
  double covered = 0;                 // destination pixels the library draws
  std::vector<pixman_box32_t> spans;  // one per covered row
  pixman_box32_t bounds{0, 0, 0, 0};  // the corners' bounding box, clipped
  pixman_transform_t transform;       // destination to source, pixel centres
};

Turn MakeTurn() {
  Turn t;
  auto probe = DDSurface::Make(kSprite, kSprite, PixelFormat::Bgrx32);
  MakeRotatedQuad(*probe, kWidth / 2, kHeight / 2, kAngle, kUnit, kUnit, &t.quad);
  // Which pixels the rasteriser covers: a black picture onto white.
  auto dst = DDSurface::Make(kWidth, kHeight, PixelFormat::Bgrx32);
  probe->SetFillColor(0);
  probe->FillRect(nullptr);
  dst->SetFillColor(0x00FFFFFF);
  dst->FillRect(nullptr);
  dst->DrawPolygon(probe.get(), t.quad.src, t.quad.dst, nullptr, 0, 4);
  const PixelBuffer& b = dst->Buffer();
  for (int32_t y = 0; y < kHeight; ++y) {
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < kWidth; ++x) {
      if (b.pixels[int64_t{y} * b.pitch + x * 4] == 0) {
        if (first < 0) first = x;
        last = x;
        ++t.covered;
      }
    }
    if (first >= 0) t.spans.push_back({first, y, last + 1, y + 1});
  }
  int32_t x0 = kWidth, y0 = kHeight, x1 = 0, y1 = 0;
  for (const Point& p : t.quad.dst) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x + 1), y1 = std::max(y1, p.y + 1);
  }
  t.bounds = {std::max(x0, 0), std::max(y0, 0), std::min(x1, kWidth), std::min(y1, kHeight)};
  // The affine map taking destination pixel centres to source texel centres,
  // from three corners: A(p) = s0 + M (p - p0), M = S P^-1.
  const Point* s = t.quad.src;
  const Point* d = t.quad.dst;
  const double p00 = d[1].x - d[0].x, p10 = d[1].y - d[0].y;  // P's first column
  const double p01 = d[3].x - d[0].x, p11 = d[3].y - d[0].y;
  const double s00 = s[1].x - s[0].x, s10 = s[1].y - s[0].y;
  const double s01 = s[3].x - s[0].x, s11 = s[3].y - s[0].y;
  const double det = p00 * p11 - p01 * p10;
  const double i00 = p11 / det, i01 = -p01 / det, i10 = -p10 / det, i11 = p00 / det;
  const double m00 = s00 * i00 + s01 * i10, m01 = s00 * i01 + s01 * i11;
  const double m10 = s10 * i00 + s11 * i10, m11 = s10 * i01 + s11 * i11;
  const double px = d[0].x + 0.5, py = d[0].y + 0.5, sx = s[0].x + 0.5, sy = s[0].y + 0.5;
  const double tx = sx - m00 * px - m01 * py, ty = sy - m10 * px - m11 * py;
  pixman_transform_init_identity(&t.transform);
  t.transform.matrix[0][0] = pixman_double_to_fixed(m00);
  t.transform.matrix[0][1] = pixman_double_to_fixed(m01);
  t.transform.matrix[0][2] = pixman_double_to_fixed(tx);
  t.transform.matrix[1][0] = pixman_double_to_fixed(m10);
  t.transform.matrix[1][1] = pixman_double_to_fixed(m11);
  t.transform.matrix[1][2] = pixman_double_to_fixed(ty);
  return t;
}

const Turn& TheTurn() {
  static const Turn turn = MakeTurn();
  return turn;
}

PixmanImage TurnedSource(pixman_format_code_t f, const Shared& bits) {
  auto img = Pixman(f, kSprite, kSprite, bits, 4);
  pixman_image_set_transform(img.get(), &TheTurn().transform);
  pixman_image_set_filter(img.get(), PIXMAN_FILTER_NEAREST, nullptr, 0);
  return img;
}

Quantity KeyedTurnBgrx(const Surface& dst) {
  Surface src = Share(SpriteSurface(PixelFormat::Bgrx32, kSprite, kSprite, kSprite));
  return Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) {
        return DrawRotatedScaled(&d, &s, kWidth / 2, kHeight / 2, kAngle, kUnit, kUnit);
      },
      TheTurn().covered);
}

// DrawRotatedScaled keyed Bgrx32 against pixman SRC with the same transform,
// over the bounding box or clipped to the rows the sprite covers.
PeerRow TurnSrc(bool clipped) {
  const Turn& turn = TheTurn();
  Surface dst = Share(Backdrop(PixelFormat::Bgrx32));
  Surface src = Share(SpriteSurface(PixelFormat::Bgrx32, kSprite, kSprite, kSprite));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ps = TurnedSource(PIXMAN_x8r8g8b8, CopyOf(*src));
  auto pd = Pixman(PIXMAN_x8r8g8b8, kWidth, kHeight, t.bits, 4);
  if (clipped) {
    pixman_region32_t region;
    pixman_region32_init_rects(&region, turn.spans.data(), static_cast<int>(turn.spans.size()));
    pixman_image_set_clip_region32(pd.get(), &region);
    pixman_region32_fini(&region);
  }
  const pixman_box32_t& box = turn.bounds;
  PeerRow row;
  row.library = KeyedTurnBgrx(dst);
  row.other = PixmanComposite(t, PIXMAN_OP_SRC, ps, nullptr, pd, box.x1, box.y1, box.x2 - box.x1,
                              box.y2 - box.y1, turn.covered);
  row.memcpy = MemcpyYardstick(static_cast<size_t>(turn.covered) * 4, turn.covered);
  char text[120];
  std::snprintf(text, sizeof text, "; %.0f pixels covered, pixman box %d x %d", turn.covered, box.x2 - box.x1,
                box.y2 - box.y1);
  row.check =
      Agreement(row.library, Pixels(dst), Layout::Xrgb32, row.other, t.bits->get(), Layout::Xrgb32, 8, text);
  return row;
}

// DrawRotatedSprite Bgra32 onto Bgrx32 at alpha 255 against pixman OVER.
PeerRow TurnOver() {
  const Turn& turn = TheTurn();
  Surface dst = Share(Backdrop(PixelFormat::Bgrx32));
  Surface src = Share(SpriteSurface(PixelFormat::Bgra32, kSprite, kSprite, kSprite));
  Target t = TargetOf(Pixels(dst), SurfaceBytes(*dst));
  auto ps = TurnedSource(PIXMAN_a8r8g8b8, Premultiplied(*src));
  auto pd = Pixman(PIXMAN_x8r8g8b8, kWidth, kHeight, t.bits, 4);
  const pixman_box32_t& box = turn.bounds;
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) {
        return DrawRotatedSprite(&d, &s, kWidth / 2, kHeight / 2, kAngle, kUnit, kUnit, 255);
      },
      turn.covered);
  row.other = PixmanComposite(t, PIXMAN_OP_OVER, ps, nullptr, pd, box.x1, box.y1, box.x2 - box.x1,
                              box.y2 - box.y1, turn.covered);
  row.memcpy = MemcpyYardstick(static_cast<size_t>(turn.covered) * 4, turn.covered);
  row.check =
      Agreement(row.library, Pixels(dst), Layout::Xrgb32, row.other, t.bits->get(), Layout::Xrgb32, 2);
  return row;
}

// DrawRotatedSprite Rgb565A onto Rgb565A at alpha 200 against the keyed
// Bgrx32 turn of this library.
PeerRow Turn565A() {
  const Turn& turn = TheTurn();
  Surface dst = Share(Backdrop(PixelFormat::Rgb565A));
  Surface src = Share(SpriteSurface(PixelFormat::Rgb565A, kSprite, kSprite, kSprite));
  PeerRow row;
  row.library = Library(
      dst, src,
      [](DDSurface& d, DDSurface& s) {
        return DrawRotatedSprite(&d, &s, kWidth / 2, kHeight / 2, kAngle, kUnit, kUnit, 200);
      },
      turn.covered);
  row.other = KeyedTurnBgrx(Share(Backdrop(PixelFormat::Bgrx32)));
  row.memcpy = MemcpyYardstick(static_cast<size_t>(turn.covered) * 4, turn.covered);
  return row;
}

// BltAlpha Bgrx32 stretched 1.5 x both ways against the same blit one to one.
PeerRow Stretched() {
  Surface dst = Share(Backdrop(PixelFormat::Bgrx32));
  Surface small = Share(SpriteSurface(PixelFormat::Bgrx32, 533, 400, kTile * 2 / 3));
  Surface src = Share(SpriteSurface(PixelFormat::Bgrx32, kWidth, kHeight, kTile));
  PeerRow row;
  row.library = Library(
      dst, small,
      [](DDSurface& d, DDSurface& s) {
        const Size size{kWidth, kHeight};
        return d.BltAlpha(&s, 0, 0, 128, nullptr, &size, nullptr);
      },
      kScreen);
  row.other = Library(
      Share(Backdrop(PixelFormat::Bgrx32)), src,
      [](DDSurface& d, DDSurface& s) { return d.BltAlpha(&s, 0, 0, 128, nullptr, nullptr, nullptr); },
      kScreen);
  row.memcpy = MemcpyYardstick(SurfaceBytes(*dst), kScreen);
  return row;
}

}  // namespace

std::string PeerVersions() {
  SDL_version v;
  SDL_GetVersion(&v);
  return std::string("pixman ") + pixman_version_string() + ", SDL " + std::to_string(v.major) + "." +
         std::to_string(v.minor) + "." + std::to_string(v.patch);
}

std::vector<RowMaker<PeerRow>> PeerRows() {
  using F = PixelFormat;
  return {
      {"BltAlphaChannel Bgra32 -> Bgrx32", "pixman OVER a8r8g8b8 -> x8r8g8b8",
       [] { return AlphaChannel32(F::Bgrx32); }},
      {"BltAlphaChannel Bgra32 -> Bgra32", "pixman OVER a8r8g8b8 -> a8r8g8b8",
       [] { return AlphaChannel32(F::Bgra32); }},
      {"BltAlpha Bgrx32 -> Bgrx32, opacity 128", "pixman OVER x8r8g8b8, solid 50% mask",
       [] { return AlphaBgrxPixman(); }},
      {"BltAlpha Bgrx32 -> Bgrx32, opacity 128", "SDL2 alpha-mod 128 (RGB888, BLEND)",
       [] { return AlphaSdl(F::Bgrx32); }},
      {"BltAdd Bgrx32 -> Bgrx32", "pixman ADD a8r8g8b8", [] { return AddPixman(); }},
      {"BltAlphaChannel Rgb565A -> Rgb565", "pixman OVER r5g6b5, a8 mask -> r5g6b5",
       [] { return AlphaChannel565(F::Rgb565); }},
      {"BltAlphaChannel Rgb565A -> Rgb565A", "pixman OVER r5g6b5, a8 mask -> r5g6b5",
       [] { return AlphaChannel565(F::Rgb565A); }},
      {"BltAlpha Rgb565 -> Rgb565, opacity 128", "SDL2 alpha-mod 128 (RGB565, BLEND)",
       [] { return AlphaSdl(F::Rgb565); }},
      {"BltKeyed Rgb565", "SDL2 colour key (RGB565, no RLE)", [] { return KeyedSdl(false, false); }},
      {"BltKeyed Rgb565", "SDL2 colour key (RGB565, RLE)", [] { return KeyedSdl(false, true); }},
      {"BltTranslucentKey Rgb565, opacity 128", "SDL2 colour key + alpha-mod 128, RLE",
       [] { return KeyedSdl(true, true); }},
      {"BltTranslucentKey Rgb565, opacity 128", "SDL2 colour key + alpha-mod 128, no RLE",
       [] { return KeyedSdl(true, false); }},
      {"DrawRotatedScaled keyed Bgrx32 (256x256, 30 deg, scale 1)",
       "pixman SRC x8r8g8b8 nearest, same transform, bounding box", [] { return TurnSrc(false); }},
      {"DrawRotatedScaled keyed Bgrx32 (256x256, 30 deg, scale 1)",
       "pixman SRC x8r8g8b8 nearest, same transform, clipped to the covered rows",
       [] { return TurnSrc(true); }},
      {"DrawRotatedSprite Bgra32 -> Bgrx32, alpha 255 (same turn)",
       "pixman OVER a8r8g8b8 nearest, same transform", [] { return TurnOver(); }},
      {"DrawRotatedSprite Rgb565A -> Rgb565A, alpha 200 (same turn)",
       "this library: the keyed Bgrx32 turn above", [] { return Turn565A(); }},
      {"BltAlpha Bgrx32 stretched 1.5x both axes, opacity 128", "this library: the same blit one to one",
       [] { return Stretched(); }},
  };
}

}  // namespace peer

}  // namespace pixelops
