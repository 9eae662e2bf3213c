// TEMPORARY: placeholders until the polygon rasterisers and the fade land.
#include "graphics/dd_surface.h"
BlitResult DDSurface::Fade(int32_t, const Rect*) { return kBlitDone; }
BlitResult DDSurface::DrawPolygonKeyed(DDSurface*, const Point*, const Point*, const Rect*, uint8_t, int32_t) { return kBlitPairNotServed; }
BlitResult DDSurface::DrawPolygon(DDSurface*, const Point*, const Point*, const Rect*, uint8_t, int32_t) { return kBlitPairNotServed; }
