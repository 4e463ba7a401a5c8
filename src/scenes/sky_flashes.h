// The opening scene: a slow drift inside a textured sky sphere while ten
// lights flash in a fixed rhythm.
#pragma once

#include "effects/light_shafts.h"
#include "math/view_camera.h"

struct RayWorld;

constexpr int kSkyFlashLightCount = 10;
constexpr int kSkyFlashEntryCount = 60;
constexpr float kSkyFlashLengthMs = 1500.0f;

// One flash: a light and the scene time (ms) it starts at.
struct SkyFlash {
  int light;
  int startMs;
};
extern const SkyFlash kSkyFlashes[kSkyFlashEntryCount];

struct SkyFlashScene {
  float sceneClock = 0;
  ViewCamera camera;
  Vector3 target{0, 0, 15};
  LightShafts* lights[kSkyFlashLightCount] = {};
  RayWorld* world = nullptr;
};
extern SkyFlashScene skyFlashScene;

// Intensity of a flash e ms after its start: half a cosine from 60 down to 0
// over 1.5 s.
float skyFlashIntensity(float elapsedMs);

// Start-up: lights, sky sphere, camera. Needs a GL context and texture slot 5.
void initSkyFlashes();
// One frame with the director's frame delta; without `draw` the state
// advances and nothing is drawn.
void renderSkyFlashes(int deltaMs, bool draw = true);
