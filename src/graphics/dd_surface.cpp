#include <pixelops/dd_surface.h>

#include <cstring>
#include <new>

namespace pixelops {

namespace {

// The format of a surface created with alpha on a display of format f; codes
// that are not formats get Bgra32.
PixelFormat AlphaCounterpart(PixelFormat f) {
  const FormatDescription* d = DescribeFormat(f);
  return d ? d->alphaCounterpart : PixelFormat::Bgra32;
}

}  // namespace

const char* PixelFormatName(PixelFormat f) {
  const FormatDescription* d = DescribeFormat(f);
  return d ? d->name : "unknown";
}

uint32_t ColourToPixel(PixelFormat format, uint32_t colour, uint32_t alpha) {
  const FormatDescription* d = DescribeFormat(format);
  if (d == nullptr) return 0;
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  alpha &= 0xFF;
  if (d->kind == FormatKind::Index) return r;
  if (d->IsWord()) {
    // A 16-bit alpha format keeps the alpha's top four bits as its level.
    const uint32_t word = d->is565 ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                   : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    return d->HasAlpha() ? word | ((alpha >> 4) << (8 * d->alphaByte)) : word;
  }
  const uint32_t pixel = (r << (8 * d->red)) | (g << (8 * d->green)) | (b << (8 * d->blue));
  return d->HasAlpha() ? pixel | (alpha << (8 * d->alphaByte)) : pixel;
}

DDSurface::DDSurface(PixelFormat displayFormat) : displayFormat_(displayFormat) {}

DDSurface::~DDSurface() = default;

namespace {

// The bytes of a row when a width x height surface of the format with rows
// pitch bytes apart (0: packed) can be held, else 0.
int64_t RowBytesIfHeld(int32_t width, int32_t height, PixelFormat format, int32_t pitch) {
  const int32_t bpp = BytesPerPixel(format);
  if (bpp == 0 || width <= 0 || height <= 0 || width > DDSurface::kMaxSide || height > DDSurface::kMaxSide) {
    return 0;
  }
  const int64_t rowBytes = int64_t{width} * bpp;
  if (pitch == 0) pitch = static_cast<int32_t>(rowBytes);
  if (pitch < rowBytes || int64_t{pitch} * height > (int64_t{1} << 34)) return 0;
  return rowBytes;
}

}  // namespace

void DDSurface::AlignedDelete::operator()(uint8_t* p) const noexcept {
  ::operator delete[](p, std::align_val_t{kMemoryAlignment});
}

std::unique_ptr<DDSurface> DDSurface::Make(int32_t width, int32_t height, PixelFormat format, Memory memory,
                                           int32_t pitch) {
  auto surface = std::make_unique<DDSurface>(format);
  if (!surface->Allocate(width, height, format, memory, pitch)) return nullptr;
  return surface;
}

std::unique_ptr<DDSurface> DDSurface::Wrap(uint8_t* pixels, int32_t width, int32_t height, PixelFormat format,
                                           int32_t pitch) {
  // Unlike Make, pitch 0 is not "packed": the caller's rows are where it says.
  if (pixels == nullptr || pitch <= 0 || RowBytesIfHeld(width, height, format, pitch) == 0) {
    return nullptr;
  }
  auto surface = std::make_unique<DDSurface>(format);
  surface->SetUp(width, height, format, pitch, pixels, nullptr);
  return surface;
}

bool DDSurface::Allocate(int32_t width, int32_t height, PixelFormat format, Memory memory, int32_t pitch) {
  const int64_t rowBytes = RowBytesIfHeld(width, height, format, pitch);
  if (rowBytes == 0) return false;
  if (pitch == 0) pitch = static_cast<int32_t>(rowBytes);

  // Memory first, so that a surface whose memory cannot be had is left as it was.
  std::unique_ptr<uint8_t[], AlignedDelete> own;
  std::unique_ptr<platform::DrawSurface> lent;
  if (memory == Memory::Own) {
    const size_t size = static_cast<size_t>(pitch) * (height - 1) + static_cast<size_t>(rowBytes);
    own.reset(
        static_cast<uint8_t*>(::operator new[](size, std::align_val_t{kMemoryAlignment}, std::nothrow)));
    if (!own) return false;
    std::memset(own.get(), 0, size);
  } else {
    lent = std::make_unique<platform::DrawSurface>(static_cast<int32_t>(rowBytes), height, pitch);
    if (!lent->HasMemory()) return false;
  }
  own_ = std::move(own);
  SetUp(width, height, format, pitch, own_.get(), std::move(lent));
  return true;
}

void DDSurface::SetUp(int32_t width, int32_t height, PixelFormat format, int32_t pitch, uint8_t* direct,
                      std::unique_ptr<platform::DrawSurface> lent) {
  format_ = format;
  hasAlpha_ = IsAlphaFormat(format) ? 1 : 0;
  locked_ = false;
  buffer_ = PixelBuffer{};
  buffer_.bounds = Rect{0, 0, width, height};
  buffer_.pitch = pitch;
  if (direct != nullptr) {
    buffer_.kind = 1;
    buffer_.pixels = direct;
    platform_ = std::make_unique<platform::DrawSurface>(direct, pitch);
  } else {
    buffer_.kind = 0;
    buffer_.pixels = nullptr;
    platform_ = std::move(lent);
  }
}

int32_t DDSurface::Create(int32_t width, int32_t height, bool alpha) {
  const PixelFormat format = alpha ? AlphaCounterpart(displayFormat_) : displayFormat_;
  return Allocate(width, height, format, Memory::Own, 0) ? 0 : 1;
}

void DDSurface::GetSize(int32_t* width, int32_t* height) const {
  if (width) *width = buffer_.bounds.right - buffer_.bounds.left;
  if (height) *height = buffer_.bounds.bottom - buffer_.bounds.top;
}

int32_t DDSurface::Lock() {
  if (buffer_.kind != 0 && directAccess_) return 0;
  if (!platform_) return 1;
  platform::LockedMemory memory;
  int32_t answer;
  do {
    answer = platform_->Lock(&memory);
  } while (answer == platform::kSurfaceStillDrawing);
  if (answer != platform::kSurfaceOk) return 1;
  buffer_.pixels = memory.pixels;
  buffer_.pitch = memory.pitch;
  locked_ = true;
  return 0;
}

int32_t DDSurface::Unlock() {
  if (locked_) {
    locked_ = false;
    platform_->Unlock();
  }
  return 0;
}

void DDSurface::SetColorKey(uint32_t colour) { colorKey_ = ColourToPixel(format_, colour, 0); }

void DDSurface::ResetColorKey() { colorKey_ = 0; }

int32_t LockBoth(DDSurface& dst, DDSurface& src) {
  if (dst.Lock() != 0) return 1;
  if (&src == &dst) return 0;
  if (src.Lock() != 0) {
    dst.Unlock();
    return 1;
  }
  return 0;
}

void UnlockBoth(DDSurface& dst, DDSurface& src) {
  if (&src != &dst) src.Unlock();
  dst.Unlock();
}

BlitResult DDSurface::FillRect(const Rect* rect) {
  if (buffer_.bounds.right <= 0) return kBlitDone;  // never created
  if (Lock() != 0) return kBlitLockRefused;
  Rect r = rect ? *rect : buffer_.bounds;
  if (r.left < buffer_.bounds.left) r.left = buffer_.bounds.left;
  if (r.top < buffer_.bounds.top) r.top = buffer_.bounds.top;
  if (r.right > buffer_.bounds.right) r.right = buffer_.bounds.right;
  if (r.bottom > buffer_.bounds.bottom) r.bottom = buffer_.bounds.bottom;
  const int32_t bpp = BytesPerPixel(format_);
  const uint32_t alpha = 255;
  const uint32_t pixel = ColourToPixel(format_, fillColour_, alpha);
  uint8_t bytes[4];
  std::memcpy(bytes, &pixel, 4);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint8_t* d = buffer_.pixels + int64_t{y} * buffer_.pitch + int64_t{r.left} * bpp;
    for (int32_t x = r.left; x < r.right; ++x, d += bpp) std::memcpy(d, bytes, bpp);
  }
  Unlock();
  return kBlitDone;
}

// Image draws, forwarded to the surface operations.

BlitResult DDSurface::DrawKeyed(Image* src, int32_t x, int32_t y, const Rect* srcRect, const Size* dstSize,
                                const Rect* clip) {
  return BltKeyed(src ? src->AsDDSurface() : nullptr, x, y, srcRect, dstSize, clip);
}

BlitResult DDSurface::DrawKeyedTranslucent(Image* src, int32_t x, int32_t y, int32_t opacity,
                                           const Rect* srcRect, const Size* dstSize, const Rect* clip) {
  return BltTranslucentKey(src ? src->AsDDSurface() : nullptr, x, y, opacity, srcRect, dstSize, clip);
}

BlitResult DDSurface::DrawAlphaBlend(Image* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect,
                                     const Size* dstSize, const Rect* clip) {
  return BltAlpha(src ? src->AsDDSurface() : nullptr, x, y, opacity, srcRect, dstSize, clip);
}

BlitResult DDSurface::DrawAlphaOpacity(Image* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect,
                                       const Size* dstSize, const Rect* clip) {
  return BltAlphaOpacity(src ? src->AsDDSurface() : nullptr, x, y, opacity, srcRect, dstSize, clip);
}

BlitResult DDSurface::DrawAlphaLevel(Image* src, int32_t x, int32_t y, int32_t opacity) {
  return BltAlphaOpacity(src ? src->AsDDSurface() : nullptr, x, y, opacity, nullptr, nullptr, nullptr);
}

BlitResult DDSurface::DrawAlphaChannel(Image* src, int32_t x, int32_t y, const Rect* srcRect,
                                       const Size* dstSize, const Rect* clip) {
  return BltAlphaChannel(src ? src->AsDDSurface() : nullptr, x, y, srcRect, dstSize, clip);
}

BlitResult DDSurface::DrawWeighted(Image*, int32_t, int32_t, int32_t, const Rect*, const Size*, const Rect*) {
  return kBlitLockRefused;
}

BlitResult DDSurface::DrawWeightedKeyed(Image*, int32_t, int32_t, int32_t, const Rect*, const Size*,
                                        const Rect*) {
  return kBlitLockRefused;
}

}  // namespace pixelops
