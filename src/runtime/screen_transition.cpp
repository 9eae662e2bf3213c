#include <pixelops/screen_transition.h>

namespace pixelops {

ScreenTransition::ScreenTransition(PixelFormat displayFormat) : displayFormat_(displayFormat) {}

ScreenTransition::~ScreenTransition() = default;

DDSurface* ScreenTransition::Buffer(int32_t slot) {
  if (slot < 0 || slot >= kBufferCount) return nullptr;
  std::unique_ptr<DDSurface>& buffer = buffers_[slot];
  if (!buffer) {
    // Kept in the slot even if Create fails: an image that was never made
    // refuses its locks, so drawing with it does nothing.
    buffer = std::make_unique<DDSurface>(displayFormat_);
    buffer->Create(kBufferWidth, kBufferHeight, false);
    buffer->SetKeepOnRestore(true);
  }
  return buffer.get();
}

}  // namespace pixelops
