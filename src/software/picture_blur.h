// The feedback buffer's four-tap blur pass on the CPU: each texel becomes the
// sum of four bilinear samples at (+-spreadS, +-spreadT) around it, each
// weighed by tapWeight, on a picture that repeats at its edges. Drawn as a
// 1:1 band quad this costs a software rasteriser sixteen texel reads per
// pixel; the four taps share one offset pattern, so the sum is a separable
// 4 x 4 kernel: eight multiply-adds per channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// src and dst hold width x height RGBA bytes and must not overlap. Spreads are
// in texture coordinates (fractions of the picture); results round to the
// nearest level and saturate at 255, as an 8-bit framebuffer stores them.
// `row` is the caller's room for one filtered row (any contents); threads
// may blur at once, each with its own.
void blurRepeatingPicture(const uint8_t* src, uint8_t* dst, int width, int height,
                          float spreadS, float spreadT, float tapWeight, std::vector<float>& row);

// The columns the keyed blur's taps read at spread spreadS, wrapped: made
// once a pass, shared by every row.
void keyedTapColumns(int width, float spreadS, std::vector<int>& columns);

// The tinted blur's first pass, rows [rowBegin, rowEnd) of it: the same four
// taps of a picture whose own alpha weighs each tap (a keyed image), modulated
// by `tint`: each tap adds tint x colour x alpha x tapWeight. dst's alpha is
// 255, as the opaque frame a pass is copied from gives it. `columns` come
// from keyedTapColumns with the same width and spreadS.
void blurKeyedRows(const uint8_t* src, uint8_t* dst, int width, int height, int rowBegin,
                   int rowEnd, float spreadS, float spreadT, float tapWeight,
                   const float (&tint)[3], const std::vector<int>& columns);

// Modulates the colour of `pixels` RGBA pixels by `tint`, to the nearest level.
void tintPicture(uint8_t* rgba, size_t pixels, const float (&tint)[3]);
