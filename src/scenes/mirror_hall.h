// The mirror hall: inside a textured sphere a post with two long rods, a
// thick bowl with a rippling mirror disc at its bottom and a five-ball
// pendulum chain swinging in front of it. The camera circles while nine
// pieces of text glow in one after another; near the end all motion slows
// to a stop while the text keeps fading.
#pragma once

#include <memory>

#include "math/spline_path.h"
#include "math/time_window.h"
#include "math/view_camera.h"
#include "passes/text_glow_pass.h"
#include "scenes/frame_context.h"

struct Gfx;
struct LightShafts;
struct RayWorld;
struct SoftwarePasses;

constexpr int kMirrorTextPieceCount = 9;
constexpr int kMirrorChainBalls = 5;

// A rectangle of the 512 x 256 text image, rows counted from the top.
struct MirrorTextPiece {
  float x0, y0, x1, y1;
};
extern const MirrorTextPiece kMirrorTextPieces[kMirrorTextPieceCount];

// What the hall carries from frame to frame.
struct MirrorHallState {
  ViewCamera camera;  // as placed; the drawn frame orthonormalises a copy
  Vector3 lightPosition{-6, 7.5f, 12};
  float sceneSeconds = 0;
  float motionClockMs = 1300.0f;
  int cyclePhaseMs = 0;
  // The mirror's ripple: a burst in every cycle, dying away between.
  float rippleAmplitude = 0;
  float rippleFrequency = 0;
  float ripplePhase = 1.0f;
};

// Built at start-up; a drawn frame writes its camera, the chain's and the
// mirror's placement, the light's position and palette into them.
struct MirrorHallScene {
  std::unique_ptr<RayWorld> world;
  std::unique_ptr<LightShafts> light;
  SplinePath cameraPath{5, true};
  SplinePath lightPath{4, true};
  int mirrorId = 0;
  ViewCamera camera;  // the drawn frame's, read by world and light
  MirrorHallScene();
  ~MirrorHallScene();
};

// World (23 objects), camera and both paths; no GL.
void buildMirrorWorld(MirrorHallScene& scene, MirrorHallState& state);
// Start-up: world, light, paths. Needs a GL context.
void loadMirrorHall(MirrorHallScene& scene, MirrorHallState& state);
// Clocks, camera, light position and mirror ripple for one frame with the
// director's frame delta; no GL.
void stepMirrorMotion(MirrorHallState& state, const MirrorHallScene& scene, int frameDeltaMs);
// One frame's motion and the shafts' noise clock; no GL.
void advanceMirrorHall(MirrorHallState& state, const MirrorHallScene& scene, int frameDeltaMs,
                       float& noiseClock);
// The chain's swing and the mirror's ripple of `state`, into the world.
void placeMirrorObjects(const MirrorHallState& state, MirrorHallScene& scene);
// Draws the frame `state` holds.
void drawMirrorHall(const MirrorHallState& state, MirrorHallScene& scene,
                    const FrameContext& frame, float noiseClock);

// Strength 0..1 of text piece k at the scene's seconds.
float textPieceStrength(int piece, float seconds);
// Texture offset of glow pass n for a piece of strength a: 0 at full strength.
float textGlowOffset(int pass, float strength);
// Angle of chain ball i at motion clock m.
float mirrorChainAngle(int ball, float motionClockMs);

// The glowing text of the pieces showing at `seconds`, from the static
// text texture into glowTexture (passes/text_glow_pass.h).
GlowRows drawTextGlow(Gfx& gfx, float seconds, int sourceTexture, int glowTexture,
                      SoftwarePasses* software);
// A texture over the band, added; dark rows of the glow add nothing, so
// only `rows` are drawn.
void drawAdditiveBand(Gfx& gfx, int texture, const GlowRows& rows);

