#include <gtest/gtest.h>

#include <cmath>

#include "math/two_joint_ik.h"
#include "scenes/scroller.h"

namespace {

float distance(const Vector3& a, const Vector3& b) {
  const Vector3 d = a - b;
  return std::sqrt(d.lengthSquared());
}

}  // namespace

TEST(ScrollerArm, LastSegmentPointsDown) {
  const Vector3 targets[] = {{0, 13, 4}, {10, 13, 2}, {-5, 11, 0}, {20, 14, 6}, {3, 12, 8}};
  for (const Vector3& t : targets) {
    float a[kRobotJointCount];
    solveArmPose(t, a);
    EXPECT_NEAR(a[3] + a[4] + a[5], -90.0f, 1e-3f);
    EXPECT_EQ(a[0], 0.0f);
    for (int i = 6; i < kRobotJointCount; ++i) EXPECT_EQ(a[i], 0.0f);
    for (int i = 0; i < kRobotJointCount; ++i) EXPECT_TRUE(std::isfinite(a[i]));
  }
}

TEST(ScrollerArm, ClampsTargetZ) {
  float high[kRobotJointCount], limit[kRobotJointCount], low[kRobotJointCount];
  solveArmPose(Vector3(2, 13, 30), high);
  solveArmPose(Vector3(2, 13, 0.8f * (5.06f + 5.11f)), limit);
  solveArmPose(Vector3(2, 13, 3), low);
  for (int i = 0; i < kRobotJointCount; ++i) EXPECT_NEAR(high[i], limit[i], 1e-3f) << i;
  EXPECT_GT(std::fabs(high[3] - low[3]), 1.0f);
}

TEST(ScrollerArm, LowerChainFollowsTwoJointSolution) {
  float a[kRobotJointCount];
  solveArmPose(Vector3(1, 12, 5), a);
  float e, b;
  solveTwoJoint(8.0f, 5.0f - 2.33f, 5.06f, 5.11f, e, b);
  EXPECT_NEAR(a[3], -b * 57.29582790879778f, 1e-2f);
  EXPECT_NEAR(a[4], -e * 57.29582790879778f, 1e-2f);
}

TEST(ScrollerArm, IntroWaveMixAndFade) {
  const Vector3 hand(-20, 4, 0);
  float solved[kRobotJointCount], at0[kRobotJointCount], at5[kRobotJointCount];
  solveArmPose(Vector3(0, 13, 4), solved);
  robotJointAngles(hand, 0, 0, at0);
  robotJointAngles(hand, 0, 5, at5);
  for (int i = 0; i < kRobotJointCount; ++i) {
    const float pose = solved[i] + jointRestAngle[i];
    const float wave = 1.9f * jointWaveAmplitude[i] * std::cos(0.5f * float(i)) + jointRestAngle[i];
    EXPECT_NEAR(at0[i], 0.5f * pose + 0.5f * wave, 1e-3f) << i;
    EXPECT_NEAR(at5[i], pose, 1e-4f) << i;
  }
  EXPECT_EQ(at5[0], -90.0f);
  // Hand yaw turns the wrist.
  float turned[kRobotJointCount];
  robotJointAngles(hand, 0.5f, 6, turned);
  EXPECT_NEAR(turned[6], 0.5f * 57.29582790879778f, 1e-3f);
}

TEST(ScrollerCamera, StagesMeetWithoutJump) {
  TimeWindow w;
  const float boundaries[] = {8, 13, 23, 32, 48};
  for (float s : boundaries) {
    Vector3 p0, t0, p1, t1;
    scrollerCameraPose(s * 1000.0f - 1.0f, w, p0, t0);
    scrollerCameraPose(s * 1000.0f, w, p1, t1);
    // One millisecond of the glide just ending, nothing more.
    EXPECT_LT(distance(p0, p1), 0.05f) << s;
    EXPECT_LT(distance(t0, t1), 0.05f) << s;
  }
  // Fine steps over the whole scene never jump either.
  Vector3 prevP, prevT;
  scrollerCameraPose(0, w, prevP, prevT);
  for (float ms = 10; ms <= 60000; ms += 10) {
    Vector3 p, t;
    scrollerCameraPose(ms, w, p, t);
    EXPECT_LT(distance(p, prevP), 0.2f) << ms;
    EXPECT_LT(distance(t, prevT), 0.05f) << ms;
    prevP = p;
    prevT = t;
  }
}

TEST(ScrollerCamera, HoldsKeysBetweenGlides) {
  TimeWindow w;
  Vector3 p, t, kp, kt;
  scrollerCameraPose(3000, w, p, t);
  scrollerCameraKey(1, 3000, kp, kt);
  EXPECT_LT(distance(p, kp), 1e-4f);
  scrollerCameraPose(10500, w, p, t);
  scrollerCameraKey(2, 10500, kp, kt);
  EXPECT_LT(distance(p, kp), 1e-4f) << "the glide to key 3 begins at 11 s";
  scrollerCameraPose(25000, w, p, t);
  scrollerCameraKey(5, 25000, kp, kt);
  EXPECT_LT(distance(p, kp), 1e-4f);
  scrollerCameraPose(47000, w, p, t);
  Vector3 k4, k6, t4, t6;
  scrollerCameraKey(4, 47000, k4, t4);
  scrollerCameraKey(6, 47000, k6, t6);
  Vector3 half;
  half.setLerp(k4, k6, 0.5f);
  EXPECT_LT(distance(p, half), 1e-3f);
  // Key 1 at time 0: a = 0.5.
  scrollerCameraKey(1, 0, kp, kt);
  const float c = 0.4f * std::cos(0.5f) + 0.5f;
  const float s = 0.5f * std::sin(0.5f) + 0.9f;
  EXPECT_NEAR(kp.x, 20 - 0.8f * c, 1e-5f);
  EXPECT_NEAR(kp.y, 3, 1e-5f);
  EXPECT_NEAR(kp.z, 0.8f * s - 2, 1e-5f);
  EXPECT_NEAR(kt.x, -1, 1e-5f);
}

TEST(ScrollerClock, LongDeltasAreSkipped) {
  ScrollerState s;
  advanceScrollerClock(s, 2999);
  EXPECT_FLOAT_EQ(s.sceneMs, 2999.0f);
  advanceScrollerClock(s, 3000);
  EXPECT_FLOAT_EQ(s.sceneMs, 2999.0f);
  advanceScrollerClock(s, 1);
  EXPECT_FLOAT_EQ(s.seconds, 3.0f);
}

TEST(ScrollerSpeed, RampFrom32To36) {
  TimeWindow w{32, 4};
  float belt, carry;
  scrollerSpeeds(w, 10, belt, carry);
  EXPECT_FLOAT_EQ(belt, 2.5f);
  EXPECT_FLOAT_EQ(carry, 2.9f);
  scrollerSpeeds(w, 34, belt, carry);
  EXPECT_NEAR(belt, (4.2f * 0.5f + 1) * 2.5f, 1e-4f);
  scrollerSpeeds(w, 40, belt, carry);
  EXPECT_NEAR(belt, 13.0f, 1e-4f);
  EXPECT_NEAR(carry, 21.17f, 1e-4f);
}
