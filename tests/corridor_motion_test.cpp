#include <gtest/gtest.h>

#include "scenes/lantern_corridor.h"

namespace {

struct Motion {
  LanternCorridorScene resources;
  LanternCorridorState scene;
  const Vector3& light = scene.lightPosition;
  Motion() { initLanternMotion(resources, scene); }
  void step(int deltaMs, int variant) {
    advanceLanternCorridor(scene, resources, deltaMs, variant);
  }
};

}  // namespace

TEST(CorridorMotion, DriftStartsAtOriginLookingUp) {
  Motion m;
  m.step(0, 0);
  EXPECT_FLOAT_EQ(m.scene.camera.position.z, 0.0f);
  EXPECT_FLOAT_EQ(m.scene.camera.position.y, 2.0f);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.x, 0.0f);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.y, -10.0f);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.z, 10.0f);
  EXPECT_FLOAT_EQ(m.light.z, 50.0f);
  EXPECT_FLOAT_EQ(m.scene.tiltClock, 0.0f);
}

TEST(CorridorMotion, DriftMovesCameraAndLantern) {
  Motion m;
  m.step(2000, 0);
  EXPECT_FLOAT_EQ(m.scene.camera.position.z, 10.0f);
  EXPECT_FLOAT_EQ(m.light.z, 50.0f - 2.5f + 10.0f);
  EXPECT_FLOAT_EQ(m.scene.spin.x, 2000 * 0.00154f);
  EXPECT_FLOAT_EQ(m.scene.spin.y, 2000 * 0.00025f);
  EXPECT_FLOAT_EQ(m.scene.spin.z, 2000 * 0.000555f);
}

TEST(CorridorMotion, TiltFromFourSecondsToLevelOverTen) {
  Motion m;
  m.step(3999, 0);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.y, -10.0f);
  EXPECT_FLOAT_EQ(m.scene.tiltClock, 0.0f);
  m.step(1, 0);  // clock 4000: the tilt clock starts
  EXPECT_FLOAT_EQ(m.scene.camera.forward.y, -10.0f);
  EXPECT_FLOAT_EQ(m.scene.tiltClock, 1.0f);
  m.step(4999, 0);
  EXPECT_NEAR(m.scene.camera.forward.y, -9.999f, 1e-4f);
  for (int i = 0; i < 5; ++i) m.step(1000, 0);
  EXPECT_NEAR(m.scene.camera.forward.y, -1.0f, 1e-4f);
  // Ten seconds of tilt clock: level, and it stays there.
  m.step(1000, 0);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.y, 0.0f);
  m.step(1000, 0);
  EXPECT_FLOAT_EQ(m.scene.camera.forward.y, 0.0f);
}

TEST(CorridorMotion, WindowCorrectionOnlyAfterSeventeenSeconds) {
  Motion m;
  m.step(17000, 0);
  // Exactly 17000: no correction.
  EXPECT_FLOAT_EQ(m.scene.camera.position.z, 17000 * 0.005f);
  // Further on the correction lifts z by up to 3 per cent.
  Motion n;
  n.step(18500, 0);  // the window's ripple is at a crest
  const float z = 18500 * 0.005f;
  EXPECT_GT(n.scene.camera.position.z, z);
  EXPECT_LE(n.scene.camera.position.z, z * 1.0301f);
  EXPECT_FLOAT_EQ(n.scene.window.start, 17.0f);
  EXPECT_FLOAT_EQ(n.scene.window.length, 3.5f);
  EXPECT_FLOAT_EQ(n.scene.window.span, 7.0f);
}

TEST(CorridorMotion, LoopStartsAtFirstPathPoint) {
  Motion m;
  m.step(0, 1);
  EXPECT_NEAR(m.scene.camera.position.x, 0.0f, 1e-5f);
  EXPECT_NEAR(m.scene.camera.position.y, 4.0f, 1e-5f);
  EXPECT_NEAR(m.scene.camera.position.z, 0.0f, 1e-5f);
  // The camera looks at the light, a tenth of the loop ahead.
  const Vector3 d = m.light - m.scene.camera.position;
  EXPECT_NEAR(m.scene.camera.forward.x, d.x, 1e-5f);
  EXPECT_NEAR(m.scene.camera.forward.y, d.y, 1e-5f);
  EXPECT_NEAR(m.scene.camera.forward.z, d.z, 1e-5f);
  EXPECT_GT(m.light.z, 1.0f);
  EXPECT_FLOAT_EQ(m.scene.pathParam, 0.0f);
  m.step(1000, 1);
  EXPECT_FLOAT_EQ(m.scene.pathParam, 0.04f);
}

TEST(CorridorMotion, LoopIsClosed) {
  Motion a, b;
  a.scene.pathParam = 0.25f;
  b.scene.pathParam = 1.25f;
  a.step(0, 1);
  b.step(0, 1);
  EXPECT_NEAR(a.scene.camera.position.z, b.scene.camera.position.z, 1e-3f);
  EXPECT_NEAR(a.scene.camera.position.y, b.scene.camera.position.y, 1e-3f);
}

TEST(CorridorMotion, OtherVariantsLeaveCameraAndLight) {
  Motion m;
  m.step(5000, 0);
  const Vector3 camera = m.scene.camera.position;
  const Vector3 light = m.light;
  m.step(1000, 2);
  EXPECT_FLOAT_EQ(m.scene.camera.position.z, camera.z);
  EXPECT_FLOAT_EQ(m.light.z, light.z);
  EXPECT_FLOAT_EQ(m.scene.sceneClock, 6000.0f);
}
