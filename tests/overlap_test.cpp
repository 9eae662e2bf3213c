// Surfaces over one buffer: two surfaces (and a pattern) wrapped at random
// byte offsets and pitches, whole-pixel and straddling, every operation of the
// operation table on every pair it serves, plus stretched and clipped draws of
// each family of rules. Every level must draw the scalar level's bytes, and
// the scalar level those of the rule taken pixel by pixel in the walk's order
// (the model below); then the reported faults, one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <pixelops/dd_surface.h>
#include <pixelops/simd.h>

#include "graphics/pixel/alpha_from_mask.h"
#include "tests/kernel_check.h"
#include "tests/operation_table.h"

namespace pixelops {

namespace {

using F = PixelFormat;
// A draw of the destination from the source; pattern is the pattern the
// draw takes, where it takes one that lies in the buffer.
using P = const uint8_t*;
using Call = std::function<BlitResult(DDSurface& dst, DDSurface* src, P pattern)>;

struct Operation {
  std::string name;
  Call call;
  std::vector<FormatPair> served;
  bool patternInBuffer = false;
};
void PrintTo(const Operation& op, std::ostream* os) { *os << op.name; }

std::vector<Operation> Operations() {
  std::vector<Operation> out;
  for (const optable::Operation& op : optable::Operations()) {
    if (op.served.empty()) continue;
    const auto call = [call = op.call](DDSurface& d, DDSurface* s, P) { return call(d, s); };
    out.push_back({op.name, call, op.served});
  }
  // The walks' other paths for each family of rules: stretched, shrunk and
  // clipped, source rectangles, positions left of and above the destination.
  namespace fp = format_pairs;
  static const Rect kPart{1, 0, 7, 5}, kClip{1, 1, 9, 5};
  static const Size kGrown{13, 7}, kShrunk{4, 3};
  const auto add = [&](const char* name, auto set, Call call, bool pattern = false) {
    out.push_back({name, std::move(call), optable::Set(set), pattern});
  };
  add("Blt clipped", fp::kSameFormat,
      [](DDSurface& d, DDSurface* s, P) { return d.Blt(s, 2, -1, &kPart, nullptr, &kClip); });
  add("BltKeyed stretched clipped", fp::kSameFormat,
      [](DDSurface& d, DDSurface* s, P) { return d.BltKeyed(s, 0, 1, &kPart, &kGrown, &kClip); });
  add("BltAlpha shrunk", fp::kBlend,
      [](DDSurface& d, DDSurface* s, P) { return d.BltAlpha(s, 1, 0, 90, nullptr, &kShrunk, nullptr); });
  add("BltTranslucentKey stretched clipped", fp::kBlend, [](DDSurface& d, DDSurface* s, P) {
    return d.BltTranslucentKey(s, -1, 0, 90, &kPart, &kGrown, &kClip);
  });
  add("BltBlendKey stretched clipped", fp::kBlend,
      [](DDSurface& d, DDSurface* s, P) { return d.BltBlendKey(s, 0, 0, 160, 95, &kPart, &kGrown, &kClip); });
  add("BltAdd clipped", fp::kBlend,
      [](DDSurface& d, DDSurface* s, P) { return d.BltAdd(s, -1, 1, &kPart, nullptr, &kClip); });
  add("BltAddLevel stretched clipped", fp::kBlend,
      [](DDSurface& d, DDSurface* s, P) { return d.BltAddLevel(s, 0, -1, 100, &kPart, &kGrown, &kClip); });
  add("BltSubKey stretched", fp::kBlend,
      [](DDSurface& d, DDSurface* s, P) { return d.BltSubKey(s, 1, 0, nullptr, &kGrown, nullptr); });
  add("BltAlphaChannel stretched clipped", fp::kAlphaComposite,
      [](DDSurface& d, DDSurface* s, P) { return d.BltAlphaChannel(s, 0, 1, &kPart, &kGrown, &kClip); });
  add("BltColorKeepAlpha stretched", fp::kEqualAlpha,
      [](DDSurface& d, DDSurface* s, P) { return d.BltColorKeepAlpha(s, 1, 1, nullptr, &kGrown, nullptr); });
  add("AlphaFromMaskRamp stretched clipped", fp::kMaskOntoAlpha, [](DDSurface& d, DDSurface* s, P) {
    return d.AlphaFromMaskRamp(s, 40, 200, 10, 250, 0, 0, &kPart, &kGrown, &kClip);
  });
  add("BltPattern stretched clipped", fp::kPattern, [](DDSurface& d, DDSurface* s, P) {
    return d.BltPattern(s, 0, 0, optable::Pattern(), &kPart, &kGrown, &kClip);
  });
  // The pattern in the buffer, over the destination's pixels.
  add(
      "BltPattern in the buffer", fp::kPattern,
      [](DDSurface& d, DDSurface* s, P p) { return d.BltPattern(s, 1, 1, p, nullptr, nullptr, nullptr); },
      true);
  add(
      "BltPattern in the buffer stretched", fp::kPattern,
      [](DDSurface& d, DDSurface* s, P p) { return d.BltPattern(s, 0, 0, p, &kPart, &kGrown, nullptr); },
      true);
  return out;
}

// Where the surfaces (and the pattern) lie in the buffer.
struct Layout {
  F srcFormat, dstFormat;
  int32_t sw, sh, sp, dw, dh, dp;
  int64_t srcAt, dstAt, patternAt = -1;
  size_t bytes;
  bool self = false;  // one surface, drawn onto itself
  const char* kind;
};

int64_t Extent(int32_t w, int32_t h, int32_t pitch, F f) {
  return int64_t{pitch} * (h - 1) + int64_t{w} * BytesPerPixel(f);
}

std::string Describe(const Layout& l) {
  std::ostringstream os;
  os << PixelFormatName(l.srcFormat) << " onto " << PixelFormatName(l.dstFormat) << " (" << l.kind
     << "): source " << l.sw << "x" << l.sh << " pitch " << l.sp << " at " << l.srcAt << ", destination "
     << l.dw << "x" << l.dh << " pitch " << l.dp << " at " << l.dstAt;
  if (l.patternAt >= 0) os << ", pattern at " << l.patternAt;
  return os.str();
}

// A layout of a pair, by turn: 0 one surface onto itself (equal formats;
// else as 1), 1 offsets and pitches of whole pixels (pixels of different
// sizes still straddle), 2 of any bytes (pixels that straddle). Half the
// time, and always in the wide layouts (rows past a few vectors, so that the
// kernels run whole steps on rows that overlap), the destination's second row
// and column lie near the source's first pixel, so that rows overlap a few
// bytes apart.
Layout MakeLayout(F sf, F df, int32_t turn, bool wide, bool pattern, std::mt19937& rng) {
  const auto pick = [&](int32_t lo, int32_t hi) {
    return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
  };
  const int32_t sb = BytesPerPixel(sf), db = BytesPerPixel(df);
  Layout l{sf, df, pick(8, 12), pick(6, 7), 0, pick(4, 12), pick(3, 7), 0, 0, 0, -1, 0, false, ""};
  if (wide) {
    l.sw = pick(40, 72);
    l.dw = pick(40, 72);
    l.sh = 6;
    l.dh = pick(2, 3);
  }
  const int32_t kind = sf == df || turn != 0 ? turn : 1;
  const int32_t unit = std::max(sb, db) % std::min(sb, db) == 0 ? std::max(sb, db) : sb * db;
  int64_t offset = 0;  // destination minus source
  if (kind == 0) {
    l.kind = "onto itself";
    l.self = true;
    l.dw = l.sw;
    l.dh = l.sh;
    l.sp = l.dp = l.sw * sb + sb * pick(0, 2);
  } else {
    const bool whole = kind == 1;
    l.kind = whole ? "whole pixels" : "straddling";
    const auto pitch = [&](int32_t w, int32_t b) {
      const int32_t row = w * b;
      return whole ? (row + unit - 1) / unit * unit + unit * pick(0, 2) : row + pick(0, 7);
    };
    l.sp = pitch(l.sw, sb);
    l.dp = pitch(l.dw, db);
    if (wide && sb == db && rng() % 2) l.dp = l.sp = std::max(l.sp, l.dp);
    const int64_t srcBytes = Extent(l.sw, l.sh, l.sp, sf), dstBytes = Extent(l.dw, l.dh, l.dp, df);
    if (wide || rng() % 2) {
      offset = -(l.dp + db) + pick(-2 * unit, 2 * unit) + (wide ? 0 : pick(-1, 1) * l.sp);
    } else {
      offset = pick(static_cast<int32_t>(1 - dstBytes), static_cast<int32_t>(srcBytes - 1));
    }
    if (whole) offset -= ((offset % unit) + unit) % unit;
    else if (unit > 1 && offset % unit == 0) offset += pick(1, unit - 1);
  }
  constexpr int64_t kMargin = 8;
  l.srcAt = kMargin + std::max<int64_t>(0, -offset);
  l.dstAt = l.srcAt + offset;
  const int64_t dstBytes = Extent(l.dw, l.dh, l.dp, df);
  int64_t end = std::max(l.srcAt + Extent(l.sw, l.sh, l.sp, sf), l.dstAt + dstBytes);
  if (pattern) {
    l.patternAt = std::max<int64_t>(0, l.dstAt + pick(-255, static_cast<int32_t>(dstBytes - 1)));
    end = std::max(end, l.patternAt + 256);
  }
  l.bytes = static_cast<size_t>(end + kMargin);
  return l;
}

// A buffer with the layout's surfaces wrapped over it.
struct Wrapped {
  std::unique_ptr<DDSurface> src, dst;
  DDSurface& Dst() { return dst ? *dst : *src; }
};

constexpr uint32_t kKeyColour = 0x00345678;

Wrapped WrapOver(const Layout& l, std::vector<uint8_t>& buffer, bool apart = false) {
  Wrapped w;
  w.src = DDSurface::Wrap(buffer.data() + l.srcAt, l.sw, l.sh, l.srcFormat, l.sp);
  if (!l.self || apart) {
    w.dst = DDSurface::Wrap(buffer.data() + l.dstAt, l.dw, l.dh, l.dstFormat, l.dp);
  }
  w.src->SetColorKey(kKeyColour);
  return w;
}

// Random bytes, a quarter of the source's pixels the key, one byte in eight an
// alpha's end (0 or 255).
std::vector<uint8_t> Fill(const Layout& l, std::mt19937& rng) {
  std::vector<uint8_t> b(l.bytes);
  for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
  for (uint8_t& x : b)
    if (rng() % 8 == 0) x = rng() % 2 ? 255 : 0;
  std::vector<uint8_t> scratch = b;
  const uint32_t key = WrapOver(l, scratch).src->GetColorKey();
  const int32_t sb = BytesPerPixel(l.srcFormat);
  for (int32_t y = 0; y < l.sh; ++y)
    for (int32_t x = 0; x < l.sw; ++x)
      if (rng() % 4 == 0) std::memcpy(&b[l.srcAt + int64_t{y} * l.sp + x * sb], &key, sb);
  return b;
}

const uint8_t* PatternIn(const Layout& l, std::vector<uint8_t>& buffer) {
  return l.patternAt >= 0 ? buffer.data() + l.patternAt : nullptr;
}

std::vector<uint8_t> Draw(const Operation& op, const Layout& l, std::vector<uint8_t> buffer,
                          BlitResult* result) {
  Wrapped w = WrapOver(l, buffer);
  *result = op.call(w.Dst(), w.src.get(), PatternIn(l, buffer));
  return buffer;
}

// The rule pixel by pixel: for each destination pixel in the walk's order
// (rows down, pixels left to right), the operation drawn with a copy of the
// buffer as it is then for the source (and pattern) and another for the
// destination, and that pixel's bytes taken from it. A drawn pixel changes
// what later pixels read only where it lies in the source's or the pattern's
// memory; only then is the draw made again.
std::vector<uint8_t> Model(const Operation& op, const Layout& l, std::vector<uint8_t> now) {
  const int32_t db = BytesPerPixel(l.dstFormat);
  const int64_t srcEnd = l.srcAt + Extent(l.sw, l.sh, l.sp, l.srcFormat);
  std::vector<uint8_t> from, onto;
  const auto draw = [&] {
    from = now;
    onto = now;
    Wrapped a = WrapOver(l, from), b = WrapOver(l, onto, true);
    op.call(*b.dst, a.src.get(), PatternIn(l, from));
  };
  draw();
  for (int32_t y = 0; y < l.dh; ++y) {
    for (int32_t x = 0; x < l.dw; ++x) {
      const int64_t at = l.dstAt + int64_t{y} * l.dp + int64_t{x} * db;
      if (std::equal(onto.begin() + at, onto.begin() + at + db, now.begin() + at)) continue;
      std::copy(onto.begin() + at, onto.begin() + at + db, now.begin() + at);
      const bool read = (at < srcEnd && l.srcAt < at + db) ||
                        (l.patternAt >= 0 && at < l.patternAt + 256 && l.patternAt < at + db);
      if (read) draw();
    }
  }
  return now;
}

size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
}

// Layouts per pair, the last of them wide.
constexpr int32_t kLayoutsPerPair = 10, kWideLayouts = 4;

class OverlapTest : public ::testing::TestWithParam<Operation> {};

TEST_P(OverlapTest, EveryLevelDrawsTheRulePixelByPixel) {
  const Operation& op = GetParam();
  std::mt19937 rng(static_cast<uint32_t>(std::hash<std::string>{}(op.name)));
  std::vector<Layout> layouts;
  std::vector<std::vector<uint8_t>> initial, scalar;
  std::vector<BlitResult> results;
  for (const FormatPair& pair : op.served) {
    for (int32_t i = 0; i < kLayoutsPerPair; ++i) {
      // Kinds by turns; the wide layouts after the first straddle.
      const int32_t firstWide = kLayoutsPerPair - kWideLayouts;
      const int32_t turn = i < firstWide ? i % 3 : i == firstWide ? 0 : 2;
      const bool wide = i >= firstWide;
      layouts.push_back(MakeLayout(pair.src, pair.dst, turn, wide, op.patternInBuffer, rng));
      initial.push_back(Fill(layouts.back(), rng));
    }
  }
  // Counts of wrong draws by what they were compared with, and the first few.
  std::map<std::string, int32_t> wrong;
  int32_t shown = 0;
  const auto report = [&](const std::string& what, size_t c, const std::vector<uint8_t>& got,
                          const std::vector<uint8_t>& want) {
    ++wrong[what + ", " + layouts[c].kind];
    if (++shown > 4) return;
    const size_t at = FirstDifference(got, want);
    ADD_FAILURE() << what << ": " << Describe(layouts[c]) << ": byte " << at << " is " << int{got[at]}
                  << ", not " << int{want[at]};
  };
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    for (size_t c = 0; c < layouts.size(); ++c) {
      BlitResult r;
      std::vector<uint8_t> got = Draw(op, layouts[c], initial[c], &r);
      if (level == "scalar") {
        const std::vector<uint8_t> model = Model(op, layouts[c], initial[c]);
        if (got != model) report("scalar against the pixel-by-pixel rule", c, got, model);
        scalar.push_back(std::move(got));
        results.push_back(r);
      } else {
        EXPECT_EQ(r, results[c]) << level << ": " << Describe(layouts[c]);
        if (got != scalar[c]) report(std::string(level) + " against scalar", c, got, scalar[c]);
      }
    }
  }
  for (const auto& [what, n] : wrong) {
    ADD_FAILURE() << op.name << ": " << n << " of " << layouts.size() << " draws wrong, " << what;
  }
}

std::string TestName(const ::testing::TestParamInfo<Operation>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Wraps, OverlapTest, ::testing::ValuesIn(Operations()), TestName);

// The reported faults, each as it was found.

// Every level draws want, from buffer as it is, with draw.
template <class Draw>
void ExpectAtEveryLevel(std::vector<uint8_t>& buffer, const std::vector<uint8_t>& want, const Draw& draw) {
  const std::vector<uint8_t> before = buffer;
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    buffer = before;
    ASSERT_EQ(draw(), kBlitDone) << level;
    if (buffer == want) continue;
    const size_t at = FirstDifference(buffer, want);
    const int wrong = std::inner_product(buffer.begin(), buffer.end(), want.begin(), 0, std::plus<>(),
                                         std::not_equal_to<>());
    ADD_FAILURE() << level << ": " << wrong << " bytes wrong, the first " << at << ": " << int{buffer[at]}
                  << ", not " << int{want[at]};
  }
}

// An own Rgb565 (and Rgb555) row added (subtracted) onto itself one pixel
// right: each pixel takes the one before it as that one was drawn.
TEST(OverlapFaults, Word16RowOntoItselfOnePixelRight) {
  std::vector<uint8_t> bytes(16), want(16);
  for (int i = 0; i < 8; ++i) {
    bytes[2 * i] = 1;                           // blue 1
    want[2 * i] = static_cast<uint8_t>(i + 1);  // blue 1 2 3 ... 8
  }
  auto own = DDSurface::Make(8, 1, F::Rgb565, DDSurface::Memory::Own);
  ASSERT_TRUE(own);
  const Rect first7{0, 0, 7, 1};
  for (std::string_view level : SimdLevels()) {
    test::ScopedSimdLevel scoped(level);
    uint8_t* p = own->Buffer().pixels;
    std::memcpy(p, bytes.data(), 16);
    ASSERT_EQ(own->BltAdd(own.get(), 1, 0, &first7, nullptr, nullptr), kBlitDone);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 16), want) << level;
  }
  // Rgb555 subtracted: white, then each pixel white minus the one before.
  std::vector<uint8_t> buffer(16);
  auto row = DDSurface::Wrap(buffer.data(), 8, 1, F::Rgb555, 16);
  for (int i = 0; i < 8; ++i) buffer[2 * i + 1] = 0x7F, buffer[2 * i] = 0xFF;
  std::vector<uint8_t> sub = buffer;
  for (int i = 1; i < 8; ++i) {
    const bool white = i % 2 == 0;
    sub[2 * i] = white ? 0xFF : 0;
    sub[2 * i + 1] = white ? 0x7F : 0;
  }
  ExpectAtEveryLevel(buffer, sub, [&] { return row->BltSub(row.get(), 1, 0, &first7, nullptr, nullptr); });
}

// A Bgra32 mask whose blue bytes are the alpha bytes of a Bgra32 destination
// wrapped three bytes before it: each blue byte b becomes ramp[b], once.
TEST(OverlapFaults, MaskWhoseBlueIsTheDestinationsAlpha) {
  constexpr int32_t kWidth = 40;
  std::vector<uint8_t> buffer(kWidth * 4 + 8);
  std::mt19937 rng(22);
  for (uint8_t& b : buffer) b = static_cast<uint8_t>(rng());
  auto mask = DDSurface::Wrap(buffer.data() + 4, kWidth, 1, F::Bgra32, kWidth * 4);
  auto dst = DDSurface::Wrap(buffer.data() + 1, kWidth, 1, F::Bgra32, kWidth * 4);
  uint8_t ramp[256];
  BuildRampTable(ramp, 64, 192, 0, 255);
  std::vector<uint8_t> want = buffer;
  for (int32_t x = 0; x < kWidth; ++x) want[4 + 4 * x] = ramp[buffer[4 + 4 * x]];
  ExpectAtEveryLevel(buffer, want, [&] {
    return dst->AlphaFromMaskRamp(mask.get(), 64, 192, 0, 255, 0, 0, nullptr, nullptr, nullptr);
  });
}

// Fixed layouts, each drawn at every level as the rule draws it pixel by
// pixel: straddling pixels, destination before or after the source (the
// rules wrote a channel before they read the source bytes under it, where the
// vector levels read first), a straddling polygon
// (the texel copy was a memcpy over overlapping bytes), and a pattern over the
// destination's own pixels (the pattern kernel read ahead of the pixels that
// rewrite it).
TEST(OverlapFaults, FixedLayoutsDrawTheRulePixelByPixel) {
  const struct {
    Operation op;
    F sf, df;
    int64_t offset;  // destination minus source
    int32_t width;
  } draws[] = {
      {{"BltAlpha", [](DDSurface& d, DDSurface* s, P) { return d.BltAlpha(s, 0, 0, 100); }, {}},
       F::Bgrx32,
       F::Bgrx32,
       -1,
       40},
      {{"BltAlphaChannel", [](DDSurface& d, DDSurface* s, P) { return d.BltAlphaChannel(s, 0, 0); }, {}},
       F::Bgra32,
       F::Bgra32,
       1,
       40},
      {{"BltTranslucentKey",
        [](DDSurface& d, DDSurface* s, P) { return d.BltTranslucentKey(s, 0, 0, 100); },
        {}},
       F::Bgra32,
       F::Bgr24,
       -2,
       40},
      {{"DrawPolygon",
        [](DDSurface& d, DDSurface* s, P) {
          return d.DrawPolygon(s, optable::kSrcQuad, optable::kDstQuad, nullptr, 0, 4);
        },
        {}},
       F::Rgb24,
       F::Rgb24,
       1,
       10},
      // The destination after the source; the pattern its second row.
      {{"BltPattern", [](DDSurface& d, DDSurface* s, P p) { return d.BltPattern(s, 0, 0, p); }, {}, true},
       F::Bgrx32,
       F::Bgrx32,
       4 * 40 * 7,
       40},
  };
  std::mt19937 rng(22);
  for (const auto& draw : draws) {
    const int32_t pitch = draw.width * BytesPerPixel(draw.sf);
    Layout l{draw.sf, draw.df, draw.width,      7,  pitch, draw.width, 7,
             pitch,   8,       8 + draw.offset, -1, 0,     false,      "fixed"};
    const int64_t end = std::max(l.srcAt + Extent(l.sw, l.sh, l.sp, l.srcFormat),
                                 l.dstAt + Extent(l.dw, l.dh, l.dp, l.dstFormat));
    if (draw.op.patternInBuffer) l.patternAt = l.dstAt + 4 * draw.width;  // the second row
    l.bytes = static_cast<size_t>(end + 8);
    std::vector<uint8_t> buffer = Fill(l, rng);
    SCOPED_TRACE(draw.op.name);
    ExpectAtEveryLevel(buffer, Model(draw.op, l, buffer), [&] {
      Wrapped w = WrapOver(l, buffer);
      return draw.op.call(w.Dst(), w.src.get(), PatternIn(l, buffer));
    });
  }
  // A 24-bit copy one byte right: each pixel takes its first byte from the
  // pixel copied before it, its other two as they were.
  std::vector<uint8_t> buffer(16);
  for (int i = 0; i < 16; ++i) buffer[i] = static_cast<uint8_t>(10 + i);
  auto src = DDSurface::Wrap(buffer.data(), 5, 1, F::Rgb24, 15);
  auto dst = DDSurface::Wrap(buffer.data() + 1, 5, 1, F::Rgb24, 15);
  std::vector<uint8_t> want = buffer;
  for (int i = 0; i < 5; ++i) {
    uint8_t pixel[3];
    std::memcpy(pixel, &want[3 * i], 3);
    std::memcpy(&want[3 * i + 1], pixel, 3);
  }
  ExpectAtEveryLevel(buffer, want, [&] { return dst->Blt(src.get(), 0, 0); });
}

}  // namespace

}  // namespace pixelops
