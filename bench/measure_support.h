// What the benchmark programs that take their own measurements share: the
// median of the trials, and pinning the process to one processor.
#pragma once

#include <sched.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pixelops::bench {

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Pins the process to one processor: the one asked for, else the one it
// runs on. The processor pinned to, or -1 where it could not be.
inline int32_t PinToOneCore(int32_t cpu) {
  if (cpu < 0) cpu = sched_getcpu();
  if (cpu < 0) return -1;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  return sched_setaffinity(0, sizeof(set), &set) == 0 ? cpu : -1;
}

}  // namespace pixelops::bench
