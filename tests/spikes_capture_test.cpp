#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/offline_host.h"
#include "models/scene3ds.h"
#include "scenes/spikes.h"

namespace {

double outputMean(Gfx& gfx, int width, int height) {
  static std::vector<unsigned char> rgb;
  readOutputPixels(gfx, width, height, rgb);
  double sum = 0;
  for (unsigned char c : rgb) sum += c;
  return sum / double(rgb.size());
}

}  // namespace

// The scene's 48 s through the timeline at 2 frames a second: every frame
// shows something, the deformed spikes stay finite and the clock ends at 48 s.
TEST(SpikesCapture, WholeRangeAtTwoFramesASecond) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  const SpikeScene& s = demo.scenes.spikes;
  ASSERT_NE(s.models, nullptr);
  ASSERT_GE(s.models->meshCount, kSpikeCount + kFlyerMeshCount);

  renderFrame(demo, 207500);
  for (int t = 208000; t < 256000; t += 500) {
    renderFrame(demo, t);
    if (t == 214000 || t == 230000 || t == 245000) {
      EXPECT_GT(outputMean(demo.gfx, w, h), 10.0) << "black frame at " << t;
    }
  }
  EXPECT_NEAR(demo.state.spikes.seconds, 48.0f, 0.01f);
  for (int i = 0; i < kSpikeCount; ++i)
    for (const Vector3& v : s.models->meshes[size_t(s.spikeBase + i)]->deformedPositions)
      ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << i;
  destroyHeadlessContext(ctx);
}
