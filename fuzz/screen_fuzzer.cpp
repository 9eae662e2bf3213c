// Drives DrawFadedScreen and the screen transition's buffers: display formats
// (some that cannot be made), buffer slots from anywhere, one to three calls in
// a row with levels and half flags from the input, a picture that is missing,
// the target itself or one of the buffers, and a target whose lock the
// platform layer refuses. Checks:
//   - every answer is a BlitResult (0..3); slots outside 0..3 answer null;
//   - the target, the picture and the buffers end unlocked;
//   - a picture that is none of the others is not changed;
//   - a missing picture, target or transition, or a refused target lock,
//     answers 1 and leaves the target as it was.
// Each call works on 800 x 600 buffers, so this target runs fewer inputs.
#include "fuzz/fuzz_support.h"
#include <pixelops/faded_screen.h>
#include <pixelops/screen_transition.h>

namespace pixelops {

namespace {

using namespace fuzz;

void FuzzFadedScreen(FuzzedDataProvider& in) {
  const PixelFormat display = in.ConsumeIntegralInRange<int>(0, 7) == 0
                                  ? static_cast<PixelFormat>(in.ConsumeIntegralInRange(-1, 15))
                                  : in.PickValueInArray(kFormats);
  ScreenTransition transition(display);
  FUZZ_CHECK(transition.Buffer(Int(in) | 4) == nullptr, "a buffer slot past 3 answered");
  FUZZ_CHECK(transition.Buffer(in.ConsumeIntegralInRange<int32_t>(INT32_MIN, -1)) == nullptr,
             "a negative buffer slot answered");
  SurfaceSetup target = MakeSurface(in, in.ConsumeBool() ? 40 : 9, in.ConsumeBool() ? 12 : 4);
  target.surface->SetFillColor(in.ConsumeIntegral<uint32_t>());
  SurfaceSetup own;
  Image* picture = nullptr;
  switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
      break;
    case 1:
      picture = target.surface.get();
      break;
    case 2:
      picture = transition.Buffer(in.ConsumeIntegralInRange<int32_t>(0, 3));
      break;
    default:
      own = MakeSurface(in, in.ConsumeBool() ? 40 : 9, in.ConsumeBool() ? 12 : 4);
      picture = own.surface.get();
  }
  const bool refuse = in.ConsumeIntegralInRange<int>(0, 7) == 0;
  const int calls = in.ConsumeIntegralInRange<int>(1, 3);
  for (int i = 0; i < calls; ++i) {
    const int32_t level = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 258) : Int(in);
    const uint8_t half = in.ConsumeBool() ? static_cast<uint8_t>(i & 1) : in.ConsumeIntegral<uint8_t>();
    DDSurface& t = *target.surface;
    const std::vector<uint8_t> targetBefore = Snapshot(t);
    const std::vector<uint8_t> pictureBefore = own.surface ? Snapshot(*own.surface) : std::vector<uint8_t>{};
    if (refuse) t.Platform()->RefuseLocks(platform::kSurfaceLost);
    const BlitResult result = DrawFadedScreen(&t, &transition, picture, level, half);
    CheckResult(result, "DrawFadedScreen");
    CheckUnlocked(t, "DrawFadedScreen", "target");
    for (int32_t slot = 0; slot < ScreenTransition::kBufferCount; ++slot) {
      if (DDSurface* b = transition.Buffer(slot)) CheckUnlocked(*b, "DrawFadedScreen", "buffer");
    }
    t.Platform()->RefuseLocks(platform::kSurfaceOk);
    if (own.surface) {
      CheckUnlocked(*own.surface, "DrawFadedScreen", "picture");
      FUZZ_CHECK(Snapshot(*own.surface) == pictureBefore, "DrawFadedScreen changed the picture");
    }
    if ((refuse && target.LocksThroughPlatform()) || picture == nullptr) {
      FUZZ_CHECK(result == kBlitLockRefused, "DrawFadedScreen answered %d with %s", result,
                 picture ? "a refused target" : "no picture");
      FUZZ_CHECK(Snapshot(t) == targetBefore, "DrawFadedScreen changed a target it could not lock");
    }
  }
  // A missing target or transition draws nothing.
  FUZZ_CHECK(DrawFadedScreen(nullptr, &transition, picture, 128, 0) == kBlitLockRefused,
             "DrawFadedScreen drew without a target");
  FUZZ_CHECK(DrawFadedScreen(target.surface.get(), nullptr, picture, 128, 0) == kBlitLockRefused,
             "DrawFadedScreen drew without a transition");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FuzzFadedScreen(in);
  return 0;
}

}  // namespace pixelops
