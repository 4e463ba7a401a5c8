// shadeRay, nearestHit, shadowTest, lightSample
// and the one mirror bounce.
#include <gtest/gtest.h>

#include <cmath>

#include "raycast/ray_primitives.h"
#include "raycast_test_world.h"

TEST(RaycastTrace, BackgroundSamples) {
  RayTestScene empty(4);
  empty.begin();
  RaySample s = empty.trace(Vector3(0, 0, 1));
  EXPECT_EQ(s.hitObject, 0);
  EXPECT_FLOAT_EQ(s.distance, 1.0f);  // empty list: nearestHit never runs
  EXPECT_FLOAT_EQ(s.shade, 1.0f);
  EXPECT_FLOAT_EQ(s.glow, 0.0f);

  RayTestScene one(4);
  one.world.addSphere({.position = {0, 0, 10}, .radius = 1}, {});
  one.begin();
  s = one.trace(Vector3(0, 1, 1));
  EXPECT_EQ(s.hitObject, 0);
  EXPECT_FLOAT_EQ(s.distance, kRayMissDistance);
  s = one.trace(Vector3(0, 0, 3));  // not unit: shadeRay normalises
  EXPECT_EQ(s.hitObject, 1);
  EXPECT_FLOAT_EQ(s.distance, 9.0f);
}

TEST(RaycastTrace, NearestHitKeepsTheEarlierObjectOnTies) {
  RayTestScene sc(4);
  sc.world.addFloor({.position = {0, 5, 0}}, {});
  sc.world.addFloor({.position = {0, 5, 0}}, {});
  sc.world.addFloor({.position = {0, 3, 0}}, {});
  sc.begin();
  RaySample s{};
  const int32_t firstTwo[] = {2, 1, 2};
  nearestHit(sc.ctx, firstTwo, Vector3(0, 1, 0), s);
  EXPECT_EQ(s.hitObject, 1);
  nearestHit(sc.ctx, sc.world.idList, Vector3(0, 1, 0), s);
  EXPECT_EQ(s.hitObject, 3);
  EXPECT_FLOAT_EQ(s.distance, 3.0f);
}

TEST(RaycastTrace, LightingTerms) {
  RayTestScene sc(4);
  sc.world.lightFlags = 0;
  const int floor = sc.world.addFloor({.position = {0, 5, 0}}, {});
  RayObject& o = sc.world.objects[floor];
  auto shadeWithLightAt = [&](Vector3 lightPos, int flags) {
    sc.light->position = lightPos;
    o.lightFlags = flags;
    sc.begin();
    return sc.trace(Vector3(0, 1, 0)).shade;
  };
  // Unlit.
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 0), 1.0f);
  // Specular: B = (0, -1, 0), -L = (0, -1, 0): a = 1 * gain, shade 1 + a^4.
  o.specularGain = 0.5f;
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 2), 1.0f + 0.0625f);
  // Specular clamps at 0 when the light is behind the plane.
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 10, 0), 2), 1.0f);
  // Sheen is not clamped: shade = 1 + dot(B, -L) * gain.
  o.sheenGain = 0.25f;
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 16), 1.25f);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 10, 0), 16), 0.75f);
  // Diffuse: the floor's normal faces away from the camera, so only a light
  // beyond the plane lights it.
  o.diffuseGain = 0.5f;
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 4), 1.0f);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 10, 0), 4), 1.5f);
  // Spot: shade = 2 shade c^5 with c = dot(L, spotDirection), else 0.
  sc.light->spotDirection.set(0, 1, 0);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 8), 2.0f);
  sc.light->spotDirection.set(0, 0.5f, 0);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 8), 2.0f / 32.0f);
  sc.light->spotDirection.set(0, -1, 0);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 0, 0), 8), 0.0f);
  // Falloff: shade *= base - gain sqrt(distance / range), clamped at 0.
  o.falloffBase = 1.5f;
  o.falloffGain = 0.5f;
  o.falloffRange = 20.0f;
  EXPECT_NEAR(shadeWithLightAt(Vector3(0, -15, 0), 1), 1.0f, 1e-6);  // sqrt(20 / 20)
  o.falloffGain = 2.0f;
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, -15, 0), 1), 0.0f);
  // Falloff also clamps a negative sheen result.
  o.falloffGain = 0.0f;
  o.falloffBase = 1.0f;
  o.sheenGain = 3.0f;
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 10, 0), 17), 0.0f);
  EXPECT_FLOAT_EQ(shadeWithLightAt(Vector3(0, 10, 0), 16), -2.0f);
}

TEST(RaycastTrace, ShadowRayAndFactor) {
  RayTestScene sc(4);
  sc.world.lightFlags = 0;
  sc.world.shadowFactor = 0.3f;
  const int floor = sc.world.addFloor({.position = {0, 5, 0}}, {.receivesShadow = true});
  const int ball = sc.world.addSphere({.position = {0, 2.5f, 3}, .radius = 0.5f},
                                      {.castsShadow = true});
  sc.light->position.set(0, 0, 6);
  sc.begin();
  // The hit (0, 5, 0) sees the light past the ball (0, 2.5, 3).
  RaySample s = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(s.hitObject, floor);
  EXPECT_EQ(s.shadowObject, ball);
  EXPECT_EQ(s.shadowCount, 1);
  EXPECT_FLOAT_EQ(s.shade, 0.3f);
  // Casters only.
  sc.world.objects[ball].castsShadow = 0;
  s = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(s.shadowObject, 0);
  EXPECT_EQ(s.shadowCount, 0);
  EXPECT_FLOAT_EQ(s.shade, 1.0f);
  // Receivers only.
  sc.world.objects[ball].castsShadow = 1;
  sc.world.objects[floor].receivesShadow = 0;
  s = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(s.shadowObject, 0);
}

TEST(RaycastTrace, ShadowEpsilon) {
  RayTestScene sc(4);
  sc.world.addFloor({.position = {0, 9.97f, 0}}, {.castsShadow = true});  // 0.03 before the hit
  sc.world.addFloor({.position = {0, 9.95f, 0}}, {.castsShadow = true});  // 0.05 before the hit
  sc.light->position.set(0, 0, 0);
  sc.begin();
  sc.ctx.lightDir.set(0, 1, 0);
  sc.ctx.lightHitDistance = 10.0f;
  RaySample s{};
  const int32_t near[] = {1, 1};
  shadowTest(sc.ctx, near, s);
  EXPECT_EQ(s.shadowObject, 0);
  EXPECT_EQ(sc.ctx.kind, kRayFromLight);  // the kind stays 1
  const int32_t both[] = {2, 1, 2};
  shadowTest(sc.ctx, both, s);
  EXPECT_EQ(s.shadowObject, 2);
  // Behind the light (t < 0) never shadows.
  sc.world.addFloor({.position = {0, -1, 0}}, {.castsShadow = true});
  sc.begin();
  s.shadowObject = 0;
  const int32_t behind[] = {1, 3};
  shadowTest(sc.ctx, behind, s);
  EXPECT_EQ(s.shadowObject, 0);
}

TEST(RaycastTrace, MirrorWhoseBounceEscapesIsBackground) {
  RayTestScene sc(4);
  sc.world.lightFlags = 0;
  sc.world.addFloor({.position = {0, 5, 0}}, {.reflective = true});
  sc.world.addSphere({.position = {0, 0, 40}, .radius = 1}, {});  // not in the reflection
  sc.light->position.set(50, 0, 0);
  sc.begin();
  const RaySample s = sc.trace(Vector3(0, 1, 0.2f));
  EXPECT_EQ(s.hitObject, 0);
  EXPECT_EQ(s.bounceObject, 0);
}

TEST(RaycastTrace, MirrorBounceTakesTheReflection) {
  RayTestScene sc(4);
  sc.world.lightFlags = 0;
  sc.world.shadowFactor = 0.5f;
  const int sky = sc.world.addSphere({.radius = 100, .inside = true}, {.textureName = 7});
  const int mirror = sc.world.addFloor({.position = {0, 5, 0}},
                                       {.textureName = 14, .reflective = true});
  sc.world.objects[sky].lightFlags = 1;
  sc.world.objects[sky].falloffBase = 0.8f;
  sc.world.objects[sky].falloffGain = 0.0f;
  sc.world.objects[sky].textureOffsetA = 0.125f;
  sc.light->position.set(30, 0, 0);
  sc.begin();
  const RaySample s = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(s.hitObject, mirror);
  EXPECT_EQ(s.bounceObject, sky);
  EXPECT_FLOAT_EQ(s.shade, 0.8f);
  EXPECT_EQ(s.shadowCount, 0);
  // The bounce goes straight back: hit (0, -95 + 5... ) on the sky from P = (0, 5, 0).
  EXPECT_FLOAT_EQ(s.distance, 5.0f);
  // Texture coordinates are the sky's at the reflected hit (0, -100, 0):
  // py = -100 -> texV = offsetA; px = 0 -> phi = 0.25.
  EXPECT_NEAR(s.texV, 0.125f, 1e-6);
  EXPECT_NEAR(s.texU, 0.25f * 0.75f, 1e-6);
  EXPECT_FLOAT_EQ(s.glow, 0.0f);  // the light is far off the bounce line
}

TEST(RaycastTrace, ShadowedReflectionIsDarkenedTwice) {
  RayTestScene sc(6);
  sc.world.lightFlags = 0;
  const int sky = sc.world.addSphere({.radius = 100, .inside = true},
                                     {.textureName = 7, .receivesShadow = true});
  sc.world.objects[sky].shadowFactor = 0.5f;
  sc.world.addFloor({.position = {0, 5, 0}}, {.textureName = 14, .reflective = true});
  // A caster between the light and the reflected hit (0, -100, 0).
  const int blocker = sc.world.addSphere({.position = {0, -90, 0}, .radius = 2},
                                         {.castsShadow = true});
  sc.light->position.set(0, -80, 0);
  sc.begin();
  const RaySample s = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(s.bounceObject, blocker);  // the reflection sees the blocker itself
  // Move the blocker off the bounce line but keep it on the light ray of the
  // reflected hit: light at (20, -80, 0), hit (0, -100, 0).
  sc.world.objects[blocker].position.set(10, -90, 0);
  sc.light->position.set(20, -80, 0);
  sc.begin();
  const RaySample t = sc.trace(Vector3(0, 1, 0));
  EXPECT_EQ(t.bounceObject, sky);
  EXPECT_EQ(t.shadowCount, 1);
  // Bounce shade 1 * 0.5 (its own shadow), then * 0.5 again.
  EXPECT_FLOAT_EQ(t.shade, 0.25f);
}

TEST(RaycastTrace, MirrorHighlight) {
  RayTestScene sc(4);
  sc.world.lightFlags = 0;
  sc.world.glowGain = 1.5f;
  sc.world.addSphere({.radius = 100, .inside = true}, {.textureName = 7});
  sc.world.addFloor({.position = {0, 5, 0}}, {.textureName = 14, .reflective = true});
  // Light on the bounce line: d = 0 -> g = 1.5 / 0.05 - 0.3 -> clamped to 1.
  sc.light->position.set(0, -20, 0);
  sc.begin();
  RaySample s = sc.trace(Vector3(0, 1, 0));
  EXPECT_FLOAT_EQ(s.glow, 1.0f);
  // Light 2 off the line: g = 1.5 / 2.05 - 0.3.
  sc.light->position.set(2, -20, 0);
  sc.begin();
  s = sc.trace(Vector3(0, 1, 0));
  EXPECT_NEAR(s.glow, 1.5f / 2.05f - 0.3f, 1e-5);
  // Beyond glowShape.z * glowGain = 7.5 the highlight is off.
  sc.light->position.set(8, -20, 0);
  sc.begin();
  EXPECT_FLOAT_EQ(sc.trace(Vector3(0, 1, 0)).glow, 0.0f);
  // Behind the bounce direction: off.
  sc.light->position.set(0, 20, 0);
  sc.begin();
  EXPECT_FLOAT_EQ(sc.trace(Vector3(0, 1, 0)).glow, 0.0f);
}
