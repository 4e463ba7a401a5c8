// The grid's batched drawing must give the picture that drawing every quad on
// its own in emission order gives.
#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "raycast/ray_draw.h"
#include "raycast_test_world.h"
#include "render_path_guard.h"
#include "software/quad_paint.h"
#include "software/texture_copies.h"

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
      scene.world.addFloor({.position = {0, 1, 0}}, {.reflective = true});
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


// Leaves and pixels over eleven textures, interleaved with glow, against the
// same quads drawn one by one: in order with one run per texture (the gl
// path, and the software path where depth is read), or on the software path
// grouped by texture and (these quads being narrow, their textures having
// copies) painted on the CPU.
enum class DrawMode { kRuns, kRunsDepthRead, kGrouped, kPainted };
void checkBatchedDrawingEqualsQuadByQuad(DrawMode mode) {
  useHeadlessGl(800, 600);
  RenderPathGuard path(mode == DrawMode::kRuns ? RenderChoice::Gl : RenderChoice::Software);
  const bool software = mode == DrawMode::kGrouped || mode == DrawMode::kPainted;
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
    // One texel: linear and nearest filtering read the same.
    if (mode == DrawMode::kPainted) keepTextureCopy(hostSoftwarePasses().copies, name, 1, 1, 3, texel);
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

  RayDrawList list;
  auto drawBatched = [&] {
    gridState();
    rayDrawBegin(list, world, mode != DrawMode::kRunsDepthRead);
    for (const Cell& c : cells) {
      if (c.w == 1)
        rayDrawPixel(list, c.x, c.y, c.s);
      else
        rayDrawLeaf(list, {c.x, c.y, c.w, 1, c.s, c.s, c.s, c.s});
    }
    rayDrawEnd(testDemo().gfx, list,
               rayGridPass(mode == DrawMode::kRunsDepthRead ? GridDepth::Read : GridDepth::Unread),
               softwarePasses());
  };
  const uint64_t gridPasses = softwarePassCounts().gridQuads;
  drawBatched();
  EXPECT_EQ(softwarePassCounts().gridQuads - gridPasses, software ? 1u : 0u);
  EXPECT_EQ(list.softwareDrew, software);
  const std::vector<unsigned char> batched = readBand();

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
  // The painter rounds as the rasteriser does but for a level here and there.
  const int tolerance = mode == DrawMode::kPainted ? 1 : 0;
  size_t differing = 0;
  for (size_t i = 0; i < reference.size(); i += 4)
    for (int c = 0; c < 3; ++c) differing += std::abs(reference[i + c] - batched[i + c]) > tolerance;
  EXPECT_EQ(differing, 0u);

  glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
  for (GLuint name : textures) hostSoftwarePasses().copies.byName.erase(name);
}

}  // namespace

TEST(RaycastDraw, BatchedDrawingEqualsQuadByQuad) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kRuns);
}

// Where the caller says depth is read, the order matters: the software
// path is not handed the frame and GL draws the runs in order.
TEST(RaycastDraw, QuadsWhoseDepthIsReadStayInOrderInGl) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kRunsDepthRead);
}

TEST(RaycastDraw, DrawingGroupedByTextureEqualsQuadByQuad) {
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kGrouped);
}

TEST(RaycastDraw, PaintingNarrowQuadsOnTheCpuEqualsQuadByQuad) {
  SKIP_UNLESS_LLVMPIPE();
  checkBatchedDrawingEqualsQuadByQuad(DrawMode::kPainted);
}

// The painter against GL on narrow quads whose corners differ in colour,
// alpha and texture coordinates, over a filtered repeating texture.
TEST(RaycastPaint, ShadedTexturedQuadsMatchTheRasteriser) {
  useHeadlessGl(800, 600);
  SKIP_UNLESS_LLVMPIPE();
  std::mt19937 rng(11);
  TextureCopy texture;
  texture.width = 64;
  texture.height = 32;
  texture.rgba.resize(64 * 32 * 4);
  for (uint8_t& b : texture.rgba) b = static_cast<uint8_t>(rng());
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               texture.rgba.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  std::uniform_real_distribution<float> colour(-0.2f, 1.3f), alpha(0.0f, 1.0f),
      coordinate(-2.0f, 3.0f);
  std::vector<float> vertices;
  for (int y = 0; y < 256; y += 3) {
    for (int x = 0; x + 2 <= 512; x += 3) {
      const int w = 1 + static_cast<int>(rng() % 2);
      const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (const auto& c : corners) {
        const float v[kPaintVertexFloats] = {float(x) + c[0] * w, float(y) + c[1], 0,
                                             colour(rng), colour(rng), colour(rng), alpha(rng),
                                             coordinate(rng), coordinate(rng)};
        vertices.insert(vertices.end(), v, v + kPaintVertexFloats);
      }
    }
  }
  const int quads = static_cast<int>(vertices.size() / (4 * kPaintVertexFloats));

  gridState();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, name);
  glBegin(GL_QUADS);
  for (size_t i = 0; i < vertices.size(); i += kPaintVertexFloats) {
    const float* v = &vertices[i];
    glColor4f(v[3], v[4], v[5], v[6]);
    glTexCoord2f(v[7], v[8]);
    glVertex3f(v[0], v[1], v[2]);
  }
  glEnd();
  const std::vector<unsigned char> gl = readBand();

  PaintSums sums;
  sums.clear();
  paintQuads(vertices.data(), quads, texture, sums);
  std::vector<uint8_t> painted(512 * 256 * 4);
  settleSums(sums, painted.data());

  // Texel weights and roundings land a level apart now and then, rarely more.
  int worst = 0;
  int beyondTwo = 0;
  double total = 0;
  for (size_t i = 0; i < gl.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      const int d = std::abs(int(gl[i + c]) - int(painted[i + c]));
      worst = std::max(worst, d);
      beyondTwo += d > 2;
      total += d;
    }
  }
  EXPECT_LE(worst, 4);
  EXPECT_LT(beyondTwo, 40);
  EXPECT_LT(total / (512.0 * 256.0 * 3.0), 0.05);
  glDeleteTextures(1, &name);
}

// Degenerate, inverted, far-off and non-finite quads paint nothing and read
// nothing out of bounds; quads across the band's edges paint up to them.
TEST(RaycastPaint, OddQuadsStayInsideTheBand) {
  TextureCopy texture;
  texture.width = 3;  // not a power of two: the slow wrap
  texture.height = 1;
  texture.rgba = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  auto quad = [](float x0, float y0, float x1, float y1, float u) {
    std::vector<float> v;
    const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (const auto& c : corners) {
      const float f[kPaintVertexFloats] = {c[0], c[1], 0, 0, 0, 0, 1, u, 0.5f};
      v.insert(v.end(), f, f + kPaintVertexFloats);
    }
    return v;
  };
  PaintSums sums;
  sums.clear();
  const float nan = std::nanf("");
  for (const auto& v : {quad(5, 5, 5, 9, 0), quad(9, 5, 5, 9, 0), quad(nan, 0, 4, 4, 0),
                        quad(0, 0, 4, nan, 0), quad(1e9f, 0, 2e9f, 4, 0),
                        quad(-1e9f, -1e9f, -5e8f, -5e8f, 0)})
    paintQuads(v.data(), 1, texture, sums);
  for (uint16_t s : sums.levels) ASSERT_EQ(s, 0);

  for (const auto& v : {quad(-3, -3, 2, 2, nan), quad(510, 254, 600, 300, 1e20f)})
    paintQuads(v.data(), 1, texture, sums);
  EXPECT_GT(sums.levels[0], 0);
  EXPECT_GT(sums.levels[(1 * 512 + 1) * 3], 0);
  EXPECT_EQ(sums.levels[(2 * 512 + 2) * 3], 0);
  EXPECT_GT(sums.levels[(255 * 512 + 511) * 3], 0);
}
