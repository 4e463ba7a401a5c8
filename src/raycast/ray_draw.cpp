#include "raycast/ray_draw.h"

#include <GL/gl.h>

#include <algorithm>

#include "effects/light_shafts.h"
#include "raycast/ray_grid.h"

namespace {

struct RayVertex {
  float x, y, z;
  float r, g, b, a;
  float u, v;
};

constexpr GLuint kGlowTexture = 2;
constexpr int kMaxTextures = 64;

// Primitives of one kind gathered in emission order with their texture, then
// drawn grouped by texture, the glow texture first. Leaves and pixels tile the
// band without overlap and each draws its glow before its surface, so every
// pixel still receives its fragments in the same order; what changes is the
// number of draw calls, which used to be one per texture switch.
template <int kVerticesEach, int kCapacity>
struct PrimitiveBatch {
  RayVertex vertices[kCapacity * kVerticesEach];
  RayVertex grouped[kCapacity * kVerticesEach];
  GLuint texture[kCapacity];
  int count = 0;

  bool full() const { return count == kCapacity; }

  RayVertex* add(GLuint name) {
    texture[count] = name;
    return &vertices[kVerticesEach * count++];
  }

  void draw(GLenum mode) {
    if (count == 0) return;
    GLuint names[kMaxTextures];
    int sizes[kMaxTextures];
    int groups = 1;
    names[0] = kGlowTexture;
    sizes[0] = 0;
    for (int i = 0; i < count; ++i) {
      int k = 0;
      while (k < groups && names[k] != texture[i]) ++k;
      if (k == groups) {
        if (groups == kMaxTextures) return drawInOrder(mode);
        names[groups] = texture[i];
        sizes[groups++] = 0;
      }
      ++sizes[k];
    }
    int fill[kMaxTextures];
    for (int k = 0, start = 0; k < groups; start += sizes[k++]) fill[k] = start;
    int k = 0;
    for (int i = 0; i < count; ++i) {
      if (names[k] != texture[i])
        for (k = 0; names[k] != texture[i];) ++k;
      const RayVertex* from = &vertices[kVerticesEach * i];
      std::copy(from, from + kVerticesEach, &grouped[kVerticesEach * fill[k]++]);
    }
    pointArraysAt(grouped);
    for (int g = 0, start = 0; g < groups; start += sizes[g++])
      if (sizes[g] > 0) drawRun(mode, names[g], start, sizes[g]);
    count = 0;
  }

  // More textures than any world holds: plain emission order.
  void drawInOrder(GLenum mode) {
    pointArraysAt(vertices);
    for (int first = 0, i = 1; i <= count; ++i) {
      if (i == count || texture[i] != texture[first]) {
        drawRun(mode, texture[first], first, i - first);
        first = i;
      }
    }
    count = 0;
  }

  static void pointArraysAt(const RayVertex* v) {
    glVertexPointer(3, GL_FLOAT, sizeof(RayVertex), &v->x);
    glColorPointer(4, GL_FLOAT, sizeof(RayVertex), &v->r);
    glTexCoordPointer(2, GL_FLOAT, sizeof(RayVertex), &v->u);
  }

  static void drawRun(GLenum mode, GLuint name, int first, int primitives) {
    glBindTexture(GL_TEXTURE_2D, name);
    glDrawArrays(mode, first * kVerticesEach, primitives * kVerticesEach);
  }
};

// Leaves are quads. A single pixel has the same colour and texture coordinate
// at all four corners, so it is drawn as a one-pixel point at its centre: the
// same fragment for half the setup work of two triangles.
// Allocated once with the program.
PrimitiveBatch<4, 8192> leafBatch;
PrimitiveBatch<1, 8192> pixelBatch;
long currentTexture = -1;  // texture of the latest primitive; none at frame start
RayVertex lastVertex;      // the latest vertex in emission order
uint32_t quadCount = 0;

const RayWorld* drawWorld = nullptr;
float lightColour[3] = {0, 0, 0};
float depthScale = 0;
float depthGain = 0;

void flush() {
  leafBatch.draw(GL_QUADS);
  pixelBatch.draw(GL_POINTS);
}

RayVertex* addLeaf(long texture) {
  if (leafBatch.full()) flush();
  currentTexture = texture;
  ++quadCount;
  return leafBatch.add(static_cast<GLuint>(texture));
}

RayVertex* addPixel(long texture) {
  if (pixelBatch.full()) flush();
  currentTexture = texture;
  ++quadCount;
  return pixelBatch.add(static_cast<GLuint>(texture));
}

inline float depthOf(float distance) {
  return depthScale * (1.0f - 1.0f / (depthGain * distance + 1.0f));
}

// Colour (C + e * light colour, a) of a sample with its texture coordinates.
inline void surfaceVertex(RayVertex& v, float x, float y, const RaySample& s) {
  const RayObject* objects = drawWorld->objects;
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
  v.z = depthOf(s.distance);
  v.r = cr + e * lightColour[0];
  v.g = cg + e * lightColour[1];
  v.b = cb + e * lightColour[2];
  v.a = a;
  v.u = s.texU;
  v.v = s.texV;
}

inline void glowVertex(RayVertex& v, float x, float y, const RaySample& s) {
  v.x = x;
  v.y = y;
  v.z = depthOf(s.distance);
  v.r = lightColour[0] * s.glow;
  v.g = lightColour[1] * s.glow;
  v.b = lightColour[2] * s.glow;
  v.a = 1.0f;
  v.u = 0.0f;
  v.v = 0.0f;
}

inline long textureOf(const RaySample& s) {
  const RayObject* objects = drawWorld->objects;
  return s.bounceObject != 0 ? objects[s.bounceObject].textureName
                             : objects[s.hitObject].textureName;
}

}  // namespace

void rayDrawBegin(const RayWorld& world, float /*lightDistance*/) {
  drawWorld = &world;
  lightColour[0] = world.light->colour[0];
  lightColour[1] = world.light->colour[1];
  lightColour[2] = world.light->colour[2];
  depthScale = world.depthScale;
  depthGain = world.depthGain;
  leafBatch.count = 0;
  pixelBatch.count = 0;
  currentTexture = -1;
  quadCount = 0;
  // Only our three arrays take part, whatever the caller left enabled.
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void rayDrawLeaf(int x, int y, int w, int h, const RaySample& c0, const RaySample& c1,
                 const RaySample& c2, const RaySample& c3) {
  const float x0 = static_cast<float>(x), x1 = static_cast<float>(x + w);
  const float y0 = static_cast<float>(y), y1 = static_cast<float>(y + h);
  if (c0.glow != 0.0f || c1.glow != 0.0f || c2.glow != 0.0f || c3.glow != 0.0f) {
    RayVertex* v = addLeaf(kGlowTexture);
    glowVertex(v[0], x0, y0, c0);
    glowVertex(v[1], x1, y0, c1);
    glowVertex(v[2], x1, y1, c3);
    glowVertex(v[3], x0, y1, c2);
    lastVertex = v[3];
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  RayVertex* v = addLeaf(textureOf(c0));
  surfaceVertex(v[0], x0, y0, c0);
  surfaceVertex(v[1], x1, y0, c1);
  surfaceVertex(v[2], x1, y1, c3);
  surfaceVertex(v[3], x0, y1, c2);
  lastVertex = v[3];
}

void rayDrawPixel(int x, int y, const RaySample& c0) {
  const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
  if (c0.glow != 0.0f) {
    RayVertex* v = addPixel(kGlowTexture);
    glowVertex(*v, cx, cy, c0);
    lastVertex = *v;
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  RayVertex* v = addPixel(textureOf(c0));
  surfaceVertex(*v, cx, cy, c0);
  lastVertex = *v;
}

void rayDrawEnd() {
  flush();
  glPopClientAttrib();
  if (currentTexture >= 0) {
    // Leave bound what drawing in emission order would have left bound.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(currentTexture));
    // Immediate mode would leave the last vertex's colour and texture
    // coordinate current; the arrays leave them undefined.
    glColor4f(lastVertex.r, lastVertex.g, lastVertex.b, lastVertex.a);
    glTexCoord2f(lastVertex.u, lastVertex.v);
  }
}

uint32_t rayDrawQuadCount() { return quadCount; }

void rayMaskLeaf(LightShafts& light, float lightDistance, int x, int y, int w, int h,
                 const RaySample& c0, const RaySample& c1, const RaySample& c2,
                 const RaySample& c3) {
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

void rayMaskPixel(LightShafts& light, float lightDistance, int x, int y, const RaySample& c0,
                  const RaySample& c1, const RaySample& c2, const RaySample& c3) {
  const int k = (c0.distance < lightDistance) + (c1.distance < lightDistance) +
                (c2.distance < lightDistance) + (c3.distance < lightDistance);
  const int32_t full = light.maskFullValue;
  light.occlusionMask[((3 * y) >> 3) * 128 + (x >> 2)] =
      static_cast<int16_t>(full - k * (full / 4));
}
