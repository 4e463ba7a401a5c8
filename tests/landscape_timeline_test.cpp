// The landscape on the timeline: mixed into the opening at 20 s, alone at
// 28 s, on the rippling sheet at 33 s.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/director.h"
#include "host/host.h"
#include "host/screen.h"
#include "host/offline_host.h"
#include "host/render_path.h"
#include "raycast/raycast.h"
#include "scenes/landscape.h"
#include "render_path_guard.h"
#include "software/texture_copies.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;

using Band = std::vector<unsigned char>;

Demo& demo() {
  static Demo d;
  return d;
}
DirectorState& director() { return demo().state.director; }

bool startHost() {
  static HeadlessContext ctx;
  static bool started = false;
  static bool ok = false;
  if (!started) {
    started = true;
    std::string error;
    ok = startOfflineHost(ctx, demo(), 800, 600, &error);
    if (ok) adoptDemoPath(demo());
    EXPECT_TRUE(ok) << error;
  }
  return ok;
}

Band readBand() {
  Band rgb(kW * kH * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 64, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// One director frame at demo time ms with a zero frame delta, so every scene
// shows the picture of its current clock.
Band stillFrameAt(int ms) {
  director().previousNowMs = ms;
  director().demoTimeMs = ms;
  Director(demo(), ms);
  return readBand();
}

// Mean absolute difference over rows rowFrom..rowTo of two images kW wide
// (band or block means).
double meanAbsDiff(const Band& a, const Band& b, int rowFrom = 0, int rowTo = kH,
                   int width = kW) {
  double sum = 0;
  for (int i = rowFrom * width * 3; i < rowTo * width * 3; ++i) sum += std::abs(a[i] - b[i]);
  return sum / ((rowTo - rowFrom) * width * 3);
}

// 16 x 16 block means of a band: 32 x 16 blocks.
constexpr int kBlockCols = kW / 16;
constexpr int kBlockRows = kH / 16;
Band blockMeans(const Band& band) {
  Band out(kBlockCols * kBlockRows * 3);
  for (int by = 0; by < kBlockRows; ++by)
    for (int bx = 0; bx < kBlockCols; ++bx)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int y = by * 16; y < by * 16 + 16; ++y)
          for (int x = bx * 16; x < bx * 16 + 16; ++x) sum += band[(y * kW + x) * 3 + c];
        out[(by * kBlockCols + bx) * 3 + c] = (unsigned char)(sum / 256);
      }
  return out;
}

double meanLevel(const Band& a, int rowFrom, int rowTo, int channel) {
  double sum = 0;
  for (int y = rowFrom; y < rowTo; ++y)
    for (int x = 0; x < kW; ++x) sum += a[(y * kW + x) * 3 + channel];
  return sum / ((rowTo - rowFrom) * kW);
}

struct LandscapeTimeline : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(startHost());
    director() = DirectorState{};
    // Walk into the flight a little so the camera has moved.
    Director(demo(), 26600);
  }
};

}  // namespace

TEST_F(LandscapeTimeline, AloneAt28sTheGroundRisesFromTheBottomUnderTheSky) {
  director().previousNowMs = 28000 - 33;
  director().demoTimeMs = 28000 - 33;
  Director(demo(), 28000);
  const Band flight = readBand();
  renderRayGrid(demo().gfx, demo().rayGrid, *demo().scenes.landscape.skyWorld, GridDepth::Read, demo().frame().software, demo().rayStats);  // the sky alone, same camera
  const Band sky = readBand();

  EXPECT_LT(meanAbsDiff(flight, sky, 240, 256), 4.0) << "sky above the horizon";
  EXPECT_GT(meanAbsDiff(flight, sky, 0, 64), 30.0) << "ground over the lower band";
  EXPECT_GT(meanLevel(flight, 0, 64, 1), 20.0) << "lit ground, not the cleared frame";
  // The blue sky against the green-grey tinted ground.
  EXPECT_GT(meanLevel(sky, 0, 256, 2), meanLevel(sky, 0, 256, 0) + 20);
}

TEST_F(LandscapeTimeline, At20sTheOpeningDissolvesIntoTheFlight) {
  const Band flight = blockMeans(stillFrameAt(27000));
  const Band opening = blockMeans(stillFrameAt(10000));
  const Band mixed = blockMeans(stillFrameAt(20000));
  // Weight of the flight at 20 s: easeIn over 17.5..23.5 s at u = 5/12. Both
  // pictures are blurred, which block means average away, by seven passes
  // that each keep a little more than all of their input.
  const double u = 2.5 / 6.0;
  const double w = u * (1 - std::cos(3.14159 * u)) / 2;
  const double gain = std::pow(1.015625, 7);
  Band expected(flight.size());
  for (size_t i = 0; i < flight.size(); ++i)
    expected[i] = (unsigned char)std::min(255L, std::lround(gain * (w * flight[i] + (1 - w) * opening[i])));

  const double toMix = meanAbsDiff(mixed, expected, 0, kBlockRows, kBlockCols);
  EXPECT_GT(meanAbsDiff(opening, flight, 0, kBlockRows, kBlockCols), 10.0) << "the two scenes differ";
  EXPECT_LT(toMix, 12.0);  // blur spreads detail across block edges and wraps at the band edges
  EXPECT_LT(toMix, meanAbsDiff(mixed, flight, 0, kBlockRows, kBlockCols));
  EXPECT_LT(toMix, meanAbsDiff(mixed, opening, 0, kBlockRows, kBlockCols));
}

TEST_F(LandscapeTimeline, At33sTheFlightLiesOnTheRipplingSheet) {
  std::vector<float> depth(kW * kH);
  {
    // The sheet's depth is GL's to write: the software path paints the
    // band alone.
    DemoPathGuard gl(demo(), RenderChoice::Gl);
    stillFrameAt(33000);
    glReadPixels(0, 64, kW, kH, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  }
  const double n = 0.5, f = 1000.0;
  const double rim = ((f + n) / (f - n) - 2 * f * n / (f - n) + 1) * 0.5;  // distance 1
  EXPECT_NEAR(depth[0], rim, 2e-5);
  EXPECT_NEAR(depth[kW * kH - 1], rim, 2e-5);
  // Inside, the sheet is pushed back by its waves, unevenly.
  float nearest = 1, farthest = 0;
  for (int x = 96; x < 416; ++x) {
    const float d = depth[128 * kW + x];
    nearest = std::min(nearest, d);
    farthest = std::max(farthest, d);
  }
  EXPECT_GT(nearest, rim + 1e-5);
  EXPECT_GT(farthest - nearest, 1e-4);
  // Outside the growing circle the flight still shows, faintly, in the
  // corners, on the path this renderer takes.
  const Band band = stillFrameAt(33000);
  EXPECT_GT(meanLevel(band, 240, 256, 2) + meanLevel(band, 0, 16, 2), 1.0);
}

TEST_F(LandscapeTimeline, TerrainPaintedOnTheCpuMatchesTheStripsDrawnByGl) {
  SKIP_UNLESS_LLVMPIPE();
  if (!textureCopy(4))
    GTEST_SKIP() << "the textures were loaded on the gl path (LUMIVAARA_RENDER=gl): no copies";
  auto flightFrame = [](RenderChoice choice) {
    DemoPathGuard path(demo(), choice);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const uint64_t terrains = softwarePassCounts().terrain;
    // No time passes: the same view both ways.
    drawLandscape(demo().state.landscape, demo().scenes.landscape, demo().frame());
    EXPECT_EQ(softwarePassCounts().terrain - terrains,
              choice == RenderChoice::Software ? 1u : 0u);
    return readBand();
  };
  const Band gl = flightFrame(RenderChoice::Gl);
  const Band cpu = flightFrame(RenderChoice::Software);
  int worst = 0;
  for (size_t i = 0; i < gl.size(); ++i) worst = std::max(worst, std::abs(gl[i] - cpu[i]));
  EXPECT_LE(worst, 3);  // filtering rounds a little differently
  EXPECT_LT(meanAbsDiff(gl, cpu), 0.2);
  renderRayGrid(demo().gfx, demo().rayGrid, *demo().scenes.landscape.skyWorld, GridDepth::Read, demo().frame().software, demo().rayStats);
  EXPECT_GT(meanAbsDiff(cpu, readBand(), 0, 64), 30.0) << "the terrain was painted";
}

// The terrain sets the state it draws with: a modelview scale, blend or
// texture environment left by others never reaches the software pass.
TEST_F(LandscapeTimeline, StateLeftByOthersNeverReachesTheSoftwareTerrain) {
  SKIP_UNLESS_LLVMPIPE();
  if (!textureCopy(4))
    GTEST_SKIP() << "the textures were loaded on the gl path (LUMIVAARA_RENDER=gl): no copies";
  auto flightFrame = [](RenderChoice choice) {
    DemoPathGuard path(demo(), choice);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glScalef(0.5f, 3.0f, 1.0f);
    glBlendFunc(GL_ONE, GL_ONE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const uint64_t terrains = softwarePassCounts().terrain;
    drawLandscape(demo().state.landscape, demo().scenes.landscape, demo().frame());
    EXPECT_EQ(softwarePassCounts().terrain - terrains,
              choice == RenderChoice::Software ? 1u : 0u);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    return readBand();
  };
  const Band gl = flightFrame(RenderChoice::Gl);
  const Band cpu = flightFrame(RenderChoice::Software);
  EXPECT_LT(meanAbsDiff(gl, cpu), 0.2);
}
