#include <pixelops/draw_surface.h>

#include <cstring>
#include <new>

namespace pixelops {

namespace platform {

DrawSurface::DrawSurface(int32_t rowBytes, int32_t height, int32_t pitch) : pitch_(pitch) {
  const size_t size =
      height > 0 ? static_cast<size_t>(pitch) * static_cast<size_t>(height - 1) + rowBytes : 0;
  own_.reset(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
  if (!own_) return;  // no memory: HasMemory() answers false
  std::memset(own_.get(), 0, size > 0 ? size : 1);
  memory_ = own_.get();
}

DrawSurface::DrawSurface(uint8_t* memory, int32_t pitch) : memory_(memory), pitch_(pitch) {}

int32_t DrawSurface::Lock(LockedMemory* out) {
  ++lockCalls_;
  if (stillDrawing_ > 0) {
    --stillDrawing_;
    return kSurfaceStillDrawing;
  }
  if (refuseAnswer_ != kSurfaceOk) return refuseAnswer_;
  if (memory_ == nullptr) return kSurfaceLost;
  ++locksGranted_;
  out->pixels = memory_;
  out->pitch = pitch_;
  return kSurfaceOk;
}

int32_t DrawSurface::Unlock() {
  if (LocksHeld() <= 0) return kSurfaceNotLocked;
  ++unlocks_;
  return kSurfaceOk;
}

}  // namespace platform

}  // namespace pixelops
