// The scroller's pure motion: scene clock, camera keys and stages, arm pose
// and speed ramps.
#include <algorithm>
#include <cmath>

#include "math/two_joint_ik.h"
#include "scenes/scroller.h"

const float jointPivotX[kRobotJointCount] = {0, 7.28f, 12.39f, 17.5f, 22.56f,
                                             27.67f, 30, 30, 30, 30};
const float jointAxis[kRobotJointCount][3] = {{0, 0, 1}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1},
                                              {0, 0, 1}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0},
                                              {1, 0, 0}, {1, 0, 0}};
const float jointRestAngle[kRobotJointCount] = {-90, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const float jointWaveAmplitude[kRobotJointCount] = {0, 45, -45, 45, -45, 45, 180, 0, 0, 0};

namespace {

constexpr float kDegreesToRadians = 0.0055555556f * kMathPi;

// A camera key drifts as position = (px0 + pxc c, py0 + pyw w, pz0 + pzs s)
// and looks at (lerp(tx0, tx1, q), 1, 1).
struct CameraKey {
  float pxc, px0, pyw, py0, pzs, pz0;
  float tx0, tx1;
};
const CameraKey kKeys[kScrollerCameraKeyCount] = {
    {-0.8f, 20, 5, 3, 0.8f, -2, 0, -1},     {-4, -7, 1, 26, 1.6f, -5, -5, -4},
    {-2.8f, -7, 1, 5, 2.8f, -15, -5, -4},   {-1.6f, -7, 1, 25, 0.8f, -15, -5, -4},
    {-4, -28, 5, 5, 4, -7, -5, -4},         {-4, -28, 5, 13, 4, -7, -11, -8},
};

// Stage by scene second: below `until`, glide from key `from` to key `to`
// over the window (start, length).
struct CameraStage {
  float until;
  int from, to;
  float start, length;
};
const CameraStage kStages[] = {
    {8, 1, 2, 6, 2},    {13, 2, 3, 11, 2},  {23, 3, 5, 19, 4},
    {32, 5, 4, 30, 2},  {48, 4, 6, 46, 2},  {60, 6, 6, 46, 2},
};

float segment(int from, int to) { return jointPivotX[to] - jointPivotX[from]; }

}  // namespace

void advanceScrollerClock(ScrollerState& scene, int deltaMs) {
  if (deltaMs < 3000) scene.sceneMs += float(deltaMs);
  scene.seconds = scene.sceneMs * 0.001f;
}

void scrollerCameraKey(int key, float ms, Vector3& position, Vector3& target) {
  const CameraKey& k = kKeys[std::min(std::max(key, 1), kScrollerCameraKeyCount) - 1];
  const float a = 0.0003f * ms + 0.5f;
  const float c = 0.4f * std::cos(a) + 0.5f;
  const float s = 0.5f * std::sin(a) + 0.9f;
  const float w = std::cos(0.00003f * ms) * std::sin(0.0001f * ms);
  const float q = (std::cos(0.3f * ms * 0.001f) + 1.0f) * 0.5f;
  position = Vector3(k.px0 + k.pxc * c, k.py0 + k.pyw * w, k.pz0 + k.pzs * s);
  target = Vector3((1.0f - q) * k.tx0 + q * k.tx1, 1, 1);
}

void scrollerCameraPose(float ms, TimeWindow& window, Vector3& position, Vector3& target) {
  const float seconds = ms * 0.001f;
  // Past the last stage the camera rests at key 6.
  const CameraStage* stage = &kStages[sizeof(kStages) / sizeof(kStages[0]) - 1];
  for (const CameraStage& st : kStages) {
    if (seconds < st.until) {
      stage = &st;
      break;
    }
  }
  window.start = stage->start;
  window.length = stage->length;
  const float t = stage->from == stage->to ? 1.0f : window.rise(seconds);
  Vector3 p0, t0, p1, t1;
  scrollerCameraKey(stage->from, ms, p0, t0);
  scrollerCameraKey(stage->to, ms, p1, t1);
  position.setLerp(p0, p1, t);
  target.setLerp(t0, t1, t);
}

void solveArmPose(Vector3 target, float angles[kRobotJointCount]) {
  const float l12 = segment(1, 2), l23 = segment(2, 3), l34 = segment(3, 4);
  const float l45 = segment(4, 5), l56 = segment(5, 6);
  target.z = std::min(target.z, 0.8f * (l34 + l45));

  float elbow, shoulder;
  solveTwoJoint(8.0f, target.z - l56, l34, l45, elbow, shoulder);
  angles[3] = float(-shoulder * kMathDegreesPerRadian);
  angles[4] = float(-elbow * kMathDegreesPerRadian);
  angles[5] = -90.0f - angles[3] - angles[4];  // the last segment points straight down

  const float a3 = angles[3] * kDegreesToRadians;
  const float a34 = (angles[3] + angles[4]) * kDegreesToRadians;
  const float a345 = (angles[3] + angles[4] + angles[5]) * kDegreesToRadians;
  const float reach = l34 * std::cos(a3) + l45 * std::cos(a34) + l56 * std::cos(a345);

  solveTwoJoint(target.y, target.x, l12, l23 + reach, elbow, shoulder);
  angles[1] = float(-shoulder * kMathDegreesPerRadian);
  angles[2] = float(-elbow * kMathDegreesPerRadian);
  angles[0] = 0;
  for (int i = 6; i < kRobotJointCount; ++i) angles[i] = 0;
}

void robotJointAngles(const Vector3& handTarget, float handYaw, float seconds,
                      float angles[kRobotJointCount]) {
  solveArmPose(Vector3(handTarget.x + 20.0f, handTarget.z + 13.0f, handTarget.y), angles);
  angles[6] += float(handYaw * kMathDegreesPerRadian);
  for (int i = 0; i < kRobotJointCount; ++i) angles[i] += jointRestAngle[i];
  if (seconds >= 5.0f) return;
  // The intro wave fades out over the first five seconds.
  const float e = (0.2f * seconds + 1.0f) * 0.5f;
  for (int i = 0; i < kRobotJointCount; ++i) {
    const float wave = 1.9f * jointWaveAmplitude[i] * std::cos(0.5f * float(i) + 1.5f * seconds) +
                       jointRestAngle[i];
    angles[i] = e * angles[i] + (1.0f - e) * wave;
  }
}

void scrollerSpeeds(const TimeWindow& speedWindow, float seconds, float& beltSpeed,
                    float& carrySpeed) {
  const float r = speedWindow.rise(seconds);
  carrySpeed = (6.3f * r + 1.0f) * 2.9f;
  beltSpeed = (4.2f * r + 1.0f) * 2.5f;
}
