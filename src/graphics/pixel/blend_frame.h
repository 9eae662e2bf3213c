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
// A step may instead take (s, d, sx, sy), the source pixel's coordinates
// (ReadsPosition), and may offer Row(s, d, width, dstLeft) to do a whole
// one-to-one row at once (DrawsRows): the walk hands it only rows where that
// gives the per-pixel bytes (see below).
// A step with a fast path names its kernel op (kKernelOp) and carries
// `kernels::RowKernel kernel` (row_kernels.h); the frame refuses to compile a
// step that names the one without carrying the other. Where the call's
// kernel table has the kernel for the pair, both walks hand whole rows to it
// instead of the per-pixel step (the stretched walk gathers each row's source
// pixels first). A kernel table is read once per call (RuleMember) and every
// kernel of the call is found in it.
// Values with a `key` member (KeyedValues) make the operation keyed: the
// dispatcher reads the source's colour key into it after both surfaces are
// locked.
//
// Where the source's pixel memory overlaps the destination's (a surface onto
// itself, or two surfaces over one buffer, at any byte offsets and pitches),
// every level gives the bytes of one rule: pixel by pixel in the walk's order,
// each destination pixel reads its whole source pixel (and the pattern entry
// it takes) and its whole destination pixel, then writes. The per-pixel steps
// read before they write; the walks hand a row whole (to a kernel, or to the
// step's Row) only where that gives the same bytes, and a kernel whose table
// (a ramp or a pattern) lies in the destination's memory no row at all.
// Memories that do not overlap, and rows whose bytes are apart (a surface
// scrolled onto itself by whole rows), keep the whole-row paths.
#pragma once

#include <cstdint>
#include <concepts>
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

// The protocols between a step and the walks.
template <class Step>
concept CarriesRowKernel = requires(const Step& step) {
  { step.kernel } -> std::convertible_to<kernels::RowKernel>;
};
template <class Step>
concept NamesRowKernel = requires {
  { Step::kKernelOp } -> std::convertible_to<kernels::Op>;
};
template <class Rule>
concept NamesKeyedKernel = requires {
  { Rule::kKeyedKernelOp } -> std::convertible_to<kernels::Op>;
};
template <class Step>
concept ReadsPosition = requires(const Step& step, const uint8_t* s, uint8_t* d, int32_t n) {
  step(s, d, n, n);
};
template <class Step>
concept DrawsRows = requires(const Step& step, const uint8_t* s, uint8_t* d, int32_t n) {
  step.Row(s, d, n, n);
};
template <class Values>
concept KeyedValues = requires(Values& v) {
  v.key;
};
// A step whose kernel may read a row's source bytes again after writing some
// of its destination (one that runs a pixel twice) says so: where the two
// memories overlap, its kernel takes only rows whose bytes are apart.
template <class Step>
concept KernelRereadsSource = requires {
  requires Step::kKernelRereadsSource;
};

// A step that names its kernel op carries the kernel under the name the walks
// read: a misnamed member would turn the fast path off at every level unseen.
template <class Step>
inline constexpr bool kKernelLinked = !NamesRowKernel<Step> || CarriesRowKernel<Step>;

// Whether the n bytes from a and the m bytes from b share any byte. Pointers
// into unrelated objects are compared as integers.
inline bool BytesOverlap(const uint8_t* a, uint64_t n, const uint8_t* b, uint64_t m) {
  const uintptr_t x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
  return n != 0 && m != 0 && x < y + m && y < x + n;
}

// The bytes from a buffer's first pixel to the end of its last (0 when empty).
inline uint64_t PixelBytes(const PixelBuffer& b, int32_t bytesPerPixel) {
  if (b.bounds.bottom <= 0 || b.bounds.right <= 0) return 0;
  return static_cast<uint64_t>(b.pitch) * static_cast<uint64_t>(b.bounds.bottom - 1) +
         static_cast<uint64_t>(b.bounds.right) * static_cast<uint64_t>(bytesPerPixel);
}

// Whether the source's pixel memory overlaps the destination's; buffers with
// rows that do not run forwards count as overlapping.
template <class Src, class Dst>
bool MemoryOverlaps(const PixelBuffer& src, const PixelBuffer& dst) {
  if (src.pitch <= 0 || dst.pitch <= 0) return true;
  return BytesOverlap(src.pixels, PixelBytes(src, Src::kBytes), dst.pixels, PixelBytes(dst, Dst::kBytes));
}

// The table a kernel reads from the caller's memory (RowArgs::table: a ramp
// or a pattern) is 256 bytes.
inline constexpr uint64_t kKernelTableBytes = 256;

// Whether a kernel's table lies in the destination's pixel memory: the
// destination's pixels would then change what the kernel reads ahead.
template <class Dst>
bool TableInDestination(const kernels::RowArgs& args, const PixelBuffer& dst) {
  if (args.table == nullptr) return false;
  return dst.pitch <= 0 ||
         BytesOverlap(args.table, kKernelTableBytes, dst.pixels, PixelBytes(dst, Dst::kBytes));
}

// How the bytes of one row of a one-to-one walk lie where the two memories
// overlap. Apart: no byte shared. DestinationFirst: the destination starts no
// later than the source with pixels no wider, so every write lands on source
// bytes that pixels already drawn have read, and each pixel reads its source
// as it was: a whole-row path that reads each source pixel before it writes
// that pixel's destination gives the per-pixel bytes. Anything else goes
// pixel by pixel.
enum class RowBytes { Apart, DestinationFirst, Tangled };

template <int32_t sb, int32_t db>
inline RowBytes HowRowBytesLie(const uint8_t* s, uint64_t sBytes, const uint8_t* d, uint64_t dBytes) {
  if (!BytesOverlap(s, sBytes, d, dBytes)) return RowBytes::Apart;
  if (db <= sb && reinterpret_cast<uintptr_t>(d) <= reinterpret_cast<uintptr_t>(s)) {
    return RowBytes::DestinationFirst;
  }
  return RowBytes::Tangled;
}

template <class Step>
inline void Apply(const Step& step, const uint8_t* s, uint8_t* d, int32_t sx, int32_t sy) {
  if constexpr (ReadsPosition<Step>) {
    step(s, d, sx, sy);
  } else {
    (void)sx;
    (void)sy;
    step(s, d);
  }
}

// One-to-one walk: each row in runs of eight pixels, then the rest one by one.
// Where the two memories overlap, a row goes to the kernel, or to the step's
// Row, only as HowRowBytesLie allows (a kernel that rereads its source only
// rows that are apart); the others go pixel by pixel.
template <class Src, class Dst, class Step>
void WalkOneToOne(const PixelBuffer& src, const PixelBuffer& dst, const BlitParams& bp, const Step& step,
                  const kernels::KernelTable& table) {
  constexpr int32_t sb = Src::kBytes, db = Dst::kBytes;
  const int32_t width = bp.dst.right - bp.dst.left;
  const int32_t height = bp.dst.bottom - bp.dst.top;
  int64_t sRow = int64_t{bp.src.top} * src.pitch + int64_t{bp.src.left} * sb;
  int64_t dRow = int64_t{bp.dst.top} * dst.pitch + int64_t{bp.dst.left} * db;
  kernels::RowFn kernel = nullptr;
  kernels::RowArgs args;
  if constexpr (CarriesRowKernel<Step>) {
    if (!TableInDestination<Dst>(step.kernel.args, dst)) {
      kernel = kernels::Lookup(table, step.kernel.op, Src::kCode, Dst::kCode);
      args = step.kernel.args;
    }
  }
  const bool shared = (kernel != nullptr || DrawsRows<Step>)&&MemoryOverlaps<Src, Dst>(src, dst);
  const uint64_t sBytes = static_cast<uint64_t>(width) * sb, dBytes = static_cast<uint64_t>(width) * db;
  // With equal pitches every row lies as the first (a surface onto itself).
  const bool eachRow = shared && src.pitch != dst.pitch;
  RowBytes lie = RowBytes::Apart;
  if (shared && height > 0) {
    lie = HowRowBytesLie<sb, db>(src.pixels + sRow, sBytes, dst.pixels + dRow, dBytes);
  }
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* s = src.pixels + sRow;
    uint8_t* d = dst.pixels + dRow;
    if (eachRow) lie = HowRowBytesLie<sb, db>(s, sBytes, d, dBytes);
    if (kernel != nullptr &&
        (lie == RowBytes::Apart || (lie == RowBytes::DestinationFirst && !KernelRereadsSource<Step>))) {
      kernel(s, d, width, args, bp.src.left, bp.src.top + row);
    } else if (DrawsRows<Step> && lie != RowBytes::Tangled) {
      if constexpr (DrawsRows<Step>) step.Row(s, d, width, bp.dst.left);
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
// gathered once. Where the two memories overlap, every pixel goes by the
// step: a gathered row would not show what the row's earlier pixels wrote; so
// too where the kernel's table lies in the destination's memory.
template <class Src, class Dst, class Step>
void WalkStretched(const PixelBuffer& src, const PixelBuffer& dst, const BlitParams& bp, const Step& step,
                   const kernels::KernelTable& table) {
  constexpr int32_t sb = Src::kBytes, db = Dst::kBytes;
  const int32_t width = bp.dst.right - bp.dst.left;
  const int32_t height = bp.dst.bottom - bp.dst.top;
  std::unique_ptr<int32_t[]> columns(new (std::nothrow) int32_t[static_cast<size_t>(width)]);
  if (!columns) return;
  StretchColumns(bp, width, columns.get());
  kernels::RowFn kernel = nullptr;
  kernels::RowArgs args;
  std::unique_ptr<uint8_t[]> gathered;
  kernels::GatherFn gather = nullptr;
  if constexpr (CarriesRowKernel<Step>) {
    const kernels::RowFn fn = kernels::Lookup(table, step.kernel.op, Src::kCode, Dst::kCode);
    if (fn != nullptr && !step.kernel.positional && !MemoryOverlaps<Src, Dst>(src, dst) &&
        !TableInDestination<Dst>(step.kernel.args, dst)) {
      gathered.reset(new (std::nothrow) uint8_t[static_cast<size_t>(width) * sb]);
      if (gathered) {
        kernel = fn;
        args = step.kernel.args;
        gather = kernels::Lookup<kernels::GatherFn>(table, kernels::Op::Gather, Src::kCode, Src::kCode);
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
    if (kernel != nullptr) {
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
      kernel(gathered.get(), d, width, args, 0, 0);
    } else {
      for (int32_t col = 0; col < width; ++col) {
        Apply(step, s + int64_t{columns[col]} * sb, d + int64_t{col} * db, bp.src.left + columns[col], sy);
      }
    }
    rowOffset += int64_t{bp.yQuotient} * src.pitch;
    sy += bp.yQuotient;
    dRow += dst.pitch;
  }
}

}  // namespace frame

// Clips, then walks the destination rectangle one to one or stretched with
// the step, its kernels found in table. 0 when it ran, 1 when clipping left
// nothing.
template <class Src, class Dst, class Step>
int32_t BlendMember(const PixelBuffer& src, const PixelBuffer& dst, const Placement& at, const Step& step,
                    const kernels::KernelTable& table) {
  static_assert(frame::kKernelLinked<Step>, "a step naming kKernelOp carries `kernel`");
  BlitParams bp;
  if (ClipBlitRects(dst, src, at.x, at.y, &bp, at.srcRect, at.dstSize, at.clip) != 0) return 1;
  if (bp.oneToOne) frame::WalkOneToOne<Src, Dst>(src, dst, bp, step, table);
  else frame::WalkStretched<Src, Dst>(src, dst, bp, step, table);
  return 0;
}

template <class Values>
using BlendMemberFn = int32_t (*)(const PixelBuffer& src, const PixelBuffer& dst, const Values& values,
                                  const Placement& at);

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
  return BlendMember<Src, Dst>(src, dst, at, Rule<Src, Dst>(values), kernels::Active());
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
    static_assert(frame::kKernelLinked<Rule<S, D>>, "a rule naming kKernelOp carries `kernel`");
    template <class Values>
    explicit For(const Values& v) : rule(v), key(v.key) {
      if constexpr (frame::NamesKeyedKernel<Rule<S, D>>) {
        kernels::RowArgs args;
        if constexpr (frame::CarriesRowKernel<Rule<S, D>>) args = rule.kernel.args;
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
BlitResult DispatchPair(DDSurface& dst, DDSurface* src, const Pairs& pairs, const BlendPolicy& policy,
                        Call&& call) {
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
BlitResult RunBlend(DDSurface& dst, DDSurface* src, const Pairs& pairs, Values values, const Placement& at,
                    const BlendPolicy& policy = {}) {
  return DispatchPair(dst, src, pairs, policy, [&](const PairEntry<Values>& e, DDSurface& s) {
    if constexpr (frame::KeyedValues<Values>) values.key = s.GetColorKey();
    e.member(s.Buffer(), dst.Buffer(), values, at);
  });
}

}  // namespace pixelops
