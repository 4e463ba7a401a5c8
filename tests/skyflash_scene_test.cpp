#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "scenes/sky_flashes.h"

namespace {

// Lights with a live flash at scene time t, with the number of live entries.
std::vector<int> liveEntries(float t) {
  std::vector<int> count(kSkyFlashLightCount, 0);
  for (const SkyFlash& f : kSkyFlashes) {
    const float e = t - float(f.startMs);
    if (e > 0 && e < kSkyFlashLengthMs) ++count[f.light];
  }
  return count;
}

}  // namespace

TEST(SkyFlashTable, IntensityAndLiveWindows) {
  EXPECT_FLOAT_EQ(skyFlashIntensity(0), 60.0f);
  EXPECT_NEAR(skyFlashIntensity(750), 30.0f, 0.01f);
  EXPECT_NEAR(skyFlashIntensity(1500), 0.0f, 0.01f);

  // Nothing at 0 (the open interval excludes the start); lights 7 and 0 just after.
  std::vector<int> live = liveEntries(0);
  for (int n : live) EXPECT_EQ(n, 0);
  live = liveEntries(1);
  EXPECT_EQ(live[7], 1);
  EXPECT_EQ(live[0], 1);
  EXPECT_EQ(live[9], 0);
  // Entry ends exactly 1500 ms after its start.
  EXPECT_EQ(liveEntries(1499.5f)[7], 1);
  EXPECT_EQ(liveEntries(1500)[7], 0);

  // All ten lights from 16 s; from 16.5 s each has two overlapping entries.
  live = liveEntries(16200);
  for (int n : live) EXPECT_EQ(n, 1);
  live = liveEntries(16600);
  for (int n : live) EXPECT_EQ(n, 2);
  live = liveEntries(17499);
  for (int n : live) EXPECT_EQ(n, 2);
  live = liveEntries(17501);
  for (int n : live) EXPECT_EQ(n, 1);

  // Every light appears in the table; 60 entries.
  std::vector<int> perLight(kSkyFlashLightCount, 0);
  for (const SkyFlash& f : kSkyFlashes) ++perLight[f.light];
  for (int n : perLight) EXPECT_GE(n, 4);
}

TEST(SkyFlashCapture, SkyShowsAndLightsFlash) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  ASSERT_NE(demo.scenes.skyFlashes.world, nullptr);
  for (int i = 0; i < kSkyFlashLightCount; ++i) ASSERT_NE(demo.scenes.skyFlashes.lights[i], nullptr);

  const int fps = 30;
  std::vector<Frame> frames;
  const int wanted[] = {500, 4100, 16200};
  for (long long i = 0;; ++i) {
    const int t = frameTimeMs(i, fps);
    if (t > 16200) break;
    renderFrame(demo, t);
    for (int want : wanted)
      if (t == want) frames.push_back(grab(demo.gfx, w, h));
  }
  ASSERT_EQ(frames.size(), 3u);
  for (const Frame& f : frames) {
    EXPECT_GT(f.mean, 10.0) << "frame is black";
    EXPECT_GT(f.colours, 2000u) << "no textured sky";
  }
  // Four lights at 0.5 s, three at 4.1 s, all ten at 16.2 s.
  EXPECT_GT(frames[2].mean, frames[0].mean + 5.0);
  EXPECT_GT(frames[2].mean, frames[1].mean + 5.0);
  EXPECT_GT(difference(frames[0], frames[1]), 2.0);
  EXPECT_NEAR(demo.state.skyFlashes.sceneClock, 16200.0f, 0.5f);
  destroyHeadlessContext(ctx);
}
