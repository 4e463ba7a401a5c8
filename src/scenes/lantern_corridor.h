// The lantern corridor: a rippled mirror strip between two walls under a
// cut-out ceiling inside a wide tunnel, with a turning lantern of six cut
// spheres around the light throwing rotating beams. Variant 0 drifts along
// the corridor tilting down from looking up; variant 1 flies a closed loop
// with the camera kept on the lantern.
#pragma once

#include <memory>

#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/view_camera.h"
#include "scenes/frame_context.h"

struct LightShafts;
struct RayWorld;
struct SoftwarePasses;

constexpr int kLanternFirstId = 6;  // objects 6..11 are the lantern's cut spheres
constexpr int kLanternParts = 6;

// What the corridor carries from frame to frame. Kept across appearances:
// the scene continues where it left off.
struct LanternCorridorState {
  ViewCamera camera;              // as placed; the ray grid orthonormalises a copy
  Vector3 lightPosition{0, 2, 0};  // the lantern's centre
  TimeWindow window;
  float sceneClock = 0;  // ms
  float tiltClock = 0;   // ms since the tilt began
  float pathParam = 0;
  Vector3 spin;          // lantern angles (x, y, z), advanced every frame
  Vector3 shownSpin;     // the angles the frame shows: spin before its step
};

// Built at start-up; a frame only writes the drawn frame's camera, lantern
// axes and light position into them.
struct LanternCorridorScene {
  std::unique_ptr<RayWorld> world;
  std::unique_ptr<LightShafts> light;
  SplinePath path{5, true};
  ViewCamera camera;  // the drawn frame's, read by world and light
  LanternCorridorScene();
  ~LanternCorridorScene();
};

// Camera at its start and the closed flight path; no GL.
void initLanternMotion(LanternCorridorScene& scene, LanternCorridorState& state);
// Start-up: texture name 1, world, light, camera, path. Needs a GL context;
// `software` (the software path's passes, null on the GL path) keeps a copy
// of texture 1.
void loadLanternCorridor(LanternCorridorScene& scene, LanternCorridorState& state, Gfx& gfx,
                         SoftwarePasses* software);
// Advances the clocks and spin and places camera and light for one frame
// (variant 0 drift, 1 loop, others leave them where they are); no GL.
// Variant 1 once the corridor has run 33 s.
void advanceLanternCorridor(LanternCorridorState& state, const LanternCorridorScene& scene,
                            int deltaMs, int variant);
// Draws the frame `state` holds.
void drawLanternCorridor(const LanternCorridorState& state, LanternCorridorScene& scene,
                         const FrameContext& frame, float noiseClock);

