// The pairs of formats (source onto destination) that the operations serve,
// as named sets made from the formats' descriptions. Each operation's table of
// routines is built from its set, and so are the lists that callers, tests and
// benchmarks walk: a pair is added to an operation in one place, here (a rule
// below, or one more line joined to its set, e.g.
// detail::Join(kPattern, std::array{FormatPair{PixelFormat::Rgb565A, PixelFormat::Rgb565A}})).
//
//   Blt, BltKeyed (DrawKeyed)                           kSameFormat
//   BltAlpha, BltTranslucentKey, BltBlend, BltBlendKey,
//     BltAdd*, BltSub* (every key and level form)       kBlend
//   BltAlphaOpacity (DrawAlphaOpacity, DrawAlphaLevel)  kAlphaOntoColour
//   BltAlphaChannel                                     kAlphaComposite
//   BltColorKeepAlpha                                   kEqualAlpha
//   BltPattern                                          kPattern
//   AlphaFromMaskRamp, AlphaFromMaskRect                kMaskOntoAlpha (mask onto destination)
//   DrawPolygon, DrawPolygonKeyed, FillTexturedQuad     kPolygon
//   Fade                                                kBlendedFormats (one format)
#pragma once

#include <array>
#include <cstddef>

#include <pixelops/pixel_format.h>

namespace pixelops {

struct FormatPair {
  PixelFormat src;
  PixelFormat dst;
  friend constexpr bool operator==(const FormatPair&, const FormatPair&) = default;
};

namespace format_pairs {

// Whether a pair belongs to a set, from the two formats' descriptions.
using PairTest = bool (*)(const FormatDescription& src, const FormatDescription& dst);

namespace detail {

constexpr bool IsColour(const FormatDescription& f) {
  return f.kind == FormatKind::Word16 || f.kind == FormatKind::Bytes24 || f.kind == FormatKind::Bytes32X;
}

template <PairTest Test>
constexpr size_t CountOf() {
  size_t n = 0;
  for (const FormatDescription& d : formats::kDescriptions)
    for (const FormatDescription& s : formats::kDescriptions) n += Test(s, d) ? 1 : 0;
  return n;
}

// The pairs that pass the test, by destination, then by source, in the order
// of the codes.
template <PairTest Test>
constexpr auto Select() {
  std::array<FormatPair, CountOf<Test>()> pairs{};
  size_t n = 0;
  for (const FormatDescription& d : formats::kDescriptions)
    for (const FormatDescription& s : formats::kDescriptions)
      if (Test(s, d)) pairs[n++] = FormatPair{s.code, d.code};
  return pairs;
}

template <size_t... N>
constexpr auto Join(const std::array<FormatPair, N>&... sets) {
  std::array<FormatPair, (N + ... + 0)> pairs{};
  size_t n = 0;
  (
      (void)[&] {
        for (const FormatPair& p : sets) pairs[n++] = p;
      }(),
      ...);
  return pairs;
}

constexpr bool SameFormat(const FormatDescription& s, const FormatDescription& d) { return s.code == d.code; }
constexpr bool EqualColour(const FormatDescription& s, const FormatDescription& d) {
  return s.code == d.code && IsColour(d);
}
constexpr bool EqualAlpha(const FormatDescription& s, const FormatDescription& d) {
  return s.code == d.code && d.HasAlpha();
}
// An alpha format onto a colour format whose alpha counterpart it is.
constexpr bool AlphaOntoColour(const FormatDescription& s, const FormatDescription& d) {
  return IsColour(d) && s.code == d.alphaCounterpart;
}
// A colour format onto its alpha counterpart.
constexpr bool ColourOntoOwnAlpha(const FormatDescription& s, const FormatDescription& d) {
  return IsColour(s) && d.code == s.alphaCounterpart;
}
// A colour word onto its alpha counterpart; a 24- or 32-bit colour format onto
// either 32-bit alpha format.
constexpr bool ColourOntoAlpha(const FormatDescription& s, const FormatDescription& d) {
  return IsColour(s) && (d.code == s.alphaCounterpart || (!s.IsWord() && d.kind == FormatKind::Bytes32Alpha));
}

}  // namespace detail

// Every format onto itself, Index8 included.
inline constexpr auto kSameFormat = detail::Select<&detail::SameFormat>();
// The six colour formats onto themselves.
inline constexpr auto kEqualColour = detail::Select<&detail::EqualColour>();
// The four alpha formats onto themselves.
inline constexpr auto kEqualAlpha = detail::Select<&detail::EqualAlpha>();
// The ten blended formats (all but Index8) onto themselves.
inline constexpr auto kEqualBlended = detail::Join(kEqualColour, kEqualAlpha);
// Alpha sources onto their own colour formats.
inline constexpr auto kAlphaOntoColour = detail::Select<&detail::AlphaOntoColour>();
// Colour formats onto their alpha counterparts.
inline constexpr auto kColourOntoOwnAlpha = detail::Select<&detail::ColourOntoOwnAlpha>();
// Colour sources onto the alpha formats that take them.
inline constexpr auto kColourOntoAlpha = detail::Select<&detail::ColourOntoAlpha>();

// The ten equal formats and the six alpha sources onto their colour formats:
// the translucent, two-level, additive and subtractive blits.
inline constexpr auto kBlend = detail::Join(kEqualBlended, kAlphaOntoColour);
// The textured-polygon families: the sixteen above and colour sources onto the
// alpha formats.
inline constexpr auto kPolygon = detail::Join(kBlend, kColourOntoAlpha);
// The pattern blit: colour destinations, from their own format or their alpha
// counterpart.
inline constexpr auto kPattern = detail::Join(kEqualColour, kAlphaOntoColour);
// The alpha-channel blit: alpha sources onto their colour formats and onto
// themselves.
inline constexpr auto kAlphaComposite = detail::Join(kAlphaOntoColour, kEqualAlpha);
// Alpha from a mask: the mask onto an alpha destination of the same format or
// of the mask's alpha counterpart.
inline constexpr auto kMaskOntoAlpha = detail::Join(kEqualAlpha, kColourOntoOwnAlpha);

// The formats that Fade darkens (all but Index8).
inline constexpr auto kBlendedFormats = [] {
  std::array<PixelFormat, kEqualBlended.size()> formats{};
  for (size_t i = 0; i < formats.size(); ++i) formats[i] = kEqualBlended[i].src;
  return formats;
}();

// Whether the set holds the pair.
template <size_t N>
constexpr bool Holds(const std::array<FormatPair, N>& set, PixelFormat src, PixelFormat dst) {
  for (const FormatPair& p : set)
    if (p.src == src && p.dst == dst) return true;
  return false;
}

static_assert(kSameFormat.size() == 11 && kBlend.size() == 16 && kPolygon.size() == 26 &&
              kPattern.size() == 12 && kAlphaComposite.size() == 10 && kMaskOntoAlpha.size() == 10 &&
              kAlphaOntoColour.size() == 6);

}  // namespace format_pairs

}  // namespace pixelops
