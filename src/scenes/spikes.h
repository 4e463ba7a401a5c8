// The growing spikes: three spiky balls inside a ray-traced sky sphere shoot
// out their spikes, wobble and twist while the camera circles and pulls
// back and a light with shafts travels among them; from 32 s they tremble
// and a craft flies through.
#pragma once

#include <memory>

#include "effects/ray_noise.h"
#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/vector3.h"
#include "math/view_camera.h"
#include "scenes/frame_context.h"

struct RayWorld;
struct LightShafts;
struct Scene3ds;

constexpr int kSpikeCount = 3;
constexpr int kFlyerMeshCount = 5;
constexpr int kShakeEntries = 500;
constexpr float kSpikeShakeStart = 32.0f;  // seconds: shake, swell and flight begin

// What the scene carries from frame to frame.
struct SpikeState {
  float sceneMs = 0;  // sum of the frame deltas below 3000 ms
  float seconds = 0;  // S
  float lightTravel = 0;  // the light's place along its track
  Vector3 lightPosition{-6, 7.5f, 12};
  float toneGain = 0.55f;  // the shafts' tone, flickering over the first five seconds
};

// Built at start-up, with the scene's timing constants; a drawn frame writes
// the deformed spikes, the craft's placement, the camera and the light into
// them.
struct SpikeScene {
  Vector3 shakeTable[kShakeEntries];
  float spikeStart[kSpikeCount] = {4.6f, 4.61f, 4.62f};
  float spikeLength[kSpikeCount] = {10.9f, 10.9f, 10.9f};
  TimeWindow zoomWindow{0, 18};
  TimeWindow pullWindow{18, 7};
  TimeWindow shakeWindow{31.5f, 15, 7};
  std::unique_ptr<RayWorld> world;
  std::unique_ptr<LightShafts> light;
  std::unique_ptr<Scene3ds> models;
  SplinePath flightPath;  // path A
  SplinePath lightPath;   // path B, the source of the resampled copy
  SplinePath lightTrack;  // B', what the light follows
  int spikeBase = 0;
  int flyerBase = 0;
  ViewCamera camera;  // the drawn frame's, read by world and light
  SpikeScene();
  ~SpikeScene();
};

// Adds the delta to the scene time unless it is 3000 ms or more (a stall);
// moves the light along its track by the delta either way.
void advanceSpikeClock(SpikeState& state, const SpikeScene& scene, int deltaMs);
// Path A for the flight, path B and its evenly resampled copy for the light.
// No GL: the loader builds them beside its other work, apart from loadSpikes.
void buildSpikePaths(SpikeScene& scene);
// Fills the shake table from the generator seeded with 12.
void fillShakeTable(SpikeScene& scene);
// Table index of spikeShake's first entry: ((axis + 1) t 66.15) mod 500.
int shakeIndex(float t, int axis);
// Offset of a spike along an axis from the table, eased in from 31.5 s.
float spikeShake(const SpikeScene& scene, float t, int spike, int axis);

// Growth exponent of spike i at S: -1 until its start, then rising with a
// wobble, 6 after its growth length.
float spikeGrowthExponent(const SpikeScene& scene, int spike, float S);
// Outward push p of spike i at S, with the swell from 32 s.
float spikePush(const SpikeScene& scene, int spike, float S);
// One vertex pushed out by the power of its distance and twisted by the
// angles a and b.
void deformSpikeVertex(Vector3& v, float g, float p, float a, float b);
// Camera position at scene time ms (the pull-back included).
Vector3 spikeCameraPosition(const SpikeScene& scene, float ms);
// The camera at scene time ms as placed, looking at the middle spike's side.
ViewCamera spikeCamera(const SpikeScene& scene, float ms);
// Flight parameter at S and a look-ahead sample k (1..30), held at 0.999.
float spikeFlightParameter(float S);
float spikeLookAheadParameter(float f, int k);

// The noise of the scene's light's shafts; the loader makes it beside the images.
constexpr RayNoiseShape kSpikesRayNoise{10, 2, 11, 0, 1024, 2.5f};

// Start-up: shake table, world, light, spike and craft models (the paths
// are built apart). Needs a GL context and the texture slots filled.
void loadSpikes(SpikeScene& scene, SpikeState& state, RayNoiseTables& noise);
// One frame with the director's frame delta: clock, light, its tone and the
// shafts' noise clock; no GL.
void advanceSpikes(SpikeState& state, const SpikeScene& scene, int deltaMs,
                   float& noiseClock);
// Draws the frame `state` holds.
void drawSpikes(const SpikeState& state, SpikeScene& scene,
                const FrameContext& frame, float noiseClock);

