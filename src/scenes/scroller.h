// The conveyor scroller: a belt carries the message's letters out of order,
// a robot arm sorts them into reading order, and the camera glides between
// six drifting viewpoints while one light streams shafts through the
// machinery. From 32 s the belt and the arm speed up to a frantic pace.
#pragma once

#include <memory>

#include "effects/ray_noise.h"
#include "math/time_window.h"
#include "math/vector3.h"
#include "math/view_camera.h"
#include "scenes/belt_letters.h"
#include "scenes/frame_context.h"

struct Scene3ds;
struct LightShafts;

constexpr int kRobotJointCount = 10;
extern const float jointPivotX[kRobotJointCount];
extern const float jointAxis[kRobotJointCount][3];
extern const float jointRestAngle[kRobotJointCount];      // degrees
extern const float jointWaveAmplitude[kRobotJointCount];  // degrees

constexpr int kScrollerCameraKeyCount = 6;

// What the scroller carries from frame to frame.
struct ScrollerState {
  float sceneMs = 0;  // sum of the frame deltas below 3000 ms
  float seconds = 0;
  ViewCamera camera;  // as placed; the drawn frame orthonormalises a copy
  BeltLetters letters;
  float beltOffset = 0;  // texture offset of the belt's first mesh
  int framesRun = 0;
};

// Built at start-up; a drawn frame writes the robot's and the belt's
// placement into the models.
struct ScrollerScene {
  std::unique_ptr<Scene3ds> models;
  std::unique_ptr<LightShafts> light;
  int robotBase = 0, robotCount = 0;
  int fontBase = 0, fontCount = 0;
  int beltBase = 0, beltCount = 0;
  ViewCamera camera;  // the drawn frame's, read by the light
  ScrollerScene();
  ~ScrollerScene();
};

// Scene time: a delta of 3000 ms or more (a stall) is not counted.
void advanceScrollerClock(ScrollerState& state, int deltaMs);

// Camera key (1..6) at scene time ms: its drifting position and target.
void scrollerCameraKey(int key, float sceneMs, Vector3& position, Vector3& target);
// The camera stage at scene time ms: a held key or the glide between two.
// window receives the stage's ramp.
void scrollerCameraPose(float sceneMs, TimeWindow& window, Vector3& position, Vector3& target);

// Joint angles (degrees) that put the gripper at target with the last
// segment pointing straight down; target.z is clamped to the arm's reach.
void solveArmPose(Vector3 target, float angles[kRobotJointCount]);
// Final joint angles for the hand steering at scene second S: the solved
// pose plus the rest angles, blended with the intro wave before 5 s.
void robotJointAngles(const Vector3& handTarget, float handYaw, float seconds,
                      float angles[kRobotJointCount]);

// Belt and carry pace at scene second S (ramp from 32 s over 4 s).
void scrollerSpeeds(const TimeWindow& speedWindow, float seconds, float& beltSpeed,
                    float& carrySpeed);

// The noise of the scene's light's shafts; the loader makes it beside the images.
constexpr RayNoiseShape kScrollerRayNoise{10, 2, 11, 0, 1024, 2.5f};

// Start-up: light, models and letters. Needs a GL context and the texture slots.
void loadScroller(ScrollerScene& scene, ScrollerState& state, RayNoiseTables& noise);
// One frame with the director's frame delta: clock, camera, letters, belt
// and the shafts' noise clock; no GL.
void advanceScroller(ScrollerState& state, const ScrollerScene& scene, int deltaMs,
                     float& noiseClock);
// Draws the frame `state` holds.
void drawScroller(const ScrollerState& state, ScrollerScene& scene,
                  const FrameContext& frame, float noiseClock);

