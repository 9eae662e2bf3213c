// The side-by-side benchmark of pixelops against pixman and SDL2: the shared
// harness (timed quantities, rows, the interleaved measurement) and the test
// pictures that every library draws from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <pixelops/pixelops.h>

namespace pixelops {

namespace peer {

inline constexpr int32_t kWidth = 800, kHeight = 600;

// Heap memory aligned to 64 bytes, zeroed.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
using Bytes = std::unique_ptr<uint8_t[], FreeDeleter>;
Bytes AllocateBytes(size_t n);

// One thing timed: reset runs before every repetition, untimed; run is timed.
// pixels is the number of destination pixels one run draws.
struct Quantity {
  std::string name;
  std::function<void()> reset;
  std::function<void()> run;
  double pixels = 0;
};

// A reset that puts a saved copy of n bytes back at dst.
std::function<void()> Restore(uint8_t* dst, const uint8_t* saved, size_t n);

// The yardstick: memcpy of n bytes into a buffer that is reset first, like
// every destination, counted as the given number of pixels.
Quantity MemcpyYardstick(size_t bytes, double pixels);

// A row of the peer table: this library against a peer (or against another
// operation of this library), with memcpy of the library's destination bytes.
struct PeerRow {
  std::string operation;
  std::string peer;
  Quantity library;
  Quantity other;
  Quantity memcpy;
  // Checks one application of each from the same start; empty when they agree
  // as expected, otherwise a note printed under the table.
  std::function<std::string()> check;
};

// A row of the library table: this library and memcpy only.
struct LibraryRow {
  std::string operation;
  std::string pair;
  int32_t dstBytes = 0;
  Quantity library;
  Quantity memcpy;
};

struct Options {
  bool quick = false;
  std::string filter;
  int32_t trials = 7;
  int32_t cpu = -1;
  bool peerTable = true;
  bool libraryTable = true;
};

// Per-quantity medians (seconds per run) of the interleaved trials, and the
// repetitions of each quantity's batch.
struct Medians {
  std::vector<double> seconds;
  std::vector<int32_t> repetitions;
};

// Runs each quantity twice untimed, fixes each one's repetitions so that its
// batch takes about batchSeconds, then takes `trials` trials: each times the
// batch of every quantity in turn (every repetition restored first, timed
// alone), starting one quantity later each trial.
Medians Measure(std::vector<const Quantity*> quantities, int32_t trials, double batchSeconds);

// The test pictures. Sprite tiles are discs with a soft edge and corners on
// the key colour (magenta), about 30 % key, 16 % partial alpha, 54 % opaque.
struct SpritePixel {
  uint32_t colour;  // 0x00BBGGRR
  uint32_t alpha;   // 0..255
  bool key;
};
SpritePixel SpriteAt(int32_t x, int32_t y, int32_t side);

inline constexpr uint32_t kKeyColour = 0x00FF00FF;
inline constexpr int32_t kTile = 100;  // 8 x 6 tiles fill 800 x 600

// w x h surface of the format tiled with side x side sprites, keyed on magenta.
std::unique_ptr<DDSurface> SpriteSurface(PixelFormat f, int32_t w, int32_t h, int32_t side);
// The 800 x 600 destination: an opaque gradient with a grid; alpha formats get
// the alphas of the sprite tiles shifted by half a tile (a mix of clear,
// partial and opaque, as a work image holding sprites has).
std::unique_ptr<DDSurface> Backdrop(PixelFormat f);

// The fractions of key, partial and opaque pixels of a side x side tile.
void SpriteMix(int32_t side, double* key, double* partial, double* opaque);

// The pixel bytes of a packed surface (pitch = width * bytes).
inline size_t SurfaceBytes(const DDSurface& s) {
  return static_cast<size_t>(s.Buffer().pitch) * s.Buffer().bounds.bottom;
}

// Rows are made one at a time (their surfaces take some megabytes each):
// the names first, for the filter, then make() builds the row.
template <class Row>
struct RowMaker {
  std::string operation;
  std::string detail;  // the peer, or the pair of formats
  std::function<Row()> make;
};

// Peer rows (pixman and SDL2) and the library's one-to-one rows.
std::vector<RowMaker<PeerRow>> PeerRows();
std::vector<RowMaker<LibraryRow>> LibraryRows();
// "pixman 0.42.2, SDL 2.26.5" as linked.
std::string PeerVersions();

// Channel comparison of two 800 x 600 destinations, both decoded to 8-bit RGB:
// the share of pixels whose channels all lie within tolerance of each other.
enum class Layout { Xrgb32, Rgb565Word2, Rgb565Word4 };
double AgreeingShare(const uint8_t* a, Layout la, const uint8_t* b, Layout lb, int32_t tolerance);

}  // namespace peer

}  // namespace pixelops
