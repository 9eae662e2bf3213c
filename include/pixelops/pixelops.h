// The whole public interface of pixelops: pixel formats, geometry and results,
// surfaces and images, the free drawing functions, and the pairs of formats
// each family of operations serves.
#pragma once

#include <pixelops/pixel_format.h>
#include <pixelops/draw_surface.h>
#include <pixelops/image.h>
#include <pixelops/dd_surface.h>
#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/textured_quad.h>
#include <pixelops/faded_screen.h>
#include <pixelops/screen_transition.h>
#include <pixelops/simd.h>
