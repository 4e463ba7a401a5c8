#include "scenes/lantern_corridor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "passes/static_texture.h"
#include "raycast/raycast.h"
#include "scenes/lit_world.h"

namespace {

constexpr int kFlatSlot = 1;      // filled here: a flat dark blue, alpha 0
constexpr int kRockSlot = 4;      // Images/prock.jpg
constexpr int kWallSlot = 6;
constexpr int kLanternSlot = 17;

const Vector3 kCutAxes[kLanternParts] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                         {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
const Vector3 kAddedCutAxes[kLanternParts] = {{0, 0, 1},  {0, 0, -1}, {0, 1, 0},
                                              {0, -1, 0}, {1, 0, 0},  {-1, 0, 0}};

void fillFlatTexture(Gfx& gfx, SoftwarePasses* software) {
  std::vector<unsigned char> texels(size_t(128) * 256 * 4);
  for (size_t i = 0; i < texels.size(); i += 4) {
    texels[i] = 34;
    texels[i + 1] = 34;
    texels[i + 2] = 102;
    texels[i + 3] = 0;
  }
  // It never changes again.
  defineStaticTexture(gfx, software, {kFlatSlot, 128, 256, PixelFormat::kRgba, texels.data()});
}

void buildWorld(LanternCorridorScene& s) {
  s.world = std::make_unique<RayWorld>(20);
  RayWorld& w = *s.world;
  w.glowGain = 0.5f;
  w.lightFlags = 3;
  w.falloffRange = 1.0f;
  w.falloffGain = 0.2f;
  w.falloffBase = 1.015f;
  w.specularGain = 1.0f;
  w.shadowFactor = 0.5f;
  w.wobble = false;

  // 1: rippled mirror strip along the floor.
  w.addQuad({.position = {0, 0.5f, 0}, .edgeU = {3, 0, 0}, .edgeV = {0, 0, 1000}},
            {.textureName = kWallSlot, .textureScale = 0.125f, .reflective = true});
  RayObject* o = w.lastAdded;
  o->axis = Vector3(0, -1, 0);
  o->colour = Vector3(0, 0, 0.25f);
  o->ripple = 1;
  o->rippleFrequency = 1.0f;
  o->rippleAmplitude = 0.1f;

  // 2, 3: the walls.
  for (float x : {3.0f, -3.0f}) {
    w.addQuad({.position = {x, 0, 0}, .edgeU = {0, 2, 0}, .edgeV = {0, 0, 1000}},
              {.textureName = kWallSlot, .textureScale = 0.327f, .receivesShadow = true});
    o = w.lastAdded;
    o->textureOffsetA = -0.6f;
    o->axis = Vector3(-1, 0, 0);
    o->colour = Vector3(0, 0.1f, 0);
  }

  // 4: the ceiling, open over the corridor.
  w.addQuad({.position = {0, 2, 0}, .edgeU = {3, 0, 0}, .edgeV = {0, 0, 1000}, .cutOut = true},
            {.textureName = kWallSlot, .textureScale = 0.327f, .receivesShadow = true});
  o = w.lastAdded;
  o->textureOffsetA = -0.45f;
  o->axis = Vector3(0, -1, 0);
  o->colour = Vector3(0, 0.1f, 0);

  // 5: the tunnel around everything.
  w.addTubeZ({.axisLength = 1.0f, .radius = 8.0f, .length = 0, .inside = true},
             {.textureName = kRockSlot, .textureScale = 0.05f, .receivesShadow = true});
  w.lastAdded->colour = Vector3(0, 0.1f, 0);

  // 6..11: the lantern; its axes are set every frame.
  for (const Vector3& cut : kAddedCutAxes) {
    w.addCutSphere({.radius = 1.5f, .cutAxis = cut, .cutLimit = 0.2f},
                   {.textureName = kLanternSlot, .castsShadow = true});
    o = w.lastAdded;
    o->colour = Vector3(0, 0.01f, 0);
    o->falloffBase = 0.6f;
  }
}

void buildLight(LanternCorridorScene& s) {
  s.light = std::make_unique<LightShafts>(128, 96, 128, 128, 0.3f, 3.0f);
  LightShafts& l = *s.light;
  l.setPalette(1.0f, 1.75f, 1.0f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 3.0f;
  l.zoomPasses = 7;
  l.shaftLength = 0.62f;
  l.expTone = 0;
  l.shaftSpread = 0.23f;
  l.rayNoiseOn = 0;
  l.passCounter = 1;
}

// Cut axes and mapping axes of the lantern parts, turned by `spin`, around
// the light.
void placeLantern(RayWorld& world, const Vector3& spin, const Vector3& centre) {
  const Vector3 u(1, 0, 0), v(0, 1, 0), w(0, 0, 1);
  for (int i = 0; i < kLanternParts; ++i) {
    RayObject& o = world.objects[kLanternFirstId + i];
    rotateEuler(kCutAxes[i], spin, o.cutAxis);
    rotateEuler(u, spin, o.uAxis);
    rotateEuler(v, spin, o.vAxis);
    rotateEuler(w, spin, o.wAxis);
    o.position.copyFrom(centre);
  }
}

}  // namespace

LanternCorridorScene::LanternCorridorScene() = default;
LanternCorridorScene::~LanternCorridorScene() = default;

void initLanternMotion(LanternCorridorScene& scene, LanternCorridorState& s) {
  s = LanternCorridorState{};
  s.camera.position = Vector3(0, 2, 0);
  s.camera.up = Vector3(0, -1, 0);
  s.camera.forward = Vector3(0, 0, 1);
  scene.path = SplinePath(5, true);
  scene.path.addPoint(0, 4, 0);
  scene.path.addPoint(0, 4, 20);
  scene.path.addPoint(0, 3, 40);
  scene.path.addPoint(0, 2, 20);
  scene.path.computeTangents(3.0f, true);
}

void loadLanternCorridor(LanternCorridorScene& scene, LanternCorridorState& state,
                         Gfx& gfx, SoftwarePasses* software) {
  fillFlatTexture(gfx, software);
  buildWorld(scene);
  buildLight(scene);
  initLanternMotion(scene, state);
}

void advanceLanternCorridor(LanternCorridorState& s, const LanternCorridorScene& scene,
                            int deltaMs, int variant) {
  const float dt = float(deltaMs);
  s.sceneClock += dt;
  s.shownSpin = s.spin;
  s.spin.x += dt * 0.00154f;
  s.spin.y += dt * 0.00025f;
  s.spin.z += dt * 0.000555f;

  Vector3& lightPosition = s.lightPosition;
  if (variant == 0) {
    const float clock = s.sceneClock;
    s.camera.position.z = clock * 0.005f;
    lightPosition.z = 50.0f - clock * 0.00125f + clock * 0.005f;
    s.camera.forward = Vector3(0, 0, 10);
    if (clock < 4000.0f) {
      s.camera.forward.y = -10.0f;
    } else {
      // From looking up to level over ten seconds.
      s.camera.forward.y = std::min(s.tiltClock * 0.001f - 10.0f, 0.0f);
      s.tiltClock += dt;
    }
    if (clock > 17000.0f) {
      s.window = TimeWindow{17.0f, 3.5f, 7.0f};
      const float e = s.window.easeIn(clock * 0.001f, 7.0f, 1.0f);
      const float f = s.window.fall(clock * 0.000825f);
      s.camera.position.z *= std::pow(e * f, 0.25f) * 0.03f + 1.0f;
    }
  } else if (variant == 1) {
    scene.path.evaluate(s.pathParam + 0.1f, lightPosition);
    scene.path.evaluate(s.pathParam, s.camera.position);
    Vector3 target;
    scene.path.evaluate(s.pathParam + 0.2f, target);
    s.camera.lookAt(target);
    s.camera.lookAt(lightPosition);
    s.pathParam += dt * 0.00004f;
  }
}

void drawLanternCorridor(const LanternCorridorState& s, LanternCorridorScene& scene,
                         const FrameContext& frame, float noiseClock) {
  RayWorld& world = *scene.world;
  LightShafts& light = *scene.light;
  aimLitWorld(world, light, scene.camera, s.camera, s.lightPosition);
  placeLantern(world, s.shownSpin, s.lightPosition);

  light.fillMask(255);
  // Only the shafts follow, which test no depth.
  renderRayGrid(*frame.gfx, *frame.rayGrid, world, GridDepth::Unread, frame.software,
                *frame.rayStats);
  light.passCounter = 1;
  light.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
}
