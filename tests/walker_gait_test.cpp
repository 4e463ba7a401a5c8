#include <gtest/gtest.h>

#include <cmath>

#include "raycast/ray_world.h"
#include "scenes/walker.h"

namespace {

constexpr float kE = 0.7f;  // step length of the large park walker
constexpr float kG = 0.4f;
constexpr float kH = 0.375f;

Walker largeWalker() { return Walker(0.6f, 0.6f, 0.6f, 0.6f, kE, kG, kH); }

// A walker with its parts in a world, placed after every update.
struct Placed {
  RayWorld world{16};
  Walker walker;
  WalkerParts parts;
  explicit Placed(const Walker& w) : walker(w) {
    parts = walker.addWalkerParts(world, 10, 11, 0.4f, 1.5f, 0.125f, 0.1275f, 0.125f, 0.1275f);
  }
  void update(float deltaMs, float speed) {
    walker.updateWalker(deltaMs, speed);
    placeWalker(walker, parts, world);
  }
  const RayObject& part(int id) const { return world.objects[id]; }
};

}  // namespace

TEST(WalkerGait, ConstructionAndParts) {
  Placed p(largeWalker());
  const Walker& w = p.walker;
  EXPECT_FLOAT_EQ(w.reachA, 1.2f * 0.9999f);
  EXPECT_FLOAT_EQ(w.reachB, 1.2f * 0.9999f);
  EXPECT_FLOAT_EQ(w.position.x, -20.0f);
  EXPECT_FLOAT_EQ(w.phase, 0.0f);
  EXPECT_FLOAT_EQ(w.bodyHeight, 1.5f);
  EXPECT_EQ(p.world.idList[0], 8);
  // Added as thigh A, shin A, thigh B, shin B, neck, body, knee A, knee B.
  EXPECT_EQ(p.parts.thighA, 1);
  EXPECT_EQ(p.parts.shinB, 4);
  EXPECT_EQ(p.parts.body, 6);
  EXPECT_EQ(p.parts.kneeB, 8);
  EXPECT_EQ(p.part(p.parts.body).shape, RayShape::kTube);
  EXPECT_FLOAT_EQ(p.part(p.parts.body).length, 0.0f);
  EXPECT_FLOAT_EQ(p.part(p.parts.neck).length, 1.5f);
  EXPECT_EQ(p.part(p.parts.kneeA).shape, RayShape::kSphere);
  EXPECT_FLOAT_EQ(p.part(p.parts.kneeA).radius, 0.1275f);
  EXPECT_FLOAT_EQ(p.part(p.parts.thighA).colour.z, 0.2f);
  EXPECT_FLOAT_EQ(p.part(p.parts.neck).colour.x, 0.1f);
  for (int id = 1; id <= 8; ++id) {
    EXPECT_FLOAT_EQ(p.world.objects[id].specularGain, 1.0f);
    EXPECT_EQ(p.world.objects[id].castsShadow, 1);
    EXPECT_EQ(p.world.objects[id].receivesShadow, 1);
  }
}

TEST(WalkerGait, PoseAtCycleStart) {
  Walker w = largeWalker();
  w.poseWalker(0.0f);
  EXPECT_FLOAT_EQ(w.footA.x, 0.0f);
  EXPECT_FLOAT_EQ(w.footA.y, 0.0f);
  EXPECT_FLOAT_EQ(w.footA.z, kH / 2);
  EXPECT_FLOAT_EQ(w.footB.x, kE);
  EXPECT_FLOAT_EQ(w.footB.y, 0.0f);
  EXPECT_FLOAT_EQ(w.footB.z, -kH / 2);
  EXPECT_FLOAT_EQ(w.hipA.x, 0.5f * kE);
  EXPECT_FLOAT_EQ(w.hipB.x, 0.5f * kE);
  const float dx = 0.5f * kE;
  EXPECT_FLOAT_EQ(w.hipA.y, std::sqrt(w.reachB * w.reachB - dx * dx));
  EXPECT_FLOAT_EQ(w.hipB.z, -kH / 2);
}

TEST(WalkerGait, PoseNearCycleEnd) {
  Walker w = largeWalker();
  w.poseWalker(0.99999f);
  EXPECT_NEAR(w.hipA.x, 2.5f * kE, 1e-4f);
  EXPECT_NEAR(w.footB.x, 3.0f * kE, 1e-4f);
  EXPECT_NEAR(w.footB.y, 0.0f, 1e-4f);
  EXPECT_FLOAT_EQ(w.footA.x, 2.0f * kE);
  EXPECT_FLOAT_EQ(w.footA.y, 0.0f);
}

TEST(WalkerGait, PhasesJoinWithoutJumps) {
  Walker w = largeWalker();
  for (float edge : {1.0f / 6.0f, 0.5f, 2.0f / 3.0f}) {
    w.poseWalker(edge - 1e-5f);
    const Vector3 a = w.footA, b = w.footB, h = w.hipA;
    w.poseWalker(edge);
    EXPECT_NEAR(w.footA.x, a.x, 1e-3f) << edge;
    EXPECT_NEAR(w.footA.y, a.y, 1e-3f) << edge;
    EXPECT_NEAR(w.footB.x, b.x, 1e-3f) << edge;
    EXPECT_NEAR(w.footB.y, b.y, 1e-3f) << edge;
    EXPECT_NEAR(w.hipA.x, h.x, 1e-3f) << edge;
    EXPECT_NEAR(w.hipA.y, h.y, 1e-3f) << edge;
  }
}

TEST(WalkerGait, OffsetMovesAllJoints) {
  Walker w = largeWalker();
  w.offset.set(1, 2, 3);
  w.poseWalker(0.0f);
  EXPECT_FLOAT_EQ(w.footA.y, 2.0f);
  EXPECT_FLOAT_EQ(w.footB.z, 3.0f - kH / 2);
  EXPECT_FLOAT_EQ(w.hipA.x, 1.0f + 0.5f * kE);
}

TEST(WalkerGait, EqualLegsNeverRaised) {
  Walker w = largeWalker();
  const float s = std::sin(1.256636f);
  for (float f = 0.5f; f < 1.0f; f += 0.01f) {
    w.poseWalker(f);
    float expected;
    if (f < 2.0f / 3.0f)
      expected = kG * std::sin(6.0f * (f - 0.5f) * 1.256636f);
    else
      expected = kG * s * std::cos(1.570795f * 3.0f * (f - 2.0f / 3.0f));
    EXPECT_NEAR(w.footB.y, expected, 1e-4f) << f;
  }
}

TEST(WalkerGait, LongerLegALiftsFootB) {
  Walker w(0.7f, 0.7f, 0.6f, 0.6f, kE, kG, kH);
  w.poseWalker(0.75f);  // t = 0.25: R = 0.75 reachA + 0.25 reachB
  const float r = 0.75f * w.reachA + 0.25f * w.reachB;
  const float t = float((0.75 - 0.5 - 0.16666666666666666) * 2.9999999999999996);
  const float arc = kG * std::sin(1.256636f) * std::cos(1.570795f * t);
  EXPECT_NEAR(w.footB.y, arc + (r - w.reachB), 1e-5f);
}

TEST(WalkerGait, TargetBeyondReachGivesStraightLeg) {
  // Leg A is too short for the hip height set by leg B, so the swinging leg
  // is clamped to its full reach.
  Placed p(Walker(0.3f, 0.3f, 0.5f, 0.5f, 0.5f, 0.25f, kH));
  p.walker.heading = 0;
  p.update(300, 1.0f);  // f = 0.3
  const Vector3& thigh = p.part(p.parts.thighA).axis;
  const Vector3& shin = p.part(p.parts.shinA).axis;
  EXPECT_NEAR(thigh.dot(shin), -1.0f, 1e-4f);
  for (float v : {thigh.x, thigh.y, thigh.z, shin.x, shin.y, shin.z}) EXPECT_FALSE(std::isnan(v));
}

TEST(WalkerGait, KneeJoinsShinAndThigh) {
  Placed p(largeWalker());
  p.update(370, 1.0f);
  const Walker& w = p.walker;
  const RayObject& shin = p.part(p.parts.shinA);
  const RayObject& thigh = p.part(p.parts.thighA);
  const Vector3& knee = p.part(p.parts.kneeA).position;
  const Vector3 shinEnd = shin.position + shin.axis * w.shinA;
  const Vector3 thighEnd = thigh.position + thigh.axis * w.thighA;
  EXPECT_NEAR(shinEnd.x, knee.x, 1e-4f);
  EXPECT_NEAR(shinEnd.y, knee.y, 1e-4f);
  EXPECT_NEAR(thighEnd.x, knee.x, 1e-3f);
  EXPECT_NEAR(thighEnd.y, knee.y, 1e-3f);
  EXPECT_NEAR(thighEnd.z, knee.z, 1e-3f);
}

TEST(WalkerGait, WorldPositionContinuousAcrossCycles) {
  Placed p(largeWalker());
  Walker& w = p.walker;
  w.heading = -1.570795f;
  w.updateWalker(0, 0.75f);
  float previous = w.position.z;
  // 40 ms steps at speed 0.75 over three cycles: each step moves the
  // stance hip a little, never the 2E jump of a new cycle.
  for (int i = 0; i < 100; ++i) {
    w.updateWalker(40, 0.75f);
    EXPECT_LT(std::fabs(w.position.z - previous), 0.1f) << i;
    EXPECT_LE(w.position.z, previous + 1e-5f) << i;  // heading -pi/2 walks to -z
    previous = w.position.z;
  }
  EXPECT_GT(w.phase, 2.0f);
  // Three cycles cover about 6E.
  EXPECT_NEAR(w.position.z, -6.0f * kE * (w.phase / 3.0f), 0.8f);
}

TEST(WalkerGait, PlantedFeetStayStillInWorld) {
  Placed p(largeWalker());
  p.walker.heading = 0.7f;
  p.update(1000, 1.0f);  // phase 1.0: start of a cycle, foot B planted
  const Vector3& shinA = p.part(p.parts.shinA).position;
  const Vector3& shinB = p.part(p.parts.shinB).position;
  const Vector3 footB = shinB;
  for (int i = 0; i < 9; ++i) {
    p.update(50, 1.0f);  // f up to 0.45
    EXPECT_NEAR(shinB.x, footB.x, 1e-4f) << i;
    EXPECT_NEAR(shinB.y, footB.y, 1e-4f) << i;
    EXPECT_NEAR(shinB.z, footB.z, 1e-4f) << i;
  }
  p.update(60, 1.0f);  // f = 0.51: foot A has landed
  const Vector3 footA = shinA;
  for (int i = 0; i < 9; ++i) {
    p.update(50, 1.0f);  // f up to 0.96
    EXPECT_NEAR(shinA.x, footA.x, 1e-4f) << i;
    EXPECT_NEAR(shinA.z, footA.z, 1e-4f) << i;
  }
  // Across the cycle wrap foot B, landed at the end, stays where it landed.
  p.update(39, 1.0f);  // f = 0.999
  const Vector3 landed = shinB;
  p.update(2, 1.0f);  // f = 0.001 of the next cycle
  EXPECT_NEAR(shinB.x, landed.x, 1e-2f);
  EXPECT_NEAR(shinB.z, landed.z, 1e-2f);
}
