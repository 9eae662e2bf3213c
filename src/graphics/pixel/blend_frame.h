// The frame shared by every surface-to-surface blend: the dispatcher that locks
// both surfaces and picks the routine for the pair of formats, the clip set-up,
// and the two walks (one to one, and stretched with integer error terms).
//
// An operation is a table of served pairs plus a per-pixel step per pair:
//
//   template <class S, class D> struct MyRule {
//     explicit MyRule(const MyValues& v);
//     void operator()(const uint8_t* s, uint8_t* d) const;   // one pixel
//   };
//   constexpr auto& kPairs = ServeSet<format_pairs::kBlend, MyRule, MyValues>;  // pair_table.h
//   return RunBlend(*this, src, kPairs, values, Placement{...}, policy);
//
// (ServeSet makes one Serve<Src, Dst, Rule, Values>() line per pair of a named
// set; MyRule may be an alias that picks the rule for the pair.)
//
// A step may instead take (s, d, sx, sy), the source pixel's coordinates, and
// may offer Row(s, d, width, dstLeft) to do a whole one-to-one row at once.
// A step may also carry `kernels::RowKernel kernel` (row_kernels.h): where its
// fn is set, both walks hand whole rows to it instead of the per-pixel step
// (the stretched walk gathers each row's source pixels first).
// Values with a `key` member make the operation keyed: the dispatcher reads
// the source's colour key into it after both surfaces are locked.
#pragma once

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <type_traits>

#include "graphics/blit_clip.h"
#include <pixelops/dd_surface.h>
#include "graphics/pixel/formats.h"
#include "graphics/pixel/row_kernels.h"

namespace pixelops {

struct Placement {
  int32_t x = 0;
  int32_t y = 0;
  const Rect* srcRect = nullptr;
  const Size* dstSize = nullptr;
  const Rect* clip = nullptr;
};

namespace frame {

template <class Step>
concept HasRowKernel = requires(const Step& step) { step.kernel.fn; };

template <class Step>
inline void Apply(const Step& step, const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy) {
  if constexpr (requires { step(s, d, sx, sy); }) {
    step(s, d, sx, sy);
  } else {
    (void)sx;
    (void)sy;
    step(s, d);
  }
}

// One-to-one walk: each row in runs of eight pixels, then the rest one by one.
template <class Src, class Dst, class Step>
void WalkOneToOne(const PixelBuffer& src, const PixelBuffer& dst, const BlitParams& bp,
                  const Step& step) {
  constexpr int32_t sb = Src::kBytes, db = Dst::kBytes;
  const int32_t width = bp.dst.right - bp.dst.left;
  const int32_t height = bp.dst.bottom - bp.dst.top;
  int64_t sRow = int64_t{bp.src.top} * src.pitch + int64_t{bp.src.left} * sb;
  int64_t dRow = int64_t{bp.dst.top} * dst.pitch + int64_t{bp.dst.left} * db;
  kernels::RowKernel kernel;
  if constexpr (HasRowKernel<Step>) kernel = step.kernel;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* s = src.pixels + sRow;
    uint8_t* d = dst.pixels + dRow;
    // A row copied onto itself further right goes pixel by pixel, so that
    // each pixel reads what the pixels before it wrote; a kernel reads ahead.
    const uintptr_t from = reinterpret_cast<uintptr_t>(s), to = reinterpret_cast<uintptr_t>(d);
    if (kernel.fn != nullptr && !(from < to && to < from + static_cast<uintptr_t>(width) * sb)) {
      kernel.fn(s, d, width, kernel.args, bp.src.left, bp.src.top + row);
    } else if constexpr (requires { step.Row(s, d, width, bp.dst.left); }) {
      step.Row(s, d, width, bp.dst.left);
    } else {
      const int32_t sy = bp.src.top + row;
      int32_t sx = bp.src.left;
      for (int32_t group = width >> 3; group > 0; --group) {
        for (int32_t k = 0; k < 8; ++k) Apply(step, s + k * sb, d + k * db, sx + k, sy);
        s += 8 * sb;
        d += 8 * db;
        sx += 8;
      }
      for (int32_t k = 0; k < (width & 7); ++k) Apply(step, s + k * sb, d + k * db, sx + k, sy);
    }
    if (row + 1 < height) {
      sRow += src.pitch;
      dRow += dst.pitch;
    }
  }
}

// The source column (relative to the source rectangle's left) that each
// destination column of a stretched row reads; the x error restarts at every
// row, so one list serves every row.
inline void StretchColumns(const BlitParams& bp, int32_t width, int32_t* columns) {
  int32_t ex = bp.xError;
  int32_t offset = 0;
  for (int32_t col = 0; col < width; ++col) {
    ex += bp.xRemainder;
    if (ex >= 0) {
      ++offset;
      ex -= bp.xSpan;
    }
    columns[col] = offset;
    offset += bp.xQuotient;
  }
}

// Stretch walk: the error tests are made before each row and each pixel is
// read; the source columns of a row are worked out once for every row, the y
// error runs on. A row kernel that does not read positions takes each row's
// source pixels gathered into a buffer first; a source row that repeats is
// gathered once.
template <class Src, class Dst, class Step>
void WalkStretched(const PixelBuffer& src, const PixelBuffer& dst, const BlitParams& bp,
                   const Step& step) {
  constexpr int32_t sb = Src::kBytes, db = Dst::kBytes;
  const int32_t width = bp.dst.right - bp.dst.left;
  const int32_t height = bp.dst.bottom - bp.dst.top;
  std::unique_ptr<int32_t[]> columns(new (std::nothrow) int32_t[static_cast<size_t>(width)]);
  if (!columns) return;
  StretchColumns(bp, width, columns.get());
  // Gathering reads the whole row before the kernel writes, which a surface
  // stretched onto itself must not do.
  kernels::RowKernel kernel;
  std::unique_ptr<uint8_t[]> gathered;
  kernels::GatherFn gather = nullptr;
  if constexpr (HasRowKernel<Step>) {
    if (step.kernel.fn != nullptr && !step.kernel.positional && src.pixels != dst.pixels) {
      gathered.reset(new (std::nothrow) uint8_t[static_cast<size_t>(width) * sb]);
      if (gathered) {
        kernel = step.kernel;
        gather = kernels::Find<kernels::GatherFn>(kernels::Op::Gather, Src::kCode, Src::kCode);
      }
    }
  }
  int64_t rowOffset = int64_t{bp.src.top} * src.pitch + int64_t{bp.src.left} * sb;
  int64_t dRow = int64_t{bp.dst.top} * dst.pitch + int64_t{bp.dst.left} * db;
  // The row offset may be negative (the error terms step in before the first
  // read), so the first gather is marked apart.
  bool anyGathered = false;
  int64_t gatheredRow = 0;
  int32_t ey = bp.yError;
  int32_t sy = bp.src.top;
  for (int32_t row = 0; row < height; ++row) {
    ey += bp.yRemainder;
    if (ey >= 0) {
      rowOffset += src.pitch;
      ++sy;
      ey -= bp.ySpan;
    }
    const uint8_t* s = src.pixels + rowOffset;
    uint8_t* d = dst.pixels + dRow;
    if (kernel.fn != nullptr) {
      if (!anyGathered || rowOffset != gatheredRow) {
        if (gather != nullptr) {
          gather(s, columns.get(), width, src.bounds.right - bp.src.left, gathered.get());
        } else {
          for (int32_t col = 0; col < width; ++col) {
            std::memcpy(gathered.get() + int64_t{col} * sb, s + int64_t{columns[col]} * sb, sb);
          }
        }
        gatheredRow = rowOffset;
        anyGathered = true;
      }
      kernel.fn(gathered.get(), d, width, kernel.args, 0, 0);
    } else {
      for (int32_t col = 0; col < width; ++col) {
        Apply(step, s + int64_t{columns[col]} * sb, d + int64_t{col} * db,
              bp.src.left + columns[col], sy);
      }
    }
    rowOffset += int64_t{bp.yQuotient} * src.pitch;
    sy += bp.yQuotient;
    dRow += dst.pitch;
  }
}

}  // namespace frame

// Clips, then walks the destination rectangle one to one or stretched with
// the step. 0 when it ran, 1 when clipping left nothing.
template <class Src, class Dst, class Step>
int32_t BlendMember(const PixelBuffer& src, const PixelBuffer& dst, const Placement& at,
                    const Step& step) {
  BlitParams bp;
  if (ClipBlitRects(dst, src, at.x, at.y, &bp, at.srcRect, at.dstSize, at.clip) != 0) return 1;
  if (bp.oneToOne) frame::WalkOneToOne<Src, Dst>(src, dst, bp, step);
  else frame::WalkStretched<Src, Dst>(src, dst, bp, step);
  return 0;
}

template <class Values>
using BlendMemberFn = int32_t (*)(const PixelBuffer& src, const PixelBuffer& dst,
                                  const Values& values, const Placement& at);

// One entry of a family's table: the pair of formats (source onto destination)
// and the routine that serves it. The blits and the polygon families share it.
template <class Member>
struct FormatEntry {
  PixelFormat src;
  PixelFormat dst;
  Member member;
};

template <class Values>
using PairEntry = FormatEntry<BlendMemberFn<Values>>;

template <class Src, class Dst, template <class, class> class Rule, class Values>
int32_t RuleMember(const PixelBuffer& src, const PixelBuffer& dst, const Values& values,
                   const Placement& at) {
  return BlendMember<Src, Dst>(src, dst, at, Rule<Src, Dst>(values));
}

// One line of an operation's table: the pair (source onto destination) and its rule.
template <class Src, class Dst, template <class, class> class Rule, class Values>
constexpr PairEntry<Values> Serve() {
  return {Src::kCode, Dst::kCode, &RuleMember<Src, Dst, Rule, Values>};
}

// Skips source pixels equal to the colour key (compared as the source format
// compares keys), then applies the rule. A rule that names the kernel op of
// its keyed form (kKeyedKernelOp) lends that kernel its own kernel's values,
// with the key; such a kernel tests the key itself.
template <template <class, class> class Rule>
struct KeyedRule {
  template <class S, class D>
  struct For {
    Rule<S, D> rule;
    uint32_t key;
    kernels::RowKernel kernel;
    template <class Values>
    explicit For(const Values& v) : rule(v), key(v.key) {
      if constexpr (requires { Rule<S, D>::kKeyedKernelOp; }) {
        kernels::RowArgs args;
        if constexpr (frame::HasRowKernel<Rule<S, D>>) args = rule.kernel.args;
        args.key = key;
        kernel = kernels::RowKernelFor<S, D>(Rule<S, D>::kKeyedKernelOp, args);
      }
    }
    void operator()(const uint8_t* s, uint8_t* d) const {
      if (!S::KeyMatches(s, key)) rule(s, d);
    }
  };
};

// What a dispatcher answers for pairs without a routine.
struct BlendPolicy {
  BlitResult differentUnserved = kBlitPairNotServed;
  BlitResult equalUnserved = kBlitDone;
};

// The dispatcher steps every family shares: lock the destination, then the
// source; find the entry of the pair; run it (call(entry, source)); unlock the
// source, then the destination. A missing source answers 1 and locks nothing;
// a pair without an entry answers as the policy says. pairs is an array of
// entries (FormatEntry), usually one that ServeSet built from a pair set.
template <class Pairs, class Call>
BlitResult DispatchPair(DDSurface& dst, DDSurface* src, const Pairs& pairs,
                        const BlendPolicy& policy, Call&& call) {
  using Entry = std::remove_cvref_t<decltype(*std::begin(pairs))>;
  if (src == nullptr) return kBlitLockRefused;
  if (LockBoth(dst, *src) != 0) return kBlitLockRefused;
  const PixelFormat sf = src->Format(), df = dst.Format();
  const Entry* entry = nullptr;
  for (const Entry& e : pairs) {
    if (e.src == sf && e.dst == df) {
      entry = &e;
      break;
    }
  }
  if (entry == nullptr) {
    UnlockBoth(dst, *src);
    return sf == df ? policy.equalUnserved : policy.differentUnserved;
  }
  call(*entry, *src);
  UnlockBoth(dst, *src);
  return kBlitDone;
}

// A blit's dispatcher: the shared steps, with the source's colour key read
// into values.key (keyed values only) just before the member runs.
template <class Values, class Pairs>
BlitResult RunBlend(DDSurface& dst, DDSurface* src, const Pairs& pairs, Values values,
                    const Placement& at, const BlendPolicy& policy = {}) {
  return DispatchPair(dst, src, pairs, policy, [&](const PairEntry<Values>& e, DDSurface& s) {
    if constexpr (requires { values.key; }) values.key = s.GetColorKey();
    e.member(s.Buffer(), dst.Buffer(), values, at);
  });
}

}  // namespace pixelops
