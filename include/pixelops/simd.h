// Which vector instruction set the fast paths of pixelops use.
//
// Every operation has a per-pixel reference path and, for the pairs of
// formats that have one, a whole-row kernel compiled for each instruction set
// this build targets. The best set the processor has is chosen once, on the
// first drawing call; the environment variable PIXELOPS_SIMD, read then, caps
// it. The level names, lowest first:
//
//   scalar   no kernels: every operation runs its per-pixel reference path;
//   x86-64:  ssse3 (SSSE3, the lowest x86 vector level; `sse2` is accepted
//            for it), sse4 (SSE4.2), avx2 (AVX2), avx512 (AVX-512, with the
//            later extensions where the processor has them);
//   aarch64: neon (NEON, which can also be picked on a processor with SVE),
//            sve (SVE or SVE2 at the processor's vector length: Highway's
//            SVE, SVE2, SVE_256 and SVE2_128 targets);
//   others:  vector (every vector target of the build).
//
// `best` (or PIXELOPS_SIMD unset or empty) is the best level the processor
// runs. A PIXELOPS_SIMD value that names no level is ignored: the best level.
// A level names what runs: where a level adds nothing the processor runs, the
// level below stands in for it. Every level draws exactly the same bytes.
//
// pixelops never changes the instruction set Highway picks for code of the
// host program's own.
#pragma once

#include <string_view>
#include <vector>

namespace pixelops {

// Caps the instruction set as PIXELOPS_SIMD does, from now on. False, with
// nothing changed, for a name that is not a level. A level above what the
// processor has gives the best it has. A drawing call takes the kernels of
// the level in force once, when it starts, so calls under way on other
// threads finish on the level they started with.
bool SetSimdLevel(std::string_view level);

// The name of the level in force (one of the names above, `sse2` reading as
// `ssse3`; never `best`).
std::string_view SimdLevel();

// The distinct levels this processor and build can run, "scalar" first and the
// best last; each is a name SetSimdLevel accepts.
std::vector<std::string_view> SimdLevels();

}  // namespace pixelops
