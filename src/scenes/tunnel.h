// The tunnel finale: a wide and a narrow ray-cast tunnel, both with rippling
// rays, mixed half and half while the camera creeps along them; five craft
// fly down the tunnel rolling slowly; the closing text sharpens out of a
// blur, the picture behind it fades to black and the text fades out.
#pragma once

#include "math/time_window.h"
#include "math/view_camera.h"

struct RayWorld;
struct RayObject;
struct LightShafts;
struct FeedbackBuffer;
struct Scene3ds;
struct SplinePath;

constexpr int kTunnelTextEvents = 2;
constexpr float kTunnelTextEventLength = 1.99f;
constexpr int kTunnelFlyerCount = 5;
constexpr int kTunnelFlyerMeshes = 5;
constexpr float kTunnelFlyerSpeed = 17.0f;   // units per second
constexpr float kTunnelCameraCutMs = 15000.0f;

// Scene seconds at which the text fades in and out.
extern const float kTunnelTextEventTimes[kTunnelTextEvents];

// One tinted blur of the text picture asked for by the current text event.
struct TunnelTextBlur {
  float vSpread;
  float amount;
  float red, green, blue;
};

struct TunnelScene {
  float sceneMs = 0;
  float sceneSeconds = 0;
  float fadeMs = 0;   // time drawn with the fade to black
  int textStage = 0;  // text events begun; never falls back
  ViewCamera cameraA;  // the first 15 s, creeping back
  ViewCamera cameraB;  // afterwards, a cut: it starts from its own place
  TimeWindow windowA;
  TimeWindow windowB;
  FeedbackBuffer* text = nullptr;  // slot 2: the closing text, blurred into texture 30
  FeedbackBuffer* mix = nullptr;   // slots 0, 1: the two tunnels, then picture and black
  RayWorld* outer = nullptr;
  RayWorld* inner = nullptr;
  LightShafts* light = nullptr;  // lights worlds and meshes; its shafts are not drawn
  Scene3ds* models = nullptr;
  int meshStart[kTunnelFlyerCount] = {};
  bool flyerLoaded[kTunnelFlyerCount] = {};
  SplinePath* paths[kTunnelFlyerCount] = {};
  float flyerHeading[kTunnelFlyerCount] = {};  // kept should a flyer stop at its path's end
  // The blur that texture 30 holds, so an unchanged one (the sharp text
  // between the events) is not drawn again every frame.
  TunnelTextBlur heldBlur{};
  bool blurHeld = false;
};
extern TunnelScene tunnelScene;

// Starts the text events due at t, in order, and describes the blur of the
// current one; false (and no blur) before the first event.
bool stepTunnelText(TunnelScene& scene, float t, TunnelTextBlur& blur);

// True when `blur` would draw what texture 30 already holds.
bool tunnelBlurHeld(const TunnelScene& scene, const TunnelTextBlur& blur);

// Weight of black over the picture after fadeMs of fading: 0 .. 1 over 2 s.
float tunnelFadeWeight(float fadeMs);

// Moves the camera in use at the scene's clock and aims it; returns it.
ViewCamera& moveTunnelCamera(TunnelScene& scene, int deltaMs);

// Resets a tube's texture axes to their start and turns each about z by
// `angle`, so the turn follows the clock instead of piling up frame by frame.
void turnTubeAxes(RayObject& tube, float angle);

// Roll of flyer k at the scene's clock.
float tunnelFlyerRoll(int flyer, float sceneMs);

// The text picture (texture 30) over the frame while an event is on.
void drawTunnelText(TunnelScene& scene, bool draw = true);

// Start-up: feedback buffers, worlds, light, models and paths. Needs a GL
// context and the texture slots filled.
void initTunnelScene();
// One frame; fadeOut lays black over the picture (under the text).
// Without `draw` the state advances as in a drawn frame and nothing is drawn.
void renderTunnelScene(int deltaMs, bool fadeOut, bool draw = true);
