// The kernel layer: whole-row (and whole-span) routines compiled for every
// vector instruction set of the build, the best of which is chosen once.
//
// A kernel is found by what it does (Op) and the pair of formats it serves,
// in the table of the level in force (empty at the scalar level, so that every
// rule then runs its per-pixel reference path). A rule that has a kernel
// carries a RowKernel; the walks of blend_frame.h call it for whole rows
// instead of the rule's per-pixel step. Kernels give exactly the bytes of the
// rule they stand in for.
//
// Each kernel source is compiled once per target through Highway's
// foreach_target.h and exports a registration function that fills a table
// with its kernels of a named target; row_kernels.cpp lists those functions
// once. The registration goes straight to the named target's code, never
// through Highway's dynamic dispatch: its choice of target is process-wide
// and belongs to the host program, which may run Highway code of its own.
// It finds that code where Highway's export tables put it, and checks that
// the code it found was compiled for the target it asked for.
//
// The first section serves any file. The second, present only where this
// header is included after hwy/highway.h (in a kernel source), is emitted
// once per target (the toggle guard below).

#ifndef PIXELOPS_ROW_KERNELS_H_
#define PIXELOPS_ROW_KERNELS_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include <pixelops/pixel_format.h>

namespace pixelops::kernels {

// What a kernel does; the comment of each op names the file (in
// graphics/pixel/) that holds its kernels.
enum class Op : uint8_t {
  // Translucent blits at one opacity (BltAlpha, BltAlphaOpacity) and their
  // colour-keyed form (BltTranslucentKey): translucent_kernels.cpp.
  Translucent,
  TranslucentKeyed,
  // Blends by the source's alpha (BltAlphaChannel): alpha_channel_kernels.cpp.
  AlphaChannel,
  // Two-level blends (BltBlend, BltBlendKey): translucent_kernels.cpp.
  TwoLevel,
  TwoLevelKeyed,
  // The 16 x 16 opacity pattern (BltPattern): pattern_kernels.cpp.
  Pattern,
  // Colour copy keeping the destination's alpha (BltColorKeepAlpha):
  // color_keep_alpha_kernels.cpp.
  ColourKeepAlpha,
  // Alpha from a mask through a ramp (AlphaFromMaskRamp / Rect):
  // alpha_from_mask_kernels.cpp.
  MaskAlpha,
  // Darkening (Fade), s being the row itself: fade_kernels.cpp.
  Fade,
  // Saturating additive and subtractive blits, plain, keyed, levelled, both:
  // saturating_kernels.cpp.
  Add,
  AddKeyed,
  AddLevel,
  AddLevelKeyed,
  Sub,
  SubKeyed,
  SubLevel,
  SubLevelKeyed,
  // Copies skipping the source's colour key (BltKeyed, the Image draws):
  // copy_kernels.cpp.
  KeyedCopy,
  // The stretched walk's gather of a row's source pixels (GatherFn):
  // blend_frame_kernels.cpp.
  Gather,
  // Textured-polygon spans, colour-keyed, opaque, and blended at an alpha:
  // polygon_kernels.cpp.
  SpanKeyed,
  SpanOpaque,
  SpanBlend,
  kCount
};

// What a row kernel takes of its rule's values.
struct RowArgs {
  uint32_t level = 0;              // the opacity or level the source is weighed by
                                   // (the source's level in the two-level blends)
  uint32_t destLevel = 0;          // the destination's level (two-level blends)
  uint32_t key = 0;                // colour key, as a pixel value of the source format
  const uint8_t* table = nullptr;  // a ramp or a pattern
};

// Draws width pixels: source pixels from s onward (in the source format),
// destination pixels from d onward. sx, sy: the source position of the first
// pixel, for kernels that read it (RowKernel::positional).
using RowFn = void (*)(const uint8_t* s, uint8_t* d, int32_t width, const RowArgs& args, int32_t sx,
                       int32_t sy);

// Copies the pixels at row + columns[i] x bytes-per-pixel to out + i x
// bytes-per-pixel, for i < n; the columns rise, and the row holds available
// pixels, of which it reads none beyond.
using GatherFn = void (*)(const uint8_t* row, const int32_t* columns, int32_t n, int32_t available,
                          uint8_t* out);

// A rule's kernel, by what it does and the values it takes: the walk finds
// the routine for its pair in the table it took for the call (none where the
// table has none, or op is kCount).
struct RowKernel {
  Op op = Op::kCount;
  RowArgs args;
  bool positional = false;  // reads sx, sy: used by the one-to-one walk only
};

class KernelTable {
 public:
  static constexpr int32_t kCodes = 16;

  template <class Fn>
  void Set(Op op, PixelFormat s, PixelFormat d, Fn fn) {
    fns_[Index(op, s, d)] = reinterpret_cast<AnyFn>(fn);
  }
  template <class Fn = RowFn>
  Fn Get(Op op, PixelFormat s, PixelFormat d) const {
    return reinterpret_cast<Fn>(fns_[Index(op, s, d)]);
  }

 private:
  using AnyFn = void (*)();
  static constexpr std::size_t Index(Op op, PixelFormat s, PixelFormat d) {
    return (static_cast<std::size_t>(op) * kCodes + (static_cast<std::size_t>(s) & (kCodes - 1))) * kCodes +
           (static_cast<std::size_t>(d) & (kCodes - 1));
  }
  AnyFn fns_[static_cast<std::size_t>(Op::kCount) * kCodes * kCodes] = {};
};

// The kernels of the level in force, chosen on the first call. A drawing call
// reads it once and finds every kernel it runs in that one table, so that a
// level set meanwhile takes effect from the next call on.
const KernelTable& Active();

// The kernel of op for the pair at the level in force, or null.
template <class Fn = RowFn>
Fn Find(Op op, PixelFormat s, PixelFormat d) {
  return Active().Get<Fn>(op, s, d);
}

// A rule's RowKernel for op and its pair.
template <class S, class D>
RowKernel RowKernelFor(Op op, const RowArgs& args, bool positional = false) {
  return RowKernel{op, args, positional};
}

// The routine of a rule's kernel for the pair in a call's table, or null.
template <class Fn = RowFn>
Fn Lookup(const KernelTable& table, Op op, PixelFormat s, PixelFormat d) {
  return op == Op::kCount ? nullptr : table.Get<Fn>(op, s, d);
}

// Makes table the one every drawing call reads from now on, in place of the
// level's own (null: the level's own again), until a level is set. For tests
// that watch which kernels a call runs, through a table of wrappers around
// the level's kernels; drawing calls pay nothing for it.
void SubstituteActive(const KernelTable* table);

// What a kernel source registered at a level: the source (the path it is
// compiled through, its HWY_TARGET_INCLUDE) and the Highway target that the
// code it registered was compiled for (0: it registered nothing).
struct SourceRegistration {
  const char* source;
  int64_t compiled;
};

// What the level in force registered: the Highway target the level names (0
// at the scalar level) and each kernel source's registration, in the order
// of the registration list.
struct LevelRegistration {
  int64_t target;
  std::span<const SourceRegistration> sources;
};
LevelRegistration ActiveRegistration();

// The entry of target (one Highway target bit) in a table made by HWY_EXPORT
// in a translation unit built for this library's targets, or n where a table
// of n entries has none for it. Never the first entry of a table of several
// targets: that one is Highway's chooser, which sets its process-wide target.
std::size_t ExportIndex(int64_t target, std::size_t n);

// Calls the registration function of target from fns, the HWY_EXPORT table of
// a kernel source's per-target registration function, once the entry at the
// same place of targets (the source's table of KernelSourceTarget, exported
// with it) answers that its code was compiled for target. Answers the target
// that entry's code was compiled for: target itself when it registered, 0
// where the source has no code for target, another target (registering
// nothing) where Highway lays out its tables otherwise than ExportIndex reads
// them.
template <std::size_t N>
int64_t RegisterTarget(void (*const (&fns)[N])(KernelTable&), int64_t (*const (&targets)[N])(),
                       int64_t target, KernelTable& table) {
  const std::size_t i = ExportIndex(target, N);
  if (i >= N || fns[i] == nullptr || targets[i] == nullptr) return 0;
  const int64_t compiled = targets[i]();
  if (compiled == target) fns[i](table);
  return compiled;
}

}  // namespace pixelops::kernels

// Every kernel source has one form: its includes (hwy/foreach_target.h, then
// hwy/highway.h, then kernel_rows-inl.h and this header among its own), then
//
//   HWY_BEFORE_NAMESPACE();
//   namespace pixelops::kernels::HWY_NAMESPACE {
//   namespace hn = hwy::HWY_NAMESPACE;
//
//   #if HWY_TARGET == HWY_SCALAR
//   PIXELOPS_NO_KERNELS(Name)
//   #else
//   namespace {
//   ...the kernels, then SetKernels(KernelTable& t), which sets them...
//   }  // namespace
//   PIXELOPS_REGISTER_KERNELS(Name)
//   #endif  // HWY_TARGET == HWY_SCALAR
//
//   }  // namespace pixelops::kernels::HWY_NAMESPACE
//   HWY_AFTER_NAMESPACE();
//
//   #if HWY_ONCE
//   PIXELOPS_EXPORT_KERNELS(Name)
//   #endif
//
// Within it, the lane types are D8, D16, D32 and V8, V16, V32 of
// kernel_rows-inl.h, every lambda is marked HWY_ATTR (Highway's target
// attributes reach lambdas only so), and pixels are loaded and stored as
// bytes (rows::LoadU, rows::StoreU), never through a pointer cast to a lane
// type.
//
// Register<Name>(table), the per-target registration, sets no kernels on the
// one-lane scalar target, whose rules run their per-pixel paths, and on a
// vector target sets the source's kernels (SetKernels) only where the
// processor's vectors fit the row walks' buffers (rows::VectorsFit).
#define PIXELOPS_NO_KERNELS(Name) \
  void Register##Name(KernelTable&) {}
#define PIXELOPS_REGISTER_KERNELS(Name)        \
  void Register##Name(KernelTable& table) {    \
    if (rows::VectorsFit()) SetKernels(table); \
  }

// Ends a kernel source compiled through hwy/foreach_target.h, whose per-target
// Register<Name>(KernelTable&) fills a table with that target's kernels:
// exports it beside the target each pass was compiled for (this header's
// KernelSourceTarget), and defines Register<Name>Kernels(table, target), the
// entry that row_kernels.cpp lists. Use it under #if HWY_ONCE, outside
// namespaces.
#define PIXELOPS_EXPORT_KERNELS(Name)                                                                   \
  namespace pixelops::kernels {                                                                         \
  HWY_EXPORT(Register##Name);                                                                           \
  HWY_EXPORT(KernelSourceTarget);                                                                       \
  SourceRegistration Register##Name##Kernels(KernelTable& table, int64_t target) {                      \
    return {HWY_TARGET_INCLUDE, RegisterTarget(HWY_DISPATCH_TABLE(Register##Name),                      \
                                               HWY_DISPATCH_TABLE(KernelSourceTarget), target, table)}; \
  }                                                                                                     \
  }

#endif  // PIXELOPS_ROW_KERNELS_H_

// Per target: the target each pass of a kernel source is compiled for, which
// PIXELOPS_EXPORT_KERNELS exports beside the source's registration.
#if defined(HWY_NAMESPACE)
#if defined(PIXELOPS_ROW_KERNELS_TARGET_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PIXELOPS_ROW_KERNELS_TARGET_H_
#undef PIXELOPS_ROW_KERNELS_TARGET_H_
#else
#define PIXELOPS_ROW_KERNELS_TARGET_H_
#endif

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace {
[[maybe_unused]] int64_t KernelSourceTarget() { return HWY_TARGET; }
}  // namespace
}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // PIXELOPS_ROW_KERNELS_TARGET_H_ toggle
#endif  // HWY_NAMESPACE
