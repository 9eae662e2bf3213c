// Full-screen picture drawn darkened towards black, half a screen a call.
#pragma once

#include <cstdint>

#include <pixelops/image.h>

namespace pixelops {

class ScreenTransition;

// Draws the 800 x 600 picture onto the target darkened by level: 0 or less
// fills the target with its fill colour, 256 or more copies the picture as it
// is, 1..255 darkens it through DDSurface::Fade (16 steps on 16-bit colour
// formats, 256 on the others).
//
// The darkening is spread over two calls that share a level: a call with half
// 0 copies the picture into the transition's buffer 2 and darkens its upper
// 300 rows; the next call, with half non-zero, darkens the lower 300 rows and
// moves the finished picture into buffer 1. Every call shows buffer 1, the
// last finished picture, on the target. Half non-zero also keeps buffer 1 in
// step outside the darkening range (filled, or the picture itself).
//
// Answers the result of the last operation on the target; 1 (nothing drawn)
// when an argument is null.
BlitResult DrawFadedScreen(Image* target, ScreenTransition* transition, Image* picture, int32_t level,
                           uint8_t half);

}  // namespace pixelops
