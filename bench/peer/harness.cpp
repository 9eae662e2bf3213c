// The interleaved measurement, the command line and the two Markdown tables.
//
//   pixelops_peer_bench [--quick] [--filter SUBSTRING] [--trials N] [--cpu N]
//                       [--peer-only | --library-only]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "../measure_support.h"
#include "peer_bench.h"

namespace pixelops {

namespace peer {

namespace {

volatile uint8_t gSink = 0;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double TimeOnce(const Quantity& q) {
  q.reset();
  const auto t0 = Clock::now();
  q.run();
  const auto t1 = Clock::now();
  return Seconds(t1 - t0);
}

}  // namespace

Bytes AllocateBytes(size_t n) {
  const size_t rounded = (n + 63) / 64 * 64;
  Bytes b(static_cast<uint8_t*>(std::aligned_alloc(64, rounded == 0 ? 64 : rounded)));
  if (b) std::memset(b.get(), 0, rounded == 0 ? 64 : rounded);
  return b;
}

std::function<void()> Restore(uint8_t* dst, const uint8_t* saved, size_t n) {
  return [dst, saved, n] { std::memcpy(dst, saved, n); };
}

Quantity MemcpyYardstick(size_t bytes, double pixels) {
  auto from = std::make_shared<Bytes>(AllocateBytes(bytes));
  auto to = std::make_shared<Bytes>(AllocateBytes(bytes));
  auto saved = std::make_shared<Bytes>(AllocateBytes(bytes));
  for (size_t i = 0; i < bytes; ++i) (*from)[i] = static_cast<uint8_t>(i * 7 + 3);
  Quantity q;
  q.name = "memcpy";
  q.reset = [to, saved, bytes] { std::memcpy(to->get(), saved->get(), bytes); };
  q.run = [from, to, bytes] {
    std::memcpy(to->get(), from->get(), bytes);
    gSink = (*to)[bytes - 1];
  };
  q.pixels = pixels;
  return q;
}

Medians Measure(std::vector<const Quantity*> quantities, int32_t trials, double batchSeconds) {
  const size_t n = quantities.size();
  for (const Quantity* q : quantities) {  // warm caches, first-use set-up (SDL maps, RLE)
    TimeOnce(*q);
    TimeOnce(*q);
  }
  Medians m;
  for (const Quantity* q : quantities) {
    const double once = std::min({TimeOnce(*q), TimeOnce(*q), TimeOnce(*q)});
    m.repetitions.push_back(
        static_cast<int32_t>(std::clamp(std::ceil(batchSeconds / std::max(once, 1e-7)), 1.0, 100000.0)));
  }
  std::vector<std::vector<double>> times(n);
  for (int32_t t = 0; t < trials; ++t) {
    for (size_t k = 0; k < n; ++k) {
      const size_t i = (static_cast<size_t>(t) + k) % n;
      double sum = 0;
      for (int32_t r = 0; r < m.repetitions[i]; ++r) sum += TimeOnce(*quantities[i]);
      times[i].push_back(sum / m.repetitions[i]);
    }
  }
  for (auto& v : times) m.seconds.push_back(bench::Median(v));
  return m;
}

namespace {

bool ParseArgs(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--quick") {
      o->quick = true;
    } else if (a == "--filter" && i + 1 < argc) {
      o->filter = argv[++i];
    } else if (a == "--trials" && i + 1 < argc) {
      o->trials = std::max(7, std::atoi(argv[++i]));
    } else if (a == "--cpu" && i + 1 < argc) {
      o->cpu = std::atoi(argv[++i]);
    } else if (a == "--peer-only") {
      o->libraryTable = false;
    } else if (a == "--library-only") {
      o->peerTable = false;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--quick] [--filter SUBSTRING] [--trials N>=7] [--cpu N]\n"
                   "          [--peer-only | --library-only]\n",
                   argv[0]);
      return false;
    }
  }
  return true;
}

bool Matches(const Options& o, const std::string& a, const std::string& b) {
  return o.filter.empty() || a.find(o.filter) != std::string::npos || b.find(o.filter) != std::string::npos;
}

// The largest power of two (up to 4096) that divides the address.
int32_t Alignment(const void* p) {
  const auto a = reinterpret_cast<uintptr_t>(p);
  int32_t n = 1;
  while (n < 4096 && (a & static_cast<uintptr_t>(n * 2 - 1)) == 0) n *= 2;
  return n;
}

double Mpix(const Quantity& q, double seconds) { return q.pixels / seconds / 1e6; }

void RunPeerTable(const Options& o) {
  const double batch = o.quick ? 0.010 : 0.050;
  std::vector<std::string> notes;
  std::printf("| operation | peer | library Mpix/s | peer Mpix/s | ratio | library / memcpy |\n");
  std::printf("|---|---|---:|---:|---:|---:|\n");
  for (const RowMaker<PeerRow>& maker : PeerRows()) {
    if (!Matches(o, maker.operation, maker.detail)) continue;
    PeerRow row = maker.make();
    row.operation = maker.operation;
    row.peer = maker.detail;
    const Medians m = Measure({&row.library, &row.other, &row.memcpy}, o.trials, batch);
    const double lib = Mpix(row.library, m.seconds[0]), other = Mpix(row.other, m.seconds[1]);
    const double yard = Mpix(row.memcpy, m.seconds[2]);
    std::printf("| %s | %s | %.0f | %.0f | %.2f | %.2f |\n", row.operation.c_str(), row.peer.c_str(), lib,
                other, lib / other, lib / yard);
    std::fflush(stdout);
    if (row.check) {
      const std::string note = row.check();
      if (!note.empty()) notes.push_back(row.operation + " / " + row.peer + ": " + note);
    }
  }
  if (!notes.empty()) {
    std::printf("\nOutput check, one application of each from the same start:\n\n");
    for (const std::string& n : notes) std::printf("- %s\n", n.c_str());
  }
  std::printf("\n");
}

void RunLibraryTable(const Options& o) {
  const double batch = o.quick ? 0.003 : 0.012;
  std::printf("| operation | pair | library Mpix/s | memcpy Mpix/s | library / memcpy | wanted |\n");
  std::printf("|---|---|---:|---:|---:|---|\n");
  int32_t met = 0, total = 0;
  for (const RowMaker<LibraryRow>& maker : LibraryRows()) {
    if (!Matches(o, maker.operation, maker.detail)) continue;
    LibraryRow row = maker.make();
    row.operation = maker.operation;
    row.pair = maker.detail;
    const Medians m = Measure({&row.library, &row.memcpy}, o.trials, batch);
    const double lib = Mpix(row.library, m.seconds[0]), yard = Mpix(row.memcpy, m.seconds[1]);
    const double wanted = row.dstBytes == 4 ? 0.5 : 0.3;
    const bool ok = lib / yard >= wanted;
    met += ok;
    ++total;
    std::printf("| %s | %s | %.0f | %.0f | %.2f | >= %.1f %s |\n", row.operation.c_str(), row.pair.c_str(),
                lib, yard, lib / yard, wanted, ok ? "met" : "not met");
    std::fflush(stdout);
  }
  std::printf("\n%d of %d rows at or above the wanted share of memcpy.\n\n", met, total);
}

}  // namespace

int Main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, &o)) return 2;
  const int32_t cpu = bench::PinToOneCore(o.cpu);
  double key, partial, opaque;
  SpriteMix(kTile, &key, &partial, &opaque);
  std::printf("# pixelops peer benchmark (%s)\n\n", PeerVersions().c_str());
  std::printf(
      "- %s; pixelops SIMD level %s; %d interleaved trials a row (library, peer, memcpy; the "
      "first rotating), per-quantity medians; batches of about %s ms (peer table) and %s ms "
      "(library table) per quantity%s\n",
      cpu >= 0 ? ("pinned to CPU " + std::to_string(cpu)).c_str() : "NOT pinned",
      std::string(SimdLevel()).c_str(), o.trials, o.quick ? "10" : "50", o.quick ? "3" : "12",
      o.quick ? " (--quick)" : "");
  std::printf(
      "- 800 x 600 destinations; sources tiled with %d x %d sprites: %.0f %% key (clear), "
      "%.0f %% partial alpha, %.0f %% opaque\n",
      kTile, kTile, key * 100, partial * 100, opaque * 100);
  std::printf(
      "- every timed repetition starts from the same destination (restored, untimed, before "
      "each one); Mpix/s are destination pixels (rotations: pixels the turned sprite covers)\n");
  std::printf(
      "- pixel memory: this library's surfaces as DDSurface::Make allocates them (here %d-byte "
      "aligned), the peers' and memcpy's buffers 64-byte aligned\n",
      Alignment(DDSurface::Make(kWidth, kHeight, PixelFormat::Bgrx32)->Buffer().pixels));
  std::printf(
      "- ratio = library Mpix/s / peer Mpix/s (higher: library faster); "
      "library / memcpy: against memcpy of the library's destination bytes\n\n");
  if (o.peerTable) RunPeerTable(o);
  if (o.libraryTable) RunLibraryTable(o);
  return 0;
}

}  // namespace peer

}  // namespace pixelops

int main(int argc, char** argv) { return pixelops::peer::Main(argc, argv); }
