#include "scenes/lamp_park.h"

#include <cmath>

#include "effects/light_shafts.h"
#include "raycast/raycast.h"
#include "scenes/lit_world.h"
#include "scenes/shaft_noise.h"

namespace {

constexpr int kGrassSlot = 12;
constexpr int kSkySlot = 7;
constexpr int kLegSlot = 10;
constexpr int kKneeSlot = 11;

const Vector3 kLampPositions[kParkLampCount] = {
    {-8.4f, 2, 16.8f},  {8.4f, 0, -26.6f}, {15.4f, 0, -22.4f}, {0, 0, -18.2f},
    {14, 0, -15.4f},    {-18.2f, 0, 15.4f}, {5.6f, 0, -8.4f},  {-9.8f, 0, -7},
    {-11.2f, 0, 2.8f},  {5.6f, 0, 25.2f},  {11.2f, 0, 21},    {8.4f, 0, 14}};

void addHill(RayWorld& w, float x, float y, float z) {
  w.addSphere({.position = {x, y, z}, .radius = 10},
              {.textureName = kGrassSlot, .textureScale = 4.0f, .castsShadow = true,
               .receivesShadow = true});
  w.lastAdded->falloffBase = 1.5f;
  w.lastAdded->falloffGain = 0.28f;
  w.lastAdded->falloffRange = 1.0f;
}

void addWalkers(LampParkScene& s, LampParkState& state) {
  for (int i = 0; i < kParkWalkerCount; ++i) {
    const float f = float(i);
    float x;
    Walker& walker = state.walkers[i];
    if (i % 2 == 0) {
      walker = Walker(0.6f, 0.6f, 0.6f, 0.6f, 0.7f, 0.4f, 0.375f);
      x = std::sin(12 * f + 0.4312f) * std::cos(42 * f) * 10 + 21;
    } else {
      walker = Walker(0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.25f, 0.375f);
      x = std::sin(132 * f) * std::cos(42315 * f) * 10 + 21;
    }
    walker.position.set(x, 0, std::cos(std::sin(242 * f) + 2342 * f) * 6 + 17);
    s.walkerParts[i] = walker.addWalkerParts(*s.world, kLegSlot, kKneeSlot, 0.4f, 1.5f, 0.125f,
                                             0.1275f, 0.125f, 0.1275f);
    walker.heading = 0;
    walker.updateWalker(1000, f * 0.2f + 1);
  }
}

void buildPaths(LampParkScene& s) {
  s.highPath = SplinePath(20, false);
  for (const Vector3& p : {Vector3(15.4f, 7.5f, -29.4f), Vector3(7, 7.5f, -15.4f),
                           Vector3(-4.2f, 7.5f, 0), Vector3(0, 7.5f, 7), Vector3(4.2f, 7.5f, 14),
                           Vector3(4.2f, 7.5f, 22.4f)})
    s.highPath.addPoint(p);
  s.highPath.computeTangents(5.0f, true);

  s.middlePath = SplinePath(20, false);
  for (const Vector3& p : {Vector3(11.2f, 4, 28), Vector3(4.2f, 4, 14), Vector3(0, 4, 7),
                           Vector3(-5.6f, 4, 0), Vector3(-1.4f, 4, -8.4f), Vector3(7, 4, -15.4f)})
    s.middlePath.addPoint(p);
  s.middlePath.computeTangents(7.5f, true);

  s.lowPath = SplinePath(20, false);
  for (const Vector3& p : {Vector3(-15.4f, 2, -12.6f), Vector3(-1.4f, 2, -8.4f),
                           Vector3(12.65f, 2, 0)})
    s.lowPath.addPoint(p);
  s.lowPath.computeTangents(7.5f, true);

  s.lightPath = SplinePath(10, true);
  for (const Vector3& p : {Vector3(14, 4, -7), Vector3(-9.8f, 4, 7), Vector3(4.2f, 4, 21)})
    s.lightPath.addPoint(p);
  s.lightPath.computeTangents(5.0f, true);
}

}  // namespace

LampParkScene::LampParkScene() = default;
LampParkScene::~LampParkScene() = default;

void buildLampParkWorld(LampParkScene& s, LampParkState& state) {
  state = LampParkState{};
  s.world = std::make_unique<RayWorld>(80);
  RayWorld& w = *s.world;
  w.falloffRange = 1.0f;
  w.lightFlags = 3;
  w.falloffBase = 1.5f;
  w.falloffGain = 0.28f;
  w.specularGain = 0.7f;
  w.shadowFactor = 0.3f;

  // Ground and the sky sphere around it.
  w.addFloor({.position = {0, 0, 0}},
             {.textureName = kGrassSlot, .textureScale = 0.08f, .receivesShadow = true});
  w.lastAdded->falloffBase = 1.05f;
  w.lastAdded->falloffGain = 0.12f;
  w.lastAdded->falloffRange = 1.0f;
  w.addSphere({.radius = 100, .inside = true}, {.textureName = kSkySlot, .textureScale = 0.5f});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.125f;

  addHill(w, -11.2f, -8, -19.6f);
  addHill(w, 12.65f, -8, 0);
  addHill(w, -8.4f, -8, 16.8f);

  s.lamps.clear();
  s.lamps.reserve(kParkLampCount);
  for (const Vector3& p : kLampPositions) {
    s.lamps.emplace_back(p, Vector3(0, 1, 0));
    addLampPost(s.lamps.back(), w);
  }

  state.camera.position.set(0, 5, -25);
  state.camera.forward.set(0, 0, 1);

  buildPaths(s);
  addWalkers(s, state);

  // Outer sky, beyond everything.
  w.addSphere({.radius = 1000, .inside = true}, {.textureName = kSkySlot, .textureScale = 0.2f});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.1f;
}

void stepLampParkMotion(LampParkState& s, const LampParkScene& scene, int deltaMs, int variant) {
  const float dt = float(deltaMs);
  s.sceneClock += dt;
  if (variant == 1) {
    scene.highPath.evaluate(s.flightClock * 0.00001f, s.camera.position);
    s.camera.forward.set(-0.5f, -0.75f, 1.0f);
    s.flightClock += dt;
  } else if (variant == 2) {
    const float u = s.flightClock * 0.000035f;
    scene.lowPath.evaluate(u, s.camera.position);
    Vector3 ahead;
    scene.lowPath.evaluate(u + 0.00015f, ahead);
    s.camera.lookAt(ahead);
    s.flightClock += dt;
  } else if (variant == 3) {
    scene.middlePath.evaluate(s.walkClock * 0.00003f, s.camera.position);
    s.walkClock += dt;
    for (Walker& walker : s.walkers) {
      walker.heading = -1.570795f;
      walker.updateWalker(dt, 0.75f);
    }
    Vector3 target = walkerBodyPosition(s.walkers[1]);
    target.y = 2.0f;
    s.camera.lookAt(target);
  }
  scene.lightPath.evaluate(s.sceneClock * 0.00002f, s.lightPosition);
}

void loadLampPark(LampParkScene& s, LampParkState& state, RayNoiseTables& noise) {
  buildLampParkWorld(s, state);
  s.light = std::make_unique<LightShafts>(128, 96, 256, 256, 0.32f, 0.8f);
  LightShafts& l = *s.light;
  l.setPalette(1.75f, 1.75f, 1.0f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 2.0f;
  l.zoomPasses = 6;
  l.shaftLength = 0.65f;
  l.shaftSpread = 0.215f;
  l.passCounter = 1;
  l.expTone = 1;
  l.rayNoiseOn = 1;
  l.rayNoise = noise.get(kLampParkRayNoise);
  l.noiseSpeed = 150.0f;
  l.toneGain = 0.6f;
}

void advanceLampPark(LampParkState& s, const LampParkScene& scene, int deltaMs, int variant,
                     float& noiseClock) {
  stepLampParkMotion(s, scene, deltaMs, variant);
  advanceShaftNoise(*scene.light, drawnCamera(s.camera, 2), s.lightPosition, deltaMs, noiseClock);
}

void drawLampPark(const LampParkState& s, LampParkScene& scene,
                  const FrameContext& frame, float noiseClock) {
  RayWorld& world = *scene.world;
  LightShafts& light = *scene.light;
  aimLitWorld(world, light, scene.camera, s.camera, s.lightPosition);
  for (int i = 0; i < kParkWalkerCount; ++i) placeWalker(s.walkers[i], scene.walkerParts[i], world);

  const float c = s.sceneClock;
  light.setPalette(std::sin(c * 0.0001f) * 0.5f + 1.5f, std::sin(c * 0.0002f) * 0.5f + 1.5f,
                   std::sin(c * 0.0003f) * 0.5f + 1.5f, 0, 0, 0);
  light.fillMask(255);
  scene.camera.orthonormalize();
  // Only the shafts follow, which test no depth.
  renderRayGrid(*frame.gfx, *frame.rayGrid, world, GridDepth::Unread, frame.software,
                *frame.rayStats);
  light.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
  light.passCounter = 1;
}
