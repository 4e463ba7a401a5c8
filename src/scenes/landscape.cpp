#include "scenes/landscape.h"

#include <cmath>

#include "passes/terrain_pass.h"
#include "raycast/raycast.h"
#include "scenes/landscape_march.h"

namespace {

constexpr int kSkyTextureSlot = 5;   // Images/sky5.jpg
constexpr int kRockTextureSlot = 4;  // Images/prock.jpg

// Room for a batch of strips on their way to the layer.
constexpr int kBatchVertices = 16384;

// Where a column's strips come from: the camera of this frame.
struct TerrainView {
  Vector3 eye;
  float heading;
};

int marchColumn(int column, TerrainStrip* strips, const void* context) {
  const TerrainView& view = *static_cast<const TerrainView*>(context);
  return marchTerrainColumn(view.eye, terrainColumnAngle(view.heading, column),
                            terrainHeightTerm, strips);
}

}  // namespace

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

void loadLandscape(LandscapeScene& s, LandscapeState& state) {
  s.skyWorld = std::make_unique<RayWorld>(2);
  s.skyWorld->addSphere({.radius = 500, .inside = true},
                        {.textureName = kSkyTextureSlot, .textureScale = 2.0f});
  s.skyWorld->lastAdded->lightFlags = 0;  // unlit, full brightness

  s.skyCamera.position = Vector3(0, 0, 0);
  s.skyCamera.forward = Vector3(0, 0, 1);

  s.skyLight = std::make_unique<LightShafts>(128, 96, 128, 128, 0.2f, 1.0f);
  LightShafts& light = *s.skyLight;
  light.setPalette(1.0f, 1.75f, 1.0f, 0, 0, 0);
  light.noFlareTest = 0;
  light.flareIntensity = 2.5f;
  light.zoomPasses = 0;
  light.shaftLength = 0.605f;
  light.position = Vector3(0, 15, 10);
  light.camera = &s.skyCamera;

  s.skyWorld->camera = &s.skyCamera;
  s.skyWorld->light = s.skyLight.get();
  s.batch.assign(kBatchVertices, Vertex{});
  state = LandscapeState{};
}

void advanceLandscape(LandscapeState& state, int frameDeltaMs) {
  state.clockMs += float(frameDeltaMs);
}

void drawLandscape(const LandscapeState& state, LandscapeScene& s, const FrameContext& frame) {
  renderRayGrid(*frame.gfx, *frame.rayGrid, *s.skyWorld, GridDepth::Read, frame.software,
                *frame.rayStats);

  ViewCamera camera;
  camera.position = terrainCameraAt(state.clockMs);
  camera.forward = Vector3(0, 0, 1);
  camera.orthonormalize();
  const float heading = terrainHeading(camera.forward);

  const TerrainView view{camera.position, heading};
  TerrainJob job;
  job.texture = kRockTextureSlot;
  job.march = marchColumn;
  job.context = &view;
  job.batch = s.batch.data();
  job.batchVertices = int(s.batch.size());
  runTerrain(*frame.gfx, frame.software, job);
}
