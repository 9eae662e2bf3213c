// The pairs of formats (source onto destination) that the families of
// operations serve, for callers that want to know what an operation draws.
#pragma once

#include <pixelops/pixel_format.h>

namespace pixelops {

struct FormatPair {
  PixelFormat src;
  PixelFormat dst;
};

namespace format_pairs {

using F = PixelFormat;

// Alpha sources onto their own colour formats.
inline constexpr FormatPair kAlphaOntoColour[] = {
    {F::Rgb565A, F::Rgb565}, {F::Rgb555A, F::Rgb555}, {F::Bgra32, F::Bgr24},
    {F::Rgba32, F::Rgb24},   {F::Bgra32, F::Bgrx32},  {F::Rgba32, F::Rgbx32},
};

// The ten equal formats and the six alpha sources onto their colour formats:
// the translucent, two-level, additive and subtractive blits.
inline constexpr FormatPair kBlend[] = {
    {F::Rgb565, F::Rgb565},   {F::Rgb555, F::Rgb555},   {F::Bgr24, F::Bgr24},
    {F::Rgb24, F::Rgb24},     {F::Bgrx32, F::Bgrx32},   {F::Rgbx32, F::Rgbx32},
    {F::Rgb565A, F::Rgb565A}, {F::Rgb555A, F::Rgb555A}, {F::Bgra32, F::Bgra32},
    {F::Rgba32, F::Rgba32},   {F::Rgb565A, F::Rgb565},  {F::Rgb555A, F::Rgb555},
    {F::Bgra32, F::Bgr24},    {F::Rgba32, F::Rgb24},    {F::Bgra32, F::Bgrx32},
    {F::Rgba32, F::Rgbx32},
};

// The textured-polygon families: the sixteen above and colour sources onto the
// alpha formats.
inline constexpr FormatPair kPolygon[] = {
    {F::Rgb565, F::Rgb565},   {F::Rgb555, F::Rgb555},   {F::Bgr24, F::Bgr24},
    {F::Rgb24, F::Rgb24},     {F::Bgrx32, F::Bgrx32},   {F::Rgbx32, F::Rgbx32},
    {F::Rgb565A, F::Rgb565A}, {F::Rgb555A, F::Rgb555A}, {F::Bgra32, F::Bgra32},
    {F::Rgba32, F::Rgba32},   {F::Rgb565A, F::Rgb565},  {F::Rgb555A, F::Rgb555},
    {F::Bgra32, F::Bgr24},    {F::Rgba32, F::Rgb24},    {F::Bgra32, F::Bgrx32},
    {F::Rgba32, F::Rgbx32},   {F::Rgb565, F::Rgb565A},  {F::Rgb555, F::Rgb555A},
    {F::Bgr24, F::Bgra32},    {F::Rgb24, F::Bgra32},    {F::Bgrx32, F::Bgra32},
    {F::Rgbx32, F::Bgra32},   {F::Bgr24, F::Rgba32},    {F::Rgb24, F::Rgba32},
    {F::Bgrx32, F::Rgba32},   {F::Rgbx32, F::Rgba32},
};

}  // namespace format_pairs

}  // namespace pixelops
