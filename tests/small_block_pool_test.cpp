// The small-block allocator: blocks are reused, larger requests and an
// exhausted pool go to the heap, and every pointer goes back where it came from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/small_block_pool.h"

namespace pixelops {

namespace {

TEST(SmallBlockPool, SmallRequestsTakeBlocksThatAreReused) {
  SmallBlockPool& pool = SmallBlockPool::Get();
  const size_t before = pool.FreeBlocks();
  void* a = PoolNew(16);
  void* b = PoolNew(1);
  void* c = PoolNew(0);
  ASSERT_TRUE(pool.Owns(a) && pool.Owns(b) && pool.Owns(c));
  EXPECT_NE(a, b);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 16, 0u);
  EXPECT_EQ(pool.FreeBlocks(), before - 3);
  std::memset(a, 0xAB, 16);  // the whole block is usable
  PoolDelete(b);
  EXPECT_EQ(PoolNew(8), b);  // the block given back last is handed out next
  PoolDelete(b);
  PoolDelete(a);
  PoolDelete(c);
  EXPECT_EQ(pool.FreeBlocks(), before);
}

TEST(SmallBlockPool, LargerRequestsComeFromTheHeap) {
  SmallBlockPool& pool = SmallBlockPool::Get();
  const size_t before = pool.FreeBlocks();
  void* big = PoolNew(17);
  ASSERT_NE(big, nullptr);
  EXPECT_FALSE(pool.Owns(big));
  std::memset(big, 0, 17);
  EXPECT_EQ(pool.FreeBlocks(), before);
  PoolDelete(big);
  EXPECT_EQ(pool.FreeBlocks(), before);
  EXPECT_EQ(PoolNew(SIZE_MAX), nullptr);  // no exception: null
  PoolDelete(nullptr);                    // does nothing
  EXPECT_EQ(pool.FreeBlocks(), before);
}

TEST(SmallBlockPool, ExhaustedPoolFallsBackToTheHeap) {
  SmallBlockPool& pool = SmallBlockPool::Get();
  const size_t before = pool.FreeBlocks();
  std::vector<void*> blocks;
  while (pool.FreeBlocks() > 0) {
    blocks.push_back(PoolNew(16));
    ASSERT_TRUE(pool.Owns(blocks.back()));
  }
  EXPECT_EQ(blocks.size(), before);
  void* fromHeap = PoolNew(16);
  ASSERT_NE(fromHeap, nullptr);
  EXPECT_FALSE(pool.Owns(fromHeap));
  std::memset(fromHeap, 1, 16);
  PoolDelete(fromHeap);  // to the heap, not onto the free stack
  EXPECT_EQ(pool.FreeBlocks(), 0u);
  PoolDelete(blocks.back());
  EXPECT_EQ(pool.FreeBlocks(), 1u);
  EXPECT_TRUE(pool.Owns(PoolNew(4)));
  for (void* p : blocks) PoolDelete(p);
  EXPECT_EQ(pool.FreeBlocks(), before);
  // Every block of the area was handed out exactly once.
  std::vector<bool> seen(SmallBlockPool::kBlockCount);
  uintptr_t lowest = UINTPTR_MAX;
  for (void* p : blocks) lowest = std::min(lowest, reinterpret_cast<uintptr_t>(p));
  for (void* p : blocks) {
    const size_t index = (reinterpret_cast<uintptr_t>(p) - lowest) / 16;
    ASSERT_LT(index, seen.size());
    EXPECT_FALSE(seen[index]);
    seen[index] = true;
  }
}

TEST(SmallBlockPool, ThreadsShareThePoolUnderItsLock) {
  SmallBlockPool& pool = SmallBlockPool::Get();
  const size_t before = pool.FreeBlocks();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      // Each thread marks its blocks; a block handed to two threads at once
      // would lose a mark.
      std::vector<std::pair<unsigned char*, size_t>> held;
      bool intact = true;
      auto release = [&] {
        for (auto [q, n] : held) {
          for (size_t i = 0; i < n; ++i) intact = intact && q[i] == t + 1;
          PoolDelete(q);
        }
        held.clear();
      };
      for (int round = 0; round < 2000; ++round) {
        const size_t n = round % 3 == 0 ? 40 : 12;
        auto* p = static_cast<unsigned char*>(PoolNew(n));
        std::memset(p, t + 1, n);
        held.emplace_back(p, n);
        if (held.size() > 50) release();
      }
      release();
      EXPECT_TRUE(intact);
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(pool.FreeBlocks(), before);
}

}  // namespace

}  // namespace pixelops
