// The benchmark's entry point, and its level sweep: every row timed at every
// SIMD level the processor runs, in one process, the levels interleaved call
// by call, after a check that every level writes the same bytes; the rows
// where a higher level is slower than a lower one are listed.
//
//   pixelops_bench [Google Benchmark flags]      the benchmarks
//   pixelops_bench --level-sweep [options]       the sweep (--help: its options)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include <pixelops/simd.h>

#include "bench/bench_support.h"
#include "bench/measure_support.h"

namespace pixelops {

namespace bench {

namespace {

constexpr const char* kUsage =
    "usage: pixelops_bench --level-sweep [--filter=REGEX] [--trials=N] [--threshold=PERCENT]\n"
    "                      [--trial-ms=MS] [--all] [--cpu=N]\n"
    "\n"
    "Times every benchmark row (or those whose name REGEX finds) at every SIMD level\n"
    "up to the level in force (PIXELOPS_SIMD caps it), the levels taking turns call by\n"
    "call in this process, after checking that each level writes the same bytes as\n"
    "scalar. Prints the rows where a higher level is slower than a lower one by more\n"
    "than PERCENT (default 5) in the median of the per-trial ratios, with Mpix/s per\n"
    "level (--all: every row). N trials (default 5) of about MS milliseconds (default\n"
    "25) per row. Pinned to one processor (the one it starts on, or N).\n"
    "Exit status 1 where some level's bytes differ.\n";

struct Options {
  std::regex filter{""};
  int32_t trials = 5;
  double threshold = 0.05;
  double trialSeconds = 0.025;
  bool all = false;
  int32_t cpu = -1;
};

bool Value(std::string_view arg, std::string_view name, std::string* value) {
  if (arg.substr(0, name.size()) != name || arg.size() <= name.size() || arg[name.size()] != '=')
    return false;
  *value = std::string(arg.substr(name.size() + 1));
  return true;
}

// Reads the options; false where the sweep is not to run (exit status in
// *status: 0 after --help, 2 after a wrong option).
bool ParseArgs(int argc, char** argv, Options* o, int* status) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    std::string v;
    bool ok = true;
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      *status = 0;
      return false;
    }
    if (a == "--all") {
      o->all = true;
    } else if (Value(a, "--filter", &v)) {
      try {
        o->filter = std::regex(v);
      } catch (const std::regex_error&) {
        ok = false;
      }
    } else if (Value(a, "--trials", &v)) {
      o->trials = std::max(1, std::atoi(v.c_str()));
    } else if (Value(a, "--threshold", &v)) {
      o->threshold = std::max(0.0, std::atof(v.c_str()) / 100);
    } else if (Value(a, "--trial-ms", &v)) {
      o->trialSeconds = std::max(1.0, std::atof(v.c_str())) / 1000;
    } else if (Value(a, "--cpu", &v)) {
      o->cpu = std::atoi(v.c_str());
    } else {
      ok = false;
    }
    if (!ok) {
      std::fputs(kUsage, stderr);
      *status = 2;
      return false;
    }
  }
  return true;
}

using Clock = std::chrono::steady_clock;

double TimeCall(const Case& c) {
  if (c.reset) c.reset();
  const auto t0 = Clock::now();
  c.run();
  const auto t1 = Clock::now();
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(t1 - t0).count();
}

// Where level k's bytes first differ from scalar's after one call on a fresh
// case, or an empty string where every level agrees.
std::string CheckBytes(const Row& row, const std::vector<std::string_view>& levels) {
  std::vector<uint8_t> reference;
  for (size_t k = 0; k < levels.size(); ++k) {
    SetSimdLevel(levels[k]);
    const Case c = row.make();
    if (c.reset) c.reset();
    c.run();
    std::vector<uint8_t> bytes = c.written();
    if (k == 0) {
      reference = std::move(bytes);
      continue;
    }
    if (bytes == reference) continue;
    size_t at = 0;
    while (at < bytes.size() && at < reference.size() && bytes[at] == reference[at]) ++at;
    return std::string(levels[k]) + " differs from " + std::string(levels[0]) + " at byte " +
           std::to_string(at);
  }
  return {};
}

// Seconds per call of each level (medians over the trials), and for each pair
// of levels lo < hi the median over the trials of hi's time / lo's time.
struct Timing {
  std::vector<double> seconds;
  std::vector<std::vector<double>> ratio;  // ratio[hi][lo]
};

Timing TimeLevels(const Case& c, const std::vector<std::string_view>& levels, const Options& o) {
  const size_t n = levels.size();
  double once = 0;
  for (size_t k = 0; k < n; ++k) {
    SetSimdLevel(levels[k]);
    TimeCall(c);  // warm caches and the level's table
    once += std::min(TimeCall(c), TimeCall(c));
  }
  const auto calls =
      static_cast<int32_t>(std::clamp(std::ceil(o.trialSeconds / std::max(once, 1e-7)), 1.0, 100000.0));
  std::vector<std::vector<double>> trials(n);
  for (int32_t t = 0; t < o.trials; ++t) {
    std::vector<double> sum(n, 0.0);
    for (int32_t r = 0; r < calls; ++r) {
      for (size_t j = 0; j < n; ++j) {  // each round starts one level later
        const size_t k = (static_cast<size_t>(t) + static_cast<size_t>(r) + j) % n;
        SetSimdLevel(levels[k]);
        sum[k] += TimeCall(c);
      }
    }
    for (size_t k = 0; k < n; ++k) trials[k].push_back(sum[k] / calls);
  }
  Timing timing;
  timing.ratio.assign(n, std::vector<double>(n, 1.0));
  for (size_t hi = 0; hi < n; ++hi) {
    timing.seconds.push_back(Median(trials[hi]));
    for (size_t lo = 0; lo < hi; ++lo) {
      std::vector<double> r;
      for (int32_t t = 0; t < o.trials; ++t) r.push_back(trials[hi][t] / trials[lo][t]);
      timing.ratio[hi][lo] = Median(r);
    }
  }
  return timing;
}

// "avx2 0.71x sse4" for each level slower than a lower one beyond the
// threshold, against the lower level it trails most.
std::string Slower(const Timing& t, const std::vector<std::string_view>& levels, double threshold) {
  std::string out;
  for (size_t hi = 1; hi < levels.size(); ++hi) {
    size_t worst = 0;
    for (size_t lo = 1; lo < hi; ++lo)
      if (t.ratio[hi][lo] > t.ratio[hi][worst]) worst = lo;
    if (t.ratio[hi][worst] <= 1 + threshold) continue;
    char text[96];
    std::snprintf(text, sizeof(text), "%s%s %.2fx %s", out.empty() ? "" : "; ",
                  std::string(levels[hi]).c_str(), 1 / t.ratio[hi][worst],
                  std::string(levels[worst]).c_str());
    out += text;
  }
  return out;
}

int Sweep(int argc, char** argv) {
  Options o;
  int status = 0;
  if (!ParseArgs(argc, argv, &o, &status)) return status;
  const int32_t cpu = PinToOneCore(o.cpu);
  // The levels the processor runs, up to the one in force (PIXELOPS_SIMD).
  const std::string_view cap = SimdLevel();
  std::vector<std::string_view> levels;
  for (std::string_view level : SimdLevels()) {
    levels.push_back(level);
    if (level == cap) break;
  }
  if (cpu >= 0) std::printf("# Level sweep: pinned to CPU %d\n\n", cpu);
  else std::printf("# Level sweep: NOT pinned\n\n");
  std::printf(
      "- levels interleaved call by call; %d trials of about %.0f ms a row; Mpix/s from the\n"
      "  median time of each level; a row is listed where a higher level's time is more than\n"
      "  %.0f %% above a lower level's (median of the per-trial ratios); \"avx2 0.71x sse4\"\n"
      "  reads: avx2 runs at 0.71 of the speed of sse4\n\n",
      o.trials, o.trialSeconds * 1000, o.threshold * 100);
  std::string header = "| row |", rule = "|---|";
  for (std::string_view level : levels) {
    header.append(" ").append(level).append(" |");
    rule += "--:|";
  }
  std::printf("%s slower |\n%s---|\n", header.c_str(), rule.c_str());
  std::fflush(stdout);
  int32_t timed = 0;
  std::vector<std::string> slower, differing;
  for (const Row& row : Rows()) {
    if (!std::regex_search(row.name, o.filter)) continue;
    const std::string differs = CheckBytes(row, levels);
    if (!differs.empty()) {
      differing.push_back(row.name + ": " + differs);
      std::printf("| %s | bytes differ: %s |\n", row.name.c_str(), differs.c_str());
      std::fflush(stdout);
      continue;
    }
    const Case c = row.make();
    const Timing t = TimeLevels(c, levels, o);
    ++timed;
    const std::string note = Slower(t, levels, o.threshold);
    if (!note.empty()) slower.push_back(row.name + ": " + note);
    if (note.empty() && !o.all) continue;
    std::printf("| %s |", row.name.c_str());
    for (double s : t.seconds) std::printf(" %.0f |", static_cast<double>(c.pixels) / s / 1e6);
    std::printf(" %s |\n", note.c_str());
    std::fflush(stdout);
  }
  SetSimdLevel(cap);
  if (o.all && !slower.empty()) {
    std::printf("\nRows where a higher level is slower:\n\n");
    for (const std::string& s : slower) std::printf("- %s\n", s.c_str());
  }
  std::printf(
      "\n%d rows timed; %zu with a higher level slower beyond %.0f %%; %zu with bytes "
      "that differ between levels.\n",
      timed, slower.size(), o.threshold * 100, differing.size());
  return differing.empty() ? 0 : 1;
}

}  // namespace

}  // namespace bench

}  // namespace pixelops

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--level-sweep")
    return pixelops::bench::Sweep(argc - 1, argv + 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
