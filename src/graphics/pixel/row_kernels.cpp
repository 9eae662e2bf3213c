// Chooses the kernels' instruction set once (capped by PIXELOPS_SIMD or
// SetSimdLevel) and builds the table of that level from every kernel source.
#include "graphics/pixel/row_kernels.h"

#include <hwy/highway.h>
#include <hwy/targets.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>

#include <pixelops/simd.h>

namespace pixelops::kernels {

// The kernel sources, each beside the rules its kernels speed up; each
// exports Register<Name>Kernels(table, target), which fills a table with the
// kernels of one Highway target and answers what it registered.
#define PIXELOPS_KERNEL_SOURCES(X) \
  X(Saturating)                    \
  X(AlphaChannel)                  \
  X(Pattern)                       \
  X(ColourKeepAlpha)               \
  X(Fade)                          \
  X(AlphaFromMask)                 \
  X(Translucent)                   \
  X(BlendFrame)                    \
  X(Copy)                          \
  X(Polygon)

#define PIXELOPS_DECLARE(Name) SourceRegistration Register##Name##Kernels(KernelTable& table, int64_t target);
PIXELOPS_KERNEL_SOURCES(PIXELOPS_DECLARE)
#undef PIXELOPS_DECLARE

std::size_t ExportIndex(int64_t target, std::size_t n) {
  // A build of a single target makes one-entry tables: that target's code.
  if (n == 1) return target == HWY_STATIC_TARGET ? 0 : n;
  if (n != HWY_MAX_DYNAMIC_TARGETS + 2) return n;
  // Otherwise the first entry is Highway's first-call chooser and the last
  // the fallback target; between them one entry per dynamic target, at the
  // place its bit takes in Highway's chosen-target mask.
  const auto bit = static_cast<uint64_t>(HWY_CHOSEN_TARGET_SHIFT(target & HWY_TARGETS));
  const std::size_t i = bit == 0 ? 0 : hwy::Num0BitsBelowLS1Bit_Nonzero64(bit);
  return i == 0 ? n : i;
}

namespace {

using Register = SourceRegistration (*)(KernelTable&, int64_t);
#define PIXELOPS_ENTRY(Name) &Register##Name##Kernels,
constexpr Register kRegister[] = {PIXELOPS_KERNEL_SOURCES(PIXELOPS_ENTRY)};
#undef PIXELOPS_ENTRY
constexpr size_t kSourceCount = std::size(kRegister);

// The levels above scalar, each with the Highway targets it adds; a level
// allows its own targets and those of the levels before it.
struct Level {
  std::string_view name;
  int64_t targets;
};
#if HWY_ARCH_X86
constexpr Level kLevels[] = {
    {"ssse3", HWY_SSSE3}, {"sse4", HWY_SSE4}, {"avx2", HWY_AVX2}, {"avx512", HWY_AVX3 | HWY_AVX3_DL}};
#elif HWY_ARCH_ARM
constexpr Level kLevels[] = {{"neon", HWY_NEON}, {"sve", HWY_SVE | HWY_SVE2 | HWY_SVE_256 | HWY_SVE2_128}};
#else
constexpr Level kLevels[] = {{"vector", HWY_TARGETS & ~(HWY_SCALAR | HWY_EMU128)}};
#endif
constexpr size_t kLevelCount = std::size(kLevels);

// The Highway targets that both the processor and this build have, among
// those that level i (1-based; 0 is scalar) allows. The processor's targets
// are read once: Highway asks the processor anew on every call, which is slow
// under a hypervisor.
int64_t Runnable(size_t i) {
  static const int64_t supported = hwy::SupportedTargets();
  int64_t allowed = 0;
  for (size_t k = 0; k < i && k < kLevelCount; ++k) allowed |= kLevels[k].targets;
  return allowed & supported & HWY_TARGETS & ~(HWY_SCALAR | HWY_EMU128);
}

// The best target of a mask (Highway's better targets have lower bits).
int64_t Best(int64_t targets) { return targets & -targets; }

// What a level's table was built from: the target the level names and what
// each kernel source registered for it.
struct Built {
  int64_t target = 0;
  std::array<SourceRegistration, kSourceCount> sources{};
};

struct State {
  std::mutex lock;
  std::atomic<const KernelTable*> active{nullptr};
  std::atomic<size_t> level{0};
  std::array<std::unique_ptr<KernelTable>, kLevelCount + 1> tables;
  std::array<Built, kLevelCount + 1> built;
};

State& GetState() {
  static State state;
  return state;
}

// The level that a name caps at, or -1 for a name that is not a level.
int64_t LevelOf(std::string_view name) {
  if (name == "scalar") return 0;
  if (name.empty() || name == "best") return static_cast<int64_t>(kLevelCount);
#if HWY_ARCH_X86
  if (name == "sse2") name = "ssse3";  // the lowest level's former name
#endif
  for (size_t i = 0; i < kLevelCount; ++i) {
    if (kLevels[i].name == name) return static_cast<int64_t>(i + 1);
  }
  return -1;
}

// Lowers a level to the highest one whose best target differs from the
// level below it, so that each level in force names what actually runs.
size_t Effective(size_t level) {
  while (level > 0 && Best(Runnable(level)) == Best(Runnable(level - 1))) --level;
  return level;
}

// Under state.lock.
void Activate(State& state, size_t level) {
  level = Effective(level);
  auto& table = state.tables[level];
  if (!table) {
    table = std::make_unique<KernelTable>();
    Built& built = state.built[level];
    built.target = Best(Runnable(level));
    // At the scalar level (target 0) each source registers nothing.
    for (size_t k = 0; k < kSourceCount; ++k) built.sources[k] = kRegister[k](*table, built.target);
  }
  state.level.store(level);
  state.active.store(table.get(), std::memory_order_release);
}

}  // namespace

const KernelTable& Active() {
  State& state = GetState();
  if (const KernelTable* t = state.active.load(std::memory_order_acquire)) return *t;
  std::lock_guard<std::mutex> guard(state.lock);
  if (state.active.load() == nullptr) {
    const char* env = std::getenv("PIXELOPS_SIMD");
    const int64_t level = LevelOf(env != nullptr ? env : "");
    // A value that names no level is ignored, as if unset.
    Activate(state, level < 0 ? kLevelCount : static_cast<size_t>(level));
  }
  return *state.active.load();
}

void SubstituteActive(const KernelTable* table) {
  State& state = GetState();
  Active();  // the level is chosen first
  std::lock_guard<std::mutex> guard(state.lock);
  if (table == nullptr) table = state.tables[state.level.load()].get();
  state.active.store(table, std::memory_order_release);
}

LevelRegistration ActiveRegistration() {
  State& state = GetState();
  Active();
  std::lock_guard<std::mutex> guard(state.lock);
  const Built& built = state.built[state.level.load()];
  return {built.target, built.sources};
}

}  // namespace pixelops::kernels

namespace pixelops {

bool SetSimdLevel(std::string_view name) {
  const int64_t level = kernels::LevelOf(name);
  if (level < 0) return false;
  kernels::State& state = kernels::GetState();
  std::lock_guard<std::mutex> guard(state.lock);
  kernels::Activate(state, static_cast<size_t>(level));
  return true;
}

std::string_view SimdLevel() {
  kernels::Active();
  const size_t level = kernels::GetState().level.load();
  return level == 0 ? std::string_view("scalar") : kernels::kLevels[level - 1].name;
}

std::vector<std::string_view> SimdLevels() {
  std::vector<std::string_view> levels{"scalar"};
  for (size_t i = 1; i <= kernels::kLevelCount; ++i) {
    if (kernels::Effective(i) == i) levels.push_back(kernels::kLevels[i - 1].name);
  }
  return levels;
}

}  // namespace pixelops
