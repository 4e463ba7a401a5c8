#include "scenes/sky_flashes.h"

#include <cmath>

#include "raycast/raycast.h"

const SkyFlash kSkyFlashes[kSkyFlashEntryCount] = {
    // Lights 7 to 9 beat every four seconds.
    {7, 0}, {8, 500}, {9, 3500}, {7, 4000}, {8, 4250}, {9, 4500},
    {7, 8000}, {8, 8500}, {9, 11500}, {7, 12000}, {8, 12250}, {9, 12500},
    // All ten together, twice.
    {0, 16000}, {1, 16000}, {2, 16000}, {3, 16000}, {4, 16000},
    {5, 16000}, {6, 16000}, {7, 16000}, {8, 16000}, {9, 16000},
    {0, 16500}, {1, 16500}, {2, 16500}, {3, 16500}, {4, 16500},
    {5, 16500}, {6, 16500}, {7, 16500}, {8, 16500}, {9, 16500},
    // Lights 0 to 6 chase down the diagonal and back every eight seconds.
    {0, 0}, {1, 200}, {2, 400}, {3, 800}, {4, 1000}, {5, 1200}, {6, 1400},
    {6, 4000}, {5, 4200}, {4, 4400}, {3, 4600}, {2, 4800}, {1, 5000}, {0, 5200},
    {0, 8000}, {1, 8200}, {2, 8400}, {3, 8800}, {4, 9000}, {5, 9200}, {6, 9400},
    {6, 12000}, {5, 12200}, {4, 12400}, {3, 12600}, {2, 12800}, {1, 13000}, {0, 13200},
};

namespace {

// Grid pair (a, b) of each light; its position is (10a - 20, 6b - 5, 50).
struct LightPlace {
  int a, b;
  float r, g, bl;
};
const LightPlace kPlaces[kSkyFlashLightCount] = {
    {4, 4, 1, 1, 1.75f},   {3, 3, 1, 1, 1.75f},   {2, 2, 1, 1, 1.75f},
    {1, 1, 1, 1, 1.75f},   {0, 0, 1, 1, 1.75f},   {-1, -1, 1, 1, 1.75f},
    {-2, -2, 1, 1, 1.75f}, {-2, 4, 1.75f, 1.75f, 1}, {3, -2, 1.75f, 1.75f, 1},
    {6, -2, 1.75f, 1.75f, 1},
};

constexpr int kSkyTextureSlot = 5;
const Vector3 kTarget{0, 0, 15};

}  // namespace

float skyFlashIntensity(float elapsedMs) {
  return (std::sin(elapsedMs * 0.002094393333f + 1.570795f) + 1.0f) * 30.0f;
}

void loadSkyFlashes(SkyFlashScene& s, SkyFlashState& state) {
  for (int i = 0; i < kSkyFlashLightCount; ++i) {
    const LightPlace& p = kPlaces[i];
    const float a = 10.0f * float(p.a);
    const float b = 6.0f * float(p.b);
    auto light = std::make_unique<LightShafts>(128, 96, 128, 128, 0.2f, 1.0f);
    light->setPalette(p.r, p.g, p.bl, 0, 0, 0);
    light->noFlareTest = 0;
    light->smoothMask = 0;
    light->zoomPasses = 0;
    light->shaftLength = 0.605f;
    light->position = Vector3(a - 20.0f, b - 5.0f, 50.0f);
    light->camera = &s.camera;
    light->fillMask(128);
    s.lights[i] = std::move(light);
  }

  s.world = std::make_unique<RayWorld>(10);
  s.world->addSphere({.radius = 500, .inside = true},
                     {.textureName = kSkyTextureSlot, .textureScale = 4});
  RayObject& sky = *s.world->lastAdded;
  sky.uAxis = Vector3(1.5f, 0, 0);
  sky.vAxis = Vector3(0, 1, 0);
  sky.wAxis = Vector3(0, 0, 1);
  sky.uAxis.rotateY(-0.3455749f);
  sky.vAxis.rotateY(-0.3455749f);
  sky.wAxis.rotateY(-0.3455749f);
  sky.textureOffsetA = 0.5f;
  sky.textureOffsetB = 0.9f;
  sky.lightFlags = 0;  // the sky shows its texture unlit

  s.world->light = s.lights[6].get();
  s.world->camera = &s.camera;
  state = SkyFlashState{};
  state.camera.position = Vector3(0, 0, 0);
  state.camera.forward = Vector3(0, 0, 1);
}

void advanceSkyFlashes(SkyFlashState& s, int deltaMs) {
  s.sceneClock += float(deltaMs);
  s.camera.position = Vector3(s.sceneClock * 0.0001f - 1.0f, s.sceneClock * 0.00002f - 0.2f, 0);
  s.camera.lookAt(kTarget);
  for (int i = 0; i < kSkyFlashLightCount; ++i) s.lightsBefore[i] = s.lights[i];
  for (const SkyFlash& flash : kSkyFlashes) {
    const float e = s.sceneClock - float(flash.startMs);
    if (e > 0.0f && e < kSkyFlashLengthMs) {
      SkyFlashLight& light = s.lights[flash.light];
      light.flare = skyFlashIntensity(e);
      light.seen = light.flare;
    }
  }
}

void drawSkyFlashes(const SkyFlashState& state, SkyFlashScene& s, const FrameContext& frame,
                    float noiseClock) {
  s.camera = state.camera;
  for (int i = 0; i < kSkyFlashLightCount; ++i) {
    s.lights[i]->flareIntensity = state.lightsBefore[i].flare;
    s.lights[i]->visibleFlare = state.lightsBefore[i].seen;
  }
  // Only the shafts follow, which test no depth. The grid decides whether
  // light 6's flare is seen.
  renderRayGrid(*frame.gfx, *frame.rayGrid, *s.world, GridDepth::Unread, frame.software,
                *frame.rayStats);

  // A light with two live entries is drawn twice, once per entry.
  for (const SkyFlash& flash : kSkyFlashes) {
    const float e = state.sceneClock - float(flash.startMs);
    if (e > 0.0f && e < kSkyFlashLengthMs) {
      LightShafts& light = *s.lights[flash.light];
      light.flareIntensity = skyFlashIntensity(e);
      float clock = noiseClock;  // unchanged: the lights have no noise step
      const ShaftStep step =
          stepShafts(light, s.camera, light.position, light.visibleFlare, 0, clock);
      light.visibleFlare = light.flareIntensity;
      drawShaftStep(*frame.gfx, light, step, *frame.shaftStats);
    }
  }
}
