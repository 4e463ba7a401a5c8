#include "scenes/spikes.h"

#include <cmath>
#include <cstdint>

#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "models/scene3ds.h"
#include "platform/asset_path.h"
#include "platform/tick_clock.h"
#include "raycast/raycast.h"
#include "scenes/geometry_stats.h"
#include "scenes/shaft_noise.h"

namespace {

constexpr int kMatoSlot = 7;          // Images/matosini.jpg
constexpr int kGreyEnvSlot = 16;      // Images/env1bw.jpg
constexpr int kRockSlot = 17;         // Images/kallio1.jpg
constexpr int kGrassSlot = 20;        // Images/kuivaruoho.jpg
constexpr int kSphereEnvSlot = 27;    // Images/sphere2.jpg
constexpr int kGreenEnvSlot = 28;     // Images/env1g.jpg

// Placement of each spike: translation, then a turn in degrees about an axis.
struct SpikePlace {
  float x, y, z;
  float degrees, ax, ay, az;
};
const SpikePlace kPlaces[kSpikeCount] = {
    {0, 0, 0, 0, 0, 0, 0},
    {45.5f, 13, 52, -32, 1, 1.5f, 0},
    {-45.5f, -13, 65, 120, 0.3f, 1, 1.7f},
};

void buildWorld(SpikeScene& s) {
  s.world = std::make_unique<RayWorld>(3);
  RayWorld& w = *s.world;
  w.lightFlags = 3;
  w.specularGain = 1.0f;
  w.falloffRange = 1.0f;
  w.falloffGain = 0.2f;
  w.falloffBase = 1.0f;
  w.shadowFactor = 0.3f;
  w.addSphere({.radius = 500, .inside = true}, {.textureName = kMatoSlot, .textureScale = 0.2f});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.125f;
  w.depthScale = -1.001f;
  w.depthGain = 1.0f;
}

void buildLight(SpikeScene& s, RayNoiseTables& noise) {
  s.light = std::make_unique<LightShafts>(128, 96, 256, 256, 0.25f, 0.82f);
  LightShafts& l = *s.light;
  l.setPalette(1.4f, 1.5f, 1.6f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 9.0f;
  l.zoomPasses = 7;
  l.shaftLength = 0.6f;
  l.passCounter = 1;
  l.shaftSpread = 0.3898f;
  l.toneGain = 0.55f;
  l.expTone = 1;
  l.rayNoiseOn = 1;
  l.rayNoise = noise.get(kSpikesRayNoise);
  l.noiseSpeed = 180.0f;
  l.noiseMix = 1.0f;
}

void buildModels(SpikeScene& s) {
  s.models = std::make_unique<Scene3ds>(100);
  Scene3ds& m = *s.models;
  m.uvScale = 1.0f;
  m.geometryScale = 1.0f;
  s.spikeBase = m.meshCount;
  for (int i = 0; i < kSpikeCount; ++i) m.load(assetPath("Models/sspike.3ds"));
  m.geometryScale = 1.0f;
  s.flyerBase = m.meshCount;
  m.geometryScale = 35.0f;
  m.load(assetPath("Models/tora.3ds"));

  for (int j = 0; j < m.meshCount; ++j) {
    Mesh3ds& mesh = *m.meshes[size_t(j)];
    mesh.baseTexture = kRockSlot;
    mesh.envTexture = kGreyEnvSlot;
    mesh.renderMode = 5;
    mesh.baseAlpha = 1.0f;
    mesh.envAlpha = 1.0f;
    mesh.constantAttenuation = 2.5f;
    mesh.linearAttenuation = 0.001f;
    mesh.quadraticAttenuation = 0;
    mesh.spotExponent = 0;
    mesh.lightW = 0;
    mesh.basePass = 1;
    mesh.position = Vector3(0, 0, 0);
    if (j == m.meshCount - 1) continue;
    setMaterialColour(mesh.diffuse, 0.08f + 0.002f * float(j), 0.08f, 0.08f - 0.002f * float(j));
    setMaterialColour(mesh.specular, 0.08f, 0.1f, 0.12f);
    setMaterialColour(mesh.ambient, 0.01f, 0.01f, 0.01f);
    mesh.shininess = 2;
  }
  for (int j = s.flyerBase; j < s.flyerBase + kFlyerMeshCount && j < m.meshCount; ++j) {
    Mesh3ds& mesh = *m.meshes[size_t(j)];
    mesh.baseTexture = kGrassSlot;
    mesh.envTexture = kSphereEnvSlot;
    mesh.renderMode = 1;
    setMaterialColour(mesh.diffuse, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.specular, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.ambient, 0.01f, 0.01f, 0.01f);
    mesh.baseAlpha = 1.0f;
    mesh.envAlpha = 1.0f;
    mesh.shininess = 2;
    mesh.constantAttenuation = 2;
    mesh.linearAttenuation = 0.001f;
    mesh.quadraticAttenuation = 0;
    mesh.spotExponent = 0;
    mesh.lightW = 1;
    mesh.basePass = 0;
  }
  // The third flyer mesh is its reflective hull.
  if (s.flyerBase + 2 < m.meshCount) {
    Mesh3ds& hull = *m.meshes[size_t(s.flyerBase + 2)];
    hull.baseTexture = kMatoSlot;
    hull.envTexture = kGreenEnvSlot;
    hull.renderMode = 5;
    setMaterialColour(hull.diffuse, 0.64f, 0.422f, 0.322f);
    setMaterialColour(hull.specular, 1.2f, 0.24f, 0.2f);
    setMaterialColour(hull.ambient, 0.02f, 0.02f, 0.02f);
    hull.baseAlpha = 1.0f;
    hull.envAlpha = 1.0f;
    hull.shininess = 1;
    hull.lightW = 1;
  }
}

void deformSpikes(const SpikeState& state, SpikeScene& s) {
  Scene3ds& m = *s.models;
  const float S = state.seconds;
  const float ms = state.sceneMs;
  for (int i = 0; i < kSpikeCount; ++i) {
    const int index = s.spikeBase + i;
    if (index >= m.meshCount) break;
    const float g = spikeGrowthExponent(s, i, S);
    const float p = spikePush(s, i, S);
    const float a = 3.5f * std::sin(0.0005f * ms + 1.34f * float(i));
    const float b = 3.5f * std::sin(1.114f * float(i) + 0.0003f * ms + 0.3f);
    m.resetDeformed(index);
    for (Vector3& v : m.meshes[size_t(index)]->deformedPositions) deformSpikeVertex(v, g, p, a, b);
    m.updateDeformedNormals(index);
  }
}

// Places the flyer on its path and draws it.
void drawFlyer(const SpikeState& state, SpikeScene& s) {
  Scene3ds& m = *s.models;
  const SplinePath& path = s.flightPath;
  const float f = spikeFlightParameter(state.seconds);
  Vector3 P;
  path.evaluate(f, P);
  Vector3 ahead;
  for (int k = 1; k <= 30; ++k) {
    Vector3 q;
    path.evaluate(spikeLookAheadParameter(f, k), q);
    ahead.add(q);
  }
  const Vector3 D = ahead / 30.0f - P;
  const float h = angleOf(D.x, D.z) - 1.570795f;
  for (int j = s.flyerBase; j < s.flyerBase + kFlyerMeshCount; ++j) {
    m.setMeshPosition(j, P);
    m.setMeshRotation(j, 0.25f * h, h, 0);
    m.drawMesh(j, *s.light, 0);
  }
}

// The camera as the drawn frame sees it: the scene's orthonormalisation,
// then the ray grid's.
ViewCamera drawnCamera(const SpikeScene& s, float ms) {
  ViewCamera c = spikeCamera(s, ms);
  c.orthonormalize();
  c.orthonormalize();
  return c;
}

}  // namespace

SpikeScene::SpikeScene() = default;
SpikeScene::~SpikeScene() = default;

void loadSpikes(SpikeScene& s, SpikeState& state, RayNoiseTables& noise) {
  state = SpikeState{};
  fillShakeTable(s);
  buildWorld(s);
  buildLight(s, noise);
  buildModels(s);
}

void advanceSpikes(SpikeState& s, const SpikeScene& scene, int deltaMs,
                   float& noiseClock) {
  advanceSpikeClock(s, scene, deltaMs);
  const float S = s.seconds;
  if (S < 5.0f) {
    const TimeWindow flicker{0, 5, 4};
    s.toneGain = 0.55f + 0.5f * flicker.ringOut(S, 9.0f, 0.15f);
  }
  advanceShaftNoise(*scene.light, drawnCamera(scene, s.sceneMs), s.lightPosition, deltaMs, noiseClock);
}

void drawSpikes(const SpikeState& state, SpikeScene& s,
                const FrameContext& frame, float noiseClock) {
  LightShafts& light = *s.light;
  const float S = state.seconds;
  s.camera = spikeCamera(s, state.sceneMs);
  s.world->camera = &s.camera;
  s.world->light = &light;
  light.camera = &s.camera;
  light.position = state.lightPosition;

  // The deformed spikes are made afresh for every picture.
  const int64_t deformStarted = tickNanoseconds();
  deformSpikes(state, s);
  frame.geometryStats->nanoseconds += tickNanoseconds() - deformStarted;

  light.fillMask(255);
  s.camera.orthonormalize();

  renderRayGrid(*frame.gfx, *frame.rayGrid, *s.world, GridDepth::Read, frame.software,
                *frame.rayStats);

  Scene3ds& m = *s.models;
  clearDepth(*frame.gfx);
  m.beginCamera(*frame.gfx, s.camera);
  for (int i = 0; i < kSpikeCount; ++i) {
    const SpikePlace& place = kPlaces[i];
    Mat4 placed = translated(m.view, place.x, place.y, place.z);
    if (S > kSpikeShakeStart)
      placed = translated(placed, spikeShake(s, S, i, 0), spikeShake(s, S, i, 1),
                          spikeShake(s, S, i, 2));
    if (place.degrees != 0) placed = rotated(placed, place.degrees, place.ax, place.ay, place.az);
    m.drawMeshIn(placed, s.spikeBase + i, light, 1);
  }

  light.toneGain = state.toneGain;
  if (S > kSpikeShakeStart) drawFlyer(state, s);

  m.occludeByDepth(s.camera, light);

  light.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
  light.passCounter = 1;
}
