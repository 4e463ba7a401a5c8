// The landscape flight: a ray-cast sky sphere seen from its centre, with an
// endless height-field landscape drawn over it column by column.
#pragma once

#include <memory>
#include <vector>

#include "effects/light_shafts.h"
#include "math/view_camera.h"
#include "gfx/gfx.h"
#include "raycast/ray_world.h"
#include "scenes/frame_context.h"

struct LandscapeState {
  float clockMs = 0;  // frame time this scene has run for
};

struct LandscapeScene {
  std::unique_ptr<RayWorld> skyWorld;
  ViewCamera skyCamera;                 // fixed at the sphere's centre, looking along z
  std::unique_ptr<LightShafts> skyLight;  // only the ray-caster's light; never drawn
  std::vector<Vertex> batch;            // the strips on their way to the layer
};

// Start-up: the sky world, its camera and light. Needs a GL context.
void loadLandscape(LandscapeScene& scene, LandscapeState& state);
void advanceLandscape(LandscapeState& state, int frameDeltaMs);
// The ray-cast sky, then the terrain's strips over it.
void drawLandscape(const LandscapeState& state, LandscapeScene& scene, const FrameContext& frame);
