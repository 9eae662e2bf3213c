// The four additive blits on every served pair, 800 x 600.
#include "bench/saturating_bench.h"

namespace pixelops {

namespace {

const bool registered = [] {
  satbench::Register("BltAdd", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltAdd(s, 0, 0, nullptr, z, nullptr);
  });
  satbench::Register("BltAddKey", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltAddKey(s, 0, 0, nullptr, z, nullptr);
  });
  satbench::Register("BltAddLevel", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltAddLevel(s, 0, 0, 160, nullptr, z, nullptr);
  });
  satbench::Register("BltAddLevelKey", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltAddLevelKey(s, 0, 0, 160, nullptr, z, nullptr);
  });
  return true;
}();

}  // namespace

}  // namespace pixelops
