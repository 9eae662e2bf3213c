// A program that uses an installed pixelops: two surfaces, a translucent blit
// and a saturating add, a few pixels checked. Prints OK and exits 0 when the
// pixels are what they should be.
#include <pixelops/pixelops.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

static_assert(__cplusplus >= 202002L, "pixelops needs C++20; its package asks for it");

namespace {

// Pixel (x, y) of a 32-bit surface as 0xXXRRGGBB (the bytes B, G, R, X).
uint32_t Get(const pixelops::DDSurface& s, int x, int y) {
  const pixelops::PixelBuffer& b = s.Buffer();
  uint32_t v;
  std::memcpy(&v, b.pixels + y * b.pitch + x * 4, 4);
  return v;
}

void Set(pixelops::DDSurface& s, int x, int y, uint32_t v) {
  const pixelops::PixelBuffer& b = s.Buffer();
  std::memcpy(b.pixels + y * b.pitch + x * 4, &v, 4);
}

void Fill(pixelops::DDSurface& s, uint32_t v) {
  int32_t w = 0, h = 0;
  s.GetSize(&w, &h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Set(s, x, y, v);
}

int failures = 0;

void Check(bool ok, const char* what, uint32_t got) {
  if (!ok) {
    std::printf("FAILED: %s (got 0x%08X)\n", what, static_cast<unsigned>(got));
    ++failures;
  }
}

uint32_t Channel(uint32_t v, int i) { return (v >> (8 * i)) & 0xFF; }

}  // namespace

int main() {
  using pixelops::DDSurface;
  using pixelops::PixelFormat;

  auto screen = DDSurface::Make(64, 16, PixelFormat::Bgrx32);
  auto sprite = DDSurface::Make(16, 16, PixelFormat::Bgrx32);
  if (!screen || !sprite) {
    std::printf("FAILED: DDSurface::Make\n");
    return 1;
  }

  // Half-opacity blit of 200s onto 100s: every colour channel ends between
  // the two, at the midpoint give or take rounding; pixels beside it stay.
  Fill(*screen, 0x00646464);
  Fill(*sprite, 0x00C8C8C8);
  if (screen->BltAlpha(sprite.get(), 8, 0, 128) != pixelops::kBlitDone) ++failures;
  const uint32_t blended = Get(*screen, 8, 0);
  for (int i = 0; i < 3; ++i)
    Check(Channel(blended, i) >= 148 && Channel(blended, i) <= 152, "BltAlpha midpoint", blended);
  Check(Get(*screen, 23, 15) == blended, "BltAlpha last pixel", Get(*screen, 23, 15));
  Check(Get(*screen, 7, 0) == 0x00646464, "BltAlpha left neighbour", Get(*screen, 7, 0));
  Check(Get(*screen, 24, 0) == 0x00646464, "BltAlpha right neighbour", Get(*screen, 24, 0));

  // Saturating add: each colour channel is min(255, d + s).
  Fill(*screen, 0x00102030);
  Fill(*sprite, 0x00F01010);
  if (screen->BltAdd(sprite.get(), 40, 0) != pixelops::kBlitDone) ++failures;
  const uint32_t added = Get(*screen, 47, 3);
  Check((added & 0x00FFFFFF) == 0x00FF3040, "BltAdd saturates", added);
  Check(Get(*screen, 39, 3) == 0x00102030, "BltAdd left neighbour", Get(*screen, 39, 3));

  if (failures != 0) return 1;
  std::printf("OK (SIMD level %.*s)\n", static_cast<int>(pixelops::SimdLevel().size()),
              pixelops::SimdLevel().data());
  return 0;
}
