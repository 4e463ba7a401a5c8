// intersections, normals and texture rules of the nine kinds.
#include <gtest/gtest.h>

#include <cmath>

#include "raycast/lamp_post.h"
#include "raycast/ray_context.h"
#include "raycast/ray_primitives.h"
#include "raycast/ray_world.h"

namespace {

struct Caster {
  RayWorld world{20};
  RayContext ctx;
  RaySample sample{};

  Caster() {
    ctx.world = &world;
    ctx.sample = &sample;
  }

  // t of object id along the ray (origin, dir) as a camera ray.
  float cast(int id, Vector3 origin, Vector3 dir) {
    dir.normalize();
    RayObject& o = world.objects[id];
    o.prepareBlock(kRayFromCamera, origin);
    ctx.kind = kRayFromCamera;
    ctx.origin = origin;
    ctx.dir = dir;
    ctx.dirDot = Vector3::dot(dir, dir);
    return rayIntersect(ctx, o);
  }

  // Casts and, on a hit, fills the hit terms, texture and normal.
  float hit(int id, Vector3 origin, Vector3 dir) {
    const float t = cast(id, origin, dir);
    if (t <= 0) return t;
    RayObject& o = world.objects[id];
    ctx.hitOffset = ctx.dir * t;
    ctx.hitLocal = ctx.hitOffset - o.from[ctx.kind].offset;
    rayTextureAt(ctx, o);
    rayNormalAt(ctx, o);
    return t;
  }
};

}  // namespace

TEST(RaycastWorld, DefaultsAndAddObject) {
  RayWorld w(3);
  EXPECT_EQ(w.capacity, 4);
  EXPECT_EQ(w.idList[0], 0);
  EXPECT_EQ(w.nextId, 1);
  EXPECT_FLOAT_EQ(w.glowGain, 1.5f);
  EXPECT_EQ(w.lightFlags, 1);
  EXPECT_FLOAT_EQ(w.falloffRange, 10.0f);
  EXPECT_FLOAT_EQ(w.shadowFactor, 0.5f);
  EXPECT_FALSE(w.wobble);
  EXPECT_FLOAT_EQ(w.wobbleFrequency.x, 0.075f);
  EXPECT_FLOAT_EQ(w.wobbleAmplitude.y, 10.0f);
  EXPECT_FLOAT_EQ(w.depthScale, -1.001f);
  EXPECT_FLOAT_EQ(w.depthGain, 1.0f);
  for (int i = 0; i < w.capacity; ++i) {
    EXPECT_EQ(w.objects[i].from[kRayFromLight].offset.x, 0.0f);
    EXPECT_EQ(w.objects[i].position.z, 0.0f);
  }

  w.lightFlags = 17;
  w.falloffGain = 0.85f;
  w.colour.set4(0.1f, 0.2f, 0.3f, 0.4f);
  const int a = w.addSphere({.position = {1, 2, 3}, .radius = 4.0f, .inside = true},
                            {.textureName = 5, .textureScale = 2.0f, .castsShadow = true,
                             .reflective = true});
  EXPECT_EQ(a, 1);
  EXPECT_EQ(w.lastAdded, &w.objects[1]);
  w.lightFlags = 3;
  const int b = w.addFloor({.position = {0, 0, 0}},
                           {.textureName = 6, .textureScale = 0.5f, .receivesShadow = true});
  EXPECT_EQ(b, 2);
  EXPECT_EQ(w.idList[0], 2);
  EXPECT_EQ(w.idList[1], 1);
  EXPECT_EQ(w.idList[2], 2);
  EXPECT_EQ(w.nextId, 3);
  const RayObject& s = w.objects[1];
  EXPECT_EQ(s.lightFlags, 17);
  EXPECT_FLOAT_EQ(s.falloffGain, 0.85f);
  EXPECT_FLOAT_EQ(s.colour.w, 0.4f);
  EXPECT_EQ(s.textureName, 5);
  EXPECT_FLOAT_EQ(s.textureScale, 2.0f);
  EXPECT_EQ(s.castsShadow, 1);
  EXPECT_EQ(s.receivesShadow, 0);
  EXPECT_EQ(s.reflective, 1);
  EXPECT_EQ(s.inside, 1);
  EXPECT_EQ(s.ripple, 0);
  EXPECT_FLOAT_EQ(s.rippleFrequency, 1.0f);
  EXPECT_FLOAT_EQ(s.rippleAmplitude, 0.1f);
  EXPECT_EQ(s.textureOffsetA, 0.0f);
  EXPECT_EQ(w.objects[2].lightFlags, 3);
  EXPECT_EQ(w.lastAdded, &w.objects[2]);
}

TEST(RaycastWorld, OriginBlocks) {
  RayObject o;
  o.position.set(1, 2, 3);
  o.axis.set(0, 2, 0);
  o.prepareBlock(kRayFromLight, Vector3(1, 0, 0));
  EXPECT_FLOAT_EQ(o.fromLight().offset.y, 2.0f);
  EXPECT_FLOAT_EQ(o.fromLight().squaredDistance, 13.0f);
  EXPECT_FLOAT_EQ(o.fromLight().negAxisDot, -4.0f);
}

TEST(RaycastQuad, StrictBoundsAndCutOut) {
  Caster c;
  const int id = c.world.addQuad({.edgeU = {3, 0, 0}, .edgeV = {0, 0, 1000}}, {.textureName = 6});
  const RayObject& q = c.world.objects[id];
  EXPECT_FLOAT_EQ(q.axis.y, -1.0f);
  EXPECT_FLOAT_EQ(q.extentA, 3.0f);
  EXPECT_FLOAT_EQ(q.extentB, 1000.0f);
  EXPECT_FLOAT_EQ(q.uAxis.x, 1.0f);
  EXPECT_FLOAT_EQ(q.vAxis.z, 1.0f);
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(2.9f, -5, 500), Vector3(0, 1, 0)), 5.0f);
  EXPECT_LE(c.cast(id, Vector3(3, -5, 0), Vector3(0, 1, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(-3, -5, 0), Vector3(0, 1, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(0, -5, 1000), Vector3(0, 1, 0)), 0.0f);
  // Behind the origin.
  EXPECT_LE(c.cast(id, Vector3(0, -5, 0), Vector3(0, -1, 0)), 0.0f);

  c.world.objects[id].cutOut = 1;
  EXPECT_LE(c.cast(id, Vector3(2.9f, -5, 500), Vector3(0, 1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(3, -5, 0), Vector3(0, 1, 0)), 5.0f);
}

TEST(RaycastQuad, NormalFromUnnormalisedEdges) {
  Caster c;
  const int id = c.world.addQuad({.edgeU = {0, 2, 0}, .edgeV = {0, 0, 1000}},
                                 {.textureName = 6, .textureScale = 0.327f,
                                  .receivesShadow = true});
  const RayObject& q = c.world.objects[id];
  EXPECT_FLOAT_EQ(q.axis.x, 1.0f);
  EXPECT_FLOAT_EQ(q.extentA, 2.0f);
  EXPECT_FLOAT_EQ(q.uAxis.y, 1.0f);
}

TEST(RaycastFloor, MissesBehindTheOrigin) {
  Caster c;
  const int above = c.world.addFloor({.position = {0, 5, 0}}, {.textureName = 1});
  const int below = c.world.addFloor({.position = {0, -5, 0}}, {.textureName = 1});
  EXPECT_FLOAT_EQ(c.cast(above, Vector3(0, 0, 0), Vector3(0, 1, 0)), 5.0f);
  EXPECT_LE(c.cast(above, Vector3(0, 0, 0), Vector3(0, -1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(c.cast(below, Vector3(0, 0, 0), Vector3(0, -1, 0)), 5.0f);
  EXPECT_LE(c.cast(below, Vector3(0, 0, 0), Vector3(0, 1, 0)), 0.0f);
  // Oblique: t is the distance along the unit direction.
  EXPECT_NEAR(c.cast(above, Vector3(0, 0, 0), Vector3(0, 1, 1)), 5.0f * std::sqrt(2.0f), 1e-4);
}

TEST(RaycastFloor, PlanarTextureAndNormalAwayFromViewer) {
  Caster c;
  const int id = c.world.addFloor({.position = {1, 5, 2}},
                                  {.textureName = 1, .textureScale = 0.5f});
  c.world.objects[id].textureOffsetA = 0.25f;
  c.world.objects[id].textureOffsetB = -1.0f;
  ASSERT_GT(c.hit(id, Vector3(3, 0, 6), Vector3(0, 1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(c.sample.texU, 2 * 0.5f + 0.25f);
  EXPECT_FLOAT_EQ(c.sample.texV, 4 * 0.5f - 1.0f);
  // Seen from y < 5 looking +y: axis (0, -1, 0) faces the viewer -> flipped.
  EXPECT_FLOAT_EQ(c.ctx.normal.y, 1.0f);
  // From the other side the normal stays (0, -1, 0): away from the camera.
  ASSERT_GT(c.hit(id, Vector3(3, 10, 6), Vector3(0, -1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(c.ctx.normal.y, -1.0f);
}

TEST(RaycastFloor, RippleTiltsTheNormalRadially) {
  Caster c;
  const int id = c.world.addFloor({.position = {0, 5, 0}}, {.textureName = 1});
  RayObject& o = c.world.objects[id];
  o.ripple = 1;
  o.rippleAmplitude = 0.5f;
  o.rippleFrequency = 1.0f;
  o.ripplePhase = 0.25f;
  ASSERT_GT(c.hit(id, Vector3(2, 0, 0), Vector3(0, 1, 0)), 0.0f);
  // N = (0, 1, 0) - (Q / |Q|) * 0.5 * sin(2 * 1 + 0.25), Q = (2, 0, 0).
  EXPECT_NEAR(c.ctx.normal.x, -0.5f * std::sin(2.25f), 1e-6);
  EXPECT_NEAR(c.ctx.normal.y, 1.0f, 1e-6);
  EXPECT_NEAR(c.ctx.normal.z, 0.0f, 1e-6);
}

TEST(RaycastDisc, StrictRingOnDistanceAndZeroAxesTexture) {
  Caster c;
  const int id = c.world.addDisc({.position = {-29, 0, 0}, .normal = {2, 0, 0}, .inner = 30,
                                  .outer = 35},
                                 {.textureName = 9, .textureScale = 0.01f, .castsShadow = true,
                                  .receivesShadow = true});
  const RayObject& d = c.world.objects[id];
  EXPECT_FLOAT_EQ(d.axis.x, 2.0f);  // unnormalised
  EXPECT_EQ(d.uAxis.x, 0.0f);
  c.world.objects[id].textureOffsetA = 0.3f;
  c.world.objects[id].textureOffsetB = 0.7f;
  EXPECT_FLOAT_EQ(c.hit(id, Vector3(0, 32, 0), Vector3(-1, 0, 0)), 29.0f);
  EXPECT_FLOAT_EQ(c.sample.texU, 0.3f);
  EXPECT_FLOAT_EQ(c.sample.texV, 0.7f);
  EXPECT_LE(c.cast(id, Vector3(0, 30, 0), Vector3(-1, 0, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(0, 35, 0), Vector3(-1, 0, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(0, 0, 20), Vector3(-1, 0, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(0, 32, 0), Vector3(1, 0, 0)), 0.0f);
}

TEST(RaycastFloorRing, StrictBoundsOnSquaredDistance) {
  Caster c;
  const int id = c.world.addFloorRing({.position = {-5, 2, -1.5f}, .inner = 15, .outer = 35},
                                      {.textureName = 15, .textureScale = 0.08f,
                                       .receivesShadow = true});
  auto at = [&](float r) { return c.cast(id, Vector3(-5 + r, -3, -1.5f), Vector3(0, 1, 0)); };
  EXPECT_LE(at(3.86f), 0.0f);
  EXPECT_FLOAT_EQ(at(3.88f), 5.0f);
  EXPECT_FLOAT_EQ(at(5.0f), 5.0f);
  EXPECT_FLOAT_EQ(at(5.91f), 5.0f);
  EXPECT_LE(at(5.93f), 0.0f);

  // Exact bounds are excluded.
  const int exact = c.world.addFloorRing({.inner = 16, .outer = 25}, {.textureName = 15});
  auto atExact = [&](float r) { return c.cast(exact, Vector3(r, -1, 0), Vector3(0, 1, 0)); };
  EXPECT_LE(atExact(4.0f), 0.0f);
  EXPECT_LE(atExact(5.0f), 0.0f);
  EXPECT_FLOAT_EQ(atExact(4.5f), 1.0f);
  // A ray starting in the plane: t = 0, never a positive hit.
  EXPECT_LE(c.cast(exact, Vector3(4.5f, 0, 0), Vector3(0, 1, 0)), 0.0f);
  // Behind: t < 0.
  EXPECT_LE(c.cast(exact, Vector3(4.5f, -1, 0), Vector3(0, -1, 0)), 0.0f);
}

TEST(RaycastSphere, InsideAndOutsideRoots) {
  Caster c;
  const int sky = c.world.addSphere({.radius = 500, .inside = true},
                                    {.textureName = 5, .textureScale = 4.0f});
  const Vector3 dirs[] = {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}, {0.3f, -0.7f, 0.2f}, {-1, 1, -1}};
  for (const Vector3& d : dirs) EXPECT_NEAR(c.cast(sky, Vector3(0, 0, 0), d), 500.0f, 1e-2);
  c.world.objects[sky].inside = 0;
  for (const Vector3& d : dirs) EXPECT_LE(c.cast(sky, Vector3(0, 0, 0), d), 0.0f);

  const int ball = c.world.addSphere({.position = {0, 0, 10}, .radius = 2}, {.textureName = 4});
  EXPECT_FLOAT_EQ(c.hit(ball, Vector3(0, 0, 0), Vector3(0, 0, 1)), 8.0f);
  // Seen from outside the normal points outwards, towards the camera.
  EXPECT_FLOAT_EQ(c.ctx.normal.z, -1.0f);
  c.world.objects[ball].inside = 1;
  EXPECT_FLOAT_EQ(c.cast(ball, Vector3(0, 0, 0), Vector3(0, 0, 1)), 12.0f);
  // Missing and tangent rays (disc <= 0).
  EXPECT_LE(c.cast(ball, Vector3(0, 3, 0), Vector3(0, 0, 1)), 0.0f);
  EXPECT_LE(c.cast(ball, Vector3(0, 2, 0), Vector3(0, 0, 1)), 0.0f);
}

TEST(RaycastSphere, SphericalTexture) {
  Caster c;
  const int id = c.world.addSphere({.radius = 2}, {.textureName = 4, .textureScale = 2.0f});
  RayObject& o = c.world.objects[id];
  o.textureOffsetA = 0.1f;
  o.textureOffsetB = 0.2f;
  // Hit at (0, 0, -2): px = 0 -> phi = 0.25 exactly.
  ASSERT_GT(c.hit(id, Vector3(0, 0, -10), Vector3(0, 0, 1)), 0.0f);
  EXPECT_FLOAT_EQ(c.sample.texU, 0.25f * 2.0f * 0.75f + 0.2f);
  EXPECT_FLOAT_EQ(c.sample.texV, 0.5f * 2.0f * 0.5f + 0.1f);
  // Hit at (-2, 0, 0): px < 0, pz = 0 -> phi = 0.5; py = 0.
  ASSERT_GT(c.hit(id, Vector3(-10, 0, 0), Vector3(1, 0, 0)), 0.0f);
  EXPECT_NEAR(c.sample.texU, 0.5f * 1.5f + 0.2f, 1e-6);
  // Hit at (sqrt2, -sqrt2, 0)/..: top (py = -2) gives texV = offsetA.
  ASSERT_GT(c.hit(id, Vector3(0, -10, 0), Vector3(0, 1, 0)), 0.0f);
  EXPECT_NEAR(c.sample.texV, 0.1f, 1e-6);
  EXPECT_FLOAT_EQ(rayAzimuth(0.0f, 5.0f), 0.25f);
  EXPECT_NEAR(rayAzimuth(1.0f, 1.0f), 0.785398f * 0.159155077f, 1e-6);
  EXPECT_NEAR(rayAzimuth(-1.0f, 1.0f), 0.5f - 0.785398f * 0.159155077f, 1e-6);
  // |z| mirrors the halves.
  EXPECT_FLOAT_EQ(rayAzimuth(1.0f, std::fabs(-1.0f)), rayAzimuth(1.0f, 1.0f));
}

TEST(RaycastCutSphere, KeepsTheHalfOppositeTheAxis) {
  Caster c;
  const int id = c.world.addCutSphere({.position = {0, 0, 10}, .radius = 2, .cutAxis = {0, 1, 0},
                                       .cutLimit = 1.0f},
                                      {.textureName = 17, .castsShadow = true});
  const RayObject& o = c.world.objects[id];
  EXPECT_FLOAT_EQ(o.cutAxis.y, 1.0f);
  EXPECT_FLOAT_EQ(o.cutLimit, 1.0f);
  // Near point (0, -2, 10) lies on the kept half (s = -1, v = 0).
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, -10, 10), Vector3(0, 1, 0)), 8.0f);
  // From +y the near point (s = 1, v = 1) is cut away: the far point is hit.
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, 10, 10), Vector3(0, -1, 0)), 12.0f);
  // The equator (s = 0, v = 1) is not below the limit 1: both roots cut.
  EXPECT_LE(c.cast(id, Vector3(-10, 0, 10), Vector3(1, 0, 0)), 0.0f);
  // Just below the equator on the kept side.
  EXPECT_GT(c.cast(id, Vector3(-10, -0.1f, 10), Vector3(1, 0, 0)), 0.0f);
  // inside has no effect.
  c.world.objects[id].inside = 1;
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, -10, 10), Vector3(0, 1, 0)), 8.0f);
  // A wider limit keeps part of the upper half too (v = 2 - s < 1.5 -> s > 0.5).
  c.world.objects[id].cutLimit = 1.5f;
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, 10, 10), Vector3(0, -1, 0)), 8.0f);
  // A ray from the inside sees the far root only.
  c.world.objects[id].cutLimit = 1.0f;
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, 0, 10), Vector3(0, -1, 0)), 2.0f);
  EXPECT_LE(c.cast(id, Vector3(0, 0, 10), Vector3(0, 1, 0)), 0.0f);
}

TEST(RaycastCutSphere, LimitBelowOneShrinksTheCap) {
  Caster c;
  // Limit 0.2 with axis (0, 0, 1): v = s + 1 < 0.2 -> s < -0.8 (a small cap).
  const int id = c.world.addCutSphere({.radius = 1.5f, .cutAxis = {0, 0, 1}, .cutLimit = 0.2f},
                                      {.textureName = 17, .castsShadow = true});
  EXPECT_NEAR(c.cast(id, Vector3(0, 0, 0), Vector3(0, 0, -1)), 1.5f, 1e-6);
  EXPECT_LE(c.cast(id, Vector3(0, 0, 0), Vector3(0, 0, 1)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(0, 0, 0), Vector3(1, 0, -0.5f)), 0.0f);
}

TEST(RaycastTube, YTubeLengthTestOfTheChosenRootOnly) {
  Caster c;
  const int id = c.world.addTubeY({.axisLength = 1.0f, .radius = 0.5f, .length = 3.0f},
                                  {.textureName = 10, .castsShadow = true, .receivesShadow = true});
  EXPECT_FLOAT_EQ(c.world.objects[id].axis.y, 1.0f);
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(-5, 2, 0), Vector3(1, 0, 0)), 4.5f);
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(-5, 3, 0), Vector3(1, 0, 0)), 4.5f);  // h = 3 inclusive
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(-5, 0, 0), Vector3(1, 0, 0)), 4.5f);  // h = 0 inclusive
  EXPECT_LE(c.cast(id, Vector3(-5, 3.1f, 0), Vector3(1, 0, 0)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(-5, -0.1f, 0), Vector3(1, 0, 0)), 0.0f);
  // Diagonal: near root at y = 3.25 (outside), far root at y = 2.75 (inside):
  // the far root is not tried.
  const Vector3 from(-2, 4, 0);
  const Vector3 dir(4, -2, 0);
  EXPECT_LE(c.cast(id, from, dir), 0.0f);
  // With inside the far root is the chosen one and lies within the length.
  c.world.objects[id].inside = 1;
  EXPECT_NEAR(c.cast(id, from, dir), 2.5f * std::sqrt(1.25f), 1e-4);
  // Inside an unbounded tube every sideways ray hits the wall.
  const int open = c.world.addTubeY({.axisLength = 1.0f, .radius = 0.5f, .length = 0.0f,
                                     .inside = true},
                                    {.textureName = 10, .castsShadow = true,
                                     .receivesShadow = true});
  EXPECT_FLOAT_EQ(c.cast(open, Vector3(0, 100, 0), Vector3(0, 0, 1)), 0.5f);
}

TEST(RaycastTube, NonPositiveRootIsReturnedUnchanged) {
  Caster c;
  const int id = c.world.addTubeZ({.axisLength = 1.0f, .radius = 1.0f, .length = 0.0f},
                                  {.textureName = 4});
  // From inside without `inside`: the near root is negative and returned as is.
  EXPECT_FLOAT_EQ(c.cast(id, Vector3(0, 0, 0), Vector3(1, 0, 0)), -1.0f);
}

TEST(RaycastTube, ConeOpensAlongTheAxisSide) {
  Caster c;
  const int id = c.world.addTubeY({.axisLength = -1.2f, .radius = 0.0f, .length = 4.0f},
                                  {.textureName = 13, .textureScale = 0.08f, .castsShadow = true,
                                   .receivesShadow = true});
  const float slope = std::sqrt(1.44f - 1.0f);  // 0.6633 per unit of depth
  EXPECT_NEAR(slope, 0.6633f, 1e-4);
  EXPECT_NEAR(c.cast(id, Vector3(-5, -1, 0), Vector3(1, 0, 0)), 5 - slope, 1e-4);
  EXPECT_NEAR(c.cast(id, Vector3(-5, -3.3f, 0), Vector3(1, 0, 0)), 5 - 3.3f * slope, 1e-4);
  EXPECT_LE(c.cast(id, Vector3(-5, -3.4f, 0), Vector3(1, 0, 0)), 0.0f);  // beyond 4 / 1.2
  EXPECT_LE(c.cast(id, Vector3(-5, 1, 0), Vector3(1, 0, 0)), 0.0f);     // the other nappe
}

TEST(RaycastTube, GeneralAxisNormalAndCylindricalTexture) {
  Caster c;
  const int id = c.world.addTube({.axis = {1, 0, 0}, .radius = 0.75f, .length = 5.0f},
                                 {.textureName = 9, .textureScale = 0.1f, .castsShadow = true,
                                  .receivesShadow = true});
  const RayObject& o = c.world.objects[id];
  EXPECT_FLOAT_EQ(o.uAxis.x, 1.0f);
  EXPECT_FLOAT_EQ(o.vAxis.y, 1.0f);
  EXPECT_FLOAT_EQ(o.wAxis.z, 1.0f);
  EXPECT_FLOAT_EQ(c.hit(id, Vector3(0, 0, -5), Vector3(0, 0, 1)), 4.25f);
  EXPECT_LE(c.cast(id, Vector3(6, 0, -5), Vector3(0, 0, 1)), 0.0f);
  EXPECT_LE(c.cast(id, Vector3(-1, 0, -5), Vector3(0, 0, 1)), 0.0f);
  // Hit (0, 0, -0.75): from outside the normal points to the axis.
  EXPECT_FLOAT_EQ(c.ctx.normal.z, 0.75f);
  EXPECT_FLOAT_EQ(c.ctx.normal.x, 0.0f);
  // px = 0 -> phi = 0.25 exactly.
  EXPECT_FLOAT_EQ(c.sample.texU, 0.25f * 0.1f * 12.0f);
  EXPECT_FLOAT_EQ(c.sample.texV, 0.5f);
  // A hit at x = 2, y = -0.75: px = 2, py = -0.75, pz = 0.
  ASSERT_GT(c.hit(id, Vector3(2, -5, 0), Vector3(0, 1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(c.sample.texU, 0.0f);
  EXPECT_FLOAT_EQ(c.sample.texV, -0.75f * 0.1f * 0.125f + 0.5f);
  // Inside: far wall, normal points outwards (away from the viewer).
  c.world.objects[id].inside = 1;
  EXPECT_FLOAT_EQ(c.hit(id, Vector3(1, 0, 0), Vector3(0, 0, 1)), 0.75f);
  EXPECT_FLOAT_EQ(c.ctx.normal.z, 0.75f);
}

TEST(RaycastTube, RippleAlongTheAxis) {
  Caster c;
  const int id = c.world.addTubeZ({.axisLength = 1.0f, .radius = 1.0f, .length = 0.0f,
                                   .inside = true},
                                  {.textureName = 4});
  RayObject& o = c.world.objects[id];
  o.ripple = 1;
  o.rippleAmplitude = 0.2f;
  o.rippleFrequency = 2.0f;
  o.ripplePhase = 0.5f;
  ASSERT_GT(c.hit(id, Vector3(0, 0, 3), Vector3(1, 0, 0)), 0.0f);
  // W = (1, 0, 3); across = (1, 0, 0); |dot(W, A) A| = 3.
  EXPECT_NEAR(c.ctx.normal.x, 1.0f, 1e-6);
  EXPECT_NEAR(c.ctx.normal.z, -0.2f * std::sin(3 * 2.0f + 0.5f), 1e-6);
}

TEST(RaycastTube, SideProjections) {
  Caster c;
  const int z = c.world.addTubeZ({.position = {1, 2, 3}, .axisLength = 1.0f, .radius = 4.0f,
                                  .length = 0.0f, .inside = true},
                                 {.textureName = 7, .textureScale = 0.02f});
  EXPECT_FLOAT_EQ(c.world.objects[z].axis.z, 1.0f);
  ASSERT_GT(c.hit(z, Vector3(1, 2, 13), Vector3(0, 1, 0)), 0.0f);
  // Q = (0, 4, 10).
  EXPECT_NEAR(c.sample.texU, 4 * 0.02f, 1e-6);
  EXPECT_NEAR(c.sample.texV, 10 * 0.02f, 1e-6);
  const int y = c.world.addTubeY({.axisLength = 1.0f, .radius = 1.0f, .length = 0.0f},
                                 {.textureName = 10, .textureScale = 0.5f});
  ASSERT_GT(c.hit(y, Vector3(-5, 2, 0), Vector3(1, 0, 0)), 0.0f);
  // Q = (-1, 2, 0).
  EXPECT_FLOAT_EQ(c.sample.texU, -0.5f);
  EXPECT_FLOAT_EQ(c.sample.texV, 1.0f);
}

TEST(RaycastStats, EveryIntersectCounts) {
  Caster c;
  const int id = c.world.addSphere({.position = {0, 0, 10}, .radius = 2}, {.textureName = 4});
  const uint32_t before = c.ctx.intersects;
  c.cast(id, Vector3(0, 0, 0), Vector3(0, 0, 1));
  c.cast(id, Vector3(0, 10, 0), Vector3(0, 0, 1));
  EXPECT_EQ(c.ctx.intersects - before, 2u);
}

TEST(RaycastLampPost, PostAndShade) {
  RayWorld w(30);
  LampPost lamp(Vector3(2, 0, 3), Vector3(0, 1, 0));
  EXPECT_FLOAT_EQ(lamp.postHeight, 3.0f);
  EXPECT_FLOAT_EQ(lamp.postRadius, 0.5f);
  EXPECT_FLOAT_EQ(lamp.shadeSize, 1.6f);
  EXPECT_FLOAT_EQ(lamp.postTextureScale, 1.0f);
  w.addSphere({.radius = 100, .inside = true}, {.textureName = 7, .textureScale = 0.5f});
  addLampPost(lamp, w);
  EXPECT_EQ(lamp.postId, 2);
  EXPECT_EQ(w.idList[0], 3);
  const RayObject& post = w.objects[2];
  EXPECT_EQ(post.shape, RayShape::kTubeY);
  EXPECT_FLOAT_EQ(post.axis.y, 1.0f);
  EXPECT_FLOAT_EQ(post.radius, 0.5f);
  EXPECT_FLOAT_EQ(post.length, 3.0f);
  EXPECT_EQ(post.textureName, 10);
  EXPECT_EQ(post.castsShadow, 1);
  EXPECT_EQ(post.receivesShadow, 1);
  const RayObject& shade = w.objects[3];
  EXPECT_EQ(shade.shape, RayShape::kTubeY);
  EXPECT_FLOAT_EQ(shade.position.x, 2.0f);
  EXPECT_FLOAT_EQ(shade.position.y, 4.6f);
  EXPECT_FLOAT_EQ(shade.position.z, 3.0f);
  EXPECT_FLOAT_EQ(shade.axis.y, -1.2f);
  EXPECT_FLOAT_EQ(shade.radius, 0.0f);
  EXPECT_FLOAT_EQ(shade.length, 4.0f);
  EXPECT_EQ(shade.textureName, 13);
  EXPECT_FLOAT_EQ(shade.textureScale, 0.08f);
  EXPECT_EQ(shade.inside, 0);
}
