#include "raycast/ray_draw.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

#include <cmath>

#include "effects/band_picture.h"
#include "effects/light_shafts.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_paint.h"
#include "raycast/ray_texture_units.h"
#include "textures/texture_sampling.h"

namespace {

struct RayVertex {
  float x, y, z;
  float r, g, b, a;
  float u, v;
  float unit;  // texture unit of the quad, where textures sit on several units
};

constexpr int kBatchQuads = 4096;
constexpr int kBatchVertices = kBatchQuads * 4;
constexpr GLuint kGlowTexture = 2;

// Allocated once with the program.
RayVertex batch[kBatchVertices];
int batchCount = 0;
long boundTexture = -1;  // unknown at frame start: the first bind always happens
uint32_t quadCount = 0;

// With the unit program: texture names bound to units 0..unitCount-1 this
// frame, and the unit the next quads use.
GLuint unitProgram = 0;
int unitLimit = 0;
long unitTextures[kRayTextureUnits];
int unitCount = 0;
float currentUnit = 0.0f;
int unitsUsed = 0;  // most units holding textures at once last frame

// Each unit costs every fragment a texel read, which pays only where the
// texture changes often: a world's last frame decides its next, by its
// texture changes and distinct textures. Worlds are few; a small table.
constexpr int kUnitsWorthChanges = 64;
struct WorldHistory {
  const RayWorld* world = nullptr;
  int textures = 0;
  int changes = 0;
};
WorldHistory histories[8];
WorldHistory* history = nullptr;
long frameTextures[kRayTextureUnits + 1];
int frameTextureCount = 0;  // distinct, saturating at kRayTextureUnits + 1
int frameChanges = 0;

WorldHistory& historyOf(const RayWorld* world) {
  for (WorldHistory& h : histories)
    if (h.world == world) return h;
  static int next = 0;
  WorldHistory& h = histories[next++ % 8];
  h = WorldHistory{world, 0, 0};
  return h;
}

void noteTexture(long name) {
  ++frameChanges;
  for (int k = 0; k < frameTextureCount; ++k)
    if (frameTextures[k] == name) return;
  if (frameTextureCount <= kRayTextureUnits) frameTextures[frameTextureCount++] = name;
}

// Where the quads' order cannot change a pixel (see quadOrderIsFree) they
// are grouped by texture instead: one bind and one draw per texture, and
// each fragment reads one texture. Groups keep their memory across frames.
constexpr int kMaxGroups = 8;
struct TextureGroup {
  long name = -1;
  std::vector<RayVertex> vertices;
};
TextureGroup groups[kMaxGroups];
int groupCount = 0;
TextureGroup* group = nullptr;  // the group new quads join
bool grouping = false;
bool groupedFrame = false;  // for inspection after rayDrawEnd

// Narrow grouped quads painted on the CPU and added to the band in one
// picture. They are most of the quads but few of the pixels: a software
// rasteriser's cost there is setting up their triangles, while the wide
// quads are cheaper for it per pixel than for the painter.
constexpr float kPaintedWidth = 2.0f;
// Reading a texture back costs about as much per this many texels as GL
// spends setting up one narrow quad.
constexpr int64_t kTexelsPerNarrowQuad = 128;
bool painting = false;
bool paintedFrame = false;
PaintSums paintSums;
PaintTexture paintTexture;
std::vector<uint8_t> paintPicture(size_t(kPaintWidth) * kPaintHeight * 4);
GLuint paintPictureTexture = 0;

const RayWorld* drawWorld = nullptr;
float lightColour[3] = {0, 0, 0};
float depthScale = 0;
float depthGain = 0;

void flush() {
  if (batchCount == 0) return;
  glDrawArrays(GL_QUADS, 0, batchCount);
  batchCount = 0;
}

int narrowQuadCount(const TextureGroup& g) {
  int n = 0;
  for (size_t q = 0; q < g.vertices.size(); q += 4)
    n += g.vertices[q + 2].x - g.vertices[q].x <= kPaintedWidth;
  return n;
}

// Reads the bound texture for the painter; false where its sampling is one
// the painter does not reproduce (mipmaps, a border colour), or where
// reading it would cost more than the `narrow` quads it saves GL.
bool readPaintTexture(PaintTexture& t, int narrow) {
  const TextureSampling s = boundTextureSampling();
  if (int64_t(narrow) * kTexelsPerNarrowQuad < int64_t(s.width) * s.height) return false;
  const bool wrapFits = (s.wrapS == GL_REPEAT || s.wrapS == GL_CLAMP_TO_EDGE) &&
                        (s.wrapT == GL_REPEAT || s.wrapT == GL_CLAMP_TO_EDGE);
  const bool filterFits =
      s.minFilter == s.magFilter && (s.minFilter == GL_LINEAR || s.minFilter == GL_NEAREST);
  if (s.width <= 0 || s.height <= 0 || !wrapFits || !filterFits) return false;
  t.width = s.width;
  t.height = s.height;
  t.repeatS = s.wrapS == GL_REPEAT;
  t.repeatT = s.wrapT == GL_REPEAT;
  t.linear = s.minFilter == GL_LINEAR;
  t.rgba.resize(size_t(s.width) * size_t(s.height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.rgba.data());
  return true;
}

// Paints the group's narrow quads and keeps the rest, in order, for GL.
void paintNarrowQuads(TextureGroup& g) {
  std::vector<RayVertex>& v = g.vertices;
  size_t kept = 0;
  for (size_t q = 0; q < v.size(); q += 4) {
    if (v[q + 2].x - v[q].x <= kPaintedWidth) {
      paintQuads(&v[q].x, 1, paintTexture, paintSums);
    } else {
      if (kept != q) std::copy(&v[q], &v[q] + 4, &v[kept]);
      kept += 4;
    }
  }
  v.resize(kept);
}

void drawGroup(TextureGroup& g) {
  if (g.vertices.empty()) return;
  if (painting) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(g.name));
    if (readPaintTexture(paintTexture, narrowQuadCount(g))) paintNarrowQuads(g);
    if (g.vertices.empty()) return;
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(g.name));
  const RayVertex* v = g.vertices.data();
  glVertexPointer(3, GL_FLOAT, sizeof(RayVertex), &v[0].x);
  glColorPointer(4, GL_FLOAT, sizeof(RayVertex), &v[0].r);
  glTexCoordPointer(2, GL_FLOAT, sizeof(RayVertex), &v[0].u);
  // In runs no longer than the in-order batches.
  for (size_t first = 0; first < g.vertices.size(); first += kBatchVertices) {
    const size_t n = std::min(g.vertices.size() - first, size_t(kBatchVertices));
    glDrawArrays(GL_QUADS, GLint(first), GLsizei(n));
  }
}

// Draws every group, the current one last so that its texture stays bound
// as drawing in order would leave it.
void flushGroups() {
  for (int k = 0; k < groupCount; ++k)
    if (&groups[k] != group) drawGroup(groups[k]);
  if (group) drawGroup(*group);
  for (int k = 0; k < groupCount; ++k) groups[k].vertices.clear();
  groupCount = 0;
  group = nullptr;
}

void selectGroup(long name) {
  for (int k = 0; k < groupCount; ++k) {
    if (groups[k].name == name) {
      group = &groups[k];
      return;
    }
  }
  if (groupCount == kMaxGroups) flushGroups();
  group = &groups[groupCount++];
  group->name = name;
}

// Additive blending onto a framebuffer whose alpha reads 1 adds each
// fragment's rounded term and saturates, which no order changes; with no
// test, no logic op and nothing else reading the framebuffer, the quads may
// go in any order.
bool quadOrderIsFree();

// The painter's geometry: the scene viewport, its orthographic band and the
// grid's translation, with nothing but GL_ADD texturing per fragment.
bool paintFitsState() {
  GLint viewport[4], env = 0, program = 0, activeUnit = 0;
  GLfloat projection[16], modelview[16], textureMatrix[16];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
  const GLfloat sceneProjection[16] = {1.0f / 256, 0, 0, 0, 0, 1.0f / 192, 0, 0,
                                       0, 0, -2, 0, 0, 0, -1, 1};
  const GLfloat gridModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -256, -128, 0, 1};
  for (int k = 0; k < 16; ++k) {
    const float identity = k % 5 == 0 ? 1.0f : 0.0f;
    if (std::fabs(projection[k] - sceneProjection[k]) > 1e-6f ||
        modelview[k] != gridModelview[k] || textureMatrix[k] != identity)
      return false;
  }
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  GLint cullFace = 0, frontFace = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
  glGetIntegerv(GL_FRONT_FACE, &frontFace);
  const bool culledAway =
      glIsEnabled(GL_CULL_FACE) && (cullFace != GL_BACK || frontFace != GL_CCW);
  return viewport[0] == 0 && viewport[1] == 0 && viewport[2] == 512 && viewport[3] == 384 &&
         env == GL_ADD && program == 0 && activeUnit == GL_TEXTURE0 &&
         glIsEnabled(GL_TEXTURE_2D) && mask[0] && mask[1] && mask[2] && !culledAway &&
         !glIsEnabled(GL_SCISSOR_TEST) && !glIsEnabled(GL_FOG) && !glIsEnabled(GL_COLOR_SUM) &&
         !glIsEnabled(GL_POLYGON_STIPPLE) && !glIsEnabled(GL_LIGHTING);
}

bool quadOrderIsFree() {
  if (!glIsEnabled(GL_BLEND) || glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_ALPHA_TEST) ||
      glIsEnabled(GL_STENCIL_TEST) || glIsEnabled(GL_COLOR_LOGIC_OP))
    return false;
  GLint srcRgb = 0, dstRgb = 0, equation = 0, alphaBits = 0;
  glGetIntegerv(GL_BLEND_SRC_RGB, &srcRgb);
  glGetIntegerv(GL_BLEND_DST_RGB, &dstRgb);
  glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  return srcRgb == GL_SRC_ALPHA && dstRgb == GL_DST_ALPHA && equation == GL_FUNC_ADD &&
         (alphaBits == 0 || !mask[3]);
}

// Puts `name` on a unit of its own the first time a frame uses it; only when
// all units are taken do the pending quads go out and the units start over.
void selectUnit(long name) {
  for (int u = 0; u < unitCount; ++u) {
    if (unitTextures[u] == name) {
      currentUnit = float(u);
      return;
    }
  }
  if (unitCount == unitLimit) {
    flush();
    unitCount = 0;
  }
  glActiveTexture(GLenum(GL_TEXTURE0 + unitCount));
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
  glActiveTexture(GL_TEXTURE0);
  unitTextures[unitCount] = name;
  currentUnit = float(unitCount++);
  if (unitCount > unitsUsed) unitsUsed = unitCount;
}

void bindTexture(long name) {
  if (name == boundTexture) return;
  boundTexture = name;
  noteTexture(name);
  if (grouping) {
    selectGroup(name);
    return;
  }
  if (unitProgram != 0) {
    selectUnit(name);
    return;
  }
  flush();
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
}

RayVertex* reserveQuad() {
  ++quadCount;
  if (grouping) {
    std::vector<RayVertex>& v = group->vertices;
    v.resize(v.size() + 4);
    return &v[v.size() - 4];
  }
  if (batchCount + 4 > kBatchVertices) flush();
  RayVertex* v = &batch[batchCount];
  batchCount += 4;
  v[0].unit = v[1].unit = v[2].unit = v[3].unit = currentUnit;
  return v;
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

bool rayTextureUnitsEnabled = true;
bool rayQuadGroupingEnabled = true;
bool rayQuadPaintingEnabled = true;

void rayDrawBegin(const RayWorld& world, float /*lightDistance*/) {
  drawWorld = &world;
  lightColour[0] = world.light->colour[0];
  lightColour[1] = world.light->colour[1];
  lightColour[2] = world.light->colour[2];
  depthScale = world.depthScale;
  depthGain = world.depthGain;
  batchCount = 0;
  boundTexture = -1;
  quadCount = 0;
  // Only our three arrays take part, whatever the caller left enabled.
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(RayVertex), &batch[0].x);
  glColorPointer(4, GL_FLOAT, sizeof(RayVertex), &batch[0].r);
  glTexCoordPointer(2, GL_FLOAT, sizeof(RayVertex), &batch[0].u);
  history = &historyOf(&world);
  frameTextureCount = 0;
  frameChanges = 0;
  unitLimit = history->textures < kRayTextureUnits ? history->textures : kRayTextureUnits;
  const bool worthUnits = history->changes >= kUnitsWorthChanges && unitLimit >= 2;
  // Grouping pays where textures change often, as units do; elsewhere runs
  // in order are as cheap without the copying.
  grouping = rayQuadGroupingEnabled && history->changes >= kUnitsWorthChanges && quadOrderIsFree();
  groupedFrame = grouping;
  painting = grouping && rayQuadPaintingEnabled && paintFitsState();
  paintedFrame = painting;
  if (painting) paintSums.clear();
  groupCount = 0;
  group = nullptr;
  unitProgram = !grouping && rayTextureUnitsEnabled && worthUnits && rayTextureUnitsFitState()
                    ? rayTextureUnitProgram(unitLimit)
                    : 0;
  unitCount = 0;
  unitsUsed = 0;
  currentUnit = 0.0f;
  if (unitProgram != 0) {
    glUseProgram(unitProgram);
    glClientActiveTexture(GL_TEXTURE1);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(1, GL_FLOAT, sizeof(RayVertex), &batch[0].unit);
    glClientActiveTexture(GL_TEXTURE0);
  }
}

void rayDrawLeaf(int x, int y, int w, int h, const RaySample& c0, const RaySample& c1,
                 const RaySample& c2, const RaySample& c3) {
  const float x0 = static_cast<float>(x), x1 = static_cast<float>(x + w);
  const float y0 = static_cast<float>(y), y1 = static_cast<float>(y + h);
  if (c0.glow != 0.0f || c1.glow != 0.0f || c2.glow != 0.0f || c3.glow != 0.0f) {
    bindTexture(kGlowTexture);
    RayVertex* v = reserveQuad();
    glowVertex(v[0], x0, y0, c0);
    glowVertex(v[1], x1, y0, c1);
    glowVertex(v[2], x1, y1, c3);
    glowVertex(v[3], x0, y1, c2);
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  bindTexture(textureOf(c0));
  RayVertex* v = reserveQuad();
  surfaceVertex(v[0], x0, y0, c0);
  surfaceVertex(v[1], x1, y0, c1);
  surfaceVertex(v[2], x1, y1, c3);
  surfaceVertex(v[3], x0, y1, c2);
}

void rayDrawPixel(int x, int y, const RaySample& c0) {
  const float x0 = static_cast<float>(x), x1 = static_cast<float>(x + 1);
  const float y0 = static_cast<float>(y), y1 = static_cast<float>(y + 1);
  if (c0.glow != 0.0f) {
    bindTexture(kGlowTexture);
    RayVertex* v = reserveQuad();
    glowVertex(v[0], x0, y0, c0);
    glowVertex(v[1], x1, y0, c0);
    glowVertex(v[2], x1, y1, c0);
    glowVertex(v[3], x0, y1, c0);
  }
  if (c0.hitObject == 0 && c0.bounceObject == 0) return;
  bindTexture(textureOf(c0));
  RayVertex* v = reserveQuad();
  surfaceVertex(v[0], x0, y0, c0);
  v[1] = v[0];
  v[1].x = x1;
  v[2] = v[1];
  v[2].y = y1;
  v[3] = v[0];
  v[3].y = y1;
}

void rayDrawEnd() {
  const RayVertex* last = batchCount > 0 ? &batch[batchCount - 1] : nullptr;
  RayVertex lastGrouped;
  if (grouping) {
    if (group && !group->vertices.empty()) {
      lastGrouped = group->vertices.back();
      last = &lastGrouped;
    }
    flushGroups();
    grouping = false;
    if (painting) {
      settleSums(paintSums, paintPicture.data());
      addBandPicture(paintPicture.data(), paintPictureTexture);
      if (boundTexture >= 0) glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
      painting = false;
    }
  }
  flush();
  history->textures = frameTextureCount;
  history->changes = frameChanges;
  if (unitProgram != 0) {
    glUseProgram(0);
    // The other units go back to no texture: textures left bound there would
    // weigh on every later draw and copy. Unit 0 ends holding the last
    // texture used, as binding per run leaves it.
    for (int u = 1; u < unitCount; ++u) {
      glActiveTexture(GLenum(GL_TEXTURE0 + u));
      glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    if (boundTexture >= 0) glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    unitProgram = 0;
  }
  glPopClientAttrib();
  if (last) {
    // Immediate mode would leave the last vertex's colour and texture
    // coordinate current; the arrays leave them undefined.
    glColor4f(last->r, last->g, last->b, last->a);
    glTexCoord2f(last->u, last->v);
  }
}

uint32_t rayDrawQuadCount() { return quadCount; }

int rayDrawUnitsUsed() { return unitsUsed; }

bool rayDrawGroupedByTexture() { return groupedFrame; }

bool rayDrawPaintedOnCpu() { return paintedFrame; }

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
