// TEMPORARY: placeholders until the keyed translucent and alpha-channel blits land.
#include "graphics/dd_surface.h"
BlitResult DDSurface::BltTranslucentKey(DDSurface*, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::BltAlphaChannel(DDSurface*, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
