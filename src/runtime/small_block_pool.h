// The small-block allocator: 4096 blocks of 16 bytes in one static area, with
// a stack of free block indices under one lock. Requests of at most 16 bytes
// take a block while one is free; larger requests, and any request once the
// pool is exhausted, go to the heap. Nothing here throws: an exhausted heap
// answers null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace pixelops {

class SmallBlockPool {
 public:
  static constexpr size_t kBlockSize = 16;
  static constexpr size_t kBlockCount = 4096;
  static constexpr size_t kAreaSize = kBlockSize * kBlockCount;

  // The process-wide pool, built on first use.
  static SmallBlockPool& Get();

  // A free block, or null when none is left.
  void* TakeBlock();
  // Returns a block that Owns() answered true for.
  void ReturnBlock(void* block);

  // Whether the pointer lies inside the pool's area.
  bool Owns(const void* p) const;
  size_t FreeBlocks();

 private:
  SmallBlockPool();

  alignas(16) unsigned char area_[kAreaSize];
  uint16_t freeStack_[kBlockCount];
  size_t freeCount_ = 0;
  std::mutex lock_;
};

// The allocation function of the runtime: a pool block for sizes up to 16
// bytes while one is free, otherwise the heap (null when it is exhausted).
void* PoolNew(size_t size);
// Releases what PoolNew gave: a pool block goes back on the free stack, any
// other pointer to the heap. Null does nothing.
void PoolDelete(void* p);

}  // namespace pixelops
