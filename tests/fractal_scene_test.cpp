#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "effects/feedback_buffer.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "models/scene3ds.h"
#include "scenes/triangle_fractal.h"

namespace {

struct Band {
  double mean = 0;
  size_t colours = 0;
};

// The letterboxed output, top row first.
Band readOutput(Gfx& gfx, int width, int height) {
  static std::vector<unsigned char> rgb;
  readOutputPixels(gfx, width, height, rgb);
  Band b;
  std::set<unsigned> distinct;
  double sum = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    sum += rgb[i] + rgb[i + 1] + rgb[i + 2];
    distinct.insert(unsigned(rgb[i]) << 16 | unsigned(rgb[i + 1]) << 8 | rgb[i + 2]);
  }
  b.mean = sum / double(rgb.size());
  b.colours = distinct.size();
  return b;
}

}  // namespace

// The scene's sixteen seconds at 10 frames a second through the timeline:
// faces on counters 1 and 3, a coloured figure throughout.
TEST(FractalScene, SixteenSecondsWithBothFaces) {
  const int w = 800, h = 600;
  HeadlessContext ctx;
  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  const TriangleFractalState& s = demo.state.triangleFractal;
  const TriangleFractalScene& scene = demo.scenes.triangleFractal;
  ASSERT_NE(scene.models, nullptr);
  ASSERT_GE(scene.models->meshCount, 2) << "both faces";

  int facesDrawn[3] = {0, 0, 0};
  Band withFace, without;
  renderFrame(demo, 191900);
  for (int t = 192000; t < 208000; t += 100) {
    const int face = fractalFace(s.cycle.halfCycleCounter);
    renderFrame(demo, t);
    ++facesDrawn[face];
    if (t == 192000) {
      EXPECT_EQ(scene.models->meshes[0]->baseTexture, scene.feedback->textures[8])
          << "the first face wears the swirl result";
    }
    // Halfway through face 1's active part, and in the rest after face 2.
    if (face == 1 && std::fabs(s.cycle.pulsePhase - 0.5f) < 0.03f)
      withFace = readOutput(demo.gfx, w, h);
    if (face == 0 && s.cycle.halfCycleCounter == 4) without = readOutput(demo.gfx, w, h);
  }
  EXPECT_EQ(s.clockMs, 7000 + 16000);
  EXPECT_NEAR(s.seconds, 16.0f, 1e-3f);
  EXPECT_GT(facesDrawn[1], 20);
  EXPECT_GT(facesDrawn[2], 20);
  EXPECT_EQ(s.cycle.halfCycleCounter, 5);
  EXPECT_GT(without.mean, 5.0) << "the figure is missing";
  EXPECT_GT(without.colours, 2000u);
  EXPECT_GT(withFace.colours, 2000u);
  EXPECT_GT(std::fabs(withFace.mean - without.mean), 1.0) << "the face changes nothing";
  destroyHeadlessContext(ctx);
}
