#include "scenes/spikes.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>

#include "effects/light_shafts.h"
#include "math/spline_path.h"
#include "models/scene3ds.h"
#include "platform/asset_path.h"
#include "platform/tick_clock.h"
#include "raycast/raycast.h"
#include "scenes/geometry_stats.h"

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
  RayWorld& w = *(s.world = new RayWorld(3));
  w.lightFlags = 3;
  w.specularGain = 1.0f;
  w.falloffRange = 1.0f;
  w.falloffGain = 0.2f;
  w.falloffBase = 1.0f;
  w.shadowFactor = 0.3f;
  w.addSphere({.radius = 500, .inside = true}, {.textureName = kMatoSlot, .textureScale = 0.2f});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.125f;
  s.camera.position = Vector3(0, 5, -25);
  s.camera.forward = Vector3(0, 0, 1);
  w.camera = &s.camera;
}

void buildLight(SpikeScene& s) {
  LightShafts& l = *(s.light = new LightShafts(128, 96, 256, 256, 0.25f, 0.82f));
  l.setPalette(1.4f, 1.5f, 1.6f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 9.0f;
  l.zoomPasses = 7;
  l.shaftLength = 0.6f;
  l.passCounter = 1;
  l.shaftSpread = 0.3898f;
  l.toneGain = 0.55f;
  l.expTone = 1;
  l.camera = &s.camera;
  l.rayNoiseOn = 1;
  l.buildRayNoise(10, 2, 11, 0, 1024, 2.5f);
  l.noiseSpeed = 180.0f;
  l.position = Vector3(-6, 7.5f, 12);
  s.world->light = &l;
}

void buildModels(SpikeScene& s) {
  Scene3ds& m = *(s.models = new Scene3ds(100));
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

void deformSpikes(SpikeScene& s) {
  Scene3ds& m = *s.models;
  const float S = s.seconds;
  const float ms = s.sceneMs;
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

// Places the flyer on its path and, with `draw`, draws it.
void drawFlyer(SpikeScene& s, bool draw) {
  Scene3ds& m = *s.models;
  SplinePath& path = *s.flightPath;
  const float f = spikeFlightParameter(s.seconds);
  Vector3 P;
  path.evaluate(f, P);
  Vector3 ahead;
  for (int k = 1; k <= 30; ++k) {
    Vector3 q;
    path.evaluate(spikeLookAheadParameter(f, k), q);
    ahead.add(q);
  }
  const Vector3 D = ahead / 30.0f - P;
  if (draw) {
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
  }
  const float h = angleOf(D.x, D.z) - 1.570795f;
  for (int j = s.flyerBase; j < s.flyerBase + kFlyerMeshCount; ++j) {
    m.setMeshPosition(j, P);
    m.setMeshRotation(j, 0.25f * h, h, 0);
    if (!draw) continue;
    glPushMatrix();
    m.drawMesh(j, *s.light, 0);
    glPopMatrix();
  }
}

}  // namespace

void initSpikeScene() {
  SpikeScene& s = spikeScene;
  fillShakeTable(s);
  buildWorld(s);
  buildSpikePaths(s);
  buildLight(s);
  buildModels(s);
}

void renderSpikeScene(int deltaMs, bool draw) {
  SpikeScene& s = spikeScene;
  LightShafts& light = *s.light;
  advanceSpikeClock(s, deltaMs, light.position);
  const float S = s.seconds;

  s.camera.position = spikeCameraPosition(s, s.sceneMs);
  s.camera.lookAt(Vector3(-10, 0, 0));
  light.noiseMix = 1.0f;

  // The deformed spikes are made afresh for every picture.
  if (draw) {
    const int64_t deformStarted = tickNanoseconds();
    deformSpikes(s);
    geometryStats.nanoseconds += tickNanoseconds() - deformStarted;
  }

  light.fillMask(255);
  s.camera.orthonormalize();

  if (draw) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
  }
  s.world->depthScale = -1.001f;
  s.world->depthGain = 1.0f;
  renderRayGrid(*s.world, GridDepth::Read, draw);

  Scene3ds& m = *s.models;
  if (draw) {
    glClear(GL_DEPTH_BUFFER_BIT);
    m.beginCamera(s.camera);
  }
  for (int i = 0; draw && i < kSpikeCount; ++i) {
    const SpikePlace& place = kPlaces[i];
    glPushMatrix();
    glTranslatef(place.x, place.y, place.z);
    if (S > kSpikeShakeStart)
      glTranslatef(spikeShake(S, i, 0), spikeShake(S, i, 1), spikeShake(S, i, 2));
    if (place.degrees != 0) glRotatef(place.degrees, place.ax, place.ay, place.az);
    m.drawMesh(s.spikeBase + i, light, 1);
    glPopMatrix();
  }

  if (S < 5.0f) {
    const TimeWindow flicker{0, 5, 4};
    light.toneGain = 0.55f + 0.5f * flicker.ringOut(S, 9.0f, 0.15f);
  }

  if (S > kSpikeShakeStart) drawFlyer(s, draw);

  if (draw) {
    m.occludeByDepth(s.camera, light);
    m.endCamera();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
  }

  light.noiseDeltaMs = deltaMs;
  light.drawShafts(draw);
  light.passCounter = 1;
}
