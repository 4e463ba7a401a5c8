// The lamp park: a grass plane under a sky sphere with three grassy hills,
// twelve street lamps and four walking figures, lit by one light circling
// on a closed path. Variant 1 glides high with a fixed view, variant 2 flies
// low looking ahead, variant 3 follows a middle path watching the second
// figure while the figures walk.
#pragma once

#include <memory>
#include <vector>

#include "effects/ray_noise.h"
#include "math/spline_path.h"
#include "math/view_camera.h"
#include "raycast/lamp_post.h"
#include "scenes/frame_context.h"
#include "scenes/walker.h"

struct RayWorld;
struct LightShafts;

constexpr int kParkLampCount = 12;
constexpr int kParkWalkerCount = 4;

// What the park carries from frame to frame, kept across its three
// appearances.
struct LampParkState {
  ViewCamera camera;  // as placed; the drawn frame orthonormalises a copy
  Vector3 lightPosition{-6, 7.5f, 12};
  Walker walkers[kParkWalkerCount];
  float sceneClock = 0;   // ms
  float flightClock = 0;  // ms; variants 1 and 2
  float walkClock = 0;    // ms; variant 3
};

// Built at start-up; a drawn frame writes its camera, walker parts, light
// position and palette into them.
struct LampParkScene {
  std::unique_ptr<RayWorld> world;
  std::unique_ptr<LightShafts> light;
  SplinePath highPath{20, false};
  SplinePath middlePath{20, false};
  SplinePath lowPath{20, false};
  SplinePath lightPath{10, true};
  std::vector<LampPost> lamps;
  WalkerParts walkerParts[kParkWalkerCount];
  ViewCamera camera;  // the drawn frame's, read by world and light
  LampParkScene();
  ~LampParkScene();
};

// The noise of the scene's light's shafts; the loader makes it beside the images.
constexpr RayNoiseShape kLampParkRayNoise{11, 3, 3, 0, 1000, 1.85f};

// World (62 objects, lamps and walkers placed), camera and paths; no GL.
void buildLampParkWorld(LampParkScene& scene, LampParkState& state);
// Start-up: world, light, paths. Needs a GL context.
void loadLampPark(LampParkScene& scene, LampParkState& state, RayNoiseTables& noise);
// Clocks, camera, walkers and the light position for one frame; no GL.
void stepLampParkMotion(LampParkState& state, const LampParkScene& scene, int deltaMs,
                        int variant);
// One frame's motion (variant 1, 2 or 3; any other only moves the light)
// and the shafts' noise clock; no GL.
void advanceLampPark(LampParkState& state, const LampParkScene& scene, int deltaMs, int variant,
                     float& noiseClock);
// Draws the frame `state` holds.
void drawLampPark(const LampParkState& state, LampParkScene& scene,
                  const FrameContext& frame, float noiseClock);

