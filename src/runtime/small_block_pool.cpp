#include "runtime/small_block_pool.h"

#include <cstdlib>
#include <functional>

namespace pixelops {

SmallBlockPool::SmallBlockPool() {
  // Block 0 on top, so blocks are handed out from the start of the area.
  for (size_t i = 0; i < kBlockCount; ++i) {
    freeStack_[i] = static_cast<uint16_t>(kBlockCount - 1 - i);
  }
  freeCount_ = kBlockCount;
}

SmallBlockPool& SmallBlockPool::Get() {
  static SmallBlockPool pool;
  return pool;
}

void* SmallBlockPool::TakeBlock() {
  std::lock_guard<std::mutex> hold(lock_);
  if (freeCount_ == 0) return nullptr;
  const size_t index = freeStack_[--freeCount_];
  return area_ + index * kBlockSize;
}

void SmallBlockPool::ReturnBlock(void* block) {
  const uintptr_t offset = reinterpret_cast<uintptr_t>(block) - reinterpret_cast<uintptr_t>(area_);
  std::lock_guard<std::mutex> hold(lock_);
  if (freeCount_ < kBlockCount) {
    freeStack_[freeCount_++] = static_cast<uint16_t>(offset / kBlockSize);
  }
}

bool SmallBlockPool::Owns(const void* p) const {
  // Compared as addresses: std::less gives a total order over unrelated pointers.
  const unsigned char* q = static_cast<const unsigned char*>(p);
  return !std::less<const unsigned char*>()(q, area_) &&
         std::less<const unsigned char*>()(q, area_ + kAreaSize);
}

size_t SmallBlockPool::FreeBlocks() {
  std::lock_guard<std::mutex> hold(lock_);
  return freeCount_;
}

void* PoolNew(size_t size) {
  if (size <= SmallBlockPool::kBlockSize) {
    if (void* block = SmallBlockPool::Get().TakeBlock()) return block;
  }
  // Sizes no allocation can reach answer null at once.
  if (size > static_cast<size_t>(PTRDIFF_MAX)) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

void PoolDelete(void* p) {
  if (p == nullptr) return;
  SmallBlockPool& pool = SmallBlockPool::Get();
  if (pool.Owns(p)) pool.ReturnBlock(p);
  else std::free(p);
}

}  // namespace pixelops
