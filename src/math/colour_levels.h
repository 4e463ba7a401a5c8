// 8-bit colour level arithmetic as a framebuffer and texture unit do it, for
// code that paints on the CPU what GL would draw.
#pragma once

// x * y / 255 for levels 0..255, rounded to nearest: how blending and
// modulation multiply two 8-bit values.
inline int multiplyLevels(int x, int y) {
  const int p = x * y + 128;
  return (p + (p >> 8)) >> 8;
}

// v clamped to [0, 1] as GL clamps colours; NaN clamps to 0, so what is
// derived from it stays in range.
inline float clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }
