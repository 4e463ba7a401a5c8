// Bilinear texel reads from a texture's CPU copy as llvmpipe filters a
// repeating 8-bit texture: neighbours weighed with 8 fractional bits, in
// integer lanes. Shared by the painters that sample static textures and
// read-back pictures.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "software/texture_copies.h"

namespace texel_sampling {

// Floor for coordinates already kept within int range.
inline int floorToInt(float x) {
  const int i = int(x);
  return i - (x < float(i) ? 1 : 0);
}

// Texel index along one axis, repeating; `mask` is size - 1 where the size
// is a power of two.
inline int wrapIndex(int i, int size, int mask) {
  if (mask >= 0) return i & mask;
  i %= size;
  return i < 0 ? i + size : i;
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
    const float fu = su - 0.5f;
    const float fv = sv - 0.5f;
    const int iu = floorToInt(fu);
    const int iv = floorToInt(fv);
    const int wu = int((fu - float(iu)) * 256.0f);
    const int wv = int((fv - float(iv)) * 256.0f);
    const int i0 = wrapIndex(iu, t.width, maskS);
    const int i1 = wrapIndex(iu + 1, t.width, maskS);
    const int j0 = wrapIndex(iv, t.height, maskT);
    const int j1 = wrapIndex(iv + 1, t.height, maskT);
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

}  // namespace texel_sampling

using texel_sampling::Sampler;
