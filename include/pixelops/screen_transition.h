// The screen transition object and its work images: four full-screen images of
// the display's kind that the transition effects and the faded screen drawing
// draw through. Each is made on first use and kept for the object's lifetime.
#pragma once

#include <cstdint>
#include <memory>

#include <pixelops/dd_surface.h>

namespace pixelops {

class ScreenTransition {
 public:
  static constexpr int32_t kBufferCount = 4;
  static constexpr int32_t kBufferWidth = 800;
  static constexpr int32_t kBufferHeight = 600;

  // The work images are made in the display's pixel format.
  explicit ScreenTransition(PixelFormat displayFormat);
  ~ScreenTransition();

  ScreenTransition(const ScreenTransition&) = delete;
  ScreenTransition& operator=(const ScreenTransition&) = delete;

  // The work image of slot 0..3, made on the first call for the slot (800 x 600,
  // no alpha, its pixels kept across display restores); later calls answer the
  // same image. Null for any other slot number.
  DDSurface* Buffer(int32_t slot);

  PixelFormat DisplayFormat() const { return displayFormat_; }

 private:
  PixelFormat displayFormat_;
  std::unique_ptr<DDSurface> buffers_[kBufferCount];
};

}  // namespace pixelops
