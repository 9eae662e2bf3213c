// Which vector instruction set the fast paths of pixelops use.
//
// Every operation has a per-pixel reference path and, for the pairs of
// formats that have one, a whole-row kernel compiled for each instruction set
// this build targets. The best set the processor has is chosen once, on the
// first drawing call; the environment variable PIXELOPS_SIMD, read then, caps
// it: `scalar` (no kernels: the reference path), `sse2` (the lowest x86 vector
// target of the build: SSSE3 with Highway 1.0), `sse4`, `avx2`, `avx512`, or
// unset / `best`. Every level draws exactly the same bytes.
#pragma once

#include <string_view>
#include <vector>

namespace pixelops {

// Caps the instruction set as PIXELOPS_SIMD does, from now on (drawing calls
// under way on other threads finish on the level they started with). False,
// with nothing changed, for a name that is not a level. A level above what the
// processor has gives the best it has.
bool SetSimdLevel(std::string_view level);

// The level in force: "scalar", "sse2", "sse4", "avx2", "avx512", or the name
// of the vector target on other processors ("neon", "sve", ...).
std::string_view SimdLevel();

// The distinct levels this processor and build can run, "scalar" first and the
// best last; each is a name SetSimdLevel accepts.
std::vector<std::string_view> SimdLevels();

}  // namespace pixelops
