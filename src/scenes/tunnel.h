// The tunnel finale: a wide and a narrow ray-cast tunnel, both with rippling
// rays, mixed half and half while the camera creeps along them; five craft
// fly down the tunnel rolling slowly; the closing text sharpens out of a
// blur, the picture behind it fades to black and the text fades out.
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

struct TunnelState {
  float sceneMs = 0;
  float sceneSeconds = 0;
  float fadeMs = 0;   // time drawn with the fade to black
  int textStage = 0;  // text events begun; never falls back
  ViewCamera cameraA;  // the first 15 s, creeping back
  ViewCamera cameraB;  // afterwards, a cut: it starts from its own place
  TimeWindow windowA;
  TimeWindow windowB;
  float flyerTravel[kTunnelFlyerCount] = {};   // each flyer's place along its path
  float flyerHeading[kTunnelFlyerCount] = {};  // kept should a flyer stop at its path's end
  // This frame's, for its draw: the clocks it started from, whether it fades,
  // and the blur its text event asks for.
  float frameMs = 0;
  float frameSeconds = 0;
  float frameFadeMs = 0;
  bool fading = false;
  bool blurred = false;
  TunnelTextBlur blur{};
};

struct TunnelScene {
  std::unique_ptr<FeedbackBuffer> text;  // slot 2: the closing text, blurred into texture 30
  std::unique_ptr<FeedbackBuffer> mix;   // slots 0, 1: the two tunnels, then picture and black
  std::unique_ptr<RayWorld> outer;
  std::unique_ptr<RayWorld> inner;
  ViewCamera camera;  // the state's camera in use, set by each draw; both worlds look through it
  std::unique_ptr<LightShafts> light;  // lights worlds and meshes; its shafts are not drawn
  std::unique_ptr<Scene3ds> models;
  int meshStart[kTunnelFlyerCount] = {};
  bool flyerLoaded[kTunnelFlyerCount] = {};
  SplinePath paths[kTunnelFlyerCount];
  // The blur that texture 30 holds, so an unchanged one (the sharp text
  // between the events) is not drawn again every frame.
  TunnelTextBlur heldBlur{};
  bool blurHeld = false;
};

// Starts the text events due at t, in order, and describes the blur of the
// current one; false (and no blur) before the first event.
bool stepTunnelText(TunnelState& state, float t, TunnelTextBlur& blur);

// True when `blur` would draw what texture 30 already holds.
bool tunnelBlurHeld(const TunnelScene& scene, const TunnelTextBlur& blur);

// Weight of black over the picture after fadeMs of fading: 0 .. 1 over 2 s.
float tunnelFadeWeight(float fadeMs);

// Moves the camera in use at the scene's clock and aims it; returns it.
ViewCamera& moveTunnelCamera(TunnelState& state, int deltaMs);

// Resets a tube's texture axes to their start and turns each about z by
// `angle`, so the turn follows the clock instead of piling up frame by frame.
void turnTubeAxes(RayObject& tube, float angle);

// Roll of flyer k at the scene's clock.
float tunnelFlyerRoll(int flyer, float sceneMs);

// The growth window the text leaves behind while it is shown.
void settleTunnelTextGrowth(TunnelState& state);
// The text picture (texture 30) over the frame while an event is on.
void drawTunnelText(Gfx& gfx, const TunnelState& state);

// Start-up: feedback buffers, worlds, light and models. Needs a GL context
// and the texture slots filled.
void loadTunnel(TunnelScene& scene, TunnelState& state, Gfx& gfx, SoftwarePasses* software);
// The flyers' paths. No GL: the loader builds them beside its other work,
// apart from loadTunnel.
void buildFlyerPaths(TunnelScene& scene);
// One frame; fadeOut lays black over the picture (under the text).
void advanceTunnel(TunnelState& state, const TunnelScene& scene, int deltaMs, bool fadeOut);
void drawTunnel(const TunnelState& state, TunnelScene& scene, const FrameContext& frame);
