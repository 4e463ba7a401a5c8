// The feedback buffer's four-tap blur pass on the CPU: each texel becomes the
// sum of four bilinear samples at (+-spreadS, +-spreadT) around it, each
// weighed by tapWeight, on a picture that repeats at its edges. Drawn as a
// 1:1 band quad this costs a software rasteriser sixteen texel reads per
// pixel; the four taps share one offset pattern, so the sum is a separable
// 4 x 4 kernel: eight multiply-adds per channel.
#pragma once

#include <cstdint>

// src and dst hold width x height RGBA bytes and must not overlap. Spreads are
// in texture coordinates (fractions of the picture); results round to the
// nearest level and saturate at 255, as an 8-bit framebuffer stores them.
// Threads may blur at once.
void blurRepeatingPicture(const uint8_t* src, uint8_t* dst, int width, int height,
                          float spreadS, float spreadT, float tapWeight);
