// SplinePath: a smooth curve through a list of points, open or closed, made
// of cubic Bezier segments whose inner control points are point +/- tangent
// (tangents used at full length). Objects travel along it either by a
// normalised parameter (evaluate) or by a speed in units per second
// (advance, on a cursor the traveller keeps). It can resample itself into a second path with evenly spaced
// points (computeSampleCount, then resampleInto).
#pragma once
#include <vector>

#include "math/vector3.h"

struct SplinePath {
  std::vector<Vector3> points;    // capacity entries, all zero at construction
  std::vector<Vector3> tangents;  // capacity entries, filled by computeTangents
  bool closed = false;            // last point connects back to the first
  int capacity = 0;               // size of both arrays
  int count = 0;                  // points added so far

  float totalLength = 0.0f;   // curve length, from computeTangents
  float tangentScale = 0.0f;  // argument of the latest computeTangents
  bool normalizeTangents = false;  // argument of the latest computeTangents
  int sampleCount = 0;        // from computeSampleCount (computed once)

  explicit SplinePath(int capacity = 0, bool closed = false);

  // Appends a point if count < capacity; otherwise drops it silently.
  void addPoint(float x, float y, float z);
  void addPoint(const Vector3& p);

  // Computes the tangents (interior: next - previous; ends per open/closed),
  // optionally normalised and scaled by tangentScale, then measures
  // totalLength. Needs at least two points.
  void computeTangents(float tangentScale, bool normalizeTangents);

  // Sets sampleCount (a multiple of count) unless it is already non-zero.
  // Needs computeTangents first.
  void computeSampleCount();

  // Appends sampleCount-ish evenly spaced points to an empty target path
  // (capacity >= sampleCount) and computes its tangents. The start point is
  // not copied. Needs computeSampleCount first.
  void resampleInto(SplinePath& target);

  // Point at parameter u (0..1 covers the whole path; a closed path wraps by
  // the fractional part, an open path returns the last point for u >= 1).
  // Writes x, y, z of out.
  void evaluate(float u, Vector3& out) const;

  // travel += speed * deltaMs * 0.001 / totalLength (clamped to 1 on an open
  // path), then evaluate(travel, out). speed in units per second; `travel`
  // is the traveller's own normalised position, starting at 0.
  void advance(float& travel, float speed, float deltaMs, Vector3& out) const;
};
