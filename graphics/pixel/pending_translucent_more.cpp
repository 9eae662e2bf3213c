// TEMPORARY: placeholders until the two-level, mask, keep-alpha and pattern blits land.
#include "graphics/dd_surface.h"
BlitResult DDSurface::BltBlendKey(DDSurface*, int32_t, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::BltBlend(DDSurface*, int32_t, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::AlphaFromMaskRect(DDSurface*, int32_t, int32_t, int32_t, int32_t, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::AlphaFromMaskRamp(DDSurface*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::BltColorKeepAlpha(DDSurface*, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
BlitResult DDSurface::BltNoOp(DDSurface*, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitDone; }
BlitResult DDSurface::BltPattern(DDSurface*, int32_t, int32_t, const uint8_t*, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
