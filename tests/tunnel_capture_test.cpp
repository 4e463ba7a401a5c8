#include <gtest/gtest.h>

#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "math/spline_path.h"
#include "models/scene3ds.h"
#include "scenes/tunnel.h"

// The finale from its first frame to the end of the timeline, with the
// scene's clocks following the director.
TEST(TunnelCapture, TunnelsTextFadeAndEnd) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  const TunnelScene& scene = demo.scenes.tunnel;
  const TunnelState& s = demo.state.tunnel;
  ASSERT_NE(scene.outer, nullptr);
  ASSERT_NE(scene.models, nullptr);
  ASSERT_GE(scene.models->meshCount, kTunnelFlyerCount * kTunnelFlyerMeshes);

  // Straight to the end of the scroller: the scenes before only see the jump.
  renderFrame(demo, 0);
  renderFrame(demo, 303900);

  const int fps = 5;
  const int wanted[] = {306000, 322000, 327000};
  std::vector<Frame> frames;
  for (int t = 304000; t < 330000; t += 1000 / fps) {
    renderFrame(demo, t);
    for (int want : wanted)
      if (t == want) frames.push_back(grab(demo.gfx, w, h));
  }
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_FALSE(demo.ended);
  EXPECT_NEAR(s.sceneMs, 25900.0f, 1.0f);
  EXPECT_NEAR(s.fadeMs, 6000.0f, 1.0f);  // 30 frames from the first above 323999
  EXPECT_EQ(s.textStage, 2);
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    EXPECT_GT(s.flyerTravel[k], 0.5f) << k;
    EXPECT_LT(s.flyerTravel[k], 1.0f) << k;
  }

  // The tunnels fill the band, textured.
  EXPECT_GT(frames[0].mean, 10.0) << "tunnel frame is black";
  EXPECT_GT(frames[0].colours, 2000u) << "no textured tunnel";

  // The text line sits across the middle of the band; by 327 s the picture
  // around it is black.
  const Frame& black = frames[2];
  EXPECT_LT(regionMean(black, w, 0, 100, 800, 160), 1.0) << "picture not faded out";
  EXPECT_LT(regionMean(black, w, 0, 440, 800, 500), 1.0) << "picture not faded out";
  EXPECT_GT(regionMean(black, w, 100, 260, 700, 340), 8.0) << "no text over black";

  renderFrame(demo, 330000);
  EXPECT_TRUE(demo.ended);
  destroyHeadlessContext(ctx);
}
