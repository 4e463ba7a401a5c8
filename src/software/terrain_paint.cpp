#include "software/terrain_paint.h"

#include <algorithm>
#include <cmath>

#include "math/colour_levels.h"

namespace {

inline int level(float v) {
  v = std::min(std::max(v, 0.0f), 1.0f);  // vertex colours are clamped
  return int(v * 255.0f + 0.5f);
}

// Texel-space position of texture coordinate c in 1/256 texel steps, texel
// centres on whole texels. Far-off and non-finite coordinates are folded
// into range first; the texture repeats, so only the fraction matters.
inline int fixedTexel(float c, int size) {
  if (!std::isfinite(c)) return 0;
  if (std::fabs(c) > 4096.0f) c -= std::floor(c);
  return int(std::floor((c * float(size) - 0.5f) * 256.0f));
}

// Texel index i repeated into 0..size-1; a mask for the usual power-of-two
// sizes, which spares a division per texel.
inline int wrap(int i, int size) {
  if ((size & (size - 1)) == 0) return i & (size - 1);
  const int m = i % size;
  return m < 0 ? m + size : m;
}

// Bilinear, repeating sample of channel values at (s, t), into rgb.
void sample(const TextureCopy& texture, float s, float t, int rgb[3]) {
  const int fx = fixedTexel(s, texture.width);
  const int fy = fixedTexel(t, texture.height);
  const int wx = fx & 255, wy = fy & 255;
  const int x0 = wrap(fx >> 8, texture.width), x1 = x0 + 1 == texture.width ? 0 : x0 + 1;
  const int y0 = wrap(fy >> 8, texture.height), y1 = y0 + 1 == texture.height ? 0 : y0 + 1;
  const uint8_t* row0 = &texture.rgba[size_t(y0) * texture.width * 4];
  const uint8_t* row1 = &texture.rgba[size_t(y1) * texture.width * 4];
  const uint8_t* a = row0 + x0 * 4;
  const uint8_t* b = row0 + x1 * 4;
  const uint8_t* c = row1 + x0 * 4;
  const uint8_t* d = row1 + x1 * 4;
  for (int k = 0; k < 3; ++k) {
    const int below = a[k] * (256 - wx) + b[k] * wx;
    const int above = c[k] * (256 - wx) + d[k] * wx;
    rgb[k] = (below * (256 - wy) + above * wy + 32768) >> 16;
  }
}

}  // namespace

void clearTerrainPicture(TerrainPicture& picture) {
  picture.rgba.assign(size_t(kTerrainColumns) * kTerrainRows * 4, 0);
}

void paintTerrainColumn(TerrainPicture& picture, int column, const TerrainStrip* strips,
                        int count, const TextureCopy& texture) {
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
    // Per row the coordinates step by a constant.
    const float stepS = (s.nearS - s.farS) / span, stepT = (s.nearT - s.farT) / span;
    const float f0 = (float(s.row) - (float(first) + 0.5f)) / span;
    const float s0 = s.nearS + (s.farS - s.nearS) * f0, t0 = s.nearT + (s.farT - s.nearT) * f0;
    for (int j = first; j <= last; ++j) {
      const float n = float(j - first);
      int texel[3];
      sample(texture, s0 + stepS * n, t0 + stepT * n, texel);
      uint8_t* p = &picture.rgba[(size_t(j) * kTerrainColumns + column) * 4];
      p[0] = uint8_t(multiplyLevels(red, texel[0]));
      p[1] = uint8_t(multiplyLevels(green, texel[1]));
      p[2] = uint8_t(multiplyLevels(blue, texel[2]));
      p[3] = 255;
    }
  }
}
