// Which kernels run. Every served pair of every operation with a kernel hands
// its rows (one to one, and stretched where the walk gathers them) or its
// spans to the kernel its rule names, at every level whose table has that
// kernel, and gives the scalar level's bytes there; the kernel sources are
// the one list of which pairs have kernels at which level, and each of them
// is registered, with the code of the Highway target its level names.
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <pixelops/format_pairs.h>
#include <pixelops/polygon.h>
#include <pixelops/simd.h>
#include <pixelops/textured_quad.h>

#include "graphics/pixel/polygon_scan.h"
#include "graphics/pixel/row_kernels.h"
#include "tests/kernel_check.h"

namespace pixelops {
namespace {

using kernels::KernelTable;
using kernels::Op;
namespace fp = format_pairs;

// ---- Watching which kernels a call runs ----

constexpr size_t kFormats = std::size(formats::kDescriptions);
// One slot per op and pair of formats.
constexpr size_t kSlots = static_cast<size_t>(Op::kCount) * kFormats * kFormats;

constexpr Op OpAt(size_t slot) { return static_cast<Op>(slot / (kFormats * kFormats)); }
constexpr PixelFormat SrcAt(size_t slot) { return formats::kDescriptions[slot / kFormats % kFormats].code; }
constexpr PixelFormat DstAt(size_t slot) { return formats::kDescriptions[slot % kFormats].code; }
size_t SlotOf(Op op, PixelFormat s, PixelFormat d) {
  return (static_cast<size_t>(op) * kFormats + static_cast<size_t>(FormatIndex(s))) * kFormats +
         static_cast<size_t>(FormatIndex(d));
}

// The routine type of an op's kernels.
constexpr bool IsSpanOp(Op op) { return op == Op::SpanKeyed || op == Op::SpanOpaque || op == Op::SpanBlend; }
template <Op kOp>
using RoutineOf = std::conditional_t<kOp == Op::Gather, kernels::GatherFn,
                                     std::conditional_t<IsSpanOp(kOp), kernels::SpanFn, kernels::RowFn>>;

// While it lives, every drawing call reads a table of wrappers in place of
// the level's own: each counts the calls of its (op, pair) entry, then runs
// the level's kernel. The wrappers are plain functions, so what they read is
// static: one watch at a time.
class KernelWatch {
 public:
  KernelWatch();
  ~KernelWatch() {
    kernels::SubstituteActive(nullptr);
    watching_ = false;
  }
  KernelWatch(const KernelWatch&) = delete;
  KernelWatch& operator=(const KernelWatch&) = delete;

  // Whether the level has the kernel, and how often it ran.
  bool Has(Op op, PixelFormat s, PixelFormat d) const { return level_.Get(op, s, d) != nullptr; }
  uint64_t Calls(Op op, PixelFormat s, PixelFormat d) const { return calls_[SlotOf(op, s, d)]; }
  uint64_t AllCalls() const {
    uint64_t n = 0;
    for (uint64_t c : calls_) n += c;
    return n;
  }

  template <size_t kSlot, class Routine>
  struct Counted;

 private:
  static inline bool watching_ = false;
  static inline KernelTable level_, counting_;
  static inline std::array<uint64_t, kSlots> calls_;
};

template <size_t kSlot, class R, class... A>
struct KernelWatch::Counted<kSlot, R (*)(A...)> {
  static R Call(A... a) {
    ++calls_[kSlot];
    return level_.Get<R (*)(A...)>(OpAt(kSlot), SrcAt(kSlot), DstAt(kSlot))(a...);
  }
};

using AnyRoutine = void (*)();
template <size_t... kSlot>
std::array<AnyRoutine, kSlots> Wrappers(std::index_sequence<kSlot...>) {
  return {reinterpret_cast<AnyRoutine>(&KernelWatch::Counted<kSlot, RoutineOf<OpAt(kSlot)>>::Call)...};
}

KernelWatch::KernelWatch() {
  static const std::array<AnyRoutine, kSlots> wrappers = Wrappers(std::make_index_sequence<kSlots>{});
  EXPECT_FALSE(watching_);
  watching_ = true;
  level_ = kernels::Active();
  counting_ = KernelTable{};
  calls_.fill(0);
  for (size_t slot = 0; slot < kSlots; ++slot) {
    if (level_.Get(OpAt(slot), SrcAt(slot), DstAt(slot)) != nullptr) {
      counting_.Set(OpAt(slot), SrcAt(slot), DstAt(slot), wrappers[slot]);
    }
  }
  kernels::SubstituteActive(&counting_);
}

// ---- The operations with kernels ----

// How an operation's walk hands work to its kernel.
enum class Walk {
  Rows,            // one to one and stretched (rows gathered first): a call per row
  PositionalRows,  // one to one only (the kernel reads source positions): a call per row
  OwnRows,         // the destination's own rows, a call per row (no source)
  Spans,           // a textured polygon's spans
};

using Draw = BlitResult (*)(DDSurface& dst, DDSurface& src, const Size* size);

// Whether a vector level has an op's kernel for a served pair: surely, surely
// not, or as the level's vector width decides (a level that spans widths).
enum class Has { kYes, kNo, kByWidth };
using Expect = Has (*)(std::string_view level, FormatPair pair);

// Every served pair at every vector level.
Has EveryPair(std::string_view, FormatPair) { return Has::kYes; }

// The 32-bit colour copy keeping alpha: only where a vector holds more than
// 16 bytes (the per-pixel path is vectorised at 16 bytes by the compiler).
Has WideColourKeepAlpha(std::string_view level, FormatPair pair) {
  if (pair.src != PixelFormat::Bgra32 && pair.src != PixelFormat::Rgba32) return Has::kYes;
  if (level == "avx2" || level == "avx512") return Has::kYes;
  return level == "sve" ? Has::kByWidth : Has::kNo;
}

// Alpha from a mask: the 16-bit masks everywhere, the ramp rows of the wider
// masks on x86 from AVX-512 on (below it their stores of part of a vector
// lose to the per-pixel path).
Has MaskRamp(std::string_view level, FormatPair pair) {
  if (BytesPerPixel(pair.src) == 2 || pair.src == PixelFormat::Rgb565A || pair.src == PixelFormat::Rgb555A)
    return Has::kYes;
  return level == "avx512" ? Has::kYes : Has::kNo;
}

// Polygon spans: texels and pixels of 2, 3 or 4 bytes, at every vector level
// but ssse3 (where the per-pixel path is faster).
Has WideSpans(std::string_view level, FormatPair pair) {
  if (level == "ssse3") return Has::kNo;
  return BytesPerPixel(pair.src) != 1 && BytesPerPixel(pair.dst) != 1 ? Has::kYes : Has::kNo;
}

// An operation with a kernel: the op its rule names, the pairs it serves,
// which of them have the op's kernel at a vector level, its walk, and a call
// (stretched to size, where given).
struct Link {
  const char* name;
  Op op;
  std::span<const FormatPair> served;
  Expect expect;
  Walk walk;
  Draw draw;
};

const uint8_t* PatternBytes() {
  static const std::array<uint8_t, 256> pattern = [] {
    std::array<uint8_t, 256> p{};
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 37 + 11);
    return p;
  }();
  return pattern.data();
}

// The source's corners onto a quad inside the destination (polygons: a 40 x
// 30 source onto a 48 x 36 destination).
constexpr Point kTexels[4] = {{0, 0}, {39, 0}, {39, 29}, {0, 29}};
constexpr Point kCorners[4] = {{2, 1}, {46, 4}, {44, 34}, {1, 32}};

const Link kLinks[] = {
    {"BltAlpha", Op::Translucent, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltAlpha(&s, 0, 0, 200, nullptr, z, nullptr);
     }},
    {"BltAlphaOpacity", Op::Translucent, fp::kAlphaOntoColour, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltAlphaOpacity(&s, 0, 0, 200, nullptr, z, nullptr);
     }},
    {"BltTranslucentKey", Op::TranslucentKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltTranslucentKey(&s, 0, 0, 200, nullptr, z, nullptr);
     }},
    {"BltBlend", Op::TwoLevel, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltBlend(&s, 0, 0, 160, 95, nullptr, z, nullptr);
     }},
    {"BltBlendKey", Op::TwoLevelKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltBlendKey(&s, 0, 0, 160, 95, nullptr, z, nullptr);
     }},
    {"BltAlphaChannel", Op::AlphaChannel, fp::kAlphaComposite, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltAlphaChannel(&s, 0, 0, nullptr, z, nullptr);
     }},
    {"BltPattern", Op::Pattern, fp::kPattern, EveryPair, Walk::PositionalRows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltPattern(&s, 0, 0, PatternBytes(), nullptr, z, nullptr);
     }},
    {"BltColorKeepAlpha", Op::ColourKeepAlpha, fp::kEqualAlpha, WideColourKeepAlpha, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltColorKeepAlpha(&s, 0, 0, nullptr, z, nullptr);
     }},
    {"AlphaFromMaskRamp", Op::MaskAlpha, fp::kMaskOntoAlpha, MaskRamp, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.AlphaFromMaskRamp(&s, 64, 192, 0, 255, 0, 0, nullptr, z, nullptr);
     }},
    {"Fade", Op::Fade, fp::kEqualBlended, EveryPair, Walk::OwnRows,
     [](DDSurface& d, DDSurface&, const Size*) { return d.Fade(100); }},
    {"BltAdd", Op::Add, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) { return d.BltAdd(&s, 0, 0, nullptr, z, nullptr); }},
    {"BltAddKey", Op::AddKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) { return d.BltAddKey(&s, 0, 0, nullptr, z, nullptr); }},
    {"BltAddLevel", Op::AddLevel, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltAddLevel(&s, 0, 0, 100, nullptr, z, nullptr);
     }},
    {"BltAddLevelKey", Op::AddLevelKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltAddLevelKey(&s, 0, 0, 100, nullptr, z, nullptr);
     }},
    {"BltSub", Op::Sub, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) { return d.BltSub(&s, 0, 0, nullptr, z, nullptr); }},
    {"BltSubKey", Op::SubKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) { return d.BltSubKey(&s, 0, 0, nullptr, z, nullptr); }},
    {"BltSubLevel", Op::SubLevel, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltSubLevel(&s, 0, 0, 100, nullptr, z, nullptr);
     }},
    {"BltSubLevelKey", Op::SubLevelKeyed, fp::kBlend, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) {
       return d.BltSubLevelKey(&s, 0, 0, 100, nullptr, z, nullptr);
     }},
    {"BltKeyed", Op::KeyedCopy, fp::kSameFormat, EveryPair, Walk::Rows,
     [](DDSurface& d, DDSurface& s, const Size* z) { return d.BltKeyed(&s, 0, 0, nullptr, z, nullptr); }},
    {"DrawPolygon", Op::SpanOpaque, fp::kPolygon, WideSpans, Walk::Spans,
     [](DDSurface& d, DDSurface& s, const Size*) {
       return d.DrawPolygon(&s, kTexels, kCorners, nullptr, 0, 4);
     }},
    {"DrawPolygonKeyed", Op::SpanKeyed, fp::kPolygon, WideSpans, Walk::Spans,
     [](DDSurface& d, DDSurface& s, const Size*) {
       return d.DrawPolygonKeyed(&s, kTexels, kCorners, nullptr, 0, 4);
     }},
    {"DrawRotatedScaled", Op::SpanKeyed, fp::kPolygon, WideSpans, Walk::Spans,
     [](DDSurface& d, DDSurface& s, const Size*) {
       return DrawRotatedScaled(&d, &s, 24, 18, 30, 65536, 65536, nullptr);
     }},
    {"FillTexturedQuad", Op::SpanBlend, fp::kPolygon, WideSpans, Walk::Spans,
     [](DDSurface& d, DDSurface& s, const Size*) {
       return FillTexturedQuad(&d, &s, 200, kTexels, kCorners, nullptr, 0, 4);
     }},
    {"DrawRotatedSprite", Op::SpanBlend, fp::kPolygon, WideSpans, Walk::Spans,
     [](DDSurface& d, DDSurface& s, const Size*) {
       return DrawRotatedSprite(&d, &s, 24, 18, 30, 65536, 65536, 200);
     }},
};

// Every op but the stretched walk's gather is some operation's kernel.
TEST(KernelLinkTable, EveryKernelOpIsSomeOperations) {
  for (size_t i = 0; i < static_cast<size_t>(Op::kCount); ++i) {
    const Op op = static_cast<Op>(i);
    bool linked = op == Op::Gather;
    for (const Link& link : kLinks) linked = linked || link.op == op;
    EXPECT_TRUE(linked) << "op " << i << " has no operation in kLinks";
  }
}

// Draws the pair one to one (size null) or stretched at every level, on
// surfaces whose memory ends at a guard page, and expects the scalar level's
// bytes; at each level whose table has the pair's kernel, every row handed to
// it (some spans, for a polygon), the source's rows gathered by the gather
// kernel where the level has one, and no other kernel run.
void ExpectLinked(const Link& link, FormatPair pair, const Size* size, uint32_t seed) {
  const bool spans = link.walk == Walk::Spans;
  const Size from = spans ? Size{40, 30} : Size{37, 3};
  const Size onto = spans ? Size{48, 36} : size != nullptr ? *size : from;
  const test::GuardedSurface src(from.width, from.height, pair.src);
  const test::GuardedSurface dst(onto.width, onto.height, pair.dst);
  ASSERT_TRUE(src && dst);
  src->SetColorKey(0x00FF00FF);
  std::mt19937 rng(seed);
  test::FillForKernels(*src, rng);
  test::FillForKernels(*dst, rng);
  const std::string what = std::string(link.name) + " " + PixelFormatName(pair.src) + " onto " +
                           PixelFormatName(pair.dst) + (size != nullptr ? " stretched" : " one to one");
  test::ExpectSameAtEveryLevel(
      *dst,
      [&] {
        const KernelWatch watch;
        const BlitResult r = link.draw(*dst, *src, size);
        EXPECT_EQ(r, kBlitDone) << what;
        const std::string_view level = SimdLevel();
        const bool has = watch.Has(link.op, pair.src, pair.dst);
        if (level != "scalar") {
          const Has expected = link.expect(level, pair);
          if (expected != Has::kByWidth) {
            EXPECT_EQ(has, expected == Has::kYes) << level << ", kernel: " << what;
          }
        }
        const uint64_t calls = watch.Calls(link.op, pair.src, pair.dst);
        uint64_t gathers = 0;
        if (has && spans) {
          EXPECT_GT(calls, 0u) << level << ": no span handed to the kernel, " << what;
        } else if (has) {
          EXPECT_EQ(calls, static_cast<uint64_t>(onto.height))
              << level << ": rows not handed to the kernel, " << what;
          if (size != nullptr && watch.Has(Op::Gather, pair.src, pair.src)) {
            gathers = watch.Calls(Op::Gather, pair.src, pair.src);
            EXPECT_GT(gathers, 0u) << level << ": rows not gathered by the kernel, " << what;
          }
        }
        EXPECT_EQ(watch.AllCalls(), calls + gathers) << level << ": other kernels ran, " << what;
        return r;
      },
      what);
}

class KernelLinks : public testing::TestWithParam<size_t> {};

TEST_P(KernelLinks, EveryServedPairHandsItsWorkToItsKernel) {
  const Link& link = kLinks[GetParam()];
  uint32_t seed = static_cast<uint32_t>(GetParam()) * 1000;
  const Size stretched{53, 5};
  for (const FormatPair& pair : link.served) {
    ExpectLinked(link, pair, nullptr, ++seed);
    if (link.walk == Walk::Rows) ExpectLinked(link, pair, &stretched, ++seed);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, KernelLinks, testing::Range<size_t>(0, std::size(kLinks)),
                         [](const testing::TestParamInfo<size_t>& info) {
                           return std::string(kLinks[info.param].name);
                         });

// ---- The kernel sources and their targets ----

// Each level runs, from every kernel source, the code compiled for the
// Highway target the level names (registration finds it where Highway's
// export tables put it, and checks what it found); the scalar level none.
TEST(KernelTargets, EveryLevelRunsTheCodeOfItsOwnTarget) {
  std::set<int64_t> targets;
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    const kernels::LevelRegistration r = kernels::ActiveRegistration();
    EXPECT_FALSE(r.sources.empty());
    if (level == "scalar") {
      EXPECT_EQ(r.target, 0);
    } else {
      EXPECT_NE(r.target, 0) << level;
      EXPECT_TRUE(targets.insert(r.target).second) << level << " names the target of a level below";
    }
    for (const kernels::SourceRegistration& s : r.sources) {
      EXPECT_EQ(s.compiled, r.target)
          << level << " (" << (r.target != 0 ? hwy::TargetName(r.target) : "no target") << "): " << s.source
          << " found " << (s.compiled != 0 ? hwy::TargetName(s.compiled) : "no") << " code";
    }
  }
}

// Registration takes a target's code only from an entry whose code answers
// that it was compiled for that target: a table laid out otherwise registers
// nothing and says what it found.
int64_t gClaimed = 0;
int gRegistered = 0;
void CountRegistration(KernelTable&) { ++gRegistered; }
int64_t Claimed() { return gClaimed; }

TEST(KernelTargets, CodeOfAnotherTargetIsNotRegistered) {
  test::ScopedSimdLevel best(SimdLevels().back());
  const int64_t target = kernels::ActiveRegistration().target;
  if (target == 0) GTEST_SKIP() << "no vector level";
  constexpr size_t kEntries = HWY_MAX_DYNAMIC_TARGETS + 2;
  void (*registrations[kEntries])(KernelTable&);
  int64_t (*targets[kEntries])();
  for (size_t i = 0; i < kEntries; ++i) {
    registrations[i] = &CountRegistration;
    targets[i] = &Claimed;
  }
  KernelTable table;
  gRegistered = 0;
  gClaimed = HWY_SCALAR;  // never a vector level's target
  EXPECT_EQ(kernels::RegisterTarget(registrations, targets, target, table), gClaimed);
  EXPECT_EQ(gRegistered, 0);
  gClaimed = target;
  EXPECT_EQ(kernels::RegisterTarget(registrations, targets, target, table), target);
  EXPECT_EQ(gRegistered, 1);
}

// Every kernel source of the tree (every file compiled through
// hwy/foreach_target.h) is on the registration list, and nothing else is.
TEST(KernelTargets, EveryKernelSourceIsRegistered) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(PIXELOPS_SOURCE_DIR) / "src";
  std::set<std::string> files, registered;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file() || e.path().extension() != ".cpp") continue;
    std::ifstream in(e.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find("#include <hwy/foreach_target.h>") != std::string::npos) {
      files.insert(e.path().lexically_relative(root).generic_string());
    }
  }
  ASSERT_FALSE(files.empty()) << root;
  for (const kernels::SourceRegistration& s : kernels::ActiveRegistration().sources) {
    registered.insert(s.source);
  }
  EXPECT_EQ(registered, files);
}

}  // namespace
}  // namespace pixelops
