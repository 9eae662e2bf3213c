// An image held in lockable surface memory: the destination of every blend,
// additive, subtractive and polygon operation of the pixel library.
//
// Every Blt* operation is called on the destination with the source first and
// answers a BlitResult: 0 done (also when clipping leaves nothing), 1 a lock was
// refused or the source is missing, 2 the pair of formats is not served.
// Levels, opacities and alphas are 32-bit values of which the low byte counts.
// Rectangles and sizes default to null: no source rectangle means the source's
// bounds, no destination size means the source rectangle's size (a different
// size stretches), no clip means the destination's bounds. docs/operations.md
// gives each operation's pairs of formats, per-pixel rule and answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <pixelops/image.h>
#include <pixelops/pixel_format.h>
#include <pixelops/draw_surface.h>

namespace pixelops {

class DDSurface : public Image {
 public:
  // Where a surface's pixels live. A third kind, memory of the caller's
  // (Wrap), is direct memory like Own that the surface does not own.
  enum class Memory {
    Own,   // the surface holds its pixels; with direct access no lock is taken
    Lent,  // the platform surface lends its pixels on every lock
  };

  static constexpr int32_t kMaxSide = 1 << 16;

  // A surface that Create sizes later; Create without alpha uses displayFormat.
  explicit DDSurface(PixelFormat displayFormat = PixelFormat::Bgrx32);
  ~DDSurface() override;

  // A width x height surface of the format. pitch 0 packs the rows; a wider
  // pitch leaves padding after each row (the last row ends at its last pixel).
  // Null for a size, format or pitch that cannot be made.
  static std::unique_ptr<DDSurface> Make(int32_t width, int32_t height, PixelFormat format,
                                         Memory memory = Memory::Own, int32_t pitch = 0);

  // A width x height surface of the format over the caller's memory: row y
  // starts at pixels + y x pitch. The surface draws straight into those bytes
  // and never frees them; the caller keeps them alive (and at rest) while the
  // surface is drawn on or from. Only the first width x bytes-per-pixel bytes
  // of each row are ever written: padding after a row stays as it is. Locks
  // answer as for own memory (none taken with direct access; with direct
  // access off, the platform guard over the same bytes is locked). A later
  // Create gives the surface memory of its own and lets go of the caller's.
  // Null for a null pointer, a pitch smaller than a row, a code that is not a
  // format, or a size Make refuses.
  static std::unique_ptr<DDSurface> Wrap(uint8_t* pixels, int32_t width, int32_t height, PixelFormat format,
                                         int32_t pitch);

  // Image.
  DDSurface* AsDDSurface() override { return this; }
  int32_t Create(int32_t width, int32_t height, bool alpha) override;
  void GetSize(int32_t* width, int32_t* height) const override;
  uint8_t HasAlpha() const override { return hasAlpha_; }
  BlitResult Blt(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                 const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
  BlitResult FillRect(const Rect* rect = nullptr) override;
  BlitResult DrawKeyed(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                       const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
  BlitResult DrawKeyedTranslucent(Image* src, int32_t x, int32_t y, int32_t opacity,
                                  const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                  const Rect* clip = nullptr) override;
  BlitResult DrawAlphaBlend(Image* src, int32_t x, int32_t y, int32_t opacity, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
  BlitResult DrawAlphaOpacity(Image* src, int32_t x, int32_t y, int32_t opacity,
                              const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                              const Rect* clip = nullptr) override;
  BlitResult DrawAlphaLevel(Image* src, int32_t x, int32_t y, int32_t opacity) override;
  BlitResult DrawAlphaChannel(Image* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                              const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
  BlitResult DrawWeighted(Image* src, int32_t x, int32_t y, int32_t weight, const Rect* srcRect = nullptr,
                          const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
  BlitResult DrawWeightedKeyed(Image* src, int32_t x, int32_t y, int32_t weight,
                               const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                               const Rect* clip = nullptr) override;

  // Surface state.
  PixelFormat Format() const { return format_; }
  const PixelBuffer& Buffer() const { return buffer_; }
  platform::DrawSurface* Platform() { return platform_.get(); }
  bool IsLocked() const { return locked_; }

  // 0 locked (or own memory with direct access, which takes no lock), 1 failure.
  int32_t Lock();
  int32_t Unlock();
  void SetDirectAccess(bool allowed) { directAccess_ = allowed; }

  // The key colour is 0x00BBGGRR; the surface keeps it as a pixel value of its
  // own format, which GetColorKey answers (0 when no key is set).
  void SetColorKey(uint32_t colour);
  void ResetColorKey();
  uint32_t GetColorKey() const { return colorKey_; }

  // The colour FillRect uses (0x00BBGGRR; alpha formats are filled opaque).
  void SetFillColor(uint32_t colour) { fillColour_ = colour; }

  // Marks a work image whose pixels must survive a display restore.
  void SetKeepOnRestore(bool keep) { keepOnRestore_ = keep; }
  bool KeepOnRestore() const { return keepOnRestore_; }

  // Copy with the source's colour key skipped (equal formats).
  virtual BlitResult BltKeyed(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                              const Size* dstSize = nullptr, const Rect* clip = nullptr);

  // Translucent blits.
  virtual BlitResult BltTranslucentKey(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                                       const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                       const Rect* clip = nullptr);
  virtual BlitResult BltAlpha(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                              const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                              const Rect* clip = nullptr);
  virtual BlitResult BltBlendKey(DDSurface* src, int32_t x, int32_t y, int32_t a, int32_t b,
                                 const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                 const Rect* clip = nullptr);
  virtual BlitResult BltBlend(DDSurface* src, int32_t x, int32_t y, int32_t a, int32_t b,
                              const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                              const Rect* clip = nullptr);
  virtual BlitResult BltAlphaChannel(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                                     const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltAlphaOpacity(DDSurface* src, int32_t x, int32_t y, int32_t opacity,
                                     const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                     const Rect* clip = nullptr);
  virtual BlitResult AlphaFromMaskRect(DDSurface* mask, int32_t lo, int32_t hi, int32_t a, int32_t b,
                                       const Rect* rect = nullptr);
  virtual BlitResult AlphaFromMaskRamp(DDSurface* mask, int32_t lo, int32_t hi, int32_t a, int32_t b,
                                       int32_t x, int32_t y, const Rect* srcRect = nullptr,
                                       const Size* dstSize = nullptr, const Rect* clip = nullptr);

  // Additive and subtractive blits.
  virtual BlitResult BltAddKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                               const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltAdd(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltSubKey(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                               const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltSub(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltAddLevel(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                 const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                 const Rect* clip = nullptr);
  virtual BlitResult BltAddLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                    const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                    const Rect* clip = nullptr);
  virtual BlitResult BltSubLevel(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                 const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                 const Rect* clip = nullptr);
  virtual BlitResult BltSubLevelKey(DDSurface* src, int32_t x, int32_t y, int32_t level,
                                    const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                    const Rect* clip = nullptr);

  // Colour copy that keeps the destination's alpha, its inert neighbour, and
  // the 16 x 16 opacity pattern blit.
  virtual BlitResult BltColorKeepAlpha(DDSurface* src, int32_t x, int32_t y, const Rect* srcRect = nullptr,
                                       const Size* dstSize = nullptr, const Rect* clip = nullptr);
  virtual BlitResult BltNoOp(DDSurface* src, int32_t x, int32_t y, int32_t value,
                             const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                             const Rect* clip = nullptr);
  virtual BlitResult BltPattern(DDSurface* src, int32_t x, int32_t y, const uint8_t* pattern,
                                const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                const Rect* clip = nullptr);

  // Darkens the rectangle (none: the whole surface) by the level's low byte.
  virtual BlitResult Fade(int32_t level, const Rect* rect = nullptr);

  // Textured polygons: vertex i of dstPoints shows texel srcPoints[i]. The keyed
  // form skips the source's colour key; the plain form writes every texel.
  // A non-zero flag adds 1 to every divisor of the texture steps: the same
  // pixels are drawn, but each edge and span stops a step short of its end
  // texel, which moves most pixels' texels (pass 0 for an exact mapping).
  BlitResult DrawPolygonKeyed(DDSurface* src, const Point* srcPoints, const Point* dstPoints,
                              const Rect* clip, uint8_t flag, int32_t count);
  BlitResult DrawPolygon(DDSurface* src, const Point* srcPoints, const Point* dstPoints, const Rect* clip,
                         uint8_t flag, int32_t count);

 private:
  bool Allocate(int32_t width, int32_t height, PixelFormat format, Memory memory, int32_t pitch);
  // Takes on the format and size with direct memory (direct != null, owned
  // when it is own_'s) or with the lent platform surface.
  void SetUp(int32_t width, int32_t height, PixelFormat format, int32_t pitch, uint8_t* direct,
             std::unique_ptr<platform::DrawSurface> lent);

  PixelFormat displayFormat_;
  PixelFormat format_ = PixelFormat::Bgrx32;
  PixelBuffer buffer_;
  // Own memory starts on a 64-byte boundary, so that vector rows of the
  // widest loads do not straddle cache lines more than they must.
  static constexpr size_t kMemoryAlignment = 64;
  struct AlignedDelete {
    void operator()(uint8_t* p) const noexcept;
  };
  std::unique_ptr<uint8_t[], AlignedDelete> own_;
  std::unique_ptr<platform::DrawSurface> platform_;
  uint8_t hasAlpha_ = 0;
  bool directAccess_ = true;
  bool locked_ = false;
  bool keepOnRestore_ = false;
  uint32_t colorKey_ = 0;
  uint32_t fillColour_ = 0;
};

// The key colour 0x00BBGGRR as a pixel value of the format; alpha formats get
// the given alpha (0..255; 16-bit alpha formats take its top four bits).
uint32_t ColourToPixel(PixelFormat format, uint32_t colour, uint32_t alpha);

// Locks the destination, then the source (a source that is the destination is
// locked once). 0, or 1 with nothing left locked.
int32_t LockBoth(DDSurface& dst, DDSurface& src);
// Unlocks the source, then the destination.
void UnlockBoth(DDSurface& dst, DDSurface& src);

}  // namespace pixelops
