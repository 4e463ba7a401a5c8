// The mirror hall: inside a textured sphere a post with two long rods, a
// thick bowl with a rippling mirror disc at its bottom and a five-ball
// pendulum chain swinging in front of it. The camera circles while nine
// pieces of text glow in one after another; near the end all motion slows
// to a stop while the text keeps fading.
#pragma once

#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/view_camera.h"

struct RayWorld;
struct LightShafts;

constexpr int kMirrorTextPieceCount = 9;
constexpr int kMirrorChainBalls = 5;

// A rectangle of the 512 x 256 text image, rows counted from the top.
struct MirrorTextPiece {
  float x0, y0, x1, y1;
};
extern const MirrorTextPiece kMirrorTextPieces[kMirrorTextPieceCount];

struct MirrorHallScene {
  RayWorld* world = nullptr;
  LightShafts* light = nullptr;
  ViewCamera camera;
  SplinePath cameraPath{5, true};
  SplinePath lightPath{4, true};
  int mirrorId = 0;
  float sceneSeconds = 0;
  float motionClockMs = 1300.0f;
  TimeWindow slowdownWindow{28.0f, 4.0f, 1.0f};
  int cyclePhaseMs = 0;
  float chainAngles[kMirrorChainBalls] = {};
};
extern MirrorHallScene mirrorHallScene;

// World (23 objects), camera and both paths; no GL.
void buildMirrorWorld(MirrorHallScene& scene);
// Clocks, camera, light position, mirror ripple and the chain for one frame; no GL.
void stepMirrorMotion(MirrorHallScene& scene, Vector3& lightPosition, int frameDeltaMs);
// Strength 0..1 of text piece k at the scene's seconds.
float textPieceStrength(int piece, float seconds);
// Texture offset of glow pass n for a piece of strength a: 0 at full strength.
float textGlowOffset(int pass, float strength);

// The glowing text built in the back buffer over the black clear colour and
// kept in glowTexture; on the software path painted on the CPU from the
// static text texture.
void drawTextGlow(float seconds, int sourceTexture, int glowTexture);
// A texture over the whole band, added.
void drawAdditiveBand(int texture);

// Start-up: world, light, paths. Needs a GL context.
void initMirrorScene();
// One frame with the director's frame delta.
// Without `draw` the state advances as in a drawn frame and nothing is drawn.
void renderMirrorScene(int frameDeltaMs, bool draw = true);
