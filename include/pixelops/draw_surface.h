// Stand-in for the display driver's lockable surface memory. A surface either
// lends memory it holds itself (as a display surface does) or guards memory that
// belongs to someone else. Its pixel pointer is only handed out by a successful
// Lock. Tests can make it refuse locks or answer "still drawing" a number of
// times, and can count what happened.
#pragma once

#include <cstdint>
#include <memory>

namespace pixelops {

namespace platform {

// Answers of Lock and Unlock.
inline constexpr int32_t kSurfaceOk = 0;
inline constexpr int32_t kSurfaceStillDrawing = static_cast<int32_t>(0x8876021C);
inline constexpr int32_t kSurfaceLost = static_cast<int32_t>(0x887601C2);
inline constexpr int32_t kSurfaceNotLocked = static_cast<int32_t>(0x887600E6);

struct LockedMemory {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
};

class DrawSurface {
 public:
  // Holds its own memory: height rows of pitch bytes, the last row only
  // rowBytes long, so that nothing follows the last pixel.
  DrawSurface(int32_t rowBytes, int32_t height, int32_t pitch);
  // Guards memory owned elsewhere.
  DrawSurface(uint8_t* memory, int32_t pitch);

  DrawSurface(const DrawSurface&) = delete;
  DrawSurface& operator=(const DrawSurface&) = delete;

  // False when the memory of the first constructor could not be had.
  bool HasMemory() const { return memory_ != nullptr; }

  int32_t Lock(LockedMemory* out);
  int32_t Unlock();

  // Test controls.
  void RefuseLocks(int32_t answer) { refuseAnswer_ = answer; }  // kSurfaceOk: accept again
  void AnswerStillDrawing(int32_t times) { stillDrawing_ = times; }

  int32_t LockCalls() const { return lockCalls_; }  // every call, retries included
  int32_t LocksGranted() const { return locksGranted_; }
  int32_t Unlocks() const { return unlocks_; }
  int32_t LocksHeld() const { return locksGranted_ - unlocks_; }

 private:
  std::unique_ptr<uint8_t[]> own_;
  uint8_t* memory_ = nullptr;
  int32_t pitch_ = 0;
  int32_t refuseAnswer_ = kSurfaceOk;
  int32_t stillDrawing_ = 0;
  int32_t lockCalls_ = 0;
  int32_t locksGranted_ = 0;
  int32_t unlocks_ = 0;
};

}  // namespace platform

}  // namespace pixelops
