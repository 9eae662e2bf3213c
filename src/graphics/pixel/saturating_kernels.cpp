// Row kernels of the additive and subtractive blits (plain, keyed, levelled,
// levelled and keyed), compiled for every vector target of the build (see
// row_kernels.h).
//
// Each kernel is a block of pixels (one or a few vectors) that gives exactly
// the bytes of its rule in saturating_rules.h; Run walks a row in whole
// blocks by the aligned walk of kernel_rows-inl.h.
// The table look-ups of the rules become arithmetic in lanes by the exact
// identities of exact_arithmetic-inl.h (Div255, Div15, FixedMultiplier),
// proved equal to the tables over their whole domains by
// tests/exact_arithmetic_test.cpp; tests/saturating_kernel_test.cpp checks
// every kernel against its rule. Keyed
// kernels compare whole vectors of source pixels with the key and keep the
// destination where they match.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel/saturating_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

#include "graphics/pixel/blend_arithmetic-inl.h"
#include "graphics/pixel/formats.h"
#include "graphics/pixel/kernel_rows-inl.h"
#include "graphics/pixel/row_kernels.h"
#include "graphics/pixel/saturating.h"

HWY_BEFORE_NAMESPACE();
namespace pixelops::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
PIXELOPS_NO_KERNELS(Saturating)
#else
namespace {

// RowArgs: level the level of the levelled forms (0..254: a level of 255 runs
// the unlevelled form), key the source's colour key. Every kernel is a block
// of rows::RunBlocks.

template <class K>
constexpr RowFn Run = &rows::RunBlocks<K, RowArgs>;

// ---- Lane arithmetic ----

// floor(a x c / 255) in every byte lane.
HWY_INLINE V8 Product(V8 a, V8 c) {
  const D8 d8;
  return blend::ProductBytes(d8, blend::ByteWeight{}, a, c);
}

// The colour word s (C's layout) taken apart into channels, which are scaled
// (kFifteenths: c x w / 15 at levels w <= 15 in each lane, else P[level] of c
// through the multiplier w) and put to their fields of the colour word d by
// Field (the saturating word forms, field by field). kKeepTop keeps Rgb555
// bit 15 of d, else it becomes 0.
//
// kPreScaled (with kFifteenths): each source channel is first taken through
// P[level] by the multiplier m: (c x m) >> 16 of the channel c moved to bit 0
// is the widened scaling of its field (level_scaling.h).
template <class A, class C, bool kFifteenths, bool kKeepTop, bool kPreScaled = false, class D>
HWY_INLINE hn::Vec<D> ScaledChannels(D t, hn::Vec<D> d, hn::Vec<D> s, hn::Vec<D> w,
                                     hn::Vec<D> m = hn::Zero(D())) {
  const auto m5 = hn::Set(t, 31), m6 = hn::Set(t, 63);
  hn::Vec<D> sr, sg;
  const auto sb = hn::And(s, m5), db = hn::And(d, m5);
  if constexpr (C::kIs565) {
    sr = hn::ShiftRight<11>(s);
    sg = hn::And(hn::ShiftRight<5>(s), m6);
  } else {
    sr = hn::And(hn::ShiftRight<10>(s), m5);
    sg = hn::And(hn::ShiftRight<5>(s), m5);
  }
  auto pb = sb;
  if constexpr (kPreScaled) {
    sr = hn::MulHigh(sr, m);
    sg = hn::MulHigh(sg, m);
    pb = hn::MulHigh(sb, m);
  }
  if constexpr (kFifteenths) {
    sr = exact::Div15(hn::Mul(sr, w));
    sg = exact::Div15(hn::Mul(sg, w));
  } else {
    sr = hn::MulHigh(sr, w);
    sg = hn::MulHigh(sg, w);
  }
  const auto scaledB = kFifteenths ? exact::Div15(hn::Mul(pb, w)) : hn::MulHigh(pb, w);
  // The destination's fields where they lie, each source channel moved to
  // its field (its low bits 0), so that no destination field is taken apart
  // and none joined again.
  const auto fr = hn::Set(t, C::kIs565 ? 0xF800 : 0x7C00), fg = hn::Set(t, C::kIs565 ? 0x07E0 : 0x03E0);
  hn::Vec<D> rr;
  if constexpr (C::kIs565) rr = A::TopField(d, hn::ShiftLeft<11>(sr), fr);
  else rr = A::Field(hn::And(d, fr), hn::ShiftLeft<10>(sr), fr);
  const auto rg = A::Field(hn::And(d, fg), hn::ShiftLeft<5>(sg), fg);
  const auto rb = A::Field(db, scaledB, m5);
  const auto joined = hn::Or(hn::Or(rr, rg), rb);
  if constexpr (!C::kIs565 && kKeepTop) return hn::Or(joined, hn::And(d, hn::Set(t, 0x8000)));
  else return joined;
}

// Arithmetic right shift of 16-bit lanes.
template <int kBits, class D>
HWY_INLINE hn::Vec<D> ShiftRightSigned16(D d, hn::Vec<D> v) {
  const hn::RebindToSigned<D> di;
  return hn::BitCast(d, hn::ShiftRight<kBits>(hn::BitCast(di, v)));
}

// The even 16-bit lanes of lo, then those of hi (ConcatEven). On 16-byte
// SSE4 vectors Highway masks both inputs and packs them, which makes the
// equal 16-bit alpha rows run behind SSSE3's byte shuffles; those are used
// there too.
template <class D>
HWY_INLINE hn::Vec<D> EvenWords(D t, hn::Vec<D> hi, hn::Vec<D> lo) {
#if HWY_TARGET == HWY_SSE4
  const hn::Repartition<uint8_t, D> d8;
  alignas(16) static constexpr uint8_t kEven[16] = {0, 1, 4, 5, 8, 9, 12, 13, 0, 1, 4, 5, 8, 9, 12, 13};
  const auto even = hn::BitCast(t, hn::Load(d8, kEven));
  return hn::ConcatLowerLower(t, hn::TableLookupBytes(hi, even), hn::TableLookupBytes(lo, even));
#else
  return hn::ConcatEven(t, hi, lo);
#endif
}

// The saturating arithmetic: Sat on colour bytes, Mod on byte lanes that run
// modulo 256, Word on colour words (the one-pixel word forms of saturating.h,
// step by step in 16-bit lanes, where they give the same low 16 bits).
struct Add {
  using Scalar = AddOp;
  // One field F of a word a lane, d and s within F: at most F.
  template <class V>
  static V Field(V d, V s, V f) {
    return hn::Min(hn::Add(d, s), f);
  }
  // The field F that ends at bit 15, d the whole word (s within F): the
  // bits below F add nothing to it, and an overflow saturates the lane, which
  // F cuts back to all ones.
  template <class V>
  static V TopField(V d, V s, V f) {
    return hn::And(hn::SaturatedAdd(d, s), f);
  }
  template <class V>
  static V Sat(V d, V s) {
    return hn::SaturatedAdd(d, s);
  }
  template <class V>
  static V Mod(V d, V s) {
    return hn::Add(d, s);
  }
  template <class C, class D>
  static hn::Vec<D> Word(D t, hn::Vec<D> d, hn::Vec<D> s) {
    if constexpr (C::kIs565) {  // AddSat565
      const auto h = hn::Add(hn::And(hn::ShiftRight<1>(hn::Xor(d, s)), hn::Set(t, 0x7BEF)), hn::And(d, s));
      const auto o = hn::And(h, hn::Set(t, 0x8410));
      const auto tt = ShiftRightSigned16<5>(t, hn::Add(o, hn::Set(t, 0x3DF0)));
      const auto m = hn::Xor(hn::Add(hn::And(tt, hn::Set(t, 0xFBFF)), hn::Set(t, 0x200)), hn::Set(t, 0x3EF));
      return hn::Or(hn::Add(hn::Sub(s, m), d), m);
    } else {  // AddSat555
      const auto c = hn::Add(hn::And(hn::Xor(d, s), hn::Set(t, 0x7BDE)), hn::ShiftLeft<1>(hn::And(d, s)));
      const auto o = hn::And(hn::ShiftRight<5>(c), hn::Set(t, 0x0421));
      const auto m = hn::Xor(hn::Add(o, hn::Set(t, 0x3DEF)), hn::Set(t, 0x3DEF));
      return hn::Or(hn::Add(hn::Sub(s, m), d), m);
    }
  }
};

struct Sub {
  using Scalar = SubOp;
  template <class V>
  static V Field(V d, V s, V) {
    return hn::SaturatedSub(d, s);
  }
  template <class V>
  static V TopField(V d, V s, V f) {
    return hn::SaturatedSub(hn::And(d, f), s);
  }
  template <class V>
  static V Sat(V d, V s) {
    return hn::SaturatedSub(d, s);
  }
  template <class V>
  static V Mod(V d, V s) {
    return hn::Sub(d, s);
  }
  template <class C, class D>
  static hn::Vec<D> Word(D t, hn::Vec<D> d, hn::Vec<D> s) {
    // n = NOT d as the scalar forms take it, written without a NOT: n ^ s =
    // NOT (d ^ s) and n & s = s AND NOT d, so that no lane op reads a
    // register it does not need (a compiled NOT may read its destination and
    // chain one block to the next).
    hn::Vec<D> m;
    const auto x = hn::Xor(d, s), ns = hn::AndNot(d, s);
    if constexpr (C::kIs565) {  // SubSat565
      const auto h = hn::Add(hn::AndNot(hn::ShiftRight<1>(x), hn::Set(t, 0x7BEF)), ns);
      const auto c = hn::And(h, hn::Set(t, 0x8410));
      const auto tt = ShiftRightSigned16<5>(t, hn::Add(c, hn::Set(t, 0x3DF0)));
      m = hn::Xor(hn::Add(hn::And(tt, hn::Set(t, 0xFBFF)), hn::Set(t, 0x200)), hn::Set(t, 0x3EF));
    } else {  // SubSat555
      const auto h = hn::Add(hn::AndNot(x, hn::Set(t, 0x7BDE)), hn::ShiftLeft<1>(ns));
      m = hn::Xor(hn::Add(hn::And(hn::ShiftRight<5>(h), hn::Set(t, 0x0421)), hn::Set(t, 0x3DEF)),
                  hn::Set(t, 0x3DEF));
    }
    return hn::Sub(hn::Or(d, m), hn::Or(s, m));
  }
};

// The colour words of the 16-bit alpha formats (AlphaColour): 555 without bit 15.
template <class A, class C, class D>
HWY_INLINE hn::Vec<D> AlphaColour(D t, hn::Vec<D> d, hn::Vec<D> s) {
  if constexpr (C::kIs565) return A::template Word<C>(t, d, s);
  else {
    const auto m = hn::Set(t, 0x7FFF);
    return A::template Word<C>(t, hn::And(d, m), hn::And(s, m));
  }
}

// The byte-3 lanes of a vector of 32-bit pixels.
HWY_INLINE hn::Mask<D8> Byte3Lanes() {
  const D8 d8;
  return hn::Eq(hn::And(hn::Iota(d8, 0), hn::Set(d8, 3)), hn::Set(d8, 3));
}

// ---- Saturating rules ----

// Equal Rgb565 / Rgb555 (Word16): one word a lane; scaled sources through the
// level's row (level >> 4) of fifteenths.
template <class A, bool kScaled, bool kKeyed, class C>
struct Words16 {
  static constexpr size_t kSrcBytes = 2, kDstBytes = 2, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D16()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D16 t;
    const V16 vs = rows::LoadU(t, s), vd = rows::LoadU(t, d);
    V16 r;
    if constexpr (kScaled) {
      // Row level >> 4 of the level table, then the word form by channels
      // (Rgb555 bit 15 stays: the scaled source has none).
      r = ScaledChannels<A, C, true, true>(t, vd, vs, hn::Set(t, static_cast<uint16_t>((a.level >> 4) & 15)));
    } else {
      r = A::template Word<C>(t, vd, vs);
    }
    if constexpr (kKeyed) r = hn::IfThenElse(hn::Eq(vs, hn::Set(t, static_cast<uint16_t>(a.key))), vd, r);
    rows::StoreU(r, t, d);
  }
};

// Equal Rgb565A / Rgb555A (AlphaWords): the colour words only, two
// vectors of pixels packed into one of colour words (their even 16-bit lanes,
// in order), so that the scaling runs once for both, and widened back; the
// alpha and pad bytes stay.
template <class A, bool kScaled, bool kKeyed, class C>
struct AlphaWords {
  static constexpr size_t kSrcBytes = 4, kDstBytes = 4, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D16()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D16 t;
    const D32 d32;
    const size_t n = hn::Lanes(D8());
    const V32 d0 = rows::LoadU(d32, d), d1 = rows::LoadU(d32, d + n);
    const V16 vs = EvenWords(t, rows::LoadU(t, s + n), rows::LoadU(t, s));
    const V16 vd = EvenWords(t, hn::BitCast(t, d1), hn::BitCast(t, d0));
    // P[level] of each channel, then the colour form by channels, or the
    // colour word form (Rgb555 bit 15 becomes 0 in both).
    V16 r;
    if constexpr (kScaled) {
      const V16 m = hn::Set(t, static_cast<uint16_t>(pixelops::exact::FixedMultiplier(a.level)));
      r = ScaledChannels<A, C, false, false>(t, vd, vs, m);
    } else {
      r = AlphaColour<A, C>(t, vd, vs);
    }
    if constexpr (kKeyed) r = hn::IfThenElse(hn::Eq(vs, hn::Set(t, static_cast<uint16_t>(a.key))), vd, r);
    const V32 upper = hn::Set(d32, 0xFFFF0000u);
    const hn::Half<D16> h;
    rows::StoreU(hn::Or(hn::PromoteTo(d32, hn::LowerHalf(h, r)), hn::And(d0, upper)), d32, d);
    rows::StoreU(hn::Or(hn::PromoteTo(d32, hn::UpperHalf(h, r)), hn::And(d1, upper)), d32, d + n);
  }
};

// Rgb565A / Rgb555A onto their colour format (AlphaLevelWord): the colour
// (scaled or not) times the source's alpha level / 15, then the word form.
// Two vectors of source pixels give one of colour words (their even 16-bit
// lanes) and one of alpha and pad bytes (their odd lanes).
template <class A, bool kScaled, bool kKeyed, class C>
struct AlphaLevelWords {
  static constexpr size_t kSrcBytes = 4, kDstBytes = 2, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D16()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D16 t;
    const V16 low = rows::LoadU(t, s), high = rows::LoadU(t, s + hn::Lanes(D8()));
    const V16 word = hn::ConcatEven(t, high, low);
    const V16 alpha = hn::And(hn::ConcatOdd(t, high, low), hn::Set(t, 15));
    const V16 vd = rows::LoadU(t, d);
    // Widened, scaled and narrowed (P[level] of each channel, taken apart),
    // then the source's colour times alpha / 15 (the level table), then the
    // word form by channels; Rgb555 bit 15 stays (the scaled source has none).
    const V16 m = hn::Set(t, static_cast<uint16_t>(kScaled ? pixelops::exact::FixedMultiplier(a.level) : 0));
    V16 r = ScaledChannels<A, C, true, true, kScaled>(t, vd, word, alpha, m);
    if constexpr (kKeyed) r = hn::IfThenElse(hn::Eq(word, hn::Set(t, static_cast<uint16_t>(a.key))), vd, r);
    rows::StoreU(r, t, d);
  }
};

// Equal 24-bit formats, unkeyed (Bytes): every byte is a channel, so the row
// goes as a run of bytes.
template <class A, bool kScaled>
struct ByteRun {
  static constexpr size_t kSrcBytes = 1, kDstBytes = 1, kUnitsPerPixel = 3;
  static size_t Units() { return hn::Lanes(D8()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D8 t;
    V8 sv = hn::LoadU(t, s);
    if constexpr (kScaled) {
      const V16 m = hn::Set(D16(), static_cast<uint16_t>(pixelops::exact::FixedMultiplier(a.level)));
      sv = exact::ProductBytes(t, m, sv);
    }
    hn::StoreU(A::Sat(hn::LoadU(t, d), sv), t, d);
  }
};

// Three-byte destinations by channel planes: equal 24-bit formats keyed
// (kAlphaSource false), and Bgra32 / Rgba32 onto them (AlphaBytes: weighted
// by the source's own alpha, or by the level alone when scaled). The key
// compares the source's three colour bytes.
template <class A, bool kScaled, bool kKeyed, bool kAlphaSource>
struct Planes24 {
  static constexpr size_t kSrcBytes = kAlphaSource ? 4 : 3, kDstBytes = 3, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D8()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D8 t;
    V8 s0, s1, s2, s3, d0, d1, d2;
    if constexpr (kAlphaSource) hn::LoadInterleaved4(t, s, s0, s1, s2, s3);
    else hn::LoadInterleaved3(t, s, s0, s1, s2);
    hn::LoadInterleaved3(t, d, d0, d1, d2);
    V8 w0 = s0, w1 = s1, w2 = s2;
    if constexpr (kScaled) {
      const V16 m = hn::Set(D16(), static_cast<uint16_t>(pixelops::exact::FixedMultiplier(a.level)));
      w0 = exact::ProductBytes(t, m, s0);
      w1 = exact::ProductBytes(t, m, s1);
      w2 = exact::ProductBytes(t, m, s2);
    } else if constexpr (kAlphaSource) {
      w0 = Product(s3, s0);
      w1 = Product(s3, s1);
      w2 = Product(s3, s2);
    }
    V8 r0 = A::Sat(d0, w0), r1 = A::Sat(d1, w1), r2 = A::Sat(d2, w2);
    if constexpr (kKeyed) {
      const auto key = hn::And(hn::And(hn::Eq(s0, hn::Set(t, static_cast<uint8_t>(a.key))),
                                       hn::Eq(s1, hn::Set(t, static_cast<uint8_t>(a.key >> 8)))),
                               hn::Eq(s2, hn::Set(t, static_cast<uint8_t>(a.key >> 16))));
      r0 = hn::IfThenElse(key, d0, r0);
      r1 = hn::IfThenElse(key, d1, r1);
      r2 = hn::IfThenElse(key, d2, r2);
    }
    hn::StoreInterleaved3(r0, r1, r2, t, d);
  }
};

// What byte 3 of a 32-bit destination becomes.
enum class Byte3Result {
  Mod,     // d3 + s3 / d3 - s3 modulo 256 (the source's byte 3 as the rule takes it)
  Opaque,  // 255
  Zero,    // 0
};

// Four-byte pixels onto four-byte pixels in byte lanes: equal Bgrx32 / Rgbx32
// (Bytes), equal Bgra32 / Rgba32 (OpaqueBytes), Bgra32 / Rgba32 onto Bgrx32 /
// Rgbx32 (AlphaBytes, RgbaOntoRgbx). The source's bytes 0-2 as they are,
// weighted by the level, or (kAlphaSource, unscaled) by the source's alpha; its
// byte 3 as it is where the rule adds it (Byte3Result::Mod), else 0.
template <class A, bool kScaled, bool kKeyed, bool kAlphaSource, Byte3Result kByte3>
struct Pixels32 {
  static constexpr size_t kSrcBytes = 4, kDstBytes = 4, kUnitsPerPixel = 1;
  static size_t Units() { return hn::Lanes(D32()); }
  static void Block(const uint8_t* s, uint8_t* d, const RowArgs& a) {
    const D8 t;
    const D32 d32;
    const V8 vs = hn::LoadU(t, s), vd = hn::LoadU(t, d);
    const V32 s32 = hn::BitCast(d32, vs);
    V8 sv = vs;
    // Bytes 0-2 weighted, byte 3 = 0.
    if constexpr (kScaled) {
      const V16 m = hn::Set(D16(), static_cast<uint16_t>(pixelops::exact::FixedMultiplier(a.level)));
      sv = hn::BitCast(t, hn::And(hn::BitCast(d32, exact::ProductBytes(t, m, vs)), hn::Set(d32, 0xFFFFFF)));
    } else if constexpr (kAlphaSource && kByte3 != Byte3Result::Opaque) {
      sv = exact::ProductBytesByByte3(t, vs);
    }
    const auto byte3 = Byte3Lanes();
    V8 newByte3;
    if constexpr (kByte3 == Byte3Result::Mod) newByte3 = A::Mod(vd, sv);
    else if constexpr (kByte3 == Byte3Result::Opaque) newByte3 = hn::Set(t, 0xFF);
    else newByte3 = hn::Zero(t);
    const V8 r = hn::IfThenElse(byte3, newByte3, A::Sat(vd, sv));
    if constexpr (kKeyed) {
      const uint32_t mask = kAlphaSource ? 0xFFFFFFu : 0xFFFFFFFFu;
      const auto key = hn::Eq(hn::And(s32, hn::Set(d32, mask)), hn::Set(d32, a.key & mask));
      rows::StoreU(hn::IfThenElse(key, hn::BitCast(d32, vd), hn::BitCast(d32, r)), d32, d);
    } else {
      hn::StoreU(r, t, d);
    }
  }
};

// ---- Registration ----

// The served pairs of one form of an operation, each with the kernel of its rule.
template <class A, bool kScaled, bool kKeyed>
void RegisterForm(KernelTable& t, Op op) {
  using F = PixelFormat;
  using C5 = px::Colour565;
  using C1 = px::Colour555;
  constexpr Byte3Result kRgbaOntoRgbxByte3 =
      A::Scalar::kRgbaOntoRgbxClearsX ? Byte3Result::Zero : Byte3Result::Mod;
  t.Set(op, F::Rgb565, F::Rgb565, Run<Words16<A, kScaled, kKeyed, C5> >);
  t.Set(op, F::Rgb555, F::Rgb555, Run<Words16<A, kScaled, kKeyed, C1> >);
  if constexpr (kKeyed) {
    t.Set(op, F::Bgr24, F::Bgr24, Run<Planes24<A, kScaled, true, false> >);
    t.Set(op, F::Rgb24, F::Rgb24, Run<Planes24<A, kScaled, true, false> >);
  } else {
    t.Set(op, F::Bgr24, F::Bgr24, Run<ByteRun<A, kScaled> >);
    t.Set(op, F::Rgb24, F::Rgb24, Run<ByteRun<A, kScaled> >);
  }
  t.Set(op, F::Bgrx32, F::Bgrx32, Run<Pixels32<A, kScaled, kKeyed, false, Byte3Result::Mod> >);
  t.Set(op, F::Rgbx32, F::Rgbx32, Run<Pixels32<A, kScaled, kKeyed, false, Byte3Result::Mod> >);
  t.Set(op, F::Rgb565A, F::Rgb565A, Run<AlphaWords<A, kScaled, kKeyed, C5> >);
  t.Set(op, F::Rgb555A, F::Rgb555A, Run<AlphaWords<A, kScaled, kKeyed, C1> >);
  t.Set(op, F::Bgra32, F::Bgra32, Run<Pixels32<A, kScaled, kKeyed, true, Byte3Result::Opaque> >);
  t.Set(op, F::Rgba32, F::Rgba32, Run<Pixels32<A, kScaled, kKeyed, true, Byte3Result::Opaque> >);
  t.Set(op, F::Rgb565A, F::Rgb565, Run<AlphaLevelWords<A, kScaled, kKeyed, C5> >);
  t.Set(op, F::Rgb555A, F::Rgb555, Run<AlphaLevelWords<A, kScaled, kKeyed, C1> >);
  t.Set(op, F::Bgra32, F::Bgr24, Run<Planes24<A, kScaled, kKeyed, true> >);
  t.Set(op, F::Rgba32, F::Rgb24, Run<Planes24<A, kScaled, kKeyed, true> >);
  t.Set(op, F::Bgra32, F::Bgrx32, Run<Pixels32<A, kScaled, kKeyed, true, Byte3Result::Mod> >);
  t.Set(op, F::Rgba32, F::Rgbx32, Run<Pixels32<A, kScaled, kKeyed, true, kRgbaOntoRgbxByte3> >);
}

void SetKernels(KernelTable& t) {
  RegisterForm<Add, false, false>(t, Op::Add);
  RegisterForm<Add, false, true>(t, Op::AddKeyed);
  RegisterForm<Add, true, false>(t, Op::AddLevel);
  RegisterForm<Add, true, true>(t, Op::AddLevelKeyed);
  RegisterForm<Sub, false, false>(t, Op::Sub);
  RegisterForm<Sub, false, true>(t, Op::SubKeyed);
  RegisterForm<Sub, true, false>(t, Op::SubLevel);
  RegisterForm<Sub, true, true>(t, Op::SubLevelKeyed);
}

}  // namespace
PIXELOPS_REGISTER_KERNELS(Saturating)
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace pixelops::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
PIXELOPS_EXPORT_KERNELS(Saturating)
#endif
