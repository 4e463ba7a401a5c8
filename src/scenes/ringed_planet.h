// The ringed planet: a ray-cast sky, ball and ringed planet under one light
// with shafts, three credit blocks popping up and stretching away through a
// tinted blur, and from 21 s three craft flying in along spline paths.
#pragma once

#include <memory>

#include "effects/feedback_buffer.h"
#include "effects/light_shafts.h"
#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/view_camera.h"
#include "models/scene3ds.h"
#include "raycast/ray_world.h"
#include "scenes/frame_context.h"

constexpr int kCreditBlockCount = 3;
constexpr int kCreditEventCount = 6;
constexpr float kCreditEventLength = 1.99f;
constexpr int kCraftCount = 3;
constexpr int kCraftMeshesDrawn = 5;
constexpr float kCraftFirstStart = 21.0f;

// Pixel rectangle in the 512 x 256 credits image (rows from the top) and the
// centre in the 512 x 384 scene frame.
struct CreditBlock {
  float x1, y1, x2, y2;
  float centreX, centreY;
};
extern const CreditBlock kCreditBlocks[kCreditBlockCount];
// Scene seconds of the events: blocks 0, 1, 2 appear, then leave.
extern const float kCreditEventTimes[kCreditEventCount];
// Scene seconds at which each craft starts flying.
extern const float kCraftStartTimes[kCraftCount];

// One tinted blur of the credits image asked for by an event.
struct CreditBlur {
  float vSpread;
  float amount;
  float red, green, blue;
};

struct CreditState {
  int revealCount = 0;  // events that have happened, taken strictly in order
  float scaleX[kCreditBlockCount] = {0.25f, 0.25f, 0.25f};
  float scaleY[kCreditBlockCount] = {0.25f, 0.25f, 0.25f};
  float width[kCreditBlockCount] = {};
  float height[kCreditBlockCount] = {};
  TimeWindow popWindow;
  TimeWindow stretchWindow;
};

struct RingedPlanetState {
  float sceneSeconds = 0;
  ViewCamera camera;  // as posed; the grid orthonormalises the scene's copy
  float yawAngle = 0;
  float pitchAngle = 0;
  float craftTravel[kCraftCount] = {};   // each craft's place along its path
  float craftHeading[kCraftCount] = {};  // kept when a craft stops at its path's end
  CreditState credits;
  // This frame's: the blurs its credit events ask for, and the shafts.
  CreditBlur blurs[kCreditEventCount] = {};
  int blurCount = 0;
  ShaftStep shafts;
};

struct RingedPlanetScene {
  ViewCamera camera;  // the state's, set by each draw; world and light look through it
  std::unique_ptr<RayWorld> world;
  std::unique_ptr<LightShafts> light;
  std::unique_ptr<FeedbackBuffer> feedback;
  std::unique_ptr<Scene3ds> models;
  int meshStart[kCraftCount] = {};
  SplinePath paths[kCraftCount];
  // What the blurred credits texture holds: only a drawn blur changes it.
  CreditBlur heldBlur{-1, -1, -1, -1, -1};
};

// Counts the events due at sceneSeconds, in order, and sets the block scales.
// Each event that is the latest at the moment of its turn writes one blur
// into `blurs`; returns how many (several after a jump in time).
int stepCredits(CreditState& credits, float sceneSeconds, CreditBlur blurs[kCreditEventCount]);
// Block sizes from the rectangles.
void initCreditSizes(CreditState& credits);
// True when block b is drawn in the overlay.
bool creditBlockShown(const CreditState& credits, int block);
// Texture slot of block b: the blurred copy for the latest event's block.
int creditBlockTexture(const CreditState& credits, int block);

// The growth window the overlay leaves behind once blocks are shown.
void settleCreditGrowth(CreditState& credits);
// The credit blocks over the frame: a (one minus source colour) pass and an
// additive, slightly enlarged glow pass.
void drawCreditsOverlay(Gfx& gfx, const CreditState& credits, float sceneSeconds);

// Yaw and pitch turn for one frame; the rate rises when sceneSeconds reaches 20.
void turnPlanetCamera(RingedPlanetState& state, int deltaMs);
// True when craft k is flying at sceneSeconds.
bool craftFlying(int craft, float sceneSeconds);

// The noise of the scene's light's shafts; the loader makes it beside the images.
constexpr RayNoiseShape kRingedPlanetRayNoise{16, 2, 25, 0, 1280, 2.5f};

// Start-up: world, light, feedback slots and models. Needs a GL context and
// the texture slots filled.
void loadRingedPlanet(RingedPlanetScene& scene, RingedPlanetState& state, Gfx& gfx,
                      SoftwarePasses* software, RayNoiseTables& noise);
// One frame with the director's frame delta; the light's shafts advance the
// shared noise clock.
void advanceRingedPlanet(RingedPlanetState& state, const RingedPlanetScene& scene, int deltaMs,
                         float& noiseClock);
void drawRingedPlanet(const RingedPlanetState& state, RingedPlanetScene& scene,
                      const FrameContext& frame);
// The craft's flight paths. No GL: the loader builds them beside its other
// work, apart from loadRingedPlanet.
void buildCraftPaths(RingedPlanetScene& scene);
