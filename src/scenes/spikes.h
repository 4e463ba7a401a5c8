// The growing spikes: three spiky balls inside a ray-traced sky sphere shoot
// out their spikes, wobble and twist while the camera circles and pulls
// back and a light with shafts travels among them; from 32 s they tremble
// and a craft flies through.
#pragma once

#include "math/time_window.h"
#include "math/vector3.h"
#include "math/view_camera.h"

struct RayWorld;
struct LightShafts;
struct Scene3ds;
struct SplinePath;

constexpr int kSpikeCount = 3;
constexpr int kFlyerMeshCount = 5;
constexpr int kShakeEntries = 500;
constexpr float kSpikeShakeStart = 32.0f;  // seconds: shake, swell and flight begin

struct SpikeScene {
  float sceneMs = 0;  // sum of the frame deltas below 3000 ms
  float seconds = 0;  // S
  Vector3 shakeTable[kShakeEntries];
  ViewCamera camera;
  float spikeStart[kSpikeCount] = {4.6f, 4.61f, 4.62f};
  float spikeLength[kSpikeCount] = {10.9f, 10.9f, 10.9f};
  TimeWindow zoomWindow{0, 18};
  TimeWindow pullWindow{18, 7};
  TimeWindow shakeWindow{31.5f, 15, 7};
  RayWorld* world = nullptr;
  LightShafts* light = nullptr;
  Scene3ds* models = nullptr;
  SplinePath* flightPath = nullptr;  // path A
  SplinePath* lightPath = nullptr;   // path B, the source of the resampled copy
  SplinePath* lightTrack = nullptr;  // B', what the light follows
  int spikeBase = 0;
  int flyerBase = 0;
};
extern SpikeScene spikeScene;

// Adds the delta to the scene time unless it is 3000 ms or more (a stall);
// moves the light along its track by the delta either way.
void advanceSpikeClock(SpikeScene& scene, int deltaMs, Vector3& lightPosition);
// Path A for the flight, path B and its evenly resampled copy for the light.
void buildSpikePaths(SpikeScene& scene);
// Fills the shake table from the shared generator reseeded with 12.
void fillShakeTable(SpikeScene& scene);
// Table index of spikeShake's first entry: ((axis + 1) t 66.15) mod 500.
int shakeIndex(float t, int axis);
// Offset of a spike along an axis from the table, eased in from 31.5 s.
float spikeShake(float t, int spike, int axis);

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
// Flight parameter at S and a look-ahead sample k (1..30), held at 0.999.
float spikeFlightParameter(float S);
float spikeLookAheadParameter(float f, int k);

// Start-up: shake table, world, paths, light, spike and craft models. Needs
// a GL context and the texture slots filled.
void initSpikeScene();
// One frame with the director's frame delta.
// Without `draw` the state advances as in a drawn frame and nothing is drawn.
void renderSpikeScene(int deltaMs, bool draw = true);
