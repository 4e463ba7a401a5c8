#include <gtest/gtest.h>

#include <cmath>

#include "math/two_joint_ik.h"

namespace {

TEST(SolveTwoJoint, StraightChains) {
  float elbow = -9, shoulder = -9;
  solveTwoJoint(2, 0, 1, 1, elbow, shoulder);
  EXPECT_NEAR(elbow, 0.0f, 1e-3f);
  EXPECT_NEAR(shoulder, 0.0f, 1e-3f);

  // Out of reach: pulled onto the reach circle, same answer.
  elbow = shoulder = -9;
  solveTwoJoint(10, 0, 1, 1, elbow, shoulder);
  EXPECT_NEAR(elbow, 0.0f, 1e-3f);
  EXPECT_NEAR(shoulder, 0.0f, 1e-3f);

  solveTwoJoint(0, 2, 1, 1, elbow, shoulder);
  EXPECT_NEAR(elbow, 0.0f, 1e-3f);
  EXPECT_NEAR(shoulder, 1.570795f, 1e-3f);

  // Pointing backwards: shoulder in the upper range of angleOf.
  solveTwoJoint(-5, 0, 1, 1, elbow, shoulder);
  EXPECT_NEAR(elbow, 0.0f, 1e-3f);
  EXPECT_NEAR(shoulder, 3.14159f, 1e-3f);
}

TEST(SolveTwoJoint, RightAngleFold) {
  float elbow, shoulder;
  solveTwoJoint(1, 1, 1, 1, elbow, shoulder);
  EXPECT_NEAR(elbow, 1.5707963f, 1e-5f);
  EXPECT_NEAR(shoulder, 0.0f, 1e-5f);
}

TEST(SolveTwoJoint, ForwardKinematicsReachesTarget) {
  const float upper = 1.5f, lower = 1.0f;
  const float targets[][2] = {{1.2f, 0.7f}, {-0.8f, 1.9f}, {0.3f, -1.4f},
                              {-1.6f, -0.9f}, {2.0f, 0.1f}};
  for (const auto& t : targets) {
    float elbow, shoulder;
    solveTwoJoint(t[0], t[1], upper, lower, elbow, shoulder);
    const float ex = upper * std::cos(shoulder) + lower * std::cos(shoulder + elbow);
    const float ey = upper * std::sin(shoulder) + lower * std::sin(shoulder + elbow);
    EXPECT_NEAR(ex, t[0], 2e-4f) << t[0] << "," << t[1];
    EXPECT_NEAR(ey, t[1], 2e-4f) << t[0] << "," << t[1];
    EXPECT_GE(shoulder, -1.5708f);
    EXPECT_LE(shoulder, 3.0f * 1.5708f);
  }
}

TEST(SolveTwoJoint, PulledTargetLandsOnReachCircle) {
  float elbow, shoulder;
  solveTwoJoint(30, 40, 2, 3, elbow, shoulder);  // distance 50, reach 5
  EXPECT_NEAR(elbow, 0.0f, 1e-3f);
  EXPECT_NEAR(shoulder, std::atan2(40.0f, 30.0f), 1e-3f);
}

TEST(SolveTwoJoint, TooCloseTargetIsClampedNotNan) {
  float elbow, shoulder;
  solveTwoJoint(0.1f, 0, 2, 1, elbow, shoulder);  // inside |2 - 1|
  EXPECT_FALSE(std::isnan(elbow));
  EXPECT_FALSE(std::isnan(shoulder));
  EXPECT_NEAR(elbow, 3.14159f, 1e-3f);  // fully folded
}

}  // namespace
