#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/spline_path.h"

namespace {

void expectXyz(const Vector3& v, float x, float y, float z, float eps = 1e-4f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

float distance(const Vector3& a, const Vector3& b) {
  return std::sqrt((a - b).lengthSquared());
}

// The closed square (0,0), (10,0), (10,10), (0,10), tangents not yet computed.
SplinePath closedSquare() {
  SplinePath path(4, true);
  path.addPoint(0, 0, 0);
  path.addPoint(10, 0, 0);
  path.addPoint(10, 10, 0);
  path.addPoint(0, 10, 0);
  return path;
}

// Points 0, spacing, 2*spacing, ... on the x axis. With normalised tangents
// of a third of the spacing the Bezier control points sit at thirds, so the
// curve runs along x at constant speed in the parameter.
SplinePath evenLine(int points, float spacing) {
  SplinePath path(points, false);
  for (int i = 0; i < points; ++i) path.addPoint(spacing * i, 0, 0);
  path.computeTangents(spacing / 3.0f, true);
  return path;
}

TEST(SplinePathConstruction, ZeroedArrays) {
  SplinePath path(5, true);
  EXPECT_EQ(path.capacity, 5);
  EXPECT_EQ(path.count, 0);
  EXPECT_TRUE(path.closed);
  EXPECT_EQ(path.sampleCount, 0);
  ASSERT_EQ(path.points.size(), 5u);
  ASSERT_EQ(path.tangents.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    expectXyz(path.points[i], 0, 0, 0, 0);
    expectXyz(path.tangents[i], 0, 0, 0, 0);
  }
}

TEST(SplinePathAddPoint, DropsBeyondCapacity) {
  SplinePath path(2, false);
  path.addPoint(1, 2, 3);
  path.addPoint(Vector3(4, 5, 6));
  path.addPoint(7, 8, 9);
  path.addPoint(Vector3(10, 11, 12));
  EXPECT_EQ(path.count, 2);
  expectXyz(path.points[0], 1, 2, 3, 0);
  expectXyz(path.points[1], 4, 5, 6, 0);
  EXPECT_EQ(path.points.size(), 2u);
}

TEST(SplinePathTangents, OpenRawDifferences) {
  SplinePath path(3, false);
  path.addPoint(0, 0, 0);
  path.addPoint(10, 0, 0);
  path.addPoint(20, 0, 0);
  path.computeTangents(5.0f, false);
  EXPECT_EQ(path.tangentScale, 5.0f);
  EXPECT_FALSE(path.normalizeTangents);
  // Raw differences; the scale has no effect without normalising, and the
  // interior tangent is the full (not halved) difference.
  expectXyz(path.tangents[0], 10, 0, 0, 0);
  expectXyz(path.tangents[1], 20, 0, 0, 0);
  expectXyz(path.tangents[2], 10, 0, 0, 0);
}

TEST(SplinePathTangents, ClosedWrapAndNormalised) {
  SplinePath path = closedSquare();
  path.computeTangents(2.0f, false);
  expectXyz(path.tangents[0], 10, -10, 0, 0);  // points[1] - points[last]
  expectXyz(path.tangents[3], -10, -10, 0, 0); // points[0] - points[2]
  expectXyz(path.tangents[1], 10, 10, 0, 0);

  path.computeTangents(2.0f, true);
  EXPECT_TRUE(path.normalizeTangents);
  const float k = 2.0f / std::sqrt(2.0f);
  expectXyz(path.tangents[0], k, -k, 0);
  expectXyz(path.tangents[3], -k, -k, 0);
}

TEST(SplinePathEvaluate, FullLengthTangentsBunchNearPoints) {
  SplinePath path(3, false);
  path.addPoint(0, 0, 0);
  path.addPoint(10, 0, 0);
  path.addPoint(20, 0, 0);
  path.computeTangents(1.0f, false);

  Vector3 out(0, 0, 0, 3);
  path.evaluate(0.5f, out);
  expectXyz(out, 10, 0, 0);
  path.evaluate(0.0f, out);
  expectXyz(out, 0, 0, 0);
  path.evaluate(1.0f, out);
  expectXyz(out, 20, 0, 0);
  path.evaluate(1.7f, out);  // open: anything from 1 on is the last point
  expectXyz(out, 20, 0, 0);

  path.evaluate(0.25f, out);
  expectXyz(out, 1.25f, 0, 0);
  EXPECT_EQ(out.w, 3.0f);

  path.evaluate(0.75f, out);  // second segment: 10, 20, 10, 20 at t = 0.5
  expectXyz(out, 18.75f, 0, 0);
}

TEST(SplinePathEvaluate, ClosedHitsPointsAndWraps) {
  SplinePath path = closedSquare();
  path.computeTangents(3.0f, true);

  Vector3 out;
  path.evaluate(0.0f, out);
  expectXyz(out, 0, 0, 0);
  path.evaluate(0.25f, out);
  expectXyz(out, 10, 0, 0);
  path.evaluate(0.5f, out);
  expectXyz(out, 10, 10, 0);
  path.evaluate(0.75f, out);
  expectXyz(out, 0, 10, 0);
  path.evaluate(1.0f, out);
  expectXyz(out, 0, 0, 0);
  path.evaluate(2.25f, out);
  expectXyz(out, 10, 0, 0);
  path.evaluate(-0.25f, out);  // negative parameters wrap too
  expectXyz(out, 0, 10, 0);

  // The last segment runs from the last point back to the first.
  path.evaluate(0.875f, out);
  // t = 0.5 between (0, 10) and (0, 0): x = 3/8 (T3.x - T0.x).
  EXPECT_NEAR(out.x, 0.375f * (path.tangents[3].x - path.tangents[0].x), 1e-4f);
  EXPECT_LT(out.x, -1.0f);  // bulges outwards, away from the square
  EXPECT_NEAR(out.y, 5.0f, 1e-4f);
}

TEST(SplinePathLength, StraightLineWithoutFinalChord) {
  SplinePath path = evenLine(3, 10.0f);
  // The walk sums chords up to the last parameter below 1. Near the end the
  // first trial (one whole step of 1/300, i.e. 20/300 units) is capped at 1
  // and taken unhalved, and that final chord is left out.
  EXPECT_LT(path.totalLength, 19.99f);
  EXPECT_GT(path.totalLength, 20.0f - 20.0f / 300.0f);
}

TEST(SplinePathLength, RawTangentsOvershoot) {
  // Full-length tangents make the curve double back inside each segment,
  // so it is longer than the straight distance.
  SplinePath path(3, false);
  path.addPoint(0, 0, 0);
  path.addPoint(10, 0, 0);
  path.addPoint(20, 0, 0);
  path.computeTangents(1.0f, false);
  EXPECT_GT(path.totalLength, 21.0f);
}

TEST(SplinePathLength, ClosedSquareRoughlyPerimeter) {
  SplinePath path = closedSquare();
  path.computeTangents(1.0f, true);
  EXPECT_GT(path.totalLength, 38.0f);
  EXPECT_LT(path.totalLength, 41.0f);
}

// The walk skips trial chords its bounds show to be too long; it must sum
// exactly the chords a walk that evaluates every trial sums, on paths that
// are long, bent back on themselves, open or closed.
TEST(SplinePathLength, SkippingTrialsMeasuresTheSameChords) {
  auto everyTrial = [](const SplinePath& path) {
    float length = 0.0f, u = 0.0f;
    Vector3 p, q;
    path.evaluate(0.0f, p);
    while (u < 1.0f) {
      float trial = 1.0f / float(path.count * 100), candidate;
      for (;; trial *= 0.5f) {
        candidate = std::min(u + trial, 1.0f);
        path.evaluate(candidate, q);
        if (candidate == 1.0f || (q - p).lengthSquared() <= 0.001f) break;
      }
      if (candidate < 1.0f) length += distance(p, q);
      u = candidate;
      p = q;
    }
    return length;
  };
  unsigned seed = 7;
  auto next = [&seed](float range) {
    seed = seed * 1103515245u + 12345u;
    return (float((seed >> 8) & 0xffff) / 65535.0f - 0.5f) * range;
  };
  for (int k = 0; k < 12; ++k) {
    const float reach = k % 3 == 0 ? 2000.0f : k % 3 == 1 ? 60.0f : 3.0f;
    SplinePath path(8, k % 2 == 0);
    for (int i = 0; i < 8; ++i) path.addPoint(next(reach), next(reach), next(reach));
    path.computeTangents(k < 6 ? reach * 0.5f : 1.0f, k < 6);
    EXPECT_EQ(path.totalLength, everyTrial(path)) << "path " << k;
  }
}

TEST(SplinePathAdvance, OpenStopsAtTheEnd) {
  SplinePath path = evenLine(3, 10.0f);
  const float length = path.totalLength;
  Vector3 out;
  float travel = 0;
  path.advance(travel, length / 4.0f, 1000.0f, out);  // a quarter of the way per second
  EXPECT_NEAR(travel, 0.25f, 1e-5f);
  expectXyz(out, 5, 0, 0, 1e-3f);
  path.advance(travel, length, 3000.0f, out);
  EXPECT_EQ(travel, 1.0f);
  expectXyz(out, 20, 0, 0);
  path.advance(travel, length, 16.0f, out);
  EXPECT_EQ(travel, 1.0f);
  expectXyz(out, 20, 0, 0);
}

TEST(SplinePathAdvance, ClosedKeepsCircling) {
  SplinePath path = closedSquare();
  path.computeTangents(3.0f, true);
  const float length = path.totalLength;
  Vector3 out;
  float travel = 0;
  path.advance(travel, length, 1250.0f, out);  // 1.25 rounds
  EXPECT_NEAR(travel, 1.25f, 1e-5f);
  expectXyz(out, 10, 0, 0, 1e-3f);
  path.advance(travel, length, 1000.0f, out);
  EXPECT_NEAR(travel, 2.25f, 1e-5f);
  expectXyz(out, 10, 0, 0, 1e-3f);
}

// sampleCount rounds d = trunc(cbrt(count * 256) * totalLength / m) up to
// the next multiple of count, adding count even when d already is one.
TEST(SplinePathSampleCount, NextMultipleAboveD) {
  SplinePath path = evenLine(4, 1.0f);  // m = 1 between consecutive points
  const float root = std::cbrt(4.0f * 256.0f);

  path.totalLength = 37.5f / root;  // d = 37
  path.computeSampleCount();
  EXPECT_EQ(path.sampleCount, 40);

  path.sampleCount = 0;
  path.totalLength = 40.5f / root;  // d = 40
  path.computeSampleCount();
  EXPECT_EQ(path.sampleCount, 44);

  path.sampleCount = 0;
  path.totalLength = 43.9f / root;  // d = 43
  path.computeSampleCount();
  EXPECT_EQ(path.sampleCount, 44);
}

TEST(SplinePathSampleCount, UsesShortestGapAndIsComputedOnce) {
  SplinePath path(3, false);
  path.addPoint(0, 0, 0);
  path.addPoint(2, 0, 0);
  path.addPoint(10, 0, 0);
  path.computeTangents(0.5f, true);
  path.totalLength = 10.0f;  // fixed for the arithmetic
  path.computeSampleCount();
  // m = 2, d = trunc(cbrt(768) * 10 / 2) = trunc(45.79) = 45 -> 48.
  EXPECT_EQ(path.sampleCount, 48);

  path.totalLength = 1000.0f;
  path.computeSampleCount();
  EXPECT_EQ(path.sampleCount, 48);
}

TEST(SplinePathResample, EvenSpacingOnALine) {
  SplinePath path = evenLine(3, 10.0f);
  path.computeSampleCount();
  ASSERT_GT(path.sampleCount, 0);
  const float chord = path.totalLength / path.sampleCount;

  SplinePath target(path.sampleCount + 2, false);
  path.resampleInto(target);
  ASSERT_GE(target.count, path.sampleCount - 1);

  // The start point is not copied: the first point is about a chord along.
  Vector3 start;
  path.evaluate(0, start);
  EXPECT_NEAR(distance(start, target.points[0]), chord, 0.1f);
  for (int i = 1; i + 1 < target.count; ++i) {
    EXPECT_NEAR(distance(target.points[i - 1], target.points[i]), chord, 0.1f)
        << "point " << i;
  }
  // The last lies at (or just past) the end of the curve.
  EXPECT_NEAR(target.points[target.count - 1].x, 20.0f, chord + 0.1f);

  // Tangents computed with the rescaled tangent scale.
  EXPECT_NEAR(target.tangentScale, 3 * (10.0f / 3.0f) / path.sampleCount, 1e-6f);
  EXPECT_TRUE(target.normalizeTangents);
  EXPECT_NEAR(target.tangents[1].length(), target.tangentScale, 1e-5f);
  EXPECT_GT(target.totalLength, 15.0f);
}

TEST(SplinePathResample, EvenSpacingOnACurvedClosedPath) {
  SplinePath path = closedSquare();
  path.computeTangents(6.0f, true);
  path.computeSampleCount();
  const float chord = path.totalLength / path.sampleCount;

  SplinePath target(path.sampleCount + 4, true);
  path.resampleInto(target);
  ASSERT_GE(target.count, path.sampleCount - 2);
  for (int i = 1; i + 1 < target.count; ++i) {
    const float h = distance(target.points[i - 1], target.points[i]);
    EXPECT_GE(h, chord - 0.1f - 1e-4f) << "point " << i;
    EXPECT_LE(h, chord + 0.1f + 1e-4f) << "point " << i;
  }
  // Closed: the last point comes back round to about the first.
  EXPECT_LT(distance(target.points[target.count - 1], Vector3(0, 0, 0)),
            chord + 0.2f);
}

}  // namespace
