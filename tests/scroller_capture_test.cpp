#include <gtest/gtest.h>

#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "models/scene3ds.h"
#include "scenes/belt_letters.h"
#include "scenes/scroller.h"

TEST(ScrollerCapture, FactoryDrawnAndLettersPicked) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  const ScrollerScene& scene = demo.scenes.scroller;
  const ScrollerState& s = demo.state.scroller;
  ASSERT_NE(scene.models, nullptr);
  EXPECT_EQ(scene.robotCount, kRobotJointCount);
  EXPECT_EQ(scene.fontCount, kGlyphCount + 1) << "glyphs and the backing plate";
  EXPECT_GE(scene.beltCount, 1);

  // The frame before the scene's range leaves the first scene delta short.
  renderFrame(demo, 255900);
  const int fps = 10;
  Frame at262;
  for (long long i = 2560;; ++i) {
    const int t = frameTimeMs(i, fps);
    if (t > 262000) break;
    renderFrame(demo, t);
    if (t == 262000) at262 = grab(demo.gfx, w, h);
  }
  EXPECT_NEAR(s.seconds, 6.1f, 0.01f);
  EXPECT_GT(at262.mean, 8.0) << "frame is black";
  EXPECT_GT(at262.colours, 1500u) << "no textured machinery";
  int picked = 0;
  for (const BeltLetter& l : s.letters.letters)
    if (l.state == Placed || l.state == Carried) ++picked;
  EXPECT_GE(picked, 2);

  // A stall does not move the scene clock, but the belt and letters move on.
  const float ms = s.sceneMs;
  const float u = s.beltOffset;
  const float x = s.letters.letters[0].sortedX;
  renderFrame(demo, 262000 + 3500);
  EXPECT_EQ(s.sceneMs, ms);
  EXPECT_LT(s.beltOffset, u);
  EXPECT_NEAR(s.letters.letters[0].sortedX, x + 3.5f * s.letters.beltSpeed, 1e-3f);
}
