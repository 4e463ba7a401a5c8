// Made surfaces and organic patterns: tiles, metal, paper, cloth, net, worms.
#include <algorithm>
#include <cmath>

#include "image_generators.h"
#include "noise.h"
#include "strokes.h"

Picture makeBlack(int size) {
  Picture p(size, size);  // all texels (0, 0, 0): glow quads add texel (0, 0)
  return p;
}

Picture makeTiles(int size) {
  Picture p(size, size);
  std::vector<float> h(size_t(size) * size_t(size));
  const int tiles = 4;
  const float tilePixels = float(size) / tiles;
  const float grout = 3.0f * float(size) / 256.0f;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
      const int tx = int(u * tiles), ty = int(v * tiles);
      // Distance in pixels to the nearest tile edge.
      const float ex = std::fmod(x + 0.5f, tilePixels), ey = std::fmod(y + 0.5f, tilePixels);
      const float edge = std::min(std::min(ex, tilePixels - ex), std::min(ey, tilePixels - ey));
      const float face = smoothstep(grout * 0.5f, grout * 0.5f + 2.0f, edge);
      const float pick = hashUnit(tx, ty, 81);
      Rgb tile = mix(rgb255(196, 184, 160), rgb255(222, 212, 188), pick);
      if (hashUnit(tx, ty, 82) < 0.2f) tile = mix(tile, rgb255(170, 150, 120), 0.5f);
      const float glaze = fbm(u, v, 8, 8, 4, 0.5f, 83);
      const float stain = smoothstep(0.15f, 0.6f, fbm(u, v, 3, 3, 5, 0.6f, 84));
      tile = scale(tile, 0.95f + 0.07f * glaze);
      tile = mix(tile, rgb255(120, 100, 70), 0.35f * stain);
      // Corners of each tile are a little darker where dirt collects.
      tile = scale(tile, 0.9f + 0.1f * smoothstep(0.0f, tilePixels * 0.3f, edge));
      const Rgb mortar = scale(rgb255(84, 78, 70), 0.85f + 0.3f * (0.5f + 0.5f * tileNoise(u, v, 64, 64, 85)));
      p.at(x, y) = mix(mortar, tile, face);
      h[size_t(y) * size + x] = 0.3f * face + 0.01f * glaze;
    }
  }
  shadeRelief(p, h, 4.0f);
  return p;
}

Picture makeBrushedMetal(int size) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    const float brush = fbm(u, v, 1, 96, 4, 0.6f, 91);        // fine lines along u
    const float brush2 = fbm(u, v, 4, 256, 2, 0.5f, 92);
    const float wear = smoothstep(-0.1f, 0.5f, fbm(u, v, 3, 3, 6, 0.6f, 93));
    const float sheen = 0.5f + 0.5f * fbm(u, v, 1, 2, 3, 0.5f, 94);
    Rgb c = mix(rgb255(118, 124, 132), rgb255(182, 188, 194), sheen);
    c = scale(c, 1.0f + 0.12f * brush + 0.06f * brush2);
    c = mix(c, rgb255(92, 84, 76), 0.35f * wear);  // dull, oxidised patches
    return c;
  });
  Rng rng(95);
  const float k = float(size) / 256.0f;
  for (int i = 0; i < 45; ++i) {  // scratches, mostly along the grain
    Stroke s;
    s.x = rng.range(0, float(size));
    s.y = rng.range(0, float(size));
    s.angle = rng.range(-0.15f, 0.15f) + (rng.unit() < 0.2f ? rng.range(-1.0f, 1.0f) : 0.0f);
    s.length = rng.range(10, 60) * k;
    s.bend = rng.range(-0.2f, 0.2f);
    s.width0 = 0.5f;
    s.width1 = 0.7f;
    const bool bright = rng.unit() < 0.6f;
    s.colour0 = s.colour1 = bright ? rgb255(220, 224, 230) : rgb255(70, 70, 74);
    s.opacity = rng.range(0.15f, 0.4f);
    drawStroke(p, s);
  }
  return p;
}

Picture makeBlueWorms(int size) {
  Picture p(size, size);
  std::vector<float> h(size_t(size) * size_t(size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
      const float wu = u + 0.04f * fbm(u, v, 4, 4, 3, 0.5f, 101);
      const float wv = v + 0.04f * fbm(u, v, 4, 4, 3, 0.5f, 102);
      // Zero lines of noise wander like worms; two layers cross each other.
      const float a = std::fabs(tileNoise(wu, wv, 5, 5, 103));
      const float b = std::fabs(tileNoise(wu, wv, 9, 9, 104));
      const float wormA = 1 - smoothstep(0.0f, 0.12f, a);
      const float wormB = 1 - smoothstep(0.0f, 0.10f, b);
      const float body = std::max(std::sqrt(wormA), 0.8f * std::sqrt(wormB));
      const float slime = 0.5f + 0.5f * fbm(u, v, 16, 16, 3, 0.5f, 105);
      Rgb c = mix(rgb255(6, 12, 48), rgb255(16, 34, 96), slime);
      c = mix(c, rgb255(70, 130, 230), body);
      c = mix(c, rgb255(170, 210, 255), body * body * wormA * 0.6f);
      p.at(x, y) = c;
      h[size_t(y) * size + x] = 0.5f * body;
    }
  }
  shadeRelief(p, h, 8.0f);
  return p;
}

Picture makePaperPulp(int size) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    const float clumps = fbm(u, v, 6, 6, 5, 0.6f, 111);
    const float grain = tileNoise(u, v, 128, 128, 112);
    Rgb c = mix(rgb255(196, 190, 176), rgb255(232, 228, 216), clamp01(0.5f + clumps));
    return scale(c, 0.97f + 0.04f * grain);
  });
  Rng rng(113);
  const float k = float(size) / 256.0f;
  const int fibres = int(3800 * k * k);
  for (int i = 0; i < fibres; ++i) {
    Stroke s;
    s.x = rng.range(0, float(size));
    s.y = rng.range(0, float(size));
    s.angle = rng.range(0, 6.2832f);
    s.length = rng.range(6, 26) * k;
    s.bend = rng.range(-1.2f, 1.2f);
    s.width0 = s.width1 = rng.range(0.6f, 1.3f);
    const float tone = rng.unit();
    s.colour0 = s.colour1 = tone < 0.5f ? rgb255(246, 244, 236) : tone < 0.85f ? rgb255(160, 152, 136)
                                                                             : rgb255(120, 108, 90);
    s.opacity = rng.range(0.25f, 0.7f);
    drawStroke(p, s);
  }
  return p;
}

Picture makePaperPulpBlurred(int size) {
  Picture p = makePaperPulp(size);
  blurWrapped(p, std::max(1, size / 64), 3);
  return p;
}

Picture makeBlueCloth(int size) {
  Picture p(size, size);
  const int threads = 64;
  paintEach(p, [&](float u, float v) {
    const float wu = u + 0.002f * tileNoise(u, v, 16, 16, 121);
    const float wv = v + 0.002f * tileNoise(u, v, 16, 16, 122);
    const float fx = wu * threads, fy = wv * threads;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const float ax = fx - ix, ay = fy - iy;
    // Plain weave: warp over weft on one diagonal of cells, under on the other.
    const bool warpOnTop = ((ix + iy) & 1) == 0;
    const float across = warpOnTop ? ax : ay;   // position across the visible thread
    const float along = warpOnTop ? ay : ax;    // position along it
    const float round = std::sin(3.14159f * across);
    const float dip = 0.75f + 0.25f * std::sin(3.14159f * along);
    const int thread = warpOnTop ? ((ix % threads) + threads) % threads : ((iy % threads) + threads) % threads;
    const float tone = hashUnit(thread, warpOnTop ? 0 : 1, 123);
    Rgb yarn = warpOnTop ? mix(rgb255(32, 58, 140), rgb255(44, 74, 168), tone)
                         : mix(rgb255(26, 44, 116), rgb255(38, 62, 150), tone);
    const float fade = 0.85f + 0.3f * (0.5f + 0.5f * fbm(u, v, 4, 4, 4, 0.5f, 124));
    const float fuzz = 0.92f + 0.08f * tileNoise(u, v, 256, 256, 125);
    return scale(yarn, (0.45f + 0.65f * round * dip) * fade * fuzz);
  });
  return p;
}

Picture makeNet(int size) {
  Picture p(size, size);
  const int meshes = 6;  // diamonds across the picture
  paintEach(p, [&](float u, float v) {
    const float wu = u + 0.006f * tileNoise(u, v, 4, 4, 131);
    const float wv = v + 0.006f * tileNoise(u, v, 4, 4, 132);
    // Diagonal strands: u + v and u - v, each repeating `meshes` times.
    const float a = fract((wu + wv) * meshes);
    const float b = fract((wu - wv) * meshes);
    const float da = std::fabs(a - 0.5f) * 2, db = std::fabs(b - 0.5f) * 2;  // 1 on a strand centre line
    const float width = 0.16f;
    const float sa = clamp01((da - (1 - width)) / width);
    const float sb = clamp01((db - (1 - width)) / width);
    const float strandA = std::sqrt(sa), strandB = std::sqrt(sb);
    const float strand = std::max(strandA, strandB);
    const float knot = strandA * strandB;
    const float twist = 0.75f + 0.25f * std::sin(((wu - wv) * strandA + (wu + wv) * strandB) * 200.0f);
    const float bg = 0.5f + 0.5f * fbm(u, v, 4, 4, 5, 0.5f, 133);
    Rgb back = mix(rgb255(6, 10, 14), rgb255(22, 30, 34), bg);
    Rgb cord = scale(mix(rgb255(120, 150, 140), rgb255(200, 220, 205), knot), twist * (0.4f + 0.6f * strand));
    return mix(back, cord, smoothstep(0.0f, 0.3f, strand));
  });
  return p;
}
