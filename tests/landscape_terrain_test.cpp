#include "software/terrain_paint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 2 x 2 repeating texture: red levels 40, 80 / 120, 160, other channels 0.
TextureCopy checker() {
  TextureCopy t;
  t.width = t.height = 2;
  const int red[4] = {40, 80, 120, 160};
  t.rgba.assign(16, 0);
  for (int i = 0; i < 4; ++i) {
    t.rgba[size_t(i) * 4] = uint8_t(red[i]);
    t.rgba[size_t(i) * 4 + 3] = 255;
  }
  return t;
}

TerrainStrip strip(int top, int row, float s, float t, float depth = -0.6f) {
  TerrainStrip k{};
  k.top = top;
  k.row = row;
  k.depth = depth;
  k.red = k.green = k.blue = 1.0f;
  k.nearS = k.farS = s;
  k.nearT = k.farT = t;
  return k;
}

const uint8_t* pixel(const TerrainPicture& p, int x, int y) {
  return &p.rgba[(size_t(y) * kTerrainColumns + x) * 4];
}

}  // namespace

TEST(TerrainPainting, StripsCoverTheirRowsInTheBandAndStopBehindTheFarPlane) {
  TerrainPicture picture;
  clearTerrainPicture(picture);
  const TextureCopy texture = checker();
  // From below the band to row 10, then 10..20, then one behind the far
  // plane and one more that must not be reached.
  const TerrainStrip strips[4] = {strip(-512, 10, 0.25f, 0.25f), strip(10, 20, 0.75f, 0.25f),
                                  strip(20, 30, 0.25f, 0.75f, -1.5f), strip(30, 40, 0, 0)};
  paintTerrainColumn(picture, 7, strips, 4, texture);
  EXPECT_EQ(pixel(picture, 7, 0)[0], 40);  // texel centres read exactly
  EXPECT_EQ(pixel(picture, 7, 9)[0], 40);
  EXPECT_EQ(pixel(picture, 7, 10)[0], 80);
  EXPECT_EQ(pixel(picture, 7, 19)[3], 255);
  EXPECT_EQ(pixel(picture, 7, 20)[3], 0);  // the clipped strip and all after it
  EXPECT_EQ(pixel(picture, 7, 35)[3], 0);
  EXPECT_EQ(pixel(picture, 6, 5)[3], 0);  // other columns untouched
  EXPECT_EQ(pixel(picture, 8, 5)[3], 0);
}

TEST(TerrainPainting, CoordinatesRunFromFarAtTheBottomToNearAtTheTopAndRepeat) {
  TerrainPicture picture;
  clearTerrainPicture(picture);
  const TextureCopy texture = checker();
  // Over 4 rows the s coordinate falls from far 1.25 (texel 0's centre, one
  // repeat on) to near 0.75 (texel 1's): bilinear in between.
  TerrainStrip k = strip(100, 104, 0.75f, 0.25f);
  k.farS = 1.25f;
  k.red = 0.5f;  // modulates: half the texel
  paintTerrainColumn(picture, 0, &k, 1, texture);
  const double expected[4] = {40 + 40 * 0.125, 40 + 40 * 0.375, 40 + 40 * 0.625, 40 + 40 * 0.875};
  for (int j = 0; j < 4; ++j)
    EXPECT_NEAR(pixel(picture, 0, 100 + j)[0], 0.5 * expected[j], 1.0) << j;
  EXPECT_EQ(pixel(picture, 0, 100)[1], 0);
}

TEST(TerrainPainting, RowsAboveTheBandAndNonFiniteCoordinatesAreSafe) {
  TerrainPicture picture;
  clearTerrainPicture(picture);
  const TextureCopy texture = checker();
  const TerrainStrip strips[2] = {strip(250, 400, NAN, INFINITY), strip(400, 500, 1e30f, -1e30f)};
  paintTerrainColumn(picture, 511, strips, 2, texture);
  paintTerrainColumn(picture, 512, strips, 2, texture);  // no such column
  paintTerrainColumn(picture, -1, strips, 2, texture);
  EXPECT_EQ(pixel(picture, 511, 255)[3], 255);
  EXPECT_EQ(pixel(picture, 511, 249)[3], 0);
}
