// Quads split one by one must cover what batched quads cover, every quad of
// the array included.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/scene_region.h"
#include "gl_test_context.h"

namespace {

std::vector<uint8_t> drawnBand(void (*draw)(Gfx&, const Pass&, const Vertex*, int),
                               const Vertex* quads, int count) {
  Gfx& gfx = testDemo().gfx;
  clearFrame(gfx, kBlack, true);
  draw(gfx, scenePass(Blend::kOff, Combine::kNone, 0), quads, count);
  std::vector<uint8_t> rgb(size_t(kBandRect.width) * kBandRect.height * 3);
  readFrameRgb(gfx, kBandRect, rgb.data());
  return rgb;
}

}  // namespace

TEST(GfxSingleQuads, CoverWhatBatchedQuadsCover) {
  ASSERT_TRUE(useHeadlessGl(800, 600));
  const BandQuad red = flatQuad(-200.5f, -100.25f, -20.75f, 90.5f, 0, 0, 1, 1, {1, 0, 0, 1});
  const BandQuad green = flatQuad(10.25f, -60.5f, 230.5f, 120.75f, 0, 0, 1, 1, {0, 1, 0, 1});
  std::vector<Vertex> quads(red.corners, red.corners + 4);
  quads.insert(quads.end(), green.corners, green.corners + 4);

  const std::vector<uint8_t> batched = drawnBand(drawQuads, quads.data(), 8);
  const std::vector<uint8_t> single = drawnBand(drawSingleQuads, quads.data(), 8);
  EXPECT_EQ(single, batched);
  // The second quad is there: band pixel (376, 128) lies inside it.
  const size_t inGreen = (size_t(128) * kBandRect.width + 376) * 3;
  EXPECT_EQ(single[inGreen + 1], 255);
  EXPECT_EQ(single[inGreen], 0);
}
