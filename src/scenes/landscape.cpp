#include "scenes/landscape.h"

#include <GL/gl.h>

#include <cmath>
#include <system_error>
#include <thread>

#include "effects/band_picture.h"
#include "effects/light_shafts.h"
#include "raycast/raycast.h"
#include "scenes/landscape_march.h"
#include "scenes/landscape_terrain.h"
#include "textures/texture_sampling.h"

LandscapeScene landscapeScene;

namespace {

constexpr int kSkyTextureSlot = 5;   // Images/sky5.jpg
constexpr int kRockTextureSlot = 4;  // Images/prock.jpg


// Strips go to GL as vertex arrays in batches of whole columns: tens of
// thousands of one-column quads per frame cost far less this way than as
// immediate-mode calls.
struct StripVertex {
  float s, t;
  float r, g, b, a;
  float x, y, z;
};
constexpr int kBatchVertices = 16384;
StripVertex batch[kBatchVertices];
int batchCount = 0;
TerrainStrip lastStrip{0, 0, 0, -1, 0, 0, 0, 0, 0, 0};  // red < 0: none drawn this frame

TerrainTexture rock;       // the rock's pixels, read each frame
TerrainPicture picture;    // the strips painted on the CPU
GLuint pictureTexture = 0;

void flushBatch() {
  if (batchCount == 0) return;
  glDrawArrays(GL_QUADS, 0, batchCount);
  batchCount = 0;
}

void addVertex(float s, float t, const TerrainStrip& strip, float x, float y) {
  StripVertex& v = batch[batchCount++];
  v.s = s;
  v.t = t;
  v.r = strip.red;
  v.g = strip.green;
  v.b = strip.blue;
  v.a = 0.5f;
  v.x = x;
  v.y = y;
  v.z = strip.depth;
}

void drawColumn(int column, const TerrainStrip* strips, int count) {
  if (batchCount + count * 4 > kBatchVertices) flushBatch();
  const float x0 = float(column);
  const float x1 = float(column + 1);
  for (int k = 0; k < count; ++k) {
    const TerrainStrip& s = strips[k];
    if (s.depth < -1.0f) break;  // behind the far plane from here on: clipped whole
    addVertex(s.nearS, s.nearT, s, x0, float(s.row));
    addVertex(s.nearS, s.nearT, s, x1, float(s.row));
    addVertex(s.farS, s.farT, s, x1, float(s.top));
    addVertex(s.farS, s.farT, s, x0, float(s.top));
    lastStrip = s;
  }
}

void drawTerrainStrips(const Vector3& eye, float heading) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(StripVertex), &batch[0].x);
  glColorPointer(4, GL_FLOAT, sizeof(StripVertex), &batch[0].r);
  glTexCoordPointer(2, GL_FLOAT, sizeof(StripVertex), &batch[0].s);
  TerrainStrip strips[kTerrainMaxStrips];
  for (int i = 0; i < kTerrainColumns; ++i) {
    const int count =
        marchTerrainColumn(eye, terrainColumnAngle(heading, i), terrainHeightTerm, strips);
    drawColumn(i, strips, count);
  }
  flushBatch();
  glPopClientAttrib();
}

// Painting the strips on the CPU draws what GL would where the frame is set
// up as this scene sets it (scene viewport and projection, the strips'
// modelview, plain modulated texturing, nothing tested) and the bound rock is
// a linearly filtered, repeating picture.
bool terrainFitsTheCpu() {
  GLint viewport[4];
  GLfloat projection[16], modelview[16];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  const GLfloat sceneProjection[16] = {1.0f / 256, 0, 0, 0, 0, 1.0f / 192, 0, 0,
                                       0, 0, -2, 0, 0, 0, -1, 1};
  const GLfloat stripModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -256, -128, 0, 1};
  for (int k = 0; k < 16; ++k)
    if (std::fabs(projection[k] - sceneProjection[k]) > 1e-6f ||
        modelview[k] != stripModelview[k])
      return false;
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] != 512 || viewport[3] != 384 ||
      env != GL_MODULATE || !glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_BLEND) ||
      glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_SCISSOR_TEST) ||
      glIsEnabled(GL_STENCIL_TEST) || glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_FOG))
    return false;
  const TextureSampling t = boundTextureSampling();
  return t.width > 0 && t.height > 0 && t.linearAndRepeating();
}

// The bound rock's pixels, read every frame so a replaced texture shows.
void readRock() {
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  rock.width = width;
  rock.height = height;
  rock.rgba.resize(size_t(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rock.rgba.data());
}

// Marches and paints columns [from, to); returns the last strip drawn, red
// < 0 if none. Columns touch only their own pixels, so halves can run at once.
TerrainStrip paintColumns(const Vector3& eye, float heading, int from, int to) {
  TerrainStrip strips[kTerrainMaxStrips];
  TerrainStrip last{0, 0, 0, -1, 0, 0, 0, 0, 0, 0};
  for (int i = from; i < to; ++i) {
    const int count =
        marchTerrainColumn(eye, terrainColumnAngle(heading, i), terrainHeightTerm, strips);
    paintTerrainColumn(picture, i, strips, count, rock);
    for (int k = 0; k < count && strips[k].depth >= -1.0f; ++k) last = strips[k];
  }
  return last;
}

// The right half of the columns goes to a second thread: the march and the
// painting are the scene's CPU work, and the rasteriser is idle meanwhile.
void paintTerrain(const Vector3& eye, float heading) {
  readRock();
  clearTerrainPicture(picture);
  const int half = kTerrainColumns / 2;
  TerrainStrip right{0, 0, 0, -1, 0, 0, 0, 0, 0, 0};
  auto paintRight = [&] { right = paintColumns(eye, heading, half, kTerrainColumns); };
  std::thread helper;
  try {
    helper = std::thread(paintRight);
  } catch (const std::system_error&) {
    paintRight();
  }
  const TerrainStrip left = paintColumns(eye, heading, 0, half);
  if (helper.joinable()) helper.join();
  lastStrip = right.red >= 0.0f ? right : left;
  drawBandPicture(picture.rgba.data(), true, pictureTexture);
}

}  // namespace

bool terrainOnCpu = true;

Vector3 terrainCameraAt(float sceneMs) {
  const float y = -0.084f * sceneMs;
  const float x = 100.0f + 50.0f * std::sin(0.005f * y);
  return Vector3(x, y, 0.0f);
}

float terrainHeading(const Vector3& forward) {
  const Vector3 back(0.0f, 0.0f, -1.0f);
  const Vector3 left(-1.0f, 0.0f, 0.0f);
  const float across = std::acos(Vector3::dot(left, forward));
  return Vector3::dot(back, forward) > 0.0f ? across + 6.28318f : 6.28318f - across;
}

void terrainStripShade(float t, TerrainStrip& strip) {
  float g = 2.0f - 0.065f * std::sqrt(t);
  if (g < 0.0f) g = 0.0f;
  strip.red = g > 0.246f ? g : 0.246f;
  strip.green = 1.21f * g > 0.404f ? 1.21f * g : 0.404f;
  strip.blue = 1.05f * g > 0.177f ? 1.05f * g : 0.177f;
  // Beyond t = 999 this falls below -1 and the strip is clipped, so the sky
  // shows through before the march ends.
  strip.depth = -1.001f / (1.0f + 1.0f / (t + 1.0f));
}

void initLandscapeScene() {
  LandscapeScene& s = landscapeScene;
  s.terrainCamera.position = Vector3(0, 0, 0);
  s.terrainCamera.forward = Vector3(0, 0, 1);

  s.skyWorld = new RayWorld(2);
  s.skyWorld->addSphere(0, 0, 0, 500, 1, kSkyTextureSlot, 2.0f, 0, 0, 0);
  s.skyWorld->lastAdded->lightFlags = 0;  // unlit, full brightness

  s.skyCamera.position = Vector3(0, 0, 0);
  s.skyCamera.forward = Vector3(0, 0, 1);

  LightShafts* light = new LightShafts(128, 96, 128, 128, 0.2f, 1.0f);
  light->setPalette(1.0f, 1.75f, 1.0f, 0, 0, 0);
  light->noFlareTest = 0;
  light->flareIntensity = 2.5f;
  light->zoomPasses = 0;
  light->shaftLength = 0.605f;
  light->passCounter = 1;
  light->position = Vector3(0, 15, 10);
  light->camera = &s.skyCamera;
  s.skyLight = light;

  s.skyWorld->camera = &s.skyCamera;
  s.skyWorld->light = s.skyLight;
}

void renderLandscapeScene(int frameDeltaMs, int /*unused*/) {
  LandscapeScene& s = landscapeScene;
  if (!s.skyWorld) return;  // never set up: draw nothing
  s.landscapeClockMs += float(frameDeltaMs);

  renderRayGrid(*s.skyWorld);

  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(-256.0f, -128.0f, 0.0f);
  glBindTexture(GL_TEXTURE_2D, kRockTextureSlot);

  ViewCamera& camera = s.terrainCamera;
  camera.position = terrainCameraAt(s.landscapeClockMs);
  camera.forward = Vector3(0, 0, 1);
  camera.orthonormalize();
  const float heading = terrainHeading(camera.forward);

  lastStrip.red = -1.0f;
  if (terrainOnCpu && terrainFitsTheCpu()) {
    paintTerrain(camera.position, heading);
  } else {
    drawTerrainStrips(camera.position, heading);
  }
  // Leave the last strip's colour current, as drawing it directly would.
  if (lastStrip.red >= 0.0f) glColor4f(lastStrip.red, lastStrip.green, lastStrip.blue, 0.5f);
}
