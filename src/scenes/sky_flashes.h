// The opening scene: a slow drift inside a textured sky sphere while ten
// lights flash in a fixed rhythm.
#pragma once

#include <memory>

#include "effects/light_shafts.h"
#include "math/view_camera.h"
#include "raycast/ray_world.h"
#include "scenes/frame_context.h"

constexpr int kSkyFlashLightCount = 10;
constexpr int kSkyFlashEntryCount = 60;
constexpr float kSkyFlashLengthMs = 1500.0f;

// One flash: a light and the scene time (ms) it starts at.
struct SkyFlash {
  int light;
  int startMs;
};
extern const SkyFlash kSkyFlashes[kSkyFlashEntryCount];

// A light's flare as the frames carry it: the intensity it was last given,
// and the one its shafts saw when last drawn (their next drawing starts
// from that, one flash behind).
struct SkyFlashLight {
  float flare = 20;
  float seen = 1;
};

struct SkyFlashState {
  float sceneClock = 0;
  ViewCamera camera;  // as posed; the grid orthonormalises the scene's copy
  SkyFlashLight lights[kSkyFlashLightCount];
  SkyFlashLight lightsBefore[kSkyFlashLightCount];  // as this frame found them
};

struct SkyFlashScene {
  ViewCamera camera;  // the state's, set by each draw; world and lights look through it
  std::unique_ptr<LightShafts> lights[kSkyFlashLightCount];
  std::unique_ptr<RayWorld> world;
};

// Intensity of a flash e ms after its start: half a cosine from 60 down to 0
// over 1.5 s.
float skyFlashIntensity(float elapsedMs);

// Start-up: lights, sky sphere, camera. Needs a GL context and texture slot 5.
void loadSkyFlashes(SkyFlashScene& scene, SkyFlashState& state);
// One frame with the director's frame delta. The lights have no noise step,
// so the shafts' shared clock stays where it is.
void advanceSkyFlashes(SkyFlashState& state, int deltaMs);
void drawSkyFlashes(const SkyFlashState& state, SkyFlashScene& scene, const FrameContext& frame,
                    float noiseClock);
