#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/crt_random.h"
#include "scenes/triangle_fractal.h"

namespace {

FractalTriangle plainTriangle() {
  FractalTriangle t{};
  const float p[6] = {0, 0, 6, 0, 0, 3};
  for (int i = 0; i < 6; ++i) t.p[i] = p[i];
  t.centroid[0] = 2;
  t.centroid[1] = 1;
  const float c[9] = {0.9f, 0.0f, 0.0f, 0.0f, 0.6f, 0.0f, 0.0f, 0.0f, 0.3f};
  for (int i = 0; i < 9; ++i) t.colour[i] = c[i];
  for (int i = 0; i < 8; ++i) t.scale[i] = 1;
  return t;
}

// Vertex v (0..5) of leaf `leaf` in the batch: x, y, z, r, g, b, a.
const float* batchVertex(const FractalLineBatch& b, int leaf, int v) {
  return &b.vertices[leaf * 6 + v].x;
}

// Leaf corners are the segment starts 0, 2, 4 (p0, p1, p2).
void expectCorner(const FractalLineBatch& b, int leaf, int corner, float x, float y, float r,
                  float g, float bl) {
  const float* v = batchVertex(b, leaf, 2 * corner);
  EXPECT_NEAR(v[0], x, 1e-5f) << "leaf " << leaf << " corner " << corner;
  EXPECT_NEAR(v[1], y, 1e-5f) << "leaf " << leaf << " corner " << corner;
  EXPECT_EQ(v[2], -1.0f);
  EXPECT_NEAR(v[3], r, 1e-5f) << "leaf " << leaf << " corner " << corner;
  EXPECT_NEAR(v[4], g, 1e-5f) << "leaf " << leaf << " corner " << corner;
  EXPECT_NEAR(v[5], bl, 1e-5f) << "leaf " << leaf << " corner " << corner;
  EXPECT_FLOAT_EQ(v[6], kFractalLineAlpha);
}

}  // namespace

TEST(FractalColours, SameEveryFrame) {
  FractalTriangle t;
  fractalRootTriangle(3.0f, t);
  const float expected[9] = {0.214539f, 0.316388f, 0.859772f, 0.326385f, 0.405292f,
                             0.925201f, 0.617035f, 0.722595f, 0.155426f};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(t.colour[i], expected[i], 2e-6f) << i;
  FractalTriangle again;
  fractalRootTriangle(11.0f, again);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(again.colour[i], t.colour[i]) << i;
}

TEST(FractalRoot, TurnedVerticesAndCentroid) {
  FractalTriangle t;
  fractalRootTriangle(0.0f, t);
  // Vertex 0 = (-185.6 / 256, 0) turned by cos(0): x' = x cos a, y' = -x sin a.
  const float a = std::cos(0.0f);
  EXPECT_NEAR(t.p[0], -0.725f * std::cos(a), 1e-6f);
  EXPECT_NEAR(t.p[1], 0.725f * std::sin(a), 1e-6f);
  EXPECT_NEAR(t.centroid[0], (t.p[0] + t.p[2] + t.p[4]) / 3, 1e-6f);
  EXPECT_NEAR(t.centroid[1], (t.p[1] + t.p[3] + t.p[5]) / 3, 1e-6f);
  EXPECT_FLOAT_EQ(t.scale[2], 1.3f);
  EXPECT_FLOAT_EQ(t.scale[6], 0.96f);
  for (float o : t.offset) EXPECT_EQ(o, 0.0f);

  setFractalOffsets(t, 0.0f, -0.05f);
  EXPECT_NEAR(t.offset[0], -0.05f, 1e-7f);
  EXPECT_NEAR(t.offset[6], -0.05f * std::cos(4.188786666666666f), 1e-7f);
  EXPECT_EQ(t.offset[7], 0.0f);
}

TEST(FractalSplit, OneStepMidpointsAndColours) {
  FractalLineBatch batch;
  // Centroid (2, 1) as stored; a = 0.5, b = 0.25, c = -1:
  // m02 = (0, 1.5) + 0.5 (4, -1) = (2, 1); m01 = (3, 0) + 0.25 (-2, 2) = (2.5, 0.5);
  // m12 = (3, 1.5) - (-2, -1) = (5, 2.5).
  subdivideTriangle(1, plainTriangle(), 0.5f, 0.25f, -1.0f, batch);
  ASSERT_EQ(batch.leafCount, 4);
  // Colour mean (0.3, 0.2, 0.1): k02 = (0.45, 0, 0.15) + (-0.3, 0.4, -0.1) = (0.15, 0.4, 0.05);
  // k01 = (0.45, 0.3, 0) + (-0.3, -0.2, 0.2) = (0.15, 0.1, 0.2);
  // k12 = (0, 0.3, 0.15) + (0.6, -0.2, -0.1) = (0.6, 0.1, 0.05).
  // A = (p0, m01, m02)
  expectCorner(batch, 0, 0, 0, 0, 0.9f, 0, 0);
  expectCorner(batch, 0, 1, 2.5f, 0.5f, 0.15f, 0.1f, 0.2f);
  expectCorner(batch, 0, 2, 2, 1, 0.15f, 0.4f, 0.05f);
  // B = (m01, p1, m12)
  expectCorner(batch, 1, 0, 2.5f, 0.5f, 0.15f, 0.1f, 0.2f);
  expectCorner(batch, 1, 1, 6, 0, 0, 0.6f, 0);
  expectCorner(batch, 1, 2, 5, 2.5f, 0.6f, 0.1f, 0.05f);
  // C = (m02, m12, p2)
  expectCorner(batch, 2, 0, 2, 1, 0.15f, 0.4f, 0.05f);
  expectCorner(batch, 2, 1, 5, 2.5f, 0.6f, 0.1f, 0.05f);
  expectCorner(batch, 2, 2, 0, 3, 0, 0, 0.3f);
  // D = (m02, m01, m12), drawn last
  expectCorner(batch, 3, 0, 2, 1, 0.15f, 0.4f, 0.05f);
  expectCorner(batch, 3, 1, 2.5f, 0.5f, 0.15f, 0.1f, 0.2f);
  expectCorner(batch, 3, 2, 5, 2.5f, 0.6f, 0.1f, 0.05f);
  // Segments close the outline: p0-p1, p1-p2, p2-p0.
  EXPECT_EQ(batchVertex(batch, 3, 1)[0], batchVertex(batch, 3, 2)[0]);
  EXPECT_EQ(batchVertex(batch, 3, 5)[0], batchVertex(batch, 3, 0)[0]);
}

TEST(FractalSplit, ChildTransformAboutItsOwnCentroid) {
  FractalTriangle t = plainTriangle();
  // Child B turned a quarter, scaled (2, 1) and pushed by (10, 20).
  t.angle[1] = 1.5707963f;
  t.scale[2] = 2;
  t.scale[3] = 1;
  t.offset[2] = 10;
  t.offset[3] = 20;
  FractalLineBatch batch;
  subdivideTriangle(1, t, 0.5f, 0.25f, -1.0f, batch);
  // B = (2.5, 0.5), (6, 0), (5, 2.5); centroid (4.5, 1). Vertex 0: d = (-4, -0.5);
  // turned: (d.y, -d.x) = (-0.5, 4); plus centroid and offset: (14, 25).
  const float* v = batchVertex(batch, 1, 0);
  EXPECT_NEAR(v[0], 14.0f, 1e-5f);
  EXPECT_NEAR(v[1], 25.0f, 1e-5f);
  // Vertex 1: d = (3, -1) -> (-1, -3) -> (13.5, 18).
  v = batchVertex(batch, 1, 2);
  EXPECT_NEAR(v[0], 13.5f, 1e-5f);
  EXPECT_NEAR(v[1], 18.0f, 1e-5f);
  // The transform block reaches the grandchildren: depth 2 keeps D's turn at 0.
  FractalLineBatch deep;
  subdivideTriangle(2, t, 0.5f, 0.25f, -1.0f, deep);
  EXPECT_EQ(deep.leafCount, 16);
}

TEST(FractalSplit, FullDepthFillsTheBatchWithFiniteLeaves) {
  static FractalLineBatch batch;
  FractalTriangle root;
  fractalRootTriangle(12.5f, root);
  setFractalOffsets(root, 12.5f, -0.07f);
  subdivideTriangle(kFractalDepth, root, 0.5f, 0.1f, -0.1f, batch);
  ASSERT_EQ(batch.leafCount, kFractalLeafCount);
  for (int i = 0; i < kFractalLeafCount * 6 * kFractalFloatsPerVertex; ++i)
    ASSERT_TRUE(std::isfinite((&batch.vertices[0].x)[i])) << i;
  // A full batch takes no more leaves.
  drawTriangleOutline(root, batch);
  EXPECT_EQ(batch.leafCount, kFractalLeafCount);
}

TEST(FractalCycle, CounterThroughTheTimelineAndTheWrap) {
  FractalCycle c;
  float clock = 7000.0f;
  const int delta = 20;
  std::vector<int> changes{0};
  std::vector<int> faceFrames(3, 0);
  int wrapFrame = -1;
  int firstActive = -1;
  int previous = 0;
  for (int frame = 0; clock < 7000.0f + 60000.0f; ++frame) {
    const int shown = fractalFace(c.halfCycleCounter);  // read before the step
    ++faceFrames[shown];
    stepFractalCycle(c, clock);
    if (frame * delta < 550) {
      EXPECT_LT(fractalCyclePosition(clock), 0);
      EXPECT_EQ(c.pulsePhase, 0.0f);
      EXPECT_EQ(c.halfCycleCounter, 0);
    }
    if (c.halfCycleCounter != previous) {
      changes.push_back(c.halfCycleCounter);
      if (firstActive < 0) firstActive = frame * delta;
      if (previous == 8) {
        // The wrap frame draws no face and still pulses.
        EXPECT_EQ(c.halfCycleCounter, 0);
        EXPECT_EQ(shown, 0);
        EXPECT_NE(c.pulseAmplitude, 0.0f);
        wrapFrame = frame;
      }
      if (wrapFrame >= 0 && frame == wrapFrame + 1) {
        EXPECT_EQ(c.halfCycleCounter, 1);
      }
    }
    if (c.halfCycleCounter == 5 || c.halfCycleCounter == 7) {
      EXPECT_EQ(c.pulseAmplitude, 0.0f);
      float d[3];
      fractalDisplacement(c.halfCycleCounter, c.pulsePhase, d);
      EXPECT_FLOAT_EQ(d[0], 0.5f);
      EXPECT_FLOAT_EQ(d[1], 0.1f);
      EXPECT_FLOAT_EQ(d[2], -0.1f);
    }
    previous = c.halfCycleCounter;
    clock += float(delta);
  }
  // The first active part starts 3050 ms after the first frame.
  EXPECT_EQ(firstActive, 3060);
  const std::vector<int> expected{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3};
  ASSERT_GE(changes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(changes[i], expected[i]) << i;
  ASSERT_GE(wrapFrame, 0);
  // Faces show for whole active parts: about 2800 ms each per cycle pair.
  EXPECT_GT(faceFrames[1], 2 * 2700 / delta);
  EXPECT_GT(faceFrames[2], 2700 / delta);
}

TEST(FractalCycle, ScenesFirstSixteenSeconds) {
  FractalCycle c;
  float clock = 7000.0f;
  int seenFaces[3] = {0, 0, 0};
  int lastCounter = 0;
  for (int ms = 0; ms < 16000; ms += 33) {
    ++seenFaces[fractalFace(c.halfCycleCounter)];
    stepFractalCycle(c, clock);
    lastCounter = c.halfCycleCounter;
    clock += 33.0f;
  }
  EXPECT_GT(seenFaces[1], 0);
  EXPECT_GT(seenFaces[2], 0);
  EXPECT_EQ(lastCounter, 5);  // the start of a faceless active part
}

TEST(FractalCycle, PulseAndDisplacement) {
  FractalCycle c;
  c.halfCycleCounter = 0;
  // Middle of the first active part: r = 2500 + 1400, u = 0.5.
  stepFractalCycle(c, 7550.0f + 3900.0f);
  EXPECT_EQ(c.halfCycleCounter, 1);
  EXPECT_NEAR(c.pulsePhase, 0.5f, 1e-6f);
  EXPECT_NEAR(c.pulseAmplitude, -0.1f * std::sin(3.14159f * 0.25f), 1e-6f);
  float d[3];
  fractalDisplacement(1, 0.5f, d);
  EXPECT_FLOAT_EQ(d[0], 0.25f);
  EXPECT_FLOAT_EQ(d[1], 0.125f);
  fractalDisplacement(3, 1.0f, d);
  EXPECT_FLOAT_EQ(d[0], 0.5f);
  EXPECT_FLOAT_EQ(d[1], 0.1f);
  EXPECT_NEAR(d[2], -0.1f, 1e-7f);
  fractalDisplacement(0, 0.7f, d);
  EXPECT_FLOAT_EQ(d[0], 0.4f);
  EXPECT_FLOAT_EQ(d[1], -0.1f);
}

TEST(FractalCrossfade, WeightClampedAtBothEnds) {
  EXPECT_EQ(fractalCrossfadeWeight(0.0f), 1.0f);
  EXPECT_EQ(fractalCrossfadeWeight(1.0f), 1.0f);
  EXPECT_NEAR(fractalCrossfadeWeight(0.5f), 0.2f / 1.001f, 1e-5f);
  // Falls below 1 soon after the start and rises back before the end.
  EXPECT_LT(fractalCrossfadeWeight(0.2f), 1.0f);
  EXPECT_LT(fractalCrossfadeWeight(0.8f), 1.0f);
  for (float u = 0; u <= 1.0f; u += 0.01f) {
    const float v = fractalCrossfadeWeight(u);
    EXPECT_GT(v, 0.19f);
    EXPECT_LE(v, 1.0f);
  }
}
