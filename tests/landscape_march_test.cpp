#include <gtest/gtest.h>

#include <cmath>

#include "scenes/landscape_march.h"

namespace {

// Distance of march sample k (k = 0 is the camera itself).
float sampleDistance(int k) {
  float s = kTerrainFirstStep, t = 0.0f;
  for (int i = 0; i < k; ++i) {
    s *= kTerrainStepGrowth;
    t += s;
  }
  return t;
}

const Vector3 kEye(100.0f, 0.0f, 0.0f);

}  // namespace

TEST(LandscapeFlight, StartsAtTheOriginOfItsPathLookingAlongMinusY) {
  const Vector3 p = terrainCameraAt(0.0f);
  EXPECT_EQ(p.x, 100.0f);
  EXPECT_EQ(p.y, 0.0f);
  EXPECT_EQ(p.z, 0.0f);
  const Vector3 later = terrainCameraAt(10000.0f);
  EXPECT_FLOAT_EQ(later.y, -840.0f);
  EXPECT_FLOAT_EQ(later.x, 100.0f + 50.0f * std::sin(0.005f * -840.0f));

  const float heading = terrainHeading(Vector3(0, 0, 1));
  EXPECT_NEAR(heading, 4.71238f, 1e-5f);
  const float centre = terrainColumnAngle(heading, 256);
  EXPECT_NEAR(std::cos(centre), 0.0f, 1e-5f);
  EXPECT_NEAR(std::sin(centre), -1.0f, 1e-5f);
  EXPECT_LT(std::cos(terrainColumnAngle(heading, 0)), -0.7f);   // column 0 towards -x
  EXPECT_GT(std::cos(terrainColumnAngle(heading, 511)), 0.7f);  // column 511 towards +x
  EXPECT_NEAR(terrainColumnAngle(heading, 512) - terrainColumnAngle(heading, 0), 1.570795f,
              1e-5f);
}

TEST(LandscapeFlight, HeadingTakesTheOtherBranchForBackwardForward) {
  EXPECT_NEAR(terrainHeading(Vector3(0, 0, -1)), 6.28318f + 1.5707963f, 1e-5f);
  EXPECT_NEAR(terrainHeading(Vector3(-1, 0, 0)), 6.28318f, 1e-5f);
}

TEST(LandscapeHeight, FollowsItsFormulaAndStaysBelowTheCamera) {
  // theta = 0 is outside (0, 2pi): H1 = 16000, C = sin 0 + cos 0 = 1.
  EXPECT_FLOAT_EQ(terrainHeightTerm(0.0f, 0.0f), 16000.0f + 4096.0f - 25000.0f);
  // theta = 2 inside: H1 = 16000 cos 2, C = cos 2.5.
  EXPECT_NEAR(terrainHeightTerm(100.0f, 0.0f),
              16000.0f * std::cos(2.0f) + 4096.0f * std::cos(2.5f) - 25000.0f, 0.05f);
  for (float y = -30000.0f; y < 30000.0f; y += 377.0f)
    for (float x = -2000.0f; x < 2000.0f; x += 53.0f) ASSERT_LT(terrainHeightTerm(x, y), 0.0f);
}

TEST(LandscapeShade, TintsAndDepthsByDistance) {
  TerrainStrip s{};
  terrainStripShade(4.0f, s);  // g = 1.87: above the floors
  EXPECT_NEAR(s.red, 1.87f, 1e-5f);
  EXPECT_NEAR(s.green, 1.21f * 1.87f, 1e-5f);
  EXPECT_NEAR(s.blue, 1.05f * 1.87f, 1e-5f);
  EXPECT_NEAR(s.depth, -1.001f / 1.2f, 1e-6f);
  terrainStripShade(1200.0f, s);  // g below zero: the floors
  EXPECT_EQ(s.red, 0.246f);
  EXPECT_EQ(s.green, 0.404f);
  EXPECT_EQ(s.blue, 0.177f);
  // Past t = 999 the strips fall behind the far plane of the scene projection.
  terrainStripShade(998.0f, s);
  EXPECT_GT(s.depth, -1.0f);
  terrainStripShade(1001.0f, s);
  EXPECT_LT(s.depth, -1.0f);
}

TEST(LandscapeMarch, RowsRiseFromTheColumnTopAndFollowTruncatedHeights) {
  // A flat ground 1000 below: rows int(-1000 / t + 200), rising towards 200.
  TerrainStrip strips[kTerrainMaxStrips];
  const int n = marchTerrainColumn(kEye, 4.71238f, [](float, float) { return -1000.0f; },
                                   strips);
  ASSERT_GT(n, 10);
  // The first row above 0: earlier samples only raised the top.
  int first = 1;
  while (int(-1000.0f / sampleDistance(first) + 200.0f) <= 0) ++first;
  EXPECT_EQ(strips[0].row, int(-1000.0f / sampleDistance(first) + 200.0f));
  EXPECT_EQ(strips[0].top, int(-1000.0f / sampleDistance(first - 1) + 200.0f));
  EXPECT_LE(strips[0].top, 0);
  for (int k = 1; k < n; ++k) {
    EXPECT_EQ(strips[k].top, strips[k - 1].row);  // each strip starts at the previous top
    EXPECT_GT(strips[k].row, strips[k].top);
    EXPECT_LT(strips[k].row, 200);
    EXPECT_LT(strips[k].depth, strips[k - 1].depth);  // farther, deeper
  }
}

TEST(LandscapeMarch, TextureCoordinatesComeFromThisAndThePreviousSample) {
  TerrainStrip strips[kTerrainMaxStrips];
  const Vector3 eye(0.0f, 0.0f, 0.0f);
  // Everything high: the first drawable sample (t = 2.08) is at 2.08 * (1, 0).
  const int n = marchTerrainColumn(eye, 0.0f, [](float, float) { return 1.0e6f; }, strips);
  ASSERT_EQ(n, 1);
  EXPECT_NEAR(strips[0].nearS, 0.004f * 2.08f, 1e-6f);
  EXPECT_NEAR(strips[0].nearT, 0.0f, 1e-6f);
  EXPECT_EQ(strips[0].farS, 0.0f);  // the camera sample drew nothing but is the far edge
  EXPECT_EQ(strips[0].farT, 0.0f);
}

TEST(LandscapeMarch, RowsAboveTheTopAreClampedAndEndTheColumn) {
  TerrainStrip strips[kTerrainMaxStrips];
  // Row 210 at the first sample... then climbs past 255 at t > ~25.
  auto rising = [](float x, float) { return x * x; };
  const int n = marchTerrainColumn(Vector3(0, 0, 0), 0.0f, rising, strips);
  ASSERT_GE(n, 2);
  for (int k = 0; k < n; ++k) EXPECT_LE(strips[k].row, kTerrainTopRow);
  EXPECT_EQ(strips[n - 1].row, kTerrainTopRow);
  EXPECT_LT(strips[n - 1].top, kTerrainTopRow);
}

TEST(LandscapeMarch, FirstSampleNeverDraws) {
  TerrainStrip strips[kTerrainMaxStrips];
  int calls = 0;
  const int n = marchTerrainColumn(
      kEye, 1.0f,
      [&calls](float, float) {
        ++calls;
        return -1.0e9f;  // every row far below the band
      },
      strips);
  EXPECT_EQ(n, 0);
  // One height per sample except the camera's own; the march reaches 1536.
  int samples = 0;
  while (sampleDistance(samples + 1) < kTerrainMaxDistance) ++samples;
  EXPECT_EQ(calls, samples);
}

TEST(LandscapeMarch, RealTerrainRisesFromTheBottomTowardsTheHorizon) {
  const float heading = terrainHeading(Vector3(0, 0, 1));
  TerrainStrip strips[kTerrainMaxStrips];
  for (int column : {0, 100, 256, 400, 511}) {
    const int n = marchTerrainColumn(kEye, terrainColumnAngle(heading, column),
                                     terrainHeightTerm, strips);
    ASSERT_GT(n, 0) << column;
    EXPECT_LT(strips[0].row, 128) << column;  // the ground starts low in the band
    EXPECT_LT(strips[n - 1].row, 200) << column;
    EXPECT_GT(strips[n - 1].row, 150) << column;
  }
}
