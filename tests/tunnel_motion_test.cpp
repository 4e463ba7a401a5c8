#include <gtest/gtest.h>

#include <cmath>

#include "math/spline_path.h"
#include "raycast/ray_world.h"
#include "scenes/tunnel.h"

namespace {

TunnelState freshScene() {
  TunnelState s;
  s.cameraA.position = Vector3(-1, 0, 0);
  s.cameraB.position = Vector3(-1, 0, 0);
  return s;
}

void expectNear(const Vector3& a, const Vector3& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST(TunnelMotion, CameraCreepsBackThenCutsAtFifteenSeconds) {
  TunnelState s = freshScene();
  for (int i = 0; i < 150; ++i) {
    ViewCamera& c = moveTunnelCamera(s, 100);
    EXPECT_EQ(&c, &s.cameraA) << i;
    s.sceneMs += 100;
  }
  EXPECT_NEAR(s.cameraA.position.z, -3.0f, 1e-4f);  // 15000 ms x 0.0002
  EXPECT_FLOAT_EQ(s.cameraA.forward.z, -1.0f);

  // The cut: camera B starts from its own place, not where A stopped.
  ViewCamera& b = moveTunnelCamera(s, 100);
  EXPECT_EQ(&b, &s.cameraB);
  EXPECT_NEAR(b.position.z, 0.04f, 1e-6f);
  EXPECT_FLOAT_EQ(b.position.x, -1.0f);
  EXPECT_FLOAT_EQ(b.forward.z, 1.0f);
  EXPECT_NEAR(s.cameraA.position.z, -3.0f, 1e-4f);
}

TEST(TunnelMotion, CutFollowsTheClockBeforeTheFrame) {
  TunnelState s = freshScene();
  s.sceneMs = 14999.0f;
  EXPECT_EQ(&moveTunnelCamera(s, 500), &s.cameraA);
  s.sceneMs = 15000.0f;
  EXPECT_EQ(&moveTunnelCamera(s, 1), &s.cameraB);
}

TEST(TunnelMotion, TubeTurnFollowsTheClockNotTheFrameCount) {
  RayObject once;
  RayObject stepped;
  // One frame at 26000 ms against 26000 frames of 1 ms: the axes must agree,
  // as they would not if each frame's angle were added to the last axes.
  turnTubeAxes(once, 0.05f * 26000.0f);
  float ms = 0;
  for (int i = 0; i < 26000; ++i) {
    ms += 1.0f;
    turnTubeAxes(stepped, 0.05f * ms);
  }
  expectNear(stepped.uAxis, once.uAxis, 1e-3f);
  expectNear(stepped.vAxis, once.vAxis, 1e-3f);
  expectNear(stepped.wAxis, once.wAxis, 1e-3f);
  for (const Vector3* v : {&stepped.uAxis, &stepped.vAxis, &stepped.wAxis})
    EXPECT_NEAR(v->lengthSquared(), 1.0f, 1e-5f);
}

TEST(TunnelMotion, TubeAxesStartFromTheirResetPlace) {
  RayObject tube;
  turnTubeAxes(tube, 0.0f);
  expectNear(tube.uAxis, Vector3(0, 0, 1), 0);
  expectNear(tube.vAxis, Vector3(1, 0, 0), 0);
  expectNear(tube.wAxis, Vector3(0, 1, 0), 0);
  // rotateZ turns by minus the angle: (1, 0, 0) goes to (cos a, -sin a, 0).
  turnTubeAxes(tube, 0.5f);
  expectNear(tube.vAxis, Vector3(std::cos(0.5f), -std::sin(0.5f), 0), 1e-6f);
  expectNear(tube.uAxis, Vector3(0, 0, 1), 1e-6f);
}

TEST(TunnelMotion, FlyersRollAtTheirOwnRates) {
  EXPECT_FLOAT_EQ(tunnelFlyerRoll(0, 0.0f), 1.0f);
  EXPECT_FLOAT_EQ(tunnelFlyerRoll(0, 10000.0f), 6.0f);
  EXPECT_FLOAT_EQ(tunnelFlyerRoll(2, 10000.0f), 6.0f);
  EXPECT_FLOAT_EQ(tunnelFlyerRoll(4, 10000.0f), 4.0f);
}

TEST(TunnelMotion, NoFlyerReachesItsPathEndInTheScene) {
  // The longest-running path shape at 17 units per second over the scene's 26 s.
  SplinePath path(20, false);
  for (float z : {250.0f, 125.0f, 0.0f, -125.0f, -250.0f}) path.addPoint(-15, 15, z);
  path.computeTangents(15, true);
  Vector3 p;
  float travel = 0;
  for (int i = 0; i < 260; ++i) path.advance(travel, kTunnelFlyerSpeed, 100.0f, p);
  EXPECT_LT(travel, 1.0f);
  EXPECT_GT(p.z, -250.0f);
}
