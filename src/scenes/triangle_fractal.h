// The triangle fractal: a flat, slowly turning triangle split six times into
// 4096 small ones drawn as soft coloured outlines, run through the swirling
// zoom of a feedback buffer. On a 5300 ms cycle a lit face fades in over it
// (first cycle one face, second cycle the other) with shafts streaming from
// the face, and the figure pulses outward.
#pragma once

#include <memory>

#include "effects/ray_noise.h"
#include "gfx/gfx.h"
#include "math/view_camera.h"
#include "scenes/frame_context.h"

struct FeedbackBuffer;
struct LightShafts;
struct Scene3ds;
struct SoftwarePasses;

constexpr int kFractalDepth = 6;
constexpr int kFractalLeafCount = 4096;  // 4^depth
constexpr float kFractalLineAlpha = 0.21f;

// The scene's frame starts from kFractalBackground; its swirl composites,
// and the next frame's first clear, from the darker kFractalAfterglow.
constexpr Colour kFractalBackground{0.05f, 0.04f, 0.025f, 1};
constexpr Colour kFractalAfterglow{0.02f, 0.016f, 0.013f, 1};

// Passed and copied by value: 37 floats. The transform block (angles,
// scales, offsets) is handed unchanged to every child, so the same four
// transforms act at every level.
struct FractalTriangle {
  float p[6];         // p0, p1, p2 as (x, y)
  float centroid[2];  // as stored, not necessarily the mean of p
  float colour[9];    // c0, c1, c2 as (r, g, b), unclamped
  float angle[4];     // children A, B, C, D, radians
  float scale[8];     // (sx, sy) for A, B, C, D
  float offset[8];    // (dx, dy) for A, B, C, D
};
static_assert(sizeof(FractalTriangle) == 37 * sizeof(float), "FractalTriangle is 37 floats");

// The leaves' outlines, gathered so one draw call sends them all: per leaf
// three segments (six vertices), untextured.
constexpr int kFractalFloatsPerVertex = 9;
static_assert(sizeof(Vertex) == kFractalFloatsPerVertex * sizeof(float), "line vertex layout");
struct FractalLineBatch {
  int leafCount = 0;
  Vertex vertices[kFractalLeafCount * 6];
};

// Cycle state carried from frame to frame. Even counter values are rest
// parts, odd ones active parts; 8 entering the active part wraps to 0.
struct FractalCycle {
  int halfCycleCounter = 0;
  float pulsePhase = 0;      // u, 0..1 through the active part
  float pulseAmplitude = 0;  // recomputed every frame
  float pulseScale = 0.1f;
};

// What the scene carries from frame to frame, and what its latest advance
// decided for the frame to show.
struct TriangleFractalState {
  int clockMs = 7000;
  float floatClockMs = 7000.0f;
  float seconds = 0;  // T
  FractalCycle cycle;
  int framesRun = 0;
  // The frame's face pass runs on the counter, u and clock before its step.
  int shownFace = 0;
  float shownPhase = 0;
  int shownClockMs = 7000;
  int faceFramesRun = 0;  // frames advanced with a face pass, this one's included
  FractalTriangle root{};  // the figure's root, its offsets set by the pulse
};

// Built at start-up; a drawn frame writes the face's placement and the
// shafts' light into them.
struct TriangleFractalScene {
  std::unique_ptr<FeedbackBuffer> feedback;
  std::unique_ptr<LightShafts> faceLight;   // lights the face model only
  std::unique_ptr<LightShafts> shaftLight;  // streams shafts from the rendered face
  std::unique_ptr<Scene3ds> models;
  int baseMesh = 0;
  ViewCamera camera;
  std::unique_ptr<FractalLineBatch> lines;  // refilled by every drawn frame
  TriangleFractalScene();
  ~TriangleFractalScene();
};

// Position in the 5300 ms cycle: the float clock less 7550, truncated, with
// the remainder's sign following it (negative for the first 550 ms).
int fractalCyclePosition(float floatClockMs);
// Takes u from the cycle position, moves the counter and sets the amplitude.
void stepFractalCycle(FractalCycle& cycle, float floatClockMs);
// Face shown for a counter value: 1, 2 or 0 for none.
int fractalFace(int halfCycleCounter);
// Edge displacement factors (a, b, c) for a counter value and u.
void fractalDisplacement(int halfCycleCounter, float u, float out[3]);
// Weight of the fractal over the face in the final crossfade, at most 1.
float fractalCrossfadeWeight(float u);

// Root triangle at scene seconds T: turned vertices, centroid, colours from
// the generator seeded with 2141, transform angles and scales.
// Offsets are left at zero.
void fractalRootTriangle(float seconds, FractalTriangle& t);
// The four child offsets for a pulse amplitude.
void setFractalOffsets(FractalTriangle& t, float seconds, float amplitude);

// Appends the leaf's three segments to the batch (ignored once full).
void drawTriangleOutline(const FractalTriangle& t, FractalLineBatch& batch);
// Splits t depth times with edge displacement factors a, b, c; leaves go to
// the batch in the order A, B, C, D at every level.
void subdivideTriangle(int depth, FractalTriangle t, float a, float b, float c,
                       FractalLineBatch& batch);
// How the outlines blend onto the frame.
enum class LineBlend {
  Added,                 // (one, one)
  OverDestinationAlpha,  // (source alpha, destination alpha): the opaque frame's
};
// Draws the gathered outlines as smooth lines over identity matrices with
// the blend enabled, and empties the batch. With software passes (the
// software path's; null on the GL path) lines over destination alpha are
// painted on the CPU.
void flushTriangleOutlines(Gfx& gfx, FractalLineBatch& batch, LineBlend blend,
                           SoftwarePasses* software);

// The noise of the scene's light's shafts; the loader makes it beside the images.
constexpr RayNoiseShape kTriangleFractalRayNoise{16, 2, 25, 0, 1280, 2.5f};

// Start-up: feedback buffer (handed `software`), both lights, the two face
// models. Needs a GL context and the texture slots filled.
void loadTriangleFractal(TriangleFractalScene& scene, TriangleFractalState& state, Gfx& gfx,
                         SoftwarePasses* software, RayNoiseTables& noise);
// One frame with the director's frame delta; no GL.
void advanceTriangleFractal(TriangleFractalState& state, int deltaMs);
// Draws the frame `state` holds.
void drawTriangleFractal(const TriangleFractalState& state, TriangleFractalScene& scene,
                         const FrameContext& frame, float noiseClock);

