#include <gtest/gtest.h>

#include "raycast/ray_world.h"
#include "scenes/lamp_park.h"

namespace {

struct Park {
  LampParkScene scene;
  LampParkState state;
  Park() { buildLampParkWorld(scene, state); }
  void step(int deltaMs, int variant) { stepLampParkMotion(state, scene, deltaMs, variant); }
  // Where the drawn frame puts walker i's body.
  Vector3 body(int i) {
    placeWalker(state.walkers[i], scene.walkerParts[i], *scene.world);
    return scene.world->objects[scene.walkerParts[i].body].position;
  }
};

}  // namespace

TEST(ParkMotion, WorldHoldsEveryObject) {
  Park p;
  LampParkScene& s = p.scene;
  EXPECT_EQ(s.world->idList[0], 62);
  EXPECT_EQ(s.lamps.size(), 12u);
  // The first lamp stands raised on the third hill; its post follows the
  // five ground, sky and hill objects.
  EXPECT_EQ(s.lamps[0].postId, 6);
  EXPECT_FLOAT_EQ(s.world->objects[6].position.y, 2.0f);
  // Walker parts follow the 24 lamp objects; the outer sky closes the list.
  EXPECT_EQ(s.walkerParts[0].thighA, 30);
  EXPECT_FLOAT_EQ(s.world->objects[62].radius, 1000.0f);
  EXPECT_EQ(s.world->objects[62].inside, 1);
  // Walked once at start-up with speed f * 0.2 + 1 for one second.
  EXPECT_FLOAT_EQ(p.state.walkers[0].phase, 1.0f);
  EXPECT_FLOAT_EQ(p.state.walkers[3].phase, 1.6f);
  EXPECT_FLOAT_EQ(p.state.walkers[1].stepLength, 0.5f);
  EXPECT_FLOAT_EQ(p.state.walkers[2].stepLength, 0.7f);
}

TEST(ParkMotion, HighGlideKeepsItsViewDirection) {
  Park p;
  LampParkState& s = p.state;
  p.step(40, 1);
  EXPECT_FLOAT_EQ(s.camera.position.x, 15.4f);
  EXPECT_FLOAT_EQ(s.camera.position.y, 7.5f);
  EXPECT_FLOAT_EQ(s.camera.position.z, -29.4f);
  EXPECT_FLOAT_EQ(s.flightClock, 40.0f);
  Vector3 previous = s.camera.position;
  for (int i = 0; i < 50; ++i) {
    p.step(500, 1);
    EXPECT_FLOAT_EQ(s.camera.forward.x, -0.5f);
    EXPECT_FLOAT_EQ(s.camera.forward.y, -0.75f);
    EXPECT_FLOAT_EQ(s.camera.forward.z, 1.0f);
  }
  EXPECT_GT((s.camera.position - previous).length(), 10.0f);
  EXPECT_FLOAT_EQ(s.walkClock, 0.0f);
}

TEST(ParkMotion, LowFlightContinuesTheFlightClock) {
  Park p;
  LampParkState& s = p.state;
  for (int i = 0; i < 10; ++i) p.step(1000, 1);
  p.step(40, 2);
  Vector3 expected;
  p.scene.lowPath.evaluate(10000 * 0.000035f, expected);
  EXPECT_FLOAT_EQ(s.camera.position.x, expected.x);
  EXPECT_FLOAT_EQ(s.camera.position.z, expected.z);
  EXPECT_FLOAT_EQ(s.flightClock, 10040.0f);
  // Looking ahead along the path.
  Vector3 ahead;
  p.scene.lowPath.evaluate(10000 * 0.000035f + 0.00015f, ahead);
  EXPECT_FLOAT_EQ(s.camera.forward.x, ahead.x - expected.x);
  EXPECT_FLOAT_EQ(s.camera.forward.z, ahead.z - expected.z);
}

TEST(ParkMotion, MiddlePathStartsAtItsFirstPointAndWalkersWalk) {
  Park p;
  LampParkState& s = p.state;
  p.step(1000, 1);
  const float flight = s.flightClock;
  const Vector3 start = s.walkers[1].position;
  p.step(40, 3);
  EXPECT_FLOAT_EQ(s.camera.position.x, 11.2f);
  EXPECT_FLOAT_EQ(s.camera.position.y, 4.0f);
  EXPECT_FLOAT_EQ(s.camera.position.z, 28.0f);
  EXPECT_FLOAT_EQ(s.walkClock, 40.0f);
  EXPECT_FLOAT_EQ(s.flightClock, flight);
  for (int i = 0; i < 50; ++i) p.step(40, 3);
  // Heading -pi/2 walks towards -z.
  EXPECT_LT(s.walkers[1].position.z, start.z - 0.5f);
  EXPECT_NEAR(s.walkers[1].position.x, start.x, 1e-3f);
  // The camera watches the second walker's body at height 2.
  const Vector3 body = p.body(1);
  EXPECT_FLOAT_EQ(s.camera.forward.x, body.x - s.camera.position.x);
  EXPECT_FLOAT_EQ(s.camera.forward.y, 2.0f - s.camera.position.y);
  EXPECT_FLOAT_EQ(s.camera.forward.z, body.z - s.camera.position.z);
}

TEST(ParkMotion, WalkersStandStillOutsideVariantThree) {
  Park p;
  LampParkState& s = p.state;
  const Vector3 body = p.body(2);
  for (int i = 0; i < 5; ++i) p.step(100, 1 + i % 2);
  EXPECT_FLOAT_EQ(p.body(2).z, body.z);
  EXPECT_FLOAT_EQ(s.walkers[2].phase, 1.4f);
}

TEST(ParkMotion, LightLoopsEveryFiftySeconds) {
  Park p;
  LampParkState& s = p.state;
  const Vector3& light = s.lightPosition;
  p.step(0, 1);
  EXPECT_FLOAT_EQ(light.x, 14.0f);
  EXPECT_FLOAT_EQ(light.y, 4.0f);
  EXPECT_FLOAT_EQ(light.z, -7.0f);
  p.step(25000, 0);  // other variants only move the light
  EXPECT_GT((light - Vector3(14, 4, -7)).length(), 5.0f);
  p.step(25000, 0);
  EXPECT_NEAR(light.x, 14.0f, 1e-3f);
  EXPECT_NEAR(light.y, 4.0f, 1e-3f);
  EXPECT_NEAR(light.z, -7.0f, 1e-3f);
  EXPECT_FLOAT_EQ(s.flightClock, 0.0f);
}
