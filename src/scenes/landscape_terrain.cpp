#include "scenes/landscape_terrain.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// x * y / 255 for 8-bit levels, rounded, as modulation multiplies.
inline int multiplyLevels(int x, int y) {
  const int p = x * y + 128;
  return (p + (p >> 8)) >> 8;
}

inline int level(float v) {
  v = std::min(std::max(v, 0.0f), 1.0f);  // vertex colours are clamped
  return int(v * 255.0f + 0.5f);
}

// Texel-space position of texture coordinate c in 1/256 texel steps, texel
// centres on whole texels; non-finite coordinates read texel 0.
inline int64_t fixedTexel(float c, int size) {
  const double x = (double(c) * size - 0.5) * 256.0;
  if (!std::isfinite(x)) return 0;
  return int64_t(std::floor(std::min(std::max(x, -1e15), 1e15)));
}

inline int wrap(int64_t i, int size) {
  const int64_t m = i % size;
  return int(m < 0 ? m + size : m);
}

// Bilinear, repeating sample of channel values at (s, t), into rgb.
void sample(const TerrainTexture& texture, float s, float t, int rgb[3]) {
  const int64_t fx = fixedTexel(s, texture.width);
  const int64_t fy = fixedTexel(t, texture.height);
  const int wx = int(fx & 255), wy = int(fy & 255);
  const int x0 = wrap(fx >> 8, texture.width), x1 = wrap((fx >> 8) + 1, texture.width);
  const int y0 = wrap(fy >> 8, texture.height), y1 = wrap((fy >> 8) + 1, texture.height);
  const uint8_t* row0 = &texture.rgba[size_t(y0) * texture.width * 4];
  const uint8_t* row1 = &texture.rgba[size_t(y1) * texture.width * 4];
  for (int c = 0; c < 3; ++c) {
    const int below = row0[x0 * 4 + c] * (256 - wx) + row0[x1 * 4 + c] * wx;
    const int above = row1[x0 * 4 + c] * (256 - wx) + row1[x1 * 4 + c] * wx;
    rgb[c] = (below * (256 - wy) + above * wy + 32768) >> 16;
  }
}

}  // namespace

void clearTerrainPicture(TerrainPicture& picture) {
  picture.rgba.assign(size_t(kTerrainColumns) * kTerrainRows * 4, 0);
}

void paintTerrainColumn(TerrainPicture& picture, int column, const TerrainStrip* strips,
                        int count, const TerrainTexture& texture) {
  if (column < 0 || column >= kTerrainColumns || texture.width <= 0 || texture.height <= 0)
    return;
  for (int k = 0; k < count; ++k) {
    const TerrainStrip& s = strips[k];
    if (s.depth < -1.0f) break;  // behind the far plane from here on: clipped whole
    if (s.row <= s.top) continue;
    const int red = level(s.red), green = level(s.green), blue = level(s.blue);
    // Coordinates run linearly from far at y = top to near at y = row.
    const float span = float(s.row - s.top);
    const int first = std::max(s.top, 0);
    const int last = std::min(s.row, kTerrainRows) - 1;
    for (int j = first; j <= last; ++j) {
      const float f = (float(s.row) - (float(j) + 0.5f)) / span;
      int texel[3];
      sample(texture, s.nearS + (s.farS - s.nearS) * f, s.nearT + (s.farT - s.nearT) * f, texel);
      uint8_t* p = &picture.rgba[(size_t(j) * kTerrainColumns + column) * 4];
      p[0] = uint8_t(multiplyLevels(red, texel[0]));
      p[1] = uint8_t(multiplyLevels(green, texel[1]));
      p[2] = uint8_t(multiplyLevels(blue, texel[2]));
      p[3] = 255;
    }
  }
}
