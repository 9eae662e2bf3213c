// A host program that dispatches its own Highway code keeps running at the
// target Highway picked for it, on its own threads, while pixelops builds and
// changes levels.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tests/host_dispatch_test.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace host::HWY_NAMESPACE {
int64_t Target() { return HWY_TARGET; }
}  // namespace host::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <gtest/gtest.h>

#include <pixelops/simd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/kernel_check.h"

namespace host {
HWY_EXPORT(Target);
// Called from the namespace of the export, as a build of one target needs.
int64_t DispatchedTarget() { return HWY_DYNAMIC_DISPATCH(Target)(); }
}  // namespace host

namespace pixelops {
namespace {

TEST(HostDispatch, HostCodeKeepsItsBestTargetWhileLevelsChange) {
  // The target Highway picks for the host with pixelops idle (on some
  // processors not the lowest bit of SupportedTargets(): with SVE at 128 or
  // 256 bits, Highway 1.0 dispatches to SVE2 rather than SVE2_128/SVE_256).
  const int64_t best = host::DispatchedTarget();
  std::atomic<bool> stop{false};
  std::atomic<int> started{0};
  std::atomic<int64_t> calls{0}, wrong{0}, seen{0};
  std::vector<std::thread> hosts;
  for (int i = 0; i < 3; ++i) {
    hosts.emplace_back([&] {
      started.fetch_add(1);
      while (!stop.load(std::memory_order_relaxed)) {
        const int64_t t = host::DispatchedTarget();
        calls.fetch_add(1, std::memory_order_relaxed);
        if (t != best) {
          wrong.fetch_add(1, std::memory_order_relaxed);
          seen.store(t, std::memory_order_relaxed);
        }
      }
    });
  }
  while (started.load() < 3) std::this_thread::yield();
  {
    test::ScopedSimdLevel scoped(SimdLevel());
    for (int round = 0; round < 200; ++round) {
      for (std::string_view level : SimdLevels()) EXPECT_TRUE(SetSimdLevel(level));
    }
  }
  stop.store(true);
  for (std::thread& t : hosts) t.join();
  EXPECT_GT(calls.load(), 0);
  EXPECT_EQ(wrong.load(), 0) << "the host ran at " << hwy::TargetName(seen.load()) << ", not "
                             << hwy::TargetName(best);
}

}  // namespace
}  // namespace pixelops
#endif  // HWY_ONCE
