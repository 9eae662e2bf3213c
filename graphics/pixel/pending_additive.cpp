// TEMPORARY: placeholders until the additive and subtractive blits land.
#include "graphics/dd_surface.h"
#define PENDING(name) BlitResult DDSurface::name(DDSurface*, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
#define PENDING_LEVEL(name) BlitResult DDSurface::name(DDSurface*, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) { return kBlitPairNotServed; }
PENDING(BltAddKey) PENDING(BltAdd) PENDING(BltSubKey) PENDING(BltSub)
PENDING_LEVEL(BltAddLevel) PENDING_LEVEL(BltAddLevelKey) PENDING_LEVEL(BltSubLevel) PENDING_LEVEL(BltSubLevelKey)
