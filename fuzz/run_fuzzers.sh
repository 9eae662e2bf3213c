#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (library and targets under
# AddressSanitizer and UndefinedBehaviorSanitizer) into build-fuzz and runs
# each over its seed corpus plus a fixed number of new inputs.
# Exits non-zero on any finding; the input that found it is kept under
# build-fuzz/artifacts/<target>/.
#
# Environment: FUZZ_RUNS (new inputs per target, default 20000; the screen
# target, whose every input works on 800 x 600 buffers, runs a tenth of that),
# FUZZ_SEED (default 1, so that a run is repeatable), FUZZ_BUILD_DIR (default
# build-fuzz), FUZZ_JOBS (build jobs, default: PIXELOPS_JOBS, else all cores).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${FUZZ_RUNS:-20000}"
seed="${FUZZ_SEED:-1}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${FUZZ_JOBS:-${PIXELOPS_JOBS:-$(nproc)}}"
targets=(blit polygon screen)

# clang and its fuzzer runtime (Debian: clang, libclang-rt-14-dev).
fuzzer_runtime() {
  command -v clang++ >/dev/null 2>&1 || return 1
  [ -f "$(clang++ -print-resource-dir)/lib/linux/libclang_rt.fuzzer-x86_64.a" ]
}
if ! fuzzer_runtime; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "fuzz: installing clang and its fuzzer runtime"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  fi
  fuzzer_runtime || { echo "fuzz: clang++ with the libFuzzer runtime is needed" >&2; exit 2; }
fi

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELOPS_BUILD_FUZZ=ON -DPIXELOPS_BUILD_TESTS=OFF \
  -DPIXELOPS_BUILD_BENCH=OFF -DPIXELOPS_BUILD_SHOWCASE=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzzer}"

failed=0
passed=0
for t in "${targets[@]}"; do
  n="$runs"
  [ "$t" = screen ] && n=$((runs / 10))
  fresh="$(mktemp -d)"
  artifacts="$build/artifacts/$t"
  mkdir -p "$artifacts"
  echo "fuzz: ${t}_fuzzer, $n runs, seed $seed"
  # New inputs go to the scratch directory; the committed corpus is only read.
  if "$build/${t}_fuzzer" -runs="$n" -seed="$seed" -max_len=1024 -timeout=30 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$fresh" "$root/fuzz/corpus/$t" >"$build/${t}_fuzzer.log" 2>&1; then
    passed=$((passed + 1))
    grep -E '^Done' "$build/${t}_fuzzer.log" || true
  else
    failed=$((failed + 1))
    echo "fuzz: ${t}_fuzzer FOUND A FAULT:" >&2
    grep -E -A1 'invariant failed|ERROR:|runtime error' "$build/${t}_fuzzer.log" | head -n 20 >&2
    grep -E '^    #[0-9]+ .*/(fuzz|graphics|platform|runtime)/' "$build/${t}_fuzzer.log" \
      | head -n 12 >&2 || true
    grep -E '^(artifact_prefix|Base64)' "$build/${t}_fuzzer.log" >&2 || true
    echo "fuzz: inputs kept in $artifacts" >&2
  fi
  rm -rf "$fresh"
done

if [ "$failed" -eq 0 ]; then
  echo "fuzz: all $passed targets clean"
else
  echo "fuzz: $failed of $((passed + failed)) targets found faults" >&2
  exit 1
fi
