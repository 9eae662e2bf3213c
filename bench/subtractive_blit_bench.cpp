// The four subtractive blits on every served pair, 800 x 600.
#include "bench/saturating_bench.h"

namespace pixelops {

namespace {

const bool registered = [] {
  satbench::Register("BltSub", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltSub(s, 0, 0, nullptr, z, nullptr);
  });
  satbench::Register("BltSubKey", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltSubKey(s, 0, 0, nullptr, z, nullptr);
  });
  satbench::Register("BltSubLevel", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltSubLevel(s, 0, 0, 160, nullptr, z, nullptr);
  });
  satbench::Register("BltSubLevelKey", [](DDSurface& d, DDSurface* s, const Size* z) {
    return d.BltSubLevelKey(s, 0, 0, 160, nullptr, z, nullptr);
  });
  return true;
}();

}  // namespace

}  // namespace pixelops
