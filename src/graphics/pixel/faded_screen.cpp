#include <pixelops/faded_screen.h>

#include <pixelops/screen_transition.h>

namespace pixelops {

namespace {

constexpr Rect kUpperHalf{0, 0, 800, 300};
constexpr Rect kLowerHalf{0, 300, 800, 600};

}  // namespace

BlitResult DrawFadedScreen(Image* target, ScreenTransition* transition, Image* picture, int32_t level,
                           uint8_t half) {
  if (target == nullptr || transition == nullptr || picture == nullptr) return kBlitLockRefused;
  // Buffer 1 holds the last finished picture, buffer 2 the one being darkened.
  // The results of the operations on the buffers are not looked at.
  DDSurface* finished = transition->Buffer(1);
  DDSurface* darkening = transition->Buffer(2);

  if (level <= 0) {
    if (half != 0) finished->FillRect(nullptr);
    return target->FillRect(nullptr);
  }
  if (level >= 256) {
    if (half != 0) finished->Blt(picture, 0, 0, nullptr, nullptr, nullptr);
    return target->Blt(picture, 0, 0, nullptr, nullptr, nullptr);
  }
  if (half == 0) {
    darkening->Blt(picture, 0, 0, nullptr, nullptr, nullptr);
    darkening->Fade(level, &kUpperHalf);
  } else {
    darkening->Fade(level, &kLowerHalf);
    finished->Blt(darkening, 0, 0, nullptr, nullptr, nullptr);
  }
  return target->Blt(finished, 0, 0, nullptr, nullptr, nullptr);
}

}  // namespace pixelops
