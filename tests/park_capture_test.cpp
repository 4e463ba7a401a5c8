#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "frame_probe.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "scenes/lamp_park.h"
#include "scenes/mirror_hall.h"

// The park's three appearances and the hall between them, at two frames a
// second from the start so every scene clock follows the timeline.
TEST(ParkCapture, ParkAndHallAcrossTheirRanges) {
  const int w = 400, h = 300;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  ASSERT_NE(demo.scenes.lampPark.world, nullptr);
  ASSERT_NE(demo.scenes.mirrorHall.world, nullptr);

  const int fps = 2;
  const int wanted[] = {115000, 124000, 135000, 150000, 158500, 159000, 170000};
  std::vector<Frame> frames;
  double darkest = 1e9;
  int darkestAt = 0;
  for (long long i = 0;; ++i) {
    const int t = frameTimeMs(i, fps);
    if (t > 192000) break;
    renderFrame(demo, t);
    const bool keep = std::find(std::begin(wanted), std::end(wanted), t) != std::end(wanted);
    if (t > 111200 && t < 192000) {
      const Frame f = grab(demo.gfx, w, h);
      if (f.mean < darkest) {
        darkest = f.mean;
        darkestAt = t;
      }
      if (keep) frames.push_back(f);
    }
  }
  ASSERT_EQ(frames.size(), 7u);
  // No black frame anywhere from the park's first frame to the last.
  EXPECT_GT(darkest, 4.0) << "dark frame at " << darkestAt;
  for (size_t i = 0; i < frames.size(); ++i)
    EXPECT_GT(frames[i].colours, 1000u) << "frame " << wanted[i] << " shows no texture";
  // High glide, low flight and the walk look different.
  EXPECT_GT(difference(frames[0], frames[1]), 8.0);
  EXPECT_GT(difference(frames[1], frames[6]), 4.0);
  // The hall moves between 135 s and 150 s ...
  EXPECT_GT(difference(frames[2], frames[3]), 8.0);
  // ... and has stopped by 158.5 s: only the text still fades.
  EXPECT_LT(difference(frames[4], frames[5]), 3.0);
  // The hall ran 32 s; the walk began at 159.5 s.
  EXPECT_NEAR(demo.state.mirrorHall.sceneSeconds, 32.0f, 0.6f);
  EXPECT_NEAR(demo.state.lampPark.walkClock, 32500.0f, 600.0f);
  EXPECT_NEAR(demo.state.lampPark.flightClock, 16000.0f, 600.0f);
  destroyHeadlessContext(ctx);
}
