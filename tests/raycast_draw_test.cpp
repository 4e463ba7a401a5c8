// The grid's batched drawing must give the picture that drawing every quad on
// its own in emission order gives.
#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "raycast/ray_draw.h"
#include "raycast_test_world.h"

namespace {

std::vector<unsigned char> readBand() {
  std::vector<unsigned char> px(512 * 256 * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 64, 512, 256, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// The grid's GL state: band coordinates, additive blend, textures added.
void gridState() {
  raySceneGlState();
  glEnable(GL_TEXTURE_2D);
  glLoadIdentity();
  glTranslatef(-256.0f, -128.0f, 0.0f);
}

// A world of `textures` flat-coloured objects, object i using texture i.
struct DrawWorld {
  RayTestScene scene;
  explicit DrawWorld(const std::vector<GLuint>& textures)
      : scene(static_cast<int>(textures.size()) + 1) {
    for (GLuint t : textures) {
      scene.world.addFloor(0, 1, 0, 0, 1.0f, 0, 0, 1);
      RayObject& o = *scene.world.lastAdded;
      o.textureName = t;
      o.colour = Vector3(0.05f * t, 0.1f, 0.02f * t);
    }
    scene.light->colour[0] = 0.5f;
    scene.light->colour[1] = 0.25f;
    scene.light->colour[2] = 0.125f;
  }
};

RaySample sampleOn(int object, float shade, float glow, float u, float v) {
  RaySample s{};
  s.hitObject = static_cast<uint8_t>(object);
  s.shade = shade;
  s.glow = glow;
  s.distance = 10;
  s.texU = u;
  s.texV = v;
  return s;
}


// Leaves and pixels over more textures than there are units, interleaved
// with glow and more of them than one batch holds, against the same quads
// drawn one by one: in order with one run per texture or with textures on
// several units, or grouped by texture.
enum class DrawMode { kRuns, kUnits, kGrouped };
void checkBatchedDrawingEqualsQuadByQuad(DrawMode mode) {
  useHeadlessGl(800, 600);
  const bool textureUnits = mode == DrawMode::kUnits;
  rayTextureUnitsEnabled = textureUnits;
  rayQuadGroupingEnabled = mode == DrawMode::kGrouped;
  // Flat textures: the comparison is about which fragments land where and in
  // what order, not about the rasteriser's sampling paths.
  std::vector<GLuint> textures;
  for (int i = 0; i < 11; ++i) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const unsigned char texel[3] = {static_cast<unsigned char>(20 * i), 30, 200};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    textures.push_back(name);
  }
  DrawWorld dw(textures);
  const RayWorld& world = dw.scene.world;

  // 1x1 and 2x1 cells over the whole band: 16384 leaves and 65536 pixels.
  struct Cell {
    int x, y, w;
    RaySample s;
  };
  std::vector<Cell> cells;
  std::mt19937 rng(5);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 512;) {
      const int w = (rng() % 3 == 0 && x + 2 <= 512) ? 2 : 1;
      const int object = static_cast<int>(rng() % (textures.size() + 1));  // 0: background
      const float glow = rng() % 4 == 0 ? 0.25f : 0.0f;
      const float shade = (rng() % 8) * 0.2f;
      cells.push_back({x, y, w, sampleOn(object, shade, glow, 0.5f, 0.5f)});
      x += w;
    }
  }
  cells.back().s.hitObject = 1;

  auto drawBatched = [&] {
    gridState();
    rayDrawBegin(world, 100.0f);
    for (const Cell& c : cells) {
      if (c.w == 1)
        rayDrawPixel(c.x, c.y, c.s);
      else
        rayDrawLeaf(c.x, c.y, c.w, 1, c.s, c.s, c.s, c.s);
    }
    rayDrawEnd();
  };
  drawBatched();  // the first frame of a world tells the grid how often it changes texture
  EXPECT_EQ(rayDrawUnitsUsed(), 0);
  drawBatched();
  const std::vector<unsigned char> batched = readBand();
  GLint boundAfter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundAfter);
  GLfloat colourAfter[4];
  glGetFloatv(GL_CURRENT_COLOR, colourAfter);

  // Reference: each primitive on its own, glow first, in emission order.
  gridState();
  const float* light = world.light->colour;
  auto quad = [](int x, int y, int w) {
    glVertex3f(float(x), float(y), 0);
    glVertex3f(float(x + w), float(y), 0);
    glVertex3f(float(x + w), float(y + 1), 0);
    glVertex3f(float(x), float(y + 1), 0);
  };
  for (const Cell& c : cells) {
    if (c.s.glow != 0.0f) {
      glBindTexture(GL_TEXTURE_2D, 2);
      glBegin(GL_QUADS);
      glColor4f(light[0] * c.s.glow, light[1] * c.s.glow, light[2] * c.s.glow, 1.0f);
      glTexCoord2f(0, 0);
      quad(c.x, c.y, c.w);
      glEnd();
    }
    if (c.s.hitObject == 0) continue;
    const RayObject& o = world.objects[c.s.hitObject];
    const float e = c.s.shade >= 1.0f ? c.s.shade - 1.0f : 0.0f;
    const float a = c.s.shade >= 1.0f ? 1.0f : c.s.shade;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(o.textureName));
    glBegin(GL_QUADS);
    glColor4f(o.colour.x + e * light[0], o.colour.y + e * light[1], o.colour.z + e * light[2], a);
    glTexCoord2f(0.5f, 0.5f);
    quad(c.x, c.y, c.w);
    glEnd();
  }
  const std::vector<unsigned char> reference = readBand();
  size_t differing = 0;
  for (size_t i = 0; i < reference.size(); i += 4)
    differing += reference[i] != batched[i] || reference[i + 1] != batched[i + 1] ||
                 reference[i + 2] != batched[i + 2];
  EXPECT_EQ(differing, 0u);

  // State left behind is that of the last primitive emitted: make it a
  // lit surface so its texture and colour are known.
  ASSERT_NE(cells.back().s.hitObject, 0);
  const RayObject& lastObject = world.objects[cells.back().s.hitObject];
  EXPECT_EQ(boundAfter, static_cast<GLint>(lastObject.textureName));
  const float lastShade = cells.back().s.shade;
  const float lastE = lastShade >= 1.0f ? lastShade - 1.0f : 0.0f;
  EXPECT_FLOAT_EQ(colourAfter[1], lastObject.colour.y + lastE * light[1]);
  // Eleven textures: all eight units filled, then a fresh start.
  EXPECT_EQ(rayDrawUnitsUsed(), textureUnits ? 8 : 0);
  EXPECT_EQ(rayDrawGroupedByTexture(), mode == DrawMode::kGrouped);
  glActiveTexture(GL_TEXTURE1);
  GLint second = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &second);
  glActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(second, 0);  // the extra units are given back
  glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
  rayTextureUnitsEnabled = true;
  rayQuadGroupingEnabled = true;
}

}  // namespace

TEST(RaycastDraw, BatchedDrawingEqualsQuadByQuad) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kRuns);
}

// Eleven textures overflow the grouping's table too; each group is then
// drawn and the rest start over.
TEST(RaycastDraw, DrawingGroupedByTextureEqualsQuadByQuad) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kGrouped);
}

TEST(RaycastDraw, DrawingWithTexturesOnSeveralUnitsEqualsQuadByQuad) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kUnits);
  // The grid leaves no program of its own in use.
  GLint program = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  EXPECT_EQ(program, 0);
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
  EXPECT_EQ(unit, GL_TEXTURE0);
}
