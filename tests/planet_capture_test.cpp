#include <gtest/gtest.h>

#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "math/spline_path.h"
#include "models/scene3ds.h"
#include "scenes/ringed_planet.h"

TEST(PlanetCapture, WorldCreditsAndCraft) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  const RingedPlanetScene& scene = demo.scenes.ringedPlanet;
  const RingedPlanetState& s = demo.state.ringedPlanet;
  ASSERT_NE(scene.world, nullptr);
  ASSERT_NE(scene.models, nullptr);
  ASSERT_GE(scene.models->meshCount, 15) << "three craft of five meshes";

  const int fps = 10;
  const int wanted[] = {36000, 40000, 56000};
  std::vector<Frame> frames;
  float travelAt21[kCraftCount] = {};
  for (long long i = 0;; ++i) {
    const int t = frameTimeMs(i, fps);
    if (t > 56000) break;
    renderFrame(demo, t);
    // The scene is first drawn at 30.8 s with one frame delta (0.1 s), so
    // 51.9 s is scene second 21.3: only the first craft flies.
    if (t == 51900)
      for (int k = 0; k < kCraftCount; ++k) travelAt21[k] = s.craftTravel[k];
    for (int want : wanted)
      if (t == want) frames.push_back(grab(demo.gfx, w, h));
  }
  ASSERT_EQ(frames.size(), 3u);
  for (const Frame& f : frames) {
    EXPECT_GT(f.mean, 10.0) << "frame is black";
    EXPECT_GT(f.colours, 2000u) << "no textured world";
  }

  EXPECT_GT(travelAt21[0], 0.0f);
  EXPECT_EQ(travelAt21[1], 0.0f);
  EXPECT_EQ(travelAt21[2], 0.0f);
  for (int k = 0; k < kCraftCount; ++k) EXPECT_GT(s.craftTravel[k], 0.0f) << k;

  // At 40 s (scene second 9.2) all three blocks are up. Block 0 is centred
  // at (-190, 100) of the scene frame: output x about 400 - 190 * 800 / 512,
  // y about 300 - 100 * 400 / 256 in the letterboxed picture.
  EXPECT_EQ(s.credits.revealCount, 6);  // by 56 s every event has run
  const Frame& credits = frames[1];
  const double block0 = regionMean(credits, w, 50, 90, 200, 220);
  EXPECT_GT(block0, 40.0) << "credit letters are not bright";
  destroyHeadlessContext(ctx);
}
