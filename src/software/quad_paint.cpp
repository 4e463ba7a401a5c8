#include "software/quad_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "math/colour_levels.h"
#include "software/texel_sampler.h"

namespace {

// Nearest level of a non-negative value.
inline int level(float x) { return int(x + 0.5f); }

// One pixel: the texel added to the colour, stored as levels, weighed by the
// stored alpha as blending does, added to the sums.
inline void shade(const float a[6], const Sampler& s, uint16_t* sum) {
  int texel[4];
  s.sample(a[4], a[5], texel);
  const int alpha = level(a[3] * float(texel[3]));
  for (int c = 0; c < 3; ++c) {
    const float added = a[c] * 255.0f + float(texel[c]);
    const int stored = added < 255.0f ? level(added) : 255;
    sum[c] = uint16_t(sum[c] + ((stored * alpha * 257 + 32896) >> 16));
  }
}

}  // namespace

void paintQuads(const float* vertices, int quadCount, const TextureCopy& texture,
                PaintSums& sums) {
  if (texture.width <= 0 || texture.height <= 0 ||
      texture.rgba.size() < size_t(texture.width) * size_t(texture.height) * 4)
    return;
  const Sampler sampler(texture);
  for (int q = 0; q < quadCount; ++q) {
    const float* v = vertices + size_t(q) * 4 * kPaintVertexFloats;
    const float x0 = v[0], y0 = v[1];
    const float x1 = v[2 * kPaintVertexFloats], y1 = v[2 * kPaintVertexFloats + 1];
    if (!(x1 > x0) || !(y1 > y0)) continue;
    // Pixel centres inside the quad, clipped to the band.
    const int px0 = std::max(0, int(std::ceil(std::max(x0, -1.0f) - 0.5f)));
    const int px1 = std::min(kBandWidth, int(std::ceil(std::min(x1, 1e6f) - 0.5f)));
    const int py0 = std::max(0, int(std::ceil(std::max(y0, -1.0f) - 0.5f)));
    const int py1 = std::min(kBandHeight, int(std::ceil(std::min(y1, 1e6f) - 0.5f)));
    if (px0 >= px1 || py0 >= py1) continue;
    float a[4][6];
    for (int k = 0; k < 4; ++k) {
      const float* vk = v + k * kPaintVertexFloats;
      for (int c = 0; c < 4; ++c) a[k][c] = clamp01(vk[kPaintColour + c]);
      a[k][4] = vk[kPaintTexCoord];
      a[k][5] = vk[kPaintTexCoord + 1];
    }
    // GL splits the quad along the diagonal from its first corner to its
    // third: (v0, v1, v2) below it, (v0, v2, v3) above; each is a plane
    // through v0.
    const float w = x1 - x0, h = y1 - y0;
    float belowDx[6], belowDy[6], aboveDx[6], aboveDy[6];
    for (int k = 0; k < 6; ++k) {
      belowDx[k] = (a[1][k] - a[0][k]) / w;
      belowDy[k] = (a[2][k] - a[1][k]) / h;
      aboveDx[k] = (a[2][k] - a[3][k]) / w;
      aboveDy[k] = (a[3][k] - a[0][k]) / h;
    }
    for (int py = py0; py < py1; ++py) {
      const float ty = float(py) + 0.5f - y0;
      uint16_t* row = &sums.levels[size_t(py) * kBandWidth * 3];
      for (int px = px0; px < px1; ++px) {
        const float tx = float(px) + 0.5f - x0;
        const bool below = ty * w <= tx * h;
        const float* dx = below ? belowDx : aboveDx;
        const float* dy = below ? belowDy : aboveDy;
        float at[6];
        for (int k = 0; k < 6; ++k) at[k] = a[0][k] + dx[k] * tx + dy[k] * ty;
        shade(at, sampler, row + size_t(px) * 3);
      }
    }
  }
}

void settleSums(const PaintSums& sums, uint8_t* rgba) {
  const size_t pixels = size_t(kBandWidth) * kBandHeight;
  for (size_t p = 0; p < pixels; ++p) {
    for (int c = 0; c < 3; ++c)
      rgba[p * 4 + c] = uint8_t(std::min<int>(sums.levels[p * 3 + c], 255));
    rgba[p * 4 + 3] = 255;
  }
}
