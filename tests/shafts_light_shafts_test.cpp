#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "effects/light_shafts.h"
#include "effects/light_shafts_steps.h"
#include "gl_test_context.h"

namespace {

std::unique_ptr<LightShafts> makeLight(int table = 128, float radius = 0.2f, float exponent = 1.0f) {
  return std::make_unique<LightShafts>(128, 96, table, table, radius, exponent);
}

ViewCamera forwardCamera() {
  ViewCamera cam;
  cam.position = Vector3(0, 0, 0);
  cam.forward = Vector3(0, 0, 1);
  cam.orthonormalize();
  return cam;
}

}  // namespace

TEST(ShaftsConstruction, DefaultsAndRadialTables) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight(256, 0.25f, 2.0f);
  EXPECT_EQ(light->halfGridWidth, 64);
  EXPECT_EQ(light->halfGridHeight, 48);
  EXPECT_EQ(light->cellCount, 128 * 96);
  EXPECT_EQ(light->zoomPasses, 6);
  EXPECT_EQ(light->maskFullValue, 255);
  EXPECT_EQ(light->texture, 0u);  // made on the first draw
  for (int i = 0; i < light->cellCount; ++i) ASSERT_EQ(light->occlusionMask[i], 255);
  EXPECT_EQ(light->paletteR[0], 255);
  EXPECT_EQ(light->paletteB[65535], 255);

  const int tw = light->tableWidth;
  auto at = [&](const std::vector<int32_t>& t, int row, int col) { return t[row * tw + col]; };
  // Centre: full glow, no ring.
  EXPECT_EQ(at(light->falloffTable, 128, 128), 255);
  EXPECT_EQ(at(light->ringTable, 128, 128), 0);
  // Outside the unit circle the glow is gone.
  EXPECT_EQ(at(light->falloffTable, 0, 0), 0);
  // Glow falls off monotonically along a radius.
  for (int col = 129; col < 255; ++col)
    ASSERT_LE(at(light->falloffTable, 128, col), at(light->falloffTable, 128, col - 1));
  // Ring peaks at radius 0.9 and falls back beyond it: q = 0.9 -> 0.9^0.75.
  const int ringPeak = at(light->ringTable, 128, 128 + 115);  // x = 0.898
  EXPECT_NEAR(ringPeak, 235, 2);
  EXPECT_LT(at(light->ringTable, 128, 255), ringPeak);
  // Angle steps: right 0, below 64, left 128, above 192 (256 per turn).
  EXPECT_EQ(at(light->angleTable, 128, 200), 0);
  EXPECT_EQ(at(light->angleTable, 200, 128), 64);  // single precision rounds 63.99998 up
  EXPECT_EQ(at(light->angleTable, 128, 50), 128);
  EXPECT_EQ(at(light->angleTable, 50, 128), 192);  // -64 & 255
}

TEST(ShaftsPalette, RampsAndPowers) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  light->setPalette(1, 1, 1, 0, 0, 0);
  EXPECT_EQ(light->paletteR[0], 0);
  EXPECT_EQ(light->paletteG[255], 255);
  EXPECT_EQ(light->paletteB[128], 128);
  for (int i = 1; i < 256; ++i) ASSERT_GE(light->paletteR[i], light->paletteR[i - 1]);
  EXPECT_EQ(light->paletteR[256], 255);

  light->setPalette(1, 0.5f, 2.0f, 1, 0, 2);
  EXPECT_FLOAT_EQ(light->colour[0], 1.0f);
  EXPECT_FLOAT_EQ(light->colour[2], 2.0f);
  EXPECT_NEAR(light->paletteR[128], 64, 1);   // quadratic
  EXPECT_EQ(light->paletteG[255], 127);       // half brightness, linear
  EXPECT_EQ(light->paletteB[200], 255);       // clamped above 1
  EXPECT_EQ(light->paletteB[64], 16);         // (128/255)^4 * 255 = 16.1
}

TEST(ShaftsRayNoise, ClampedAndOneTurnPeriodic) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  RayNoiseTables tables;
  light->rayNoise = tables.get({10, 2, 11, 0, 1024, 2.5f});
  // Lights of one shape share a table; another shape gets its own.
  EXPECT_EQ(tables.get({10, 2, 11, 0, 1024, 2.5f}), light->rayNoise);
  EXPECT_NE(tables.get({10, 2, 11, 0, 1024, 2.0f}), light->rayNoise);
  int lo = 1 << 30, hi = -(1 << 30);
  for (int32_t v : *light->rayNoise) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_GE(lo, 0);
  EXPECT_LE(hi, 1024);
  EXPECT_GT(hi - lo, 100);  // not flat
  // Values near 256 (s = 0) are common; neighbouring angle rows differ little.
  EXPECT_LT(std::abs(light->rayNoiseAt(0, 7) - light->rayNoiseAt(255, 7)), 200);
}

TEST(ShaftsNoiseClock, AdvancesWrapsAndWeights) {
  float clock = 254.5f;
  NoiseColumns n = advanceNoiseClock(clock, 1000, 1.0f);
  EXPECT_FLOAT_EQ(clock, 0.5f);
  EXPECT_EQ(n.c0, 0);
  EXPECT_EQ(n.c1, 1);
  EXPECT_EQ(n.w0, 128);
  EXPECT_EQ(n.w1, 128);

  clock = 10.25f;
  n = advanceNoiseClock(clock, 0, 64.0f);  // no delta: no advance
  EXPECT_FLOAT_EQ(clock, 10.25f);
  n = advanceNoiseClock(clock, -40, 64.0f);
  EXPECT_FLOAT_EQ(clock, 10.25f);
  EXPECT_EQ(n.c0, 10);
  EXPECT_EQ(n.c1, 11);
  EXPECT_EQ(n.w0, 192);
  EXPECT_EQ(n.w1, 64);

  n = advanceNoiseClock(clock, 1000, 64.0f);
  EXPECT_FLOAT_EQ(clock, 74.25f);
}

TEST(ShaftsMask, FillSmoothAndEdgeRamps) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  light->fillMask(-2);
  EXPECT_EQ(light->maskFullValue, -2);
  light->fillMask(255);
  EXPECT_EQ(light->maskFullValue, 255);

  smoothOcclusionMask(*light);
  const int w = light->gridWidth, h = light->gridHeight;
  const int16_t* m = light->occlusionMask;
  for (int x = 0; x < w; ++x) {
    ASSERT_EQ(m[x], 0);
    ASSERT_EQ(m[(h - 1) * w + x], 0);
  }
  // Uniform 255 settles at (8 * 255 >> 4) + (255 >> 1) = 254 inside.
  EXPECT_EQ(m[40 * w + 60], 254);
  for (int y = 1; y < h - 1; ++y) {
    const int16_t* row = m + y * w;
    ASSERT_EQ(row[0], row[3] * 85 >> 8);
    ASSERT_EQ(row[1], row[3] * 170 >> 8);
    ASSERT_EQ(row[2], row[3]);
    ASSERT_EQ(row[w - 1], row[w - 4] * 85 >> 8);
    ASSERT_EQ(row[w - 2], row[w - 4] * 170 >> 8);
    ASSERT_EQ(row[w - 3], row[w - 4]);
  }

  // Whatever the work buffer held before does not leak into the result.
  light->fillMask(200);
  for (int i = 0; i < light->cellCount; ++i) light->scratch[i] = 0;
  smoothOcclusionMask(*light);
  std::vector<int16_t> clean(light->occlusionMask, light->occlusionMask + light->cellCount);
  light->fillMask(200);
  for (int i = 0; i < light->cellCount; ++i) light->scratch[i] = 30000;
  smoothOcclusionMask(*light);
  EXPECT_TRUE(std::equal(clean.begin(), clean.end(), light->occlusionMask));
}

TEST(ShaftsToneMap, FourModes) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  light->noFlareTest = 0;
  light->expTone = 0;
  EXPECT_EQ(toneIndex(*light, 1000, 7, 2), 250);
  EXPECT_EQ(toneIndex(*light, -50, 0, 0), 0);  // below 0 reads entry 0
  light->noFlareTest = 1;
  EXPECT_EQ(toneIndex(*light, 1000, 7, 2), 257);
  light->expTone = 1;
  light->toneGain = 2.0f;
  // 255 (1 - e^(-2 (1000/4 + 14)/256)) = 222.6
  EXPECT_EQ(toneIndex(*light, 1000, 7, 2), 222);
  EXPECT_EQ(toneIndex(*light, 30000, 30000, 0), 255);  // clamped
  light->noFlareTest = 0;
  EXPECT_EQ(toneIndex(*light, 0, 99, 6), 0);
  EXPECT_EQ(toneIndex(*light, 256 * 64, 0, 6), 220);  // 255 (1 - e^-2)
}

TEST(ShaftsDraw, LightBehindCameraDrawsNothing) {
  ShaftStats stats;
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  ViewCamera cam = forwardCamera();
  light->camera = &cam;
  light->position = Vector3(0, 0, -10);
  light->flareIntensity = 7;
  light->visibleFlare = 0.5f;
  std::fill(light->rgbImage.begin(), light->rgbImage.end(), 9);
  light->drawShafts(testDemo().gfx, 0.0f, stats);
  EXPECT_EQ(light->effectiveIntensity, 0.0f);
  EXPECT_TRUE(std::all_of(light->rgbImage.begin(), light->rgbImage.end(),
                          [](uint8_t b) { return b == 9; }));
  // Just in front of the camera (depth 0.25) is still "behind".
  float clock = 0;
  EXPECT_EQ(stepShafts(*light, cam, Vector3(0, 0, 0.25f), 0.5f, 0, clock).effectiveIntensity, 0.0f);
}

TEST(ShaftsDraw, CentredLightGlowsAtTheCentreAndZeroMaskIsBlack) {
  ShaftStats stats;
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  ViewCamera cam = forwardCamera();
  light->camera = &cam;
  light->setPalette(1, 1, 1, 0, 0, 0);
  light->position = Vector3(0, 0, 20);
  light->flareIntensity = 20;
  light->visibleFlare = 20;
  light->shaftLength = 0.5f;
  float clock = 0;
  const ShaftStep centred = stepShafts(*light, cam, light->position, 20, 0, clock);
  EXPECT_FLOAT_EQ(centred.projectedX, 0.0f);
  EXPECT_FLOAT_EQ(centred.projectedY, 0.0f);
  EXPECT_FLOAT_EQ(centred.effectiveIntensity, 1.0f);

  light->fillMask(255);
  light->drawShafts(testDemo().gfx, 0.0f, stats);
  const int w = light->gridWidth;
  auto red = [&](int row, int col) { return light->rgbImage[(row * w + col) * 3]; };
  EXPECT_GT(red(48, 64), 150);
  EXPECT_GT(red(48, 64), red(48, 10));
  EXPECT_GT(red(48, 64), red(10, 64));

  // A light off to the camera's right projects to negative x.
  light->position = Vector3(0, 0, 20);
  light->position.add(cam.right * 5.0f);
  EXPECT_LT(stepShafts(*light, cam, light->position, 20, 0, clock).projectedX, 0.0f);

  light->position = Vector3(0, 0, 20);
  light->fillMask(0);
  light->drawShafts(testDemo().gfx, 0.0f, stats);
  EXPECT_TRUE(std::all_of(light->rgbImage.begin(), light->rgbImage.begin() + w * 96 * 3,
                          [](uint8_t b) { return b == 0; }));
}

TEST(ShaftsDraw, NearlyFadedLightDrawsNoGlow) {
  ShaftStats stats;
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  ViewCamera cam = forwardCamera();
  light->camera = &cam;
  light->setPalette(1, 1, 1, 0, 0, 0);
  light->smoothMask = 0;
  light->zoomPasses = 0;
  light->fillMask(255);
  light->position = Vector3(1, 1, 50);
  // A fading flash ends on a vanishing intensity.
  light->visibleFlare = 1e-12f;
  light->flareIntensity = 60;
  light->drawShafts(testDemo().gfx, 0.0f, stats);
  EXPECT_GT(light->effectiveIntensity, 0.0f);
  EXPECT_TRUE(std::all_of(light->rgbImage.begin(), light->rgbImage.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST(ShaftsQuad, LitBoxAndItsPartOfTheBandQuad) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  auto light = makeLight();
  light->setPalette(1, 1, 1, 0, 0, 0);
  light->zoomPasses = 0;
  light->expTone = 0;
  std::fill(light->shaftImage, light->shaftImage + light->cellCount, int16_t(0));
  std::fill(light->coreImage, light->coreImage + light->cellCount, int16_t(0));
  LitBox box = toneMapShafts(*light);
  EXPECT_LT(box.x1, box.x0);  // all black

  light->shaftImage[10 * 128 + 20] = 40;
  light->shaftImage[30 * 128 + 50] = 40;
  box = toneMapShafts(*light);
  EXPECT_EQ(box.x0, 20);
  EXPECT_EQ(box.x1, 50);
  EXPECT_EQ(box.y0, 10);
  EXPECT_EQ(box.y1, 30);
  EXPECT_EQ(light->rgbImage[(10 * 128 + 20) * 3], 40);

  // Grown by one texel each side; same mapping as the full quad.
  ShaftQuad q = shaftQuadFor(*light, box);
  EXPECT_FLOAT_EQ(q.s0, 19.0f / 128);
  EXPECT_FLOAT_EQ(q.s1, 52.0f / 128);
  EXPECT_FLOAT_EQ(q.t0, 9.0f / 128);
  EXPECT_FLOAT_EQ(q.t1, 32.0f / 128);
  EXPECT_FLOAT_EQ(q.x0, -256.0f + 512.0f * q.s0);
  EXPECT_FLOAT_EQ(q.x1, -256.0f + 512.0f * q.s1);
  EXPECT_FLOAT_EQ(q.y0, -128.0f + 256.0f * q.t0 / 0.75f);
  EXPECT_FLOAT_EQ(q.y1, -128.0f + 256.0f * q.t1 / 0.75f);

  // A box at the edges gives the whole quad of the band.
  q = shaftQuadFor(*light, LitBox{0, 0, 127, 95});
  EXPECT_FLOAT_EQ(q.s0, 0.0f);
  EXPECT_FLOAT_EQ(q.s1, 1.0f);
  EXPECT_FLOAT_EQ(q.t0, 0.0f);
  EXPECT_FLOAT_EQ(q.t1, 0.75f);
  EXPECT_FLOAT_EQ(q.x0, -256.0f);
  EXPECT_FLOAT_EQ(q.x1, 256.0f);
  EXPECT_FLOAT_EQ(q.y0, -128.0f);
  EXPECT_FLOAT_EQ(q.y1, 128.0f);
}
