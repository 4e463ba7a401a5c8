#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "scenes/lantern_corridor.h"

// The ringed planet's last frame and the corridor's variants, with the
// scene's clocks following the timeline.
TEST(CorridorCapture, PlanetThenBothVariants) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  ASSERT_NE(demo.scenes.lantern.world, nullptr);
  ASSERT_NE(demo.scenes.lantern.light, nullptr);

  // Texture name 1 holds the flat blue made at start-up.
  GLint width = 0;
  glBindTexture(GL_TEXTURE_2D, 1);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 128);

  const int fps = 5;
  const int wanted[] = {62800, 70000, 90000, 100000};
  std::vector<Frame> frames;
  float clockAt90 = 0;
  for (long long i = 0;; ++i) {
    const int t = frameTimeMs(i, fps);
    if (t > 100000) break;
    renderFrame(demo, t);
    if (t == 90000) clockAt90 = demo.state.lantern.sceneClock;
    for (int want : wanted)
      if (t == want) frames.push_back(grab(demo.gfx, w, h));
  }
  ASSERT_EQ(frames.size(), 4u);
  // Surfaces more than about 26 units from the lantern are unlit, so the
  // early drift, with the lantern 41 units ahead, is mostly dark.
  const double minMean[] = {10.0, 1.5, 10.0, 10.0};
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_GT(frames[i].mean, minMean[i]) << "frame " << wanted[i] << " is black";
    EXPECT_GT(frames[i].colours, 500u) << "frame " << wanted[i] << " shows no texture";
  }
  // The corridor ran from 63 s; by 100 s it is on the loop.
  EXPECT_NEAR(clockAt90, 27000.0f, 250.0f);
  EXPECT_GT(demo.state.lantern.pathParam, 0.0f);
  EXPECT_GT(difference(frames[0], frames[1]), 5.0);
  EXPECT_GT(difference(frames[2], frames[3]), 5.0);
  destroyHeadlessContext(ctx);
}
