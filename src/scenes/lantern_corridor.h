// The lantern corridor: a rippled mirror strip between two walls under a
// cut-out ceiling inside a wide tunnel, with a turning lantern of six cut
// spheres around the light throwing rotating beams. Variant 0 drifts along
// the corridor tilting down from looking up; variant 1 flies a closed loop
// with the camera kept on the lantern.
#pragma once

#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/view_camera.h"

struct RayWorld;
struct LightShafts;

constexpr int kLanternFirstId = 6;  // objects 6..11 are the lantern's cut spheres
constexpr int kLanternParts = 6;

struct LanternCorridorScene {
  RayWorld* world = nullptr;
  LightShafts* light = nullptr;
  ViewCamera camera;
  SplinePath path{5, true};
  TimeWindow window;
  // Kept across appearances: the scene continues where it left off.
  float sceneClock = 0;  // ms
  float tiltClock = 0;   // ms since the tilt began
  float pathParam = 0;
  Vector3 spin;          // lantern angles (x, y, z)
};
extern LanternCorridorScene lanternScene;

// Camera at its start and the closed flight path; no GL.
void initLanternMotion(LanternCorridorScene& scene);
// Advances the clocks and spin and places camera and light for one frame
// (variant 0 drift, 1 loop, others leave them where they are); no GL.
void stepLanternMotion(LanternCorridorScene& scene, Vector3& lightPosition, int deltaMs,
                       int variant);

// Start-up: texture name 1, world, light, camera, path. Needs a GL context.
void initLanternScene();
// One frame; variant 1 once the corridor has run 33 s.
// Without `draw` the state advances as in a drawn frame and nothing is drawn.
void renderLanternScene(int deltaMs, int variant, bool draw = true);
