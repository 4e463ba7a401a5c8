// The lamp park: a grass plane under a sky sphere with three grassy hills,
// twelve street lamps and four walking figures, lit by one light circling
// on a closed path. Variant 1 glides high with a fixed view, variant 2 flies
// low looking ahead, variant 3 follows a middle path watching the second
// figure while the figures walk.
#pragma once

#include <vector>

#include "math/spline_path.h"
#include "math/view_camera.h"
#include "raycast/lamp_post.h"
#include "scenes/walker.h"

struct RayWorld;
struct LightShafts;

constexpr int kParkLampCount = 12;
constexpr int kParkWalkerCount = 4;

struct LampParkScene {
  RayWorld* world = nullptr;
  LightShafts* light = nullptr;
  ViewCamera camera;
  SplinePath highPath{20, false};
  SplinePath middlePath{20, false};
  SplinePath lowPath{20, false};
  SplinePath lightPath{10, true};
  std::vector<LampPost> lamps;
  std::vector<Walker> walkers;
  // Kept across the three appearances.
  float sceneClock = 0;   // ms
  float flightClock = 0;  // ms; variants 1 and 2
  float walkClock = 0;    // ms; variant 3
};
extern LampParkScene lampParkScene;

// World (62 objects, lamps and walkers placed), camera and paths; no GL.
void buildLampParkWorld(LampParkScene& scene);
// Clocks, camera, walkers and the light position for one frame; no GL.
void stepLampParkMotion(LampParkScene& scene, Vector3& lightPosition, int deltaMs, int variant);

// Start-up: world, light, paths. Needs a GL context.
void initLampParkScene();
// One frame; variant 1, 2 or 3 (any other only moves the light).
// Without `draw` the state advances as in a drawn frame and nothing is drawn.
void renderLampParkScene(int deltaMs, int variant, bool draw = true);
