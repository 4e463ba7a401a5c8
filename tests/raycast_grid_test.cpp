// Frame entry, flare test, traceBlock's
// leaf test and candidate lists, drawing, mask updates, wobble, statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "raycast/ray_draw.h"
#include "raycast/ray_corners.h"
#include "raycast/ray_grid.h"
#include "raycast_test_world.h"

namespace {

RaySample sampleWith(float shade, float glow = 0, int hit = 1) {
  RaySample s{};
  s.hitObject = static_cast<uint8_t>(hit);
  s.shade = shade;
  s.glow = glow;
  s.distance = 10;
  return s;
}

// Whether any pixel of the band equals (r, g, b) exactly.
int countBandPixels(unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> px(512 * 256 * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 64, 512, 256, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  int n = 0;
  for (size_t i = 0; i < px.size(); i += 4)
    if (px[i] == r && px[i + 1] == g && px[i + 2] == b) ++n;
  return n;
}

// An unlit sky sphere of the given radius and colour around the camera.
int addSky(RayWorld& w, float radius, float r, float g, float b) {
  w.lightFlags = 0;
  w.colour.set4(r, g, b, 0);
  return w.addSphere({.radius = radius, .inside = true}, {});
}

// One drawn frame of `world` as bytes: every traced sample with its grid
// point, the frame's statistics and the band's pixels.
std::vector<unsigned char> gridFrame(RayTestScene& sc) {
  sc.render();
  std::vector<unsigned char> bytes;
  auto put = [&](const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    bytes.insert(bytes.end(), b, b + n);
  };
  for (int gy = 0; gy <= 256; ++gy) {
    for (int gx = 0; gx <= 512; ++gx) {
      const RaySample* s = rayGridSample(sc.grid, gx, gy);
      if (!s) continue;
      const int point[2] = {gx, gy};
      put(point, sizeof(point));
      put(s, sizeof(RaySample));
    }
  }
  const uint32_t stats[6] = {sc.stats.lastFrameIntersects, sc.stats.lastFrameSamples,
                             sc.stats.lastFrameLeaves,     sc.stats.lastFramePixels,
                             sc.stats.lastFrameQuads,      sc.stats.lastFrameCapped};
  put(stats, sizeof(stats));
  std::vector<unsigned char> px(512 * 256 * 4);
  glReadPixels(0, 64, 512, 256, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  put(px.data(), px.size());
  return bytes;
}

}  // namespace

TEST(RaycastLeaf, ThresholdsOnShadeAndGlow) {
  const RaySample a = sampleWith(0.5f);
  EXPECT_TRUE(rayCornersAgree(a, a, a, a));
  EXPECT_FALSE(rayCornersAgree(a, a, a, sampleWith(0.95f)));
  EXPECT_TRUE(rayCornersAgree(a, a, a, sampleWith(0.85f)));
  EXPECT_TRUE(rayCornersAgree(a, sampleWith(0.9f), a, a));   // 0.39999998 <= 0.4
  EXPECT_FALSE(rayCornersAgree(sampleWith(0.9f), sampleWith(0.45f), a, a));  // pair (c0, c1)
  EXPECT_FALSE(rayCornersAgree(a, sampleWith(0.9f), sampleWith(0.45f), a));  // pair (c1, c2)
  EXPECT_FALSE(rayCornersAgree(a, a, sampleWith(0.5f, 0.5f), a));
  EXPECT_TRUE(rayCornersAgree(a, a, sampleWith(0.5f, 0.35f), a));
  // Ids and shadow counts must match; shadowObject is not compared.
  EXPECT_FALSE(rayCornersAgree(a, a, a, sampleWith(0.5f, 0, 2)));
  RaySample shadowed = a;
  shadowed.shadowCount = 1;
  EXPECT_FALSE(rayCornersAgree(a, shadowed, a, a));
  RaySample other = a;
  other.shadowObject = 3;
  EXPECT_TRUE(rayCornersAgree(a, other, a, a));
  RaySample mirrored = a;
  mirrored.bounceObject = 2;
  EXPECT_FALSE(rayCornersAgree(a, a, mirrored, a));
}

TEST(RaycastGrid, EmptyWorldDrawsNothingAndHidesTheFlare) {
  RayTestScene sc(2);
  raySceneGlState();
  sc.light->position.set(0, 0, 50);
  sc.light->flareIntensity = 20;
  sc.render();
  EXPECT_EQ(sc.stats.lastFrameQuads, 0u);
  EXPECT_EQ(sc.stats.lastFrameSamples, 65u * 65u);
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 0.0f);
  EXPECT_EQ(countBandPixels(0, 0, 0), 512 * 256);  // the grid's black clear, nothing over it
  // With no objects shadeRay stops before nearestHit: every sample keeps the
  // distance 1.0, and the leaves' mask rule applies to it (light at 50).
  EXPECT_FLOAT_EQ(rayGridSample(sc.grid, 0, 0)->distance, 1.0f);
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 0);
  // A light nearer than 1 stays unmasked.
  sc.light->fillMask(255);
  sc.light->position.set(0, 0, 0.5f);
  sc.render();
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 255);
}

TEST(RaycastGrid, UniformWorldStopsAtTheLattice) {
  RayTestScene sc(2);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.25f, 0.75f);
  sc.light->flareIntensity = 0;
  sc.render();
  // Width 16 is never a leaf, width 8 is: exactly the 65 x 65 lattice.
  EXPECT_EQ(sc.stats.lastFrameSamples, 65u * 65u);
  EXPECT_EQ(sc.stats.lastFrameIntersects, 65u * 65u);
  EXPECT_EQ(sc.stats.lastFrameLeaves, 64u * 64u);
  EXPECT_EQ(sc.stats.lastFramePixels, 0u);
  EXPECT_EQ(sc.stats.lastFrameQuads, 64u * 64u);
  EXPECT_EQ(sc.stats.lastFrameCapped, 0);
  EXPECT_NE(rayGridSample(sc.grid, 0, 0), nullptr);
  EXPECT_NE(rayGridSample(sc.grid, 512, 256), nullptr);  // own entries at the edges
  EXPECT_NE(rayGridSample(sc.grid, 512, 0), nullptr);
  EXPECT_NE(rayGridSample(sc.grid, 0, 256), nullptr);
  EXPECT_EQ(rayGridSample(sc.grid, 4, 0), nullptr);
  EXPECT_EQ(rayGridSample(sc.grid, 513, 0), nullptr);
  EXPECT_EQ(rayGridSample(sc.grid, 0, 257), nullptr);
  // Every band pixel is drawn with the sky colour.
  EXPECT_EQ(countBandPixels(128, 64, 191) + countBandPixels(127, 64, 191) +
                countBandPixels(128, 64, 192) + countBandPixels(127, 64, 192),
            512 * 256);
}

TEST(RaycastGrid, ViewPlaneIsTwoToOneNinetyDegrees) {
  RayTestScene sc(2);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.world.objects[1].uAxis.set(1, 0, 0);
  sc.render();
  // Camera forward +z, up (0, -1, 0), right = up x forward = (-1, 0, 0).
  // Grid (0, 0): F + U/2 + R = (-1, -0.5, 1); grid (512, 256): (1, 0.5, 1).
  auto hitDir = [&](int gx, int gy) {
    const RaySample* s = rayGridSample(sc.grid, gx, gy);
    EXPECT_NE(s, nullptr);
    return s->distance;
  };
  EXPECT_NEAR(hitDir(256, 128), 500.0f, 1e-2);
  EXPECT_NEAR(hitDir(0, 0), 500.0f, 1e-2);
  // Grid x 0 looks along (-1, 0, 1): px < 0, phi = 0.5 - 0.125; grid x 512
  // along (1, 0, 1): phi = 0.125 (texture scale 1, factor 0.75).
  EXPECT_NEAR(rayGridSample(sc.grid, 0, 128)->texU, 0.375f * 0.75f, 1e-5);
  EXPECT_NEAR(rayGridSample(sc.grid, 512, 128)->texU, 0.125f * 0.75f, 1e-5);
  // v: py = -0.5 / |d| at the bottom row (gy 0), +0.5 at the top row.
  EXPECT_LT(rayGridSample(sc.grid, 256, 0)->texV, rayGridSample(sc.grid, 256, 256)->texV);
  // 53.13 degrees down: the bottom centre ray is (0, -0.5, 1) normalised.
  const float expectV = (0.5f * (-0.5f / std::sqrt(1.25f)) + 0.5f) * 0.5f;
  EXPECT_NEAR(rayGridSample(sc.grid, 256, 0)->texV, expectV, 1e-5);
}

TEST(RaycastGrid, ShadeToColour) {
  RayTestScene sc(2);
  raySceneGlState();
  sc.world.lightFlags = 1;
  sc.world.falloffGain = 0;
  sc.world.falloffBase = 1.3f;
  sc.world.colour.set4(0.2f, 0.1f, 0.0f, 0);
  sc.world.addSphere({.radius = 10, .inside = true}, {});
  // Light colour (0.5, 1, 0.25).
  sc.render();
  EXPECT_NEAR(rayGridSample(sc.grid, 256, 128)->shade, 1.3f, 1e-6);
  unsigned char rgb[3];
  readGridPixel(250, 130, rgb);
  // C + 0.3 * light colour with alpha 1.
  EXPECT_NEAR(rgb[0], 0.35 * 255, 1.5);
  EXPECT_NEAR(rgb[1], 0.40 * 255, 1.5);
  EXPECT_NEAR(rgb[2], 0.075 * 255, 1.5);

  raySceneGlState();
  sc.world.objects[1].falloffBase = 0.3f;
  sc.render();
  readGridPixel(250, 130, rgb);
  // C with alpha 0.3 over the cleared (black) background.
  EXPECT_NEAR(rgb[0], 0.06 * 255, 1.5);
  EXPECT_NEAR(rgb[1], 0.03 * 255, 1.5);
  EXPECT_NEAR(rgb[2], 0.0, 1.5);
}

TEST(RaycastGrid, DepthMapping) {
  RayWorld w(1);
  EXPECT_FLOAT_EQ(rayDepth(w, 0), 0.0f);
  EXPECT_NEAR(rayDepth(w, 1000), -1.0f, 1e-5);
  w.depthGain = 2;
  w.depthScale = -1;
  EXPECT_FLOAT_EQ(rayDepth(w, 1.5f), -0.75f);
}

TEST(RaycastGrid, RefinesAroundAnEdgeOnly) {
  RayTestScene sc(3);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  // A wall covering the right part of the view (grid x from about 282).
  sc.world.colour.set4(0.9f, 0.1f, 0.1f, 0);
  sc.world.addQuad({.position = {50, 0, 100}, .edgeU = {40, 0, 0}, .edgeV = {0, 200, 0}}, {});
  sc.render();
  EXPECT_GT(sc.stats.lastFrameSamples, 65u * 65u);
  EXPECT_GT(sc.stats.lastFramePixels, 0u);
  EXPECT_EQ(rayGridSample(sc.grid, 256, 128)->hitObject, 1);
  EXPECT_EQ(rayGridSample(sc.grid, 480, 128)->hitObject, 2);
  // No pixel of the band is left black: blocks tile the band without cracks.
  EXPECT_EQ(countBandPixels(0, 0, 0), 0);
}

TEST(RaycastGrid, SmallObjectInsideAnAgreeingBlockVanishes) {
  RayTestScene sc(3);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  // Centre of the block (256..264, 128..132): direction (4/256, 2/256, 1).
  const Vector3 centre(100 * 4.0f / 256, 100 * 2.0f / 256, 100);
  sc.world.addSphere({.position = centre, .radius = 0.3f}, {});
  sc.begin();
  EXPECT_EQ(sc.trace(centre).hitObject, 2);  // visible to a ray aimed at it
  sc.render();
  EXPECT_EQ(sc.stats.lastFrameSamples, 65u * 65u);
  for (int gy = 0; gy <= 256; gy += 4)
    for (int gx = 0; gx <= 512; gx += 8) ASSERT_EQ(rayGridSample(sc.grid, gx, gy)->hitObject, 1);
  // Moved onto a lattice point it is seen, and the blocks around refine.
  sc.world.objects[2].position.set(0, 0, 100);
  sc.world.objects[2].radius = 1.0f;
  sc.render();
  EXPECT_EQ(rayGridSample(sc.grid, 256, 128)->hitObject, 2);
  EXPECT_GT(sc.stats.lastFrameSamples, 65u * 65u);
}

TEST(RaycastGrid, ChildrenBelowEightTestOnlyWhatTheCornersSaw) {
  RayTestScene sc(12);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.world.addQuad({.position = {-50, 0, 100}, .edgeU = {40, 0, 0}, .edgeV = {0, 200, 0}}, {});
  // Ten spheres behind the camera: never hit, but on the world's list.
  for (int i = 0; i < 10; ++i)
    sc.world.addSphere({.position = {0, 0, -50.0f - i * 5}, .radius = 1}, {});
  sc.light->flareIntensity = 0;
  sc.render();
  const uint32_t samples = sc.stats.lastFrameSamples;
  const uint32_t intersects = sc.stats.lastFrameIntersects;
  // Samples traced with the full list cost 12 intersects; the ones traced
  // by blocks narrower than 8 (children of 4 x 2 blocks) at most 2.
  EXPECT_LT(intersects, 12u * samples);
  EXPECT_GE(intersects, 12u * 65u * 65u);
  EXPECT_EQ((intersects - 12u * 65u * 65u) % 2u, 0u);  // refined samples at 12 or 2 each
}

TEST(RaycastGrid, MirrorThatShowsNothingDrawsNothing) {
  RayTestScene sc(2);
  raySceneGlState();
  sc.world.lightFlags = 0;
  sc.world.colour.set4(0.5f, 0.5f, 0.5f, 0);
  // A mirror wall facing the camera; the reflection goes back into empty space.
  sc.world.addQuad({.position = {0, 0, 10}, .edgeU = {1000, 0, 0}, .edgeV = {0, 1000, 0}},
                   {.reflective = true});
  sc.light->position.set(0, 0, -1000);
  sc.render();
  EXPECT_EQ(rayGridSample(sc.grid, 256, 128)->hitObject, 0);
  EXPECT_EQ(sc.stats.lastFrameQuads, 0u);
  EXPECT_EQ(countBandPixels(0, 0, 0), 512 * 256);
}

TEST(RaycastGrid, GlowQuadsUseTextureTwo) {
  RayTestScene sc(3);
  raySceneGlState();
  sc.world.lightFlags = 0;
  sc.world.addSphere({.radius = 100, .inside = true}, {});
  sc.world.addFloor({.position = {0, 5, 0}}, {.reflective = true});
  sc.camera.forward.set(0, 1, 0.01f);
  sc.light->position.set(0, -20, 0);
  sc.render();
  const RaySample* s = rayGridSample(sc.grid, 256, 128);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->bounceObject, 1);
  EXPECT_GT(s->glow, 0.0f);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_TRUE(bound == 2 || bound == 0);
  EXPECT_GT(sc.stats.lastFrameQuads, sc.stats.lastFrameLeaves);
}

TEST(RaycastGrid, FlareTest) {
  RayTestScene sc(3);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.light->flareIntensity = 20;
  sc.light->position.set(5, 0, 50);
  sc.render();
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 20.0f);  // sky hit beyond the light
  // A ball between the camera and the light hides it.
  sc.world.addSphere({.position = {2.5f, 0, 25}, .radius = 2}, {});
  sc.render();
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 0.0f);
  // The test is skipped with noFlareTest.
  sc.light->noFlareTest = 1;
  sc.render();
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 20.0f);
  sc.light->noFlareTest = 0;
  // Behind the camera: hidden.
  sc.world.objects[2].position.set(100, 100, 100);
  sc.light->position.set(0, 0, -50);
  sc.render();
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 0.0f);
  // Zero intensity: no test, visibleFlare = flareIntensity = 0.
  sc.light->flareIntensity = 0;
  sc.render();
  EXPECT_FLOAT_EQ(sc.light->visibleFlare, 0.0f);
}

// An undrawn frame must leave what a drawn one leaves for later frames: the
// camera's basis and the flare's visibility.
TEST(RaycastGrid, UndrawnFrameLeavesWhatADrawnOneDoes) {
  RayTestScene sc(3);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.world.addSphere({.position = {2.5f, 0, 25}, .radius = 2}, {});
  sc.light->flareIntensity = 20;
  for (const Vector3& light : {Vector3(5, 0, 50), Vector3(-5, 0, 50)}) {
    sc.light->position = light;
    sc.camera.forward.set(0.1f, -0.2f, 2);  // not unit: both orthonormalise it
    advanceRayView(sc.world);
    const ViewCamera advanced = sc.camera;
    const float flare = sc.light->visibleFlare;
    sc.camera.forward.set(0.1f, -0.2f, 2);
    sc.render();
    EXPECT_EQ(std::memcmp(&advanced, &sc.camera, sizeof(ViewCamera)), 0);
    EXPECT_EQ(flare, sc.light->visibleFlare);
    EXPECT_EQ(flare, light.x > 0 ? 0.0f : 20.0f);  // the ball hides the first light
  }
}

TEST(RaycastMask, LeafUpdate) {
  RayTestScene sc(1);
  sc.light->fillMask(200);
  const RaySample n = sampleWith(1);  // distance 10
  RaySample f = n;
  f.distance = 20;
  rayMaskLeaf(*sc.light, 15.0f, {8, 4, 8, 4, n, n, n, f});  // one corner beyond
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 200);
  RaySample at = n;
  at.distance = 15;
  rayMaskLeaf(*sc.light, 15.0f, {8, 4, 8, 4, n, n, at, n});  // at the light distance
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 200);
  rayMaskLeaf(*sc.light, 15.0f, {8, 4, 8, 4, n, n, n, n});
  // Columns 2..3, rows floor(1.5) = 1 .. floor(3) - 1 = 2.
  for (int row = 0; row < 96; ++row)
    for (int col = 0; col < 128; ++col) {
      const bool inside = col >= 2 && col <= 3 && row >= 1 && row <= 2;
      ASSERT_EQ(sc.light->occlusionMask[row * 128 + col], inside ? 0 : 200) << col << "," << row;
    }
  // A 2 x 1 leaf inside a cell changes no cell: columns 0..-1.
  sc.light->fillMask(200);
  rayMaskLeaf(*sc.light, 15.0f, {1, 1, 2, 1, n, n, n, n});
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 200);
  // The top-right block reaches the last cells.
  // Rows floor(94.5) = 94 .. 95, columns 126 .. 127.
  rayMaskLeaf(*sc.light, 15.0f, {504, 252, 8, 4, n, n, n, n});
  EXPECT_EQ(sc.light->occlusionMask[95 * 128 + 127], 0);
  EXPECT_EQ(sc.light->occlusionMask[94 * 128 + 126], 0);
  EXPECT_EQ(sc.light->occlusionMask[93 * 128 + 127], 200);
  EXPECT_EQ(sc.light->occlusionMask[95 * 128 + 125], 200);
}

TEST(RaycastMask, SinglePixelUpdate) {
  RayTestScene sc(1);
  sc.light->fillMask(255);
  const RaySample n = sampleWith(1);  // distance 10
  RaySample f = n;
  f.distance = 30;
  const int expected[5] = {255, 192, 129, 66, 3};
  for (int k = 0; k <= 4; ++k) {
    const RaySample& c0 = k > 0 ? n : f;
    const RaySample& c1 = k > 1 ? n : f;
    const RaySample& c2 = k > 2 ? n : f;
    const RaySample& c3 = k > 3 ? n : f;
    sc.light->occlusionMask[((3 * 7) >> 3) * 128 + (13 >> 2)] = 0;  // written whatever it held
    rayMaskPixel(*sc.light, 15.0f, {13, 7, 1, 1, c0, c1, c2, c3});
    EXPECT_EQ(sc.light->occlusionMask[2 * 128 + 3], expected[k]) << k;
  }
  sc.light->fillMask(128);
  rayMaskPixel(*sc.light, 15.0f, {511, 255, 1, 1, n, n, f, f});
  EXPECT_EQ(sc.light->occlusionMask[95 * 128 + 127], 128 - 2 * 32);
}

TEST(RaycastMask, NearGeometryClearsTheMask) {
  RayTestScene sc(2);
  raySceneGlState();
  addSky(sc.world, 10, 0.5f, 0.5f, 0.5f);
  sc.light->fillMask(128);
  sc.light->position.set(0, 0, 50);  // beyond the sphere
  sc.render();
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 0);
  sc.light->fillMask(128);
  sc.light->position.set(0, 0, 5);  // inside the sphere: nothing hides it
  sc.render();
  for (int i = 0; i < 128 * 96; ++i) ASSERT_EQ(sc.light->occlusionMask[i], 128);
}

TEST(RaycastWobble, DisplacesRaysButKeepsBlocksCrackFree) {
  RayTestScene sc(3);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.world.colour.set4(0.9f, 0.2f, 0.1f, 0);
  sc.world.addSphere({.position = {0, 0, 60}, .radius = 20}, {});
  sc.world.wobble = true;
  sc.world.wobbleAmplitude = {25, 25};
  sc.world.wobbleFrequency = {0.3f, 0.2f};
  sc.world.wobblePhase = {0.5f, 1.0f};
  sc.render();
  EXPECT_GT(sc.stats.lastFramePixels, 0u);
  EXPECT_EQ(countBandPixels(0, 0, 0), 0);
  // The ray of grid point (X, Y) goes through the displaced position.
  const float x = 256 + 25 * std::cos(0.3f * 256 + 0.5f);
  const float y = 128 + 25 * std::sin(0.2f * 128 + 1.0f);
  sc.world.wobble = false;
  sc.begin();
  const RaySample direct = sc.trace(Vector3(-(1 - x / 256), -(0.5f - y / 256), 1));
  EXPECT_NEAR(rayGridSample(sc.grid, 256, 128)->distance, direct.distance, 1e-3);
}

TEST(RaycastGrid, SampleLimitStopsRefinement) {
  RayTestScene sc(6);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  // Four walls, one per quadrant of directions, in four colours.
  const float quads[4][4] = {{500, 500, 0.9f, 0.2f}, {-500, 500, 0.2f, 0.9f},
                             {500, -500, 0.2f, 0.2f}, {-500, -500, 0.9f, 0.9f}};
  for (const auto& q : quads) {
    sc.world.colour.set4(q[2], q[3], 0.5f, 0);
    sc.world.addQuad({.position = {q[0], q[1], 100}, .edgeU = {500, 0, 0}, .edgeV = {0, 500, 0}},
                     {});
  }
  // Neighbouring grid points look in unrelated directions: corners disagree
  // almost everywhere and refinement would need most grid points.
  sc.world.wobble = true;
  sc.world.wobbleAmplitude = {200, 100};
  sc.world.wobbleFrequency = {2.1f, 2.7f};
  sc.render();
  EXPECT_EQ(sc.stats.lastFrameCapped, 1);
  EXPECT_LE(rayGridSampleCount(sc.grid), kRayMaxSamples);
  EXPECT_GT(rayGridSampleCount(sc.grid), kRayMaxSamples - 100);
  EXPECT_GT(sc.stats.lastFrameQuads, 0u);
  // (Black pixels remain: below 8 pixels a child's ray whose wobbled
  // direction meets a wall none of its parent's corners saw finds nothing.)
  sc.render();  // the next frame starts afresh
  EXPECT_LE(rayGridSampleCount(sc.grid), kRayMaxSamples);
}

// Points traced ahead on several threads must leave the frame exactly as one
// thread tracing in order does: the same samples (a mirror's bounce and the
// shadows included), the same statistics, the same sample limit.
TEST(RaycastGrid, TracingAheadChangesNothing) {
  RayTestScene sc(12);
  raySceneGlState();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.world.lightFlags = 4;
  sc.world.colour.set4(0.3f, 0.6f, 0.2f, 0);
  // A mirror floor.
  sc.world.addFloor({.position = {0, -20, 0}}, {.receivesShadow = true, .reflective = true});
  for (int i = 0; i < 8; ++i) {
    sc.world.addSphere({.position = {float(i % 4) * 15 - 22, float(i / 4) * 12 - 8, 60 + 7.0f * i},
                        .radius = float(4 + i % 3)},
                       {.castsShadow = true, .receivesShadow = true});
  }
  sc.light->position.set(30, 40, 20);
  sc.world.wobble = true;
  for (int frame = 0; frame < 2; ++frame) {
    sc.world.wobblePhase = {0.7f * frame, 1.3f * frame};
    sc.grid.traceAhead = false;
    const std::vector<unsigned char> inOrder = gridFrame(sc);
    sc.grid.traceAhead = true;
    const std::vector<unsigned char> traced = gridFrame(sc);
    EXPECT_GT(sc.stats.lastFrameSamples, 65u * 65u);
    EXPECT_TRUE(traced == inOrder) << "frame " << frame;
  }
  // Corners disagreeing almost everywhere: the sample limit cuts the
  // refinement off at the same point.
  sc.world.wobbleAmplitude = {200, 100};
  sc.world.wobbleFrequency = {2.1f, 2.7f};
  sc.grid.traceAhead = false;
  const std::vector<unsigned char> inOrder = gridFrame(sc);
  sc.grid.traceAhead = true;
  const std::vector<unsigned char> traced = gridFrame(sc);
  EXPECT_EQ(sc.stats.lastFrameCapped, 1);
  EXPECT_TRUE(traced == inOrder);
}

TEST(RaycastStats, LineEveryFiftyOneFrames) {
  RayTestScene sc(2);
  raySceneGlState();
  addSky(sc.world, 500, 0.5f, 0.5f, 0.5f);
  sc.light->flareIntensity = 0;
  sc.stats = RayStats{};
  testing::internal::CaptureStdout();
  for (int i = 0; i < 50; ++i) sc.render();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  sc.render();  // the 51st frame
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "avarage 4225 rays per frame\n");
  testing::internal::CaptureStdout();
  for (int i = 0; i < 50; ++i) sc.render();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  sc.render();  // frame 102
  // The printing frame's own rays count towards the next line: 51 frames of
  // 4225 divided by 50.
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "avarage 4309 rays per frame\n");
  EXPECT_EQ(sc.stats.gridCalls, 102);
  EXPECT_GT(sc.stats.gridNanoseconds, 0);
}
