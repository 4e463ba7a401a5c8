#include "noise.h"

#include <cmath>

uint32_t hashBits(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
  return x;
}

uint32_t hashCell(int x, int y, uint32_t seed) {
  return hashBits(uint32_t(x) * 0x8da6b343u ^ hashBits(uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu));
}

float hashUnit(int x, int y, uint32_t seed) { return float(hashCell(x, y, seed) >> 8) * (1.0f / 16777216.0f); }

uint32_t Rng::next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

float Rng::unit() { return float(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * unit(); }

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }

float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

float lerp(float a, float b, float t) { return a + (b - a) * t; }

float fract(float x) { return x - std::floor(x); }

namespace {

int wrap(int i, int period) {
  int r = i % period;
  return r < 0 ? r + period : r;
}

// Sixteen evenly spread unit gradients; a table keeps the result independent
// of the maths library's trigonometry.
struct Gradients {
  float x[16], y[16];
  Gradients() {
    static const float c[16] = {1.0f,       0.9238795f,  0.7071068f,  0.3826834f,
                                0.0f,       -0.3826834f, -0.7071068f, -0.9238795f,
                                -1.0f,      -0.9238795f, -0.7071068f, -0.3826834f,
                                0.0f,       0.3826834f,  0.7071068f,  0.9238795f};
    for (int i = 0; i < 16; ++i) {
      x[i] = c[i];
      y[i] = c[(i + 12) % 16];
    }
  }
};
const Gradients kGradients;

float corner(int ix, int iy, int px, int py, uint32_t seed, float dx, float dy) {
  uint32_t h = hashCell(wrap(ix, px), wrap(iy, py), seed) & 15u;
  return kGradients.x[h] * dx + kGradients.y[h] * dy;
}

float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float tileNoise(float u, float v, int freqX, int freqY, uint32_t seed) {
  const float x = u * float(freqX);
  const float y = v * float(freqY);
  const float fx0 = std::floor(x);
  const float fy0 = std::floor(y);
  const int x0 = int(fx0);
  const int y0 = int(fy0);
  const float dx = x - fx0;
  const float dy = y - fy0;
  const float n00 = corner(x0, y0, freqX, freqY, seed, dx, dy);
  const float n10 = corner(x0 + 1, y0, freqX, freqY, seed, dx - 1, dy);
  const float n01 = corner(x0, y0 + 1, freqX, freqY, seed, dx, dy - 1);
  const float n11 = corner(x0 + 1, y0 + 1, freqX, freqY, seed, dx - 1, dy - 1);
  const float sx = fade(dx);
  const float sy = fade(dy);
  return 1.4142f * lerp(lerp(n00, n10, sx), lerp(n01, n11, sx), sy);
}

float fbm(float u, float v, int freqX, int freqY, int octaves, float gain, uint32_t seed) {
  float sum = 0, amplitude = 1, total = 0;
  for (int k = 0; k < octaves; ++k) {
    sum += amplitude * tileNoise(u, v, freqX << k, freqY << k, seed + uint32_t(k) * 101u);
    total += amplitude;
    amplitude *= gain;
  }
  return sum / total;
}

float turbulence(float u, float v, int freqX, int freqY, int octaves, float gain, uint32_t seed) {
  float sum = 0, amplitude = 1, total = 0;
  for (int k = 0; k < octaves; ++k) {
    sum += amplitude * std::fabs(tileNoise(u, v, freqX << k, freqY << k, seed + uint32_t(k) * 101u));
    total += amplitude;
    amplitude *= gain;
  }
  return sum / total;
}

CellSample cellular(float u, float v, int cells, uint32_t seed) {
  const float x = u * float(cells);
  const float y = v * float(cells);
  const int cx = int(std::floor(x));
  const int cy = int(std::floor(y));
  CellSample s{1e9f, 1e9f, 0, 0, 0};
  for (int j = -1; j <= 1; ++j) {
    for (int i = -1; i <= 1; ++i) {
      const int wx = wrap(cx + i, cells);
      const int wy = wrap(cy + j, cells);
      const float px = float(cx + i) + hashUnit(wx, wy, seed);
      const float py = float(cy + j) + hashUnit(wx, wy, seed ^ 0x5bd1e995u);
      const float dx = x - px;
      const float dy = y - py;
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d < s.f1) {
        s.f2 = s.f1;
        s.f1 = d;
        s.id = hashCell(wx, wy, seed ^ 0x27d4eb2du);
        s.dx = dx;
        s.dy = dy;
      } else if (d < s.f2) {
        s.f2 = d;
      }
    }
  }
  return s;
}
