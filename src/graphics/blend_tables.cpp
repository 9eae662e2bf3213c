#include "graphics/blend_tables.h"

#include <cmath>
#include <memory>

namespace pixelops {

namespace {

std::unique_ptr<BlendTables> Build() {
  auto t = std::make_unique<BlendTables>();
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t c = 0; c < 256; ++c) {
      t->product[a * 256 + c] = static_cast<uint8_t>(a * c / 255);
      t->complement[a * 256 + c] = static_cast<uint8_t>(c * (255 - a) / 255);
    }
    for (int32_t d = -255; d <= 255; ++d) {
      const int32_t mag = (d < 0 ? -d : d) * static_cast<int32_t>(a) / 255;
      t->difference[a * 512 + 255 + d] = static_cast<uint8_t>(d < 0 ? -mag : mag);
    }
    t->difference[a * 512 + 511] = 0;
  }
  for (uint32_t level = 0; level < 16; ++level) {
    for (uint32_t w = 0; w < 65536; ++w) {
      const uint32_t r5 = (w >> 11) & 31, g6 = (w >> 5) & 63, b5 = w & 31;
      t->level565[(level << 16) | w] =
          static_cast<uint16_t>(((r5 * level / 15) << 11) | ((g6 * level / 15) << 5) | (b5 * level / 15));
      const uint32_t r = (w >> 10) & 31, g = (w >> 5) & 31, b = w & 31;
      t->level555[(level << 16) | w] =
          static_cast<uint16_t>(((r * level / 15) << 10) | ((g * level / 15) << 5) | (b * level / 15));
    }
  }
  return t;
}

}  // namespace

const BlendTables& BlendTables::Get() {
  static const std::unique_ptr<BlendTables> tables = Build();
  return *tables;
}

const CosTable& CosTable::Get() {
  static const CosTable table = [] {
    CosTable t{};
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 512; ++i) {
      t.entry[i] = static_cast<int32_t>(std::trunc(std::cos(i * pi / 256.0) * 65536.0));
    }
    return t;
  }();
  return table;
}

}  // namespace pixelops
