#include "raycast/ray_draw.h"

#include <vector>

#include "effects/light_shafts.h"
#include "passes/grid_quads_pass.h"

namespace {

constexpr TextureName kGlowTexture = 2;

void bindTexture(RayDrawList& list, long name) {
  if (name == list.boundTexture) return;
  list.boundTexture = name;
  const int quads = int(list.vertices.size() / 4);
  list.runs.push_back(GridRun{static_cast<unsigned>(name), quads, 0});
}

Vertex* reserveQuad(RayDrawList& list) {
  list.runs.back().quadCount += 1;
  list.vertices.resize(list.vertices.size() + 4);
  return &list.vertices[list.vertices.size() - 4];
}

inline float depthOf(const RayDrawList& list, float distance) {
  return list.depthScale * (1.0f - 1.0f / (list.depthGain * distance + 1.0f));
}

// Colour (C + e * light colour, a) of a sample with its texture coordinates.
inline void surfaceVertex(const RayDrawList& list, Vertex& v, float x, float y,
                          const RaySample& s) {
  const RayObject* objects = list.world->objects;
  const Vector3& hc = objects[s.hitObject].colour;
  float cr = hc.x, cg = hc.y, cb = hc.z;
  if (s.bounceObject != 0) {
    const Vector3& bc = objects[s.bounceObject].colour;
    cr += bc.x;
    cg += bc.y;
    cb += bc.z;
  }
  float e = 0.0f;
  float a = s.shade;
  if (s.shade >= 1.0f) {
    e = s.shade - 1.0f;
    a = 1.0f;
  }
  v.x = x;
  v.y = y;
  v.z = depthOf(list, s.distance);
  v.r = cr + e * list.lightColour[0];
  v.g = cg + e * list.lightColour[1];
  v.b = cb + e * list.lightColour[2];
  v.a = a;
  v.s = s.texU;
  v.t = s.texV;
}

inline void glowVertex(const RayDrawList& list, Vertex& v, float x, float y,
                       const RaySample& s) {
  v.x = x;
  v.y = y;
  v.z = depthOf(list, s.distance);
  v.r = list.lightColour[0] * s.glow;
  v.g = list.lightColour[1] * s.glow;
  v.b = list.lightColour[2] * s.glow;
  v.a = 1.0f;
  v.s = 0.0f;
  v.t = 0.0f;
}

inline long textureOf(const RayDrawList& list, const RaySample& s) {
  const RayObject* objects = list.world->objects;
  return s.bounceObject != 0 ? objects[s.bounceObject].textureName
                             : objects[s.hitObject].textureName;
}

}  // namespace

void rayDrawBegin(RayDrawList& list, const RayWorld& world, bool depthUnread) {
  list.world = &world;
  list.lightColour[0] = world.light->colour[0];
  list.lightColour[1] = world.light->colour[1];
  list.lightColour[2] = world.light->colour[2];
  list.depthScale = world.depthScale;
  list.depthGain = world.depthGain;
  list.orderFree = depthUnread;
  list.vertices.clear();
  list.runs.clear();
  list.boundTexture = -1;
}

void rayDrawLeaf(RayDrawList& list, const RayBlock& block) {
  const RaySample &c0 = block.c0, &c1 = block.c1, &c2 = block.c2, &c3 = block.c3;
  const float x0 = static_cast<float>(block.x), x1 = static_cast<float>(block.x + block.w);
  const float y0 = static_cast<float>(block.y), y1 = static_cast<float>(block.y + block.h);
  if (c0.glow != 0.0f || c1.glow != 0.0f || c2.glow != 0.0f || c3.glow != 0.0f) {
    bindTexture(list, kGlowTexture);
    Vertex* v = reserveQuad(list);
    glowVertex(list, v[0], x0, y0, c0);
    glowVertex(list, v[1], x1, y0, c1);
    glowVertex(list, v[2], x1, y1, c3);
    glowVertex(list, v[3], x0, y1, c2);
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  bindTexture(list, textureOf(list, c0));
  Vertex* v = reserveQuad(list);
  surfaceVertex(list, v[0], x0, y0, c0);
  surfaceVertex(list, v[1], x1, y0, c1);
  surfaceVertex(list, v[2], x1, y1, c3);
  surfaceVertex(list, v[3], x0, y1, c2);
}

void rayDrawPixel(RayDrawList& list, int x, int y, const RaySample& c0) {
  const float x0 = static_cast<float>(x), x1 = static_cast<float>(x + 1);
  const float y0 = static_cast<float>(y), y1 = static_cast<float>(y + 1);
  if (c0.glow != 0.0f) {
    bindTexture(list, kGlowTexture);
    Vertex* v = reserveQuad(list);
    glowVertex(list, v[0], x0, y0, c0);
    glowVertex(list, v[1], x1, y0, c0);
    glowVertex(list, v[2], x1, y1, c0);
    glowVertex(list, v[3], x0, y1, c0);
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  bindTexture(list, textureOf(list, c0));
  Vertex* v = reserveQuad(list);
  surfaceVertex(list, v[0], x0, y0, c0);
  v[1] = v[0];
  v[1].x = x1;
  v[2] = v[1];
  v[2].y = y1;
  v[3] = v[0];
  v[3].y = y1;
}

void rayDrawEnd(Gfx& gfx, RayDrawList& list, const Pass& pass, SoftwarePasses* software) {
  GridQuadsJob job;
  job.pass = pass;
  job.vertices = list.vertices.data();
  job.runs = list.runs.data();
  job.runCount = int(list.runs.size());
  job.orderFree = list.orderFree;
  list.softwareDrew = runGridQuads(gfx, software, job);
}

void rayMaskLeaf(LightShafts& light, float lightDistance, const RayBlock& block) {
  const RaySample &c0 = block.c0, &c1 = block.c1, &c2 = block.c2, &c3 = block.c3;
  const int x = block.x, y = block.y, w = block.w, h = block.h;
  if (!(c0.distance < lightDistance && c1.distance < lightDistance &&
        c2.distance < lightDistance && c3.distance < lightDistance))
    return;
  // floor(0.25 X) and floor(0.375 Y) for non-negative integers.
  const int col0 = x >> 2, col1 = (x + w) >> 2;
  const int row0 = (3 * y) >> 3, row1 = (3 * (y + h)) >> 3;
  int16_t* mask = light.occlusionMask;
  for (int row = row0; row < row1; ++row) {
    int16_t* cell = mask + row * 128;
    for (int col = col0; col < col1; ++col) cell[col] = 0;
  }
}

void rayMaskPixel(LightShafts& light, float lightDistance, const RayBlock& block) {
  const RaySample &c0 = block.c0, &c1 = block.c1, &c2 = block.c2, &c3 = block.c3;
  const int x = block.x, y = block.y;
  const int k = (c0.distance < lightDistance) + (c1.distance < lightDistance) +
                (c2.distance < lightDistance) + (c3.distance < lightDistance);
  const int32_t full = light.maskFullValue;
  light.occlusionMask[((3 * y) >> 3) * 128 + (x >> 2)] =
      static_cast<int16_t>(full - k * (full / 4));
}
