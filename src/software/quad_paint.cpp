#include "software/quad_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

// Floor for coordinates already kept within int range.
inline int floorToInt(float x) {
  const int i = int(x);
  return i - (x < float(i) ? 1 : 0);
}

// Nearest level of a non-negative value.
inline int level(float x) { return int(x + 0.5f); }

// Texel index along one axis with the texture's wrap; `mask` is size - 1
// where the size is a power of two.
inline int wrapIndex(int i, int size, int mask, bool repeat) {
  if (repeat) {
    if (mask >= 0) return i & mask;
    i %= size;
    return i < 0 ? i + size : i;
  }
  return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

inline uint32_t texel(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// r, g, b, a bytes of two texels spread to 16-bit lanes and blended:
// a * (256 - w) + b * w per channel, lanes r, g, b, a from the low end.
inline uint64_t lerpAcross(uint32_t a, uint32_t b, int w) {
  const uint64_t mask = 0x00FF00FF00FF00FFull;
  const uint64_t sa = ((uint64_t(a) << 24) | a) & mask;  // r, b, g, a lanes
  const uint64_t sb = ((uint64_t(b) << 24) | b) & mask;
  const uint64_t mixed = sa * uint64_t(256 - w) + sb * uint64_t(w);
  // Lanes hold r, b (low word) and g, a (high word) as 16-bit values; order
  // them r, g, b, a.
  return (mixed & 0xFFFFull) | ((mixed >> 32 & 0xFFFFull) << 16) |
         ((mixed >> 16 & 0xFFFFull) << 32) | ((mixed >> 48) << 48);
}

// Two 16-bit lanes to two 32-bit lanes.
inline uint64_t widen(uint64_t twoLanes) {
  return (twoLanes & 0xFFFFull) | ((twoLanes >> 16 & 0xFFFFull) << 32);
}

struct Sampler {
  const TextureCopy& t;
  float width, height;
  int maskS, maskT;
  explicit Sampler(const TextureCopy& texture)
      : t(texture),
        width(float(texture.width)),
        height(float(texture.height)),
        maskS((texture.width & (texture.width - 1)) == 0 ? texture.width - 1 : -1),
        maskT((texture.height & (texture.height - 1)) == 0 ? texture.height - 1 : -1) {}

  // The texel at (u, v) in levels 0..255, rgba; filtering weighs neighbours
  // with 8 fractional bits.
  void sample(float u, float v, int out[4]) const {
    float su = u * width;
    float sv = v * height;
    // Far-off or non-finite coordinates read the texel at the origin.
    if (!(std::fabs(su) < 1e8f)) su = 0.0f;
    if (!(std::fabs(sv) < 1e8f)) sv = 0.0f;
    if (!t.linear) {
      const int i = wrapIndex(floorToInt(su), t.width, maskS, t.repeatS);
      const int j = wrapIndex(floorToInt(sv), t.height, maskT, t.repeatT);
      const uint8_t* p = &t.rgba[(size_t(j) * size_t(t.width) + size_t(i)) * 4];
      for (int c = 0; c < 4; ++c) out[c] = p[c];
      return;
    }
    const float fu = su - 0.5f;
    const float fv = sv - 0.5f;
    const int iu = floorToInt(fu);
    const int iv = floorToInt(fv);
    const int wu = int((fu - float(iu)) * 256.0f);
    const int wv = int((fv - float(iv)) * 256.0f);
    const int i0 = wrapIndex(iu, t.width, maskS, t.repeatS);
    const int i1 = wrapIndex(iu + 1, t.width, maskS, t.repeatS);
    const int j0 = wrapIndex(iv, t.height, maskT, t.repeatT);
    const int j1 = wrapIndex(iv + 1, t.height, maskT, t.repeatT);
    const uint8_t* r0 = &t.rgba[size_t(j0) * size_t(t.width) * 4];
    const uint8_t* r1 = &t.rgba[size_t(j1) * size_t(t.width) * 4];
    // Both lerps on all four channels at once: across in 16-bit lanes (at
    // most 255 * 256), down in 32-bit lanes (at most 255 * 65536).
    const uint64_t across0 = lerpAcross(texel(r0 + i0 * 4), texel(r0 + i1 * 4), wu);
    const uint64_t across1 = lerpAcross(texel(r1 + i0 * 4), texel(r1 + i1 * 4), wu);
    const uint64_t lanes0 = widen(across0), lanes1 = widen(across0 >> 32);
    const uint64_t lanes2 = widen(across1), lanes3 = widen(across1 >> 32);
    const uint64_t half = 0x0000800000008000ull;
    const uint64_t rg = (lanes0 * uint64_t(256 - wv) + lanes2 * uint64_t(wv) + half) >> 16;
    const uint64_t ba = (lanes1 * uint64_t(256 - wv) + lanes3 * uint64_t(wv) + half) >> 16;
    out[0] = int(rg & 0xFFFF);
    out[1] = int((rg >> 32) & 0xFFFF);
    out[2] = int(ba & 0xFFFF);
    out[3] = int((ba >> 32) & 0xFFFF);
  }
};

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

void PaintSums::clear() {
  levels.assign(size_t(kPaintWidth) * kPaintHeight * 3, 0);
}

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
    const int px1 = std::min(kPaintWidth, int(std::ceil(std::min(x1, 1e6f) - 0.5f)));
    const int py0 = std::max(0, int(std::ceil(std::max(y0, -1.0f) - 0.5f)));
    const int py1 = std::min(kPaintHeight, int(std::ceil(std::min(y1, 1e6f) - 0.5f)));
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
      uint16_t* row = &sums.levels[size_t(py) * kPaintWidth * 3];
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
  const size_t pixels = size_t(kPaintWidth) * kPaintHeight;
  for (size_t p = 0; p < pixels; ++p) {
    for (int c = 0; c < 3; ++c) {
      const uint16_t s = sums.levels[p * 3 + c];
      rgba[p * 4 + c] = uint8_t(s < 255 ? s : 255);
    }
    rgba[p * 4 + 3] = 255;
  }
}
