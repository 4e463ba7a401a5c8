#include "scenes/ringed_planet.h"

#include <algorithm>

#include "gfx/gfx.h"
#include "platform/asset_path.h"
#include "raycast/raycast.h"

const float kCraftStartTimes[kCraftCount] = {21.0f, 21.4f, 21.8f};

namespace {

constexpr int kRockSlot = 4;          // Images/prock.jpg
constexpr int kSkySlot = 5;           // Images/sky5.jpg
constexpr int kMatoSlot = 7;          // Images/matosini.jpg
constexpr int kRingSlot = 15;         // Images/ring5.jpg
constexpr int kGrassSlot = 20;        // Images/kuivaruoho.jpg
constexpr int kPlanetSlot = 21;       // Images/sat.jpg
constexpr int kCreditsSlot = 22;      // Images/creditsO.pcx
constexpr int kCreditsWorkSlot = 23;  // its second copy, overwritten by the blurs
constexpr int kSphereEnvSlot = 27;    // Images/sphere2.jpg
constexpr int kGreenEnvSlot = 28;     // Images/env1g.jpg
constexpr int kCreditsFeedbackSlot = 2;

constexpr int kPathPoints = 5;
const float kPathPoints3[kCraftCount][kPathPoints][3] = {
    {{-34, 4, 14}, {36, 6, -12}, {78, 15, -42}, {135, -15, -219}, {45, -45, -369}},
    {{-34, 2, 10.5f}, {36, 3, -22.5f}, {78, 16.5f, -52.5f}, {135, -16.5f, -229.5f},
     {45, -47.25f, -379.5f}},
    {{-34, 2, 17.5f}, {36, 3, -1.5f}, {78, 16.5f, -31.5f}, {135, -16.5f, -208.5f},
     {45, -47.25f, -358.5f}},
};

void buildWorld(RingedPlanetScene& s) {
  s.world = std::make_unique<RayWorld>(10);
  RayWorld& w = *s.world;
  w.lightFlags = 17;
  w.falloffRange = 50;
  w.falloffGain = 0.85f;

  w.addSphere({.radius = 500, .inside = true}, {.textureName = kSkySlot, .textureScale = 3});
  RayObject& sky = *w.lastAdded;
  sky.uAxis = Vector3(-1.5f, 0, 0);
  sky.vAxis = Vector3(0, 0.8f, 0);
  sky.wAxis = Vector3(0, 0, 1);
  sky.uAxis.rotateY(-0.3455749f);
  sky.vAxis.rotateY(-0.3455749f);
  sky.wAxis.rotateY(-0.3455749f);
  sky.textureOffsetA = -0.2f;
  sky.textureOffsetB = 0.5f;
  sky.lightFlags = 0;

  w.addSphere({.position = {0, 5, 0}, .radius = 2},
              {.textureName = kRockSlot, .textureScale = 1.25f});
  RayObject& ball = *w.lastAdded;
  ball.lightFlags = 3;
  ball.falloffGain = 0.7f;
  ball.colour = Vector3(0, 0.1f, 0);

  w.addSphere({.position = {-5, 2, -1.5f}, .radius = 2},
              {.textureName = kPlanetSlot, .textureScale = 7, .castsShadow = true,
               .receivesShadow = true});
  RayObject& planet = *w.lastAdded;
  planet.falloffGain = 0.7f;
  planet.colour = Vector3(0, 0.1f, 0);

  w.addFloorRing({.position = {-5, 2, -1.5f}, .inner = 15, .outer = 35},
                 {.textureName = kRingSlot, .textureScale = 0.08f, .receivesShadow = true});
  RayObject& ring = *w.lastAdded;
  ring.textureOffsetA = 0.5f;
  ring.textureOffsetB = 0.5f;
  ring.lightFlags = 0;
  ring.colour = Vector3(0, 0.02f, 0);
  ring.falloffGain = 0.5f;
  ring.shadowFactor = 0.1f;
}

void buildLight(RingedPlanetScene& s, RayNoiseTables& noise) {
  s.light = std::make_unique<LightShafts>(128, 96, 256, 256, 0.25f, 2.0f);
  LightShafts& l = *s.light;
  l.setPalette(1.95f, 1.7f, 1.1f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 9;
  l.zoomPasses = 7;
  l.shaftLength = 0.525f;
  l.shaftSpread = 0.3898f;
  l.toneGain = 1.35f;
  l.rayNoiseOn = 1;
  l.rayNoise = noise.get(kRingedPlanetRayNoise);
  l.noiseSpeed = 165;
  l.position = Vector3(0, 0, 50);
  s.world->light = &l;
}

void buildModels(RingedPlanetScene& s) {
  s.models = std::make_unique<Scene3ds>(20);
  Scene3ds& m = *s.models;
  m.uvScale = 1;
  m.geometryScale = 1;
  for (int k = 0; k < kCraftCount; ++k) {
    s.meshStart[k] = m.meshCount;
    m.load(assetPath("Models/tora.3ds"));
  }
  for (int i = 0; i < m.meshCount; ++i) {
    Mesh3ds& mesh = *m.meshes[size_t(i)];
    setMaterialColour(mesh.diffuse, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.specular, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.ambient, 0.01f, 0.01f, 0.01f);
    mesh.baseAlpha = 1;
    mesh.envAlpha = 1;
    mesh.shininess = 2;
    mesh.renderMode = 1;
    mesh.baseTexture = kGrassSlot;
    mesh.envTexture = kSphereEnvSlot;
    mesh.lightW = 1;
    mesh.spotExponent = 0;
    mesh.constantAttenuation = 2;
    mesh.linearAttenuation = 0.001f;
    mesh.quadraticAttenuation = 0;
    mesh.basePass = 0;
  }
  // The third mesh of each craft is its reflective hull.
  for (int k = 0; k < kCraftCount; ++k) {
    const int index = s.meshStart[k] + 2;
    if (index >= m.meshCount) continue;
    Mesh3ds& hull = *m.meshes[size_t(index)];
    hull.baseTexture = kMatoSlot;
    hull.envTexture = kGreenEnvSlot;
    hull.renderMode = 5;
    setMaterialColour(hull.diffuse, 0.64f, 0.422f, 0.322f);
    setMaterialColour(hull.specular, 1.2f, 0.24f, 0.2f);
    setMaterialColour(hull.ambient, 0.02f, 0.02f, 0.02f);
    hull.baseAlpha = 1;
    hull.envAlpha = 1;
    hull.shininess = 1;
    hull.lightW = 1;
  }
}

bool sameBlur(const CreditBlur& a, const CreditBlur& b) {
  return a.vSpread == b.vSpread && a.amount == b.amount && a.red == b.red &&
         a.green == b.green && a.blue == b.blue;
}

void flyCraft(RingedPlanetState& s, const RingedPlanetScene& scene, int deltaMs) {
  for (int k = 0; k < kCraftCount; ++k) {
    if (!craftFlying(k, s.sceneSeconds)) continue;
    const SplinePath& path = scene.paths[k];
    Vector3 ahead;
    path.evaluate(std::min(s.craftTravel[k] + 0.05f, 1.0f), ahead);
    Vector3 here;
    path.advance(s.craftTravel[k], 51.0f, float(deltaMs), here);
    Vector3 d = ahead - here;
    // At the path's end the look-ahead meets the craft: keep its heading.
    if (d.lengthSquared() > 1e-12f) {
      d.normalize();
      s.craftHeading[k] = angleOf(d.x, d.z);
    }
  }
}

void drawCraft(Gfx& gfx, const RingedPlanetState& state, RingedPlanetScene& s) {
  Scene3ds& m = *s.models;
  clearDepth(gfx);
  m.beginCamera(gfx, s.camera);
  for (int k = 0; k < kCraftCount; ++k) {
    if (!craftFlying(k, state.sceneSeconds)) continue;
    Vector3 here;
    s.paths[k].evaluate(state.craftTravel[k], here);
    const float a = state.craftHeading[k] - 1.570795f;
    for (int i = s.meshStart[k]; i < s.meshStart[k] + kCraftMeshesDrawn; ++i) {
      m.setMeshRotation(i, a * 0.5f, a, 0);
      m.setMeshPosition(i, here);
      m.drawMesh(i, *s.light, 0);
    }
  }
}

}  // namespace

void turnPlanetCamera(RingedPlanetState& s, int deltaMs) {
  if (s.sceneSeconds < 20.0f) {
    s.yawAngle += float(deltaMs) * 0.00002f;
    s.pitchAngle += float(deltaMs) * 0.00001f;
  } else {
    s.yawAngle += float(deltaMs) * 0.000025f;
    s.pitchAngle += float(deltaMs) * 0.00002f;
  }
  rotateEuler(Vector3(0, 0, 1), s.pitchAngle, s.yawAngle, 0, s.camera.forward);
}

bool craftFlying(int craft, float sceneSeconds) {
  return sceneSeconds > kCraftFirstStart && sceneSeconds > kCraftStartTimes[craft];
}

void loadRingedPlanet(RingedPlanetScene& s, RingedPlanetState& state, Gfx& gfx,
                      SoftwarePasses* software, RayNoiseTables& noise) {
  buildWorld(s);
  buildLight(s, noise);

  state = RingedPlanetState{};
  state.camera.position = Vector3(0, 5, -5);
  state.camera.forward = Vector3(0, 0, 1);
  s.world->camera = &s.camera;
  s.light->camera = &s.camera;

  s.feedback = std::make_unique<FeedbackBuffer>(gfx, software);
  s.feedback->textures[kCreditsFeedbackSlot] = kCreditsSlot;
  s.feedback->textures[kCreditsFeedbackSlot + 6] = kCreditsWorkSlot;

  initCreditSizes(state.credits);
  buildModels(s);
}

void buildCraftPaths(RingedPlanetScene& s) {
  for (int k = 0; k < kCraftCount; ++k) {
    SplinePath& path = s.paths[k] = SplinePath(20, false);
    for (const float* p : kPathPoints3[k]) path.addPoint(p[0], p[1], p[2]);
    path.computeTangents(15, true);
  }
}

void advanceRingedPlanet(RingedPlanetState& s, const RingedPlanetScene& scene, int deltaMs,
                         float& noiseClock) {
  s.sceneSeconds += float(deltaMs) * 0.001f;
  s.camera.position.x += float(deltaMs) * 0.0001f;
  s.blurCount = stepCredits(s.credits, s.sceneSeconds, s.blurs);
  turnPlanetCamera(s, deltaMs);
  if (s.sceneSeconds > kCraftFirstStart) flyCraft(s, scene, deltaMs);
  // The light is never tested for cover: its whole flare is seen, through
  // the camera as the grid will square it.
  ViewCamera seen = s.camera;
  seen.orthonormalize();
  const LightShafts& light = *scene.light;
  s.shafts = stepShafts(light, seen, light.position, light.flareIntensity, deltaMs, noiseClock);
  settleCreditGrowth(s.credits);
}

void drawRingedPlanet(const RingedPlanetState& state, RingedPlanetScene& s,
                      const FrameContext& frame) {
  for (int i = 0; i < state.blurCount; ++i) {
    const CreditBlur& b = state.blurs[i];
    // The blur reads only the fixed credits image and its own passes, so the
    // same parameters give the same texture: once an event's window is over
    // the latest blur need not be redone every frame.
    if (sameBlur(b, s.heldBlur)) continue;
    s.heldBlur = b;
    s.feedback->tintedBlur(kCreditsFeedbackSlot, 7, 1.0f, b.vSpread, b.amount, b.red, b.green,
                           b.blue);
    clearFrame(*frame.gfx, kBlack);
  }

  s.camera = state.camera;
  s.light->fillMask(128);
  // The craft clear the depth before they test it: nothing reads the grid's.
  renderRayGrid(*frame.gfx, *frame.rayGrid, *s.world, GridDepth::Unread, frame.software,
                *frame.rayStats);

  if (state.sceneSeconds > kCraftFirstStart) drawCraft(*frame.gfx, state, s);

  drawShaftStep(*frame.gfx, *s.light, state.shafts, *frame.shaftStats);

  drawCreditsOverlay(*frame.gfx, state.credits, state.sceneSeconds);
}
