// The landscape flight: a ray-cast sky sphere seen from its centre, with an
// endless height-field landscape drawn over it column by column.
#pragma once

#include "math/view_camera.h"

struct RayWorld;
struct LightShafts;

struct LandscapeScene {
  RayWorld* skyWorld = nullptr;
  ViewCamera skyCamera;
  LightShafts* skyLight = nullptr;  // only the ray-caster's light; never drawn
  ViewCamera terrainCamera;
  float landscapeClockMs = 0;       // frame time this scene was drawn with
};
extern LandscapeScene landscapeScene;

// Start-up: the sky world, its camera and light. Needs a GL context.
void initLandscapeScene();
// One frame with the director's frame delta; the second argument is unused.
// The terrain's strips are drawn as GL quads, or painted on the CPU on the
// software path. Without `draw` the state advances and nothing is drawn.
void renderLandscapeScene(int frameDeltaMs, int unused, bool draw = true);
