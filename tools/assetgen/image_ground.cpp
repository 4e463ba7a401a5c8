// Natural ground and rock pictures: height fields shaded by a low light so
// they read as rough surfaces, then coloured.
#include <cmath>

#include "image_generators.h"
#include "noise.h"
#include "strokes.h"

namespace {

std::vector<float> heightField(int size) { return std::vector<float>(size_t(size) * size_t(size)); }

}  // namespace

// Ridged noise: sharp crests where the noise crosses zero.
namespace {
float ridged(float u, float v, int freq, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 1, total = 0;
  for (int k = 0; k < octaves; ++k) {
    const float n = 1 - std::fabs(tileNoise(u, v, freq << k, freq << k, seed + uint32_t(k) * 7u));
    sum += amplitude * n * n;
    total += amplitude;
    amplitude *= 0.5f;
  }
  return sum / total;
}
}  // namespace

Picture makeRoughRock(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
      const float wu = u + 0.08f * fbm(u, v, 2, 2, 4, 0.5f, 11);
      const float wv = v + 0.08f * fbm(u, v, 2, 2, 4, 0.5f, 12);
      const float body = fbm(wu, wv, 4, 4, 7, 0.6f, 13);
      const float crest = ridged(wu, wv, 3, 5, 18);
      const CellSample c = cellular(wu + 0.03f * body, wv, 5, 14);
      const float crackMask = smoothstep(0.0f, 0.25f, fbm(u, v, 3, 3, 3, 0.5f, 19));
      const float crack = (1 - smoothstep(0.0f, 0.05f, c.f2 - c.f1)) * crackMask;
      const float grain = tileNoise(u, v, 64, 64, 15);
      const float height = 0.55f * body + 0.4f * crest - 0.25f * crack + 0.05f * grain;
      h[size_t(y) * size + x] = height;
      const float tone = 0.5f + 0.5f * fbm(u, v, 2, 2, 3, 0.5f, 16);
      Rgb albedo = mix(rgb255(104, 98, 92), rgb255(176, 168, 156), clamp01(0.35f + 0.5f * tone + 0.5f * body));
      albedo = mix(albedo, rgb255(148, 120, 92), 0.3f * smoothstep(0.1f, 0.6f, fbm(u, v, 4, 4, 3, 0.5f, 17)));
      albedo = scale(albedo, (0.75f + 0.35f * crest) * (1.0f - 0.4f * crack) * (1.0f + 0.1f * grain));
      p.at(x, y) = albedo;
    }
  }
  shadeRelief(p, h, 22.0f);
  return p;
}

Picture makeWeatheredBrown(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  paintEach(p, [&](float u, float v) {
    const float base = fbm(u, v, 3, 3, 6, 0.55f, 21);
    const float streak = fbm(u, v, 24, 2, 4, 0.5f, 22);  // rain-run streaks down the surface
    const float patch = smoothstep(0.0f, 0.35f, fbm(u, v, 4, 4, 5, 0.6f, 23));
    const CellSample pit = cellular(u, v, 16, 24);
    // Only some cells hold a pit, and only where the surface has worn through.
    const bool pittedCell = (pit.id & 7u) < 3u && patch > 0.3f;
    const float pit01 = pittedCell ? 1 - smoothstep(0.06f, 0.14f, pit.f1) : 0.0f;
    const float pitted = 1 - 0.35f * pit01;
    Rgb c = mix(rgb255(70, 42, 22), rgb255(142, 98, 58), clamp01(0.5f + base));
    c = mix(c, rgb255(168, 112, 52), 0.45f * patch);
    c = scale(c, (1.0f + 0.18f * streak) * pitted);
    const int x = int(u * size), y = int(v * size);
    h[size_t(y) * size + x] = 0.5f * base + 0.2f * patch - 0.15f * pit01;
    return c;
  });
  shadeRelief(p, h, 14.0f);
  return p;
}

Picture makeMoss(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  paintEach(p, [&](float u, float v) {
    const float wu = u + 0.03f * fbm(u, v, 8, 8, 3, 0.5f, 31);
    const float wv = v + 0.03f * fbm(u, v, 8, 8, 3, 0.5f, 32);
    const CellSample clump = cellular(wu, wv, 14, 33);
    const float dome = clamp01(1.0f - clump.f1 * 1.1f);
    const float fuzz = fbm(u, v, 64, 64, 2, 0.6f, 34);
    const float shade = 0.5f + 0.5f * fbm(u, v, 3, 3, 4, 0.5f, 35);
    const float tone = float(clump.id & 255u) / 255.0f;
    Rgb c = mix(rgb255(28, 48, 14), rgb255(92, 128, 34), dome);
    c = mix(c, rgb255(120, 150, 50), 0.35f * tone * dome);
    c = mix(c, rgb255(60, 58, 30), 0.35f * (1 - shade));
    c = scale(c, 0.85f + 0.3f * fuzz);
    const int x = int(u * size), y = int(v * size);
    h[size_t(y) * size + x] = 0.6f * dome + 0.15f * fuzz;
    return c;
  });
  shadeRelief(p, h, 10.0f);
  return p;
}

Picture makeGravel(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  paintEach(p, [&](float u, float v) {
    const float wu = u + 0.008f * fbm(u, v, 16, 16, 2, 0.5f, 41);
    const float wv = v + 0.008f * fbm(u, v, 16, 16, 2, 0.5f, 42);
    const CellSample c = cellular(wu, wv, 20, 43);
    const float edge = smoothstep(0.0f, 0.25f, c.f2 - c.f1);
    const float dome = std::sqrt(clamp01(1.0f - c.f1 * c.f1 * 1.2f)) * edge;
    const float pick = float(c.id & 1023u) / 1023.0f;
    const float pick2 = float((c.id >> 10) & 1023u) / 1023.0f;
    Rgb stone = mix(rgb255(120, 116, 110), rgb255(170, 160, 145), pick);
    if (pick2 < 0.3f) stone = mix(stone, rgb255(140, 112, 86), 0.7f);
    if (pick2 > 0.85f) stone = scale(stone, 0.6f);
    const float speck = tileNoise(u, v, 128, 128, 44);
    stone = scale(stone, 0.9f + 0.15f * speck);
    const Rgb gap = rgb255(38, 32, 26);
    const int x = int(u * size), y = int(v * size);
    h[size_t(y) * size + x] = 0.8f * dome;
    return mix(gap, stone, edge);
  });
  shadeRelief(p, h, 10.0f);
  return p;
}

Picture makeBedrock(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  paintEach(p, [&](float u, float v) {
    const float body = fbm(u, v, 2, 2, 7, 0.55f, 51);
    const CellSample grain = cellular(u, v, 64, 52);
    const float pick = float(grain.id & 1023u) / 1023.0f;
    Rgb mineral = pick < 0.45f ? rgb255(150, 146, 142) : pick < 0.75f ? rgb255(176, 140, 128)
                                                                       : rgb255(60, 58, 60);
    Rgb c = mix(rgb255(128, 124, 122), mineral, 0.4f);
    c = mix(c, rgb255(96, 100, 104), clamp01(0.5f - body));
    // Joints: straight-sided cell borders of a coarse Voronoi pattern, slightly bent.
    const float wu = u + 0.02f * fbm(u, v, 4, 4, 3, 0.5f, 53);
    const float wv = v + 0.02f * fbm(u, v, 4, 4, 3, 0.5f, 54);
    const CellSample block = cellular(wu, wv, 3, 55);
    const float jointMask = smoothstep(-0.05f, 0.2f, fbm(u, v, 3, 3, 3, 0.5f, 57));
    const float joint = (1 - smoothstep(0.0f, 0.018f, block.f2 - block.f1)) * jointMask;
    const float blockTone = float(block.id & 255u) / 255.0f;
    c = scale(c, (0.9f + 0.2f * blockTone) * (1.0f - 0.65f * joint));
    // Pale lichen patches.
    const float lichen = smoothstep(0.25f, 0.45f, fbm(u, v, 6, 6, 5, 0.6f, 56));
    c = mix(c, rgb255(190, 196, 170), 0.5f * lichen);
    const int x = int(u * size), y = int(v * size);
    h[size_t(y) * size + x] = 0.7f * body + 0.15f * blockTone - 0.3f * joint + 0.03f * pick;
    return c;
  });
  shadeRelief(p, h, 20.0f);
  return p;
}

Picture makeStonyGround(int size) {
  Picture p(size, size);
  std::vector<float> h = heightField(size);
  paintEach(p, [&](float u, float v) {
    const float wu = u + 0.02f * fbm(u, v, 8, 8, 3, 0.5f, 61);
    const float wv = v + 0.02f * fbm(u, v, 8, 8, 3, 0.5f, 62);
    const CellSample c = cellular(wu, wv, 7, 63);
    const float size01 = 0.45f + 0.25f * float(c.id & 255u) / 255.0f;
    const float stone = 1 - smoothstep(size01 - 0.08f, size01, c.f1);
    const float dome = std::sqrt(clamp01(1 - (c.f1 / size01) * (c.f1 / size01))) * stone;
    const float pick = float((c.id >> 8) & 255u) / 255.0f;
    Rgb rock = mix(rgb255(112, 110, 104), rgb255(168, 162, 150), pick);
    rock = scale(rock, 0.85f + 0.2f * fbm(u, v, 32, 32, 3, 0.5f, 64));
    const float dirt = fbm(u, v, 16, 16, 4, 0.6f, 65);
    Rgb soil = mix(rgb255(60, 46, 32), rgb255(98, 80, 58), clamp01(0.5f + dirt));
    const int x = int(u * size), y = int(v * size);
    h[size_t(y) * size + x] = 0.9f * dome + 0.08f * dirt;
    return mix(soil, rock, stone);
  });
  shadeRelief(p, h, 12.0f);
  return p;
}

namespace {

Picture makeGrass(int size, uint32_t seed, Rgb ground, Rgb dark, Rgb light, Rgb tip,
                  float angleSpread, int blades) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    return scale(ground, 0.8f + 0.4f * (0.5f + 0.5f * fbm(u, v, 8, 8, 4, 0.5f, seed)));
  });
  Rng rng(seed);
  const float k = float(size) / 256.0f;
  for (int i = 0; i < blades; ++i) {
    Stroke s;
    s.x = rng.range(0, float(size));
    s.y = rng.range(0, float(size));
    s.angle = -1.5708f + rng.range(-angleSpread, angleSpread);
    s.length = rng.range(14, 44) * k;
    s.bend = rng.range(-0.5f, 0.5f);
    s.width0 = rng.range(1.6f, 3.0f) * k;
    s.width1 = 0.3f;
    const float tone = rng.unit();
    // Later blades lie on top and catch more light.
    const float depth = 0.55f + 0.45f * float(i) / float(blades);
    s.colour0 = scale(mix(dark, light, tone * 0.6f), depth);
    s.colour1 = scale(mix(light, tip, tone), depth);
    s.opacity = 0.95f;
    drawStroke(p, s);
  }
  return p;
}

}  // namespace

Picture makeGreenGrass(int size) {
  return makeGrass(size, 71, rgb255(20, 40, 12), rgb255(30, 70, 18), rgb255(80, 150, 40),
                   rgb255(150, 190, 70), 0.35f, 4200 * (size / 256) * (size / 256));
}

Picture makeDryGrass(int size) {
  return makeGrass(size, 72, rgb255(70, 54, 30), rgb255(120, 96, 52), rgb255(200, 174, 110),
                   rgb255(232, 214, 160), 1.2f, 3600 * (size / 256) * (size / 256));
}
