#include <gtest/gtest.h>

#include <cmath>

#include "raycast/ray_world.h"
#include "scenes/mirror_hall.h"

namespace {

// The motion, with the world placed after every step as a drawn frame does.
struct Hall {
  MirrorHallScene resources;
  MirrorHallState scene;
  const Vector3& light = scene.lightPosition;
  Hall() { buildMirrorWorld(resources, scene); }
  void step(int deltaMs) {
    stepMirrorMotion(scene, resources, deltaMs);
    placeMirrorObjects(scene, resources);
  }
  RayObject& mirror() { return resources.world->objects[resources.mirrorId]; }
  RayObject& object(int id) { return resources.world->objects[id]; }
};

}  // namespace

TEST(MirrorMotion, ObjectsInTableOrder) {
  Hall h;
  RayWorld& w = *h.resources.world;
  EXPECT_EQ(w.idList[0], 20);
  EXPECT_EQ(h.resources.mirrorId, 11);
  EXPECT_FLOAT_EQ(w.glowGain, 1.2f);
  EXPECT_FLOAT_EQ(h.object(1).radius, 500.0f);
  EXPECT_EQ(h.object(1).inside, 1);
  EXPECT_FLOAT_EQ(h.object(2).axis.y, 1.01f);
  EXPECT_FLOAT_EQ(h.object(3).axis.y, -1.01f);
  EXPECT_FLOAT_EQ(h.object(8).radius, 35.0f);
  EXPECT_EQ(h.object(8).receivesShadow, 0);
  EXPECT_EQ(h.object(9).inside, 1);
  EXPECT_FLOAT_EQ(h.object(9).uAxis.z, 1.0f);
  EXPECT_EQ(h.object(10).shape, RayShape::kDisc);
  EXPECT_FLOAT_EQ(h.object(10).wAxis.x, 1.0f);
  RayObject& m = h.mirror();
  EXPECT_EQ(m.reflective, 1);
  EXPECT_EQ(m.castsShadow, 0);
  EXPECT_EQ(m.ripple, 1);
  EXPECT_FLOAT_EQ(m.position.x, -34.0f);
  EXPECT_FLOAT_EQ(m.colour.z, 0.2f);
  for (int j = 0; j < 5; ++j) EXPECT_EQ(h.object(12 + 2 * j).shape, RayShape::kSphere);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(h.object(13 + 2 * j).shape, RayShape::kTube);
    EXPECT_EQ(h.object(13 + 2 * j).textureName, 8);
  }
}

TEST(MirrorMotion, StartValuesAtMotionClock1300) {
  Hall h;
  h.step(0);
  EXPECT_FLOAT_EQ(h.scene.motionClockMs, 1300.0f);
  Vector3 onPath;
  h.resources.cameraPath.evaluate(0.000025f * 1300.0f, onPath);
  const float factor = 7.25f - (1300.0f / 1200.0f) * (1300.0f / 1200.0f);
  EXPECT_NEAR(factor, 6.076f, 1e-3f);
  EXPECT_FLOAT_EQ(h.scene.camera.position.x, onPath.x * factor);
  EXPECT_FLOAT_EQ(h.scene.camera.position.y, onPath.y * factor);
  for (int i = 0; i < 5; ++i) {
    const float a = 1.570795f * std::sin((4.084067f - 8.168134f) / 7.0f - 0.05f * float(i));
    EXPECT_NEAR(mirrorChainAngle(i, h.scene.motionClockMs), a, 1e-5f) << i;
    EXPECT_NEAR(h.object(12 + 2 * i).position.x, -8.0f * float(i) * std::cos(a), 1e-4f);
    EXPECT_NEAR(h.object(12 + 2 * i).position.z, 8.0f * float(i) * std::sin(a), 1e-4f);
  }
  Vector3 light;
  h.resources.lightPath.evaluate(0.00005f * 1300.0f + 0.5f, light);
  EXPECT_FLOAT_EQ(h.light.z, light.z);
  // Camera looks at the wandering point near the mirror.
  EXPECT_NEAR(h.scene.camera.forward.x + h.scene.camera.position.x,
              10.0f * std::cos(0.13f) - 35.0f, 1e-3f);
}

TEST(MirrorMotion, CameraReachesPathAtThreeSeconds) {
  Hall h;
  h.step(1700);
  Vector3 onPath;
  h.resources.cameraPath.evaluate(0.000025f * 3000.0f, onPath);
  EXPECT_FLOAT_EQ(h.scene.camera.position.x, onPath.x);
  EXPECT_FLOAT_EQ(h.scene.camera.position.z, onPath.z);
}

TEST(MirrorMotion, TubesJoinNeighbouringBalls) {
  Hall h;
  h.step(5000);
  for (int j = 0; j < 4; ++j) {
    const RayObject& tube = h.object(13 + 2 * j);
    EXPECT_NEAR(std::sqrt(tube.axis.x * tube.axis.x + tube.axis.z * tube.axis.z), 1.0f, 1e-5f);
    // The tube's far end lies 7.5 + 8j out, near the next ball's surface.
    const Vector3 end = tube.position + tube.axis * 5.0f;
    const Vector3 next = h.object(12 + 2 * (j + 1)).position;
    EXPECT_LT((end - next).length(), 2.5f + 0.5f) << j;
  }
}

TEST(MirrorMotion, RippleWindowOpenAtBothEnds) {
  Hall h;
  h.step(1200);  // motion 2500: still closed
  EXPECT_EQ(h.scene.cyclePhaseMs, 2500);
  h.scene.rippleAmplitude = 1.0f;
  h.scene.rippleFrequency = 1.0f;
  h.step(0);
  EXPECT_FLOAT_EQ(h.mirror().rippleAmplitude, 0.7f);
  EXPECT_FLOAT_EQ(h.mirror().rippleFrequency, 0.9f);
  h.step(2000);  // 4500: the middle of the burst
  EXPECT_NEAR(h.mirror().rippleAmplitude,
              (std::sin(1.5140192771084335f * 2.0f - 1.570795f) + 1.0f) * 0.5f, 1e-5f);
  EXPECT_FLOAT_EQ(h.mirror().rippleFrequency, 0.35f);
  EXPECT_FLOAT_EQ(h.mirror().ripplePhase, -45.0f);
  const float amplitude = h.mirror().rippleAmplitude;
  h.step(2000);  // 6500: closed again
  EXPECT_EQ(h.scene.cyclePhaseMs, 6500);
  EXPECT_FLOAT_EQ(h.mirror().rippleAmplitude, amplitude * 0.7f);
  h.step(0);
  EXPECT_FLOAT_EQ(h.mirror().rippleAmplitude, amplitude * 0.7f * 0.7f);
  h.step(2000);  // 8500 -> phase 1500: next cycle, closed
  EXPECT_EQ(h.scene.cyclePhaseMs, 1500);
}

TEST(MirrorMotion, MotionFreezesAfter32sWhileTextFades) {
  Hall h;
  for (int i = 0; i < 28; ++i) h.step(1000);
  EXPECT_FLOAT_EQ(h.scene.motionClockMs, 1300.0f + 28000.0f);
  h.step(1000);  // 29 s: slowing
  EXPECT_LT(h.scene.motionClockMs, 1300.0f + 29000.0f);
  EXPECT_GT(h.scene.motionClockMs, 1300.0f + 28000.0f);
  for (int i = 0; i < 3; ++i) h.step(1000);  // 32 s
  const float frozen = h.scene.motionClockMs;
  const Vector3 camera = h.scene.camera.position;
  const Vector3 ball = h.object(20).position;
  for (int i = 0; i < 20; ++i) h.step(100);  // to 34 s
  EXPECT_FLOAT_EQ(h.scene.motionClockMs, frozen);
  EXPECT_FLOAT_EQ(h.scene.camera.position.x, camera.x);
  EXPECT_FLOAT_EQ(h.object(20).position.z, ball.z);
  // The last piece is full until 33.44 s and fading after.
  EXPECT_FLOAT_EQ(textPieceStrength(8, 33.0f), 1.0f);
  EXPECT_LT(textPieceStrength(8, h.scene.sceneSeconds), 1.0f);
  EXPECT_GT(textPieceStrength(8, h.scene.sceneSeconds), 0.0f);
}

TEST(MirrorMotion, TextPiecesFadeInTurn) {
  EXPECT_FLOAT_EQ(textPieceStrength(0, 7.3f), 0.0f);
  EXPECT_GT(textPieceStrength(0, 8.0f), 0.0f);
  EXPECT_FLOAT_EQ(textPieceStrength(0, 10.0f), 1.0f);
  EXPECT_FLOAT_EQ(textPieceStrength(0, 14.0f), 0.0f);
  EXPECT_FLOAT_EQ(textPieceStrength(3, 10.0f), 0.0f);
  EXPECT_FLOAT_EQ(textPieceStrength(3, 7.3f + 8.04f + 2.0f), 1.0f);
}

TEST(MirrorMotion, FullStrengthPieceHasNoOffset) {
  for (int n = 0; n < 7; ++n) {
    EXPECT_FLOAT_EQ(textGlowOffset(n, 1.0f), 0.0f);
    EXPECT_GT(textGlowOffset(n, 0.5f), 0.0f);
  }
  EXPECT_FLOAT_EQ(textGlowOffset(6, 0.0f), 7.0f * 0.06f * 0.142857f);
}
