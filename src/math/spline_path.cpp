#include "math/spline_path.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

float distanceBetween(const Vector3& a, const Vector3& b) {
  return std::sqrt((a - b).lengthSquared());
}

struct Point {
  double x, y, z;
};

Point operator-(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point operator+(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point operator*(double s, const Point& a) { return {s * a.x, s * a.y, s * a.z}; }
double lengthOf(const Point& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
Point pointOf(const Vector3& v) { return {v.x, v.y, v.z}; }

// What the length walk needs to know that a trial chord is too long without
// evaluating it. Over a parameter step tau (in segments) from u the curve
// moves at least tau |B'(u)| - tau^2 bend / 2, since B is C1 with |B''| at
// most `bend`; a float evaluation is off by at most `slack`. Trials this
// shows to be too long fail the walk's test, so skipping them measures the
// same chords with fewer evaluations.
struct ChordBounds {
  std::vector<Point> control;  // 4 per segment, as evaluate forms them
  int segments = 0;
  double bend = 0.0;
  double slack = 0.0;
};

ChordBounds chordBounds(const SplinePath& path) {
  ChordBounds b;
  b.segments = path.closed ? path.count : path.count - 1;
  double reach = 0.0, leg = 0.0;
  for (int i = 0; i < b.segments; ++i) {
    const int next = i + 1 < path.count ? i + 1 : 0;
    const Point p[4] = {pointOf(path.points[i]), pointOf(path.points[i] + path.tangents[i]),
                        pointOf(path.points[next] - path.tangents[next]),
                        pointOf(path.points[next])};
    for (const Point& q : p) {
      b.control.push_back(q);
      reach = std::max({reach, std::fabs(q.x), std::fabs(q.y), std::fabs(q.z)});
    }
    b.bend = std::max({b.bend, 6.0 * lengthOf(p[0] - 2.0 * p[1] + p[2]),
                       6.0 * lengthOf(p[1] - 2.0 * p[2] + p[3])});
    leg = std::max({leg, 3.0 * lengthOf(p[1] - p[0]), 3.0 * lengthOf(p[2] - p[1]),
                    3.0 * lengthOf(p[3] - p[2])});
  }
  // A float evaluation rounds its segment parameter (moving the point by up
  // to the fastest speed times segments * 2^-24) and its sums (a few ulps of
  // the largest coordinate); doubled for safety.
  b.slack = 2.0 * std::ldexp(b.segments * leg + 16.0 * reach, -24);
  return b;
}

// |B'(u)| in segment units, u in [0, 1).
double speedAt(const ChordBounds& b, float u) {
  const double s = double(u) * b.segments;
  const int i = std::min(int(s), b.segments - 1);
  const double t = s - i, mt = 1.0 - t;
  const Point* p = &b.control[size_t(i) * 4];
  return 3.0 *
         lengthOf(mt * mt * (p[1] - p[0]) + 2.0 * t * mt * (p[2] - p[1]) + t * t * (p[3] - p[2]));
}

// True when the chord from u to candidate (< 1) is longer than sqrt(limit)
// for certain, whatever the float evaluations round to.
bool certainlyLonger(const ChordBounds& b, float u, float candidate, double speed, float limit) {
  const double tau = (double(candidate) - double(u)) * b.segments;
  const double least = tau * speed * (1.0 - 1e-6) - 0.5 * tau * tau * b.bend - 2.0 * b.slack;
  return least > 0.0 && least * least > double(limit) * (1.0 + 1e-6);
}

}  // namespace

SplinePath::SplinePath(int capacity_, bool closed_)
    : points(capacity_ > 0 ? capacity_ : 0),
      tangents(capacity_ > 0 ? capacity_ : 0),
      closed(closed_),
      capacity(capacity_ > 0 ? capacity_ : 0) {}

void SplinePath::addPoint(float x, float y, float z) {
  if (count < capacity) {
    points[count].set(x, y, z);
    ++count;
  }
}

void SplinePath::addPoint(const Vector3& p) { addPoint(p.x, p.y, p.z); }

void SplinePath::evaluate(float u, Vector3& out) const {
  if (count <= 0) return;  // nothing to evaluate; out unchanged
  float f = u - std::trunc(u);
  // Negative parameters never come up; keep them in range rather than
  // indexing before the arrays (closed paths wrap, open paths clamp).
  if (f < 0.0f) f = closed ? f + 1.0f : 0.0f;
  int i;
  int next;
  float t;
  if (closed) {
    const float s = f * static_cast<float>(count);
    i = static_cast<int>(s);
    t = s - static_cast<float>(i);
    if (i >= count) i = 0;
    next = i + 1 < count ? i + 1 : 0;
  } else {
    const int last = count - 1;
    if (u >= 1.0f) {
      out.copyFrom(points[last]);
      return;
    }
    const float s = f * static_cast<float>(last);
    i = static_cast<int>(s);
    if (i > last) i = last;
    t = s - static_cast<float>(i);
    next = std::min(i + 1, last);
  }

  const Vector3& start = points[i];
  const Vector3 control1 = points[i] + tangents[i];
  const Vector3 control2 = points[next] - tangents[next];
  const Vector3& end = points[next];

  const float mt = 1.0f - t;
  const float b0 = mt * mt * mt;
  const float b1 = 3.0f * t * mt * mt;
  const float b2 = 3.0f * t * t * mt;
  const float b3 = t * t * t;
  out.x = b0 * start.x + b1 * control1.x + b2 * control2.x +
          b3 * end.x;
  out.y = b0 * start.y + b1 * control1.y + b2 * control2.y +
          b3 * end.y;
  out.z = b0 * start.z + b1 * control1.z + b2 * control2.z +
          b3 * end.z;
}

void SplinePath::advance(float& travel, float speed, float deltaMs, Vector3& out) const {
  travel += speed * deltaMs * 0.001f / totalLength;
  if (!closed && travel > 1.0f) travel = 1.0f;
  evaluate(travel, out);
}

void SplinePath::computeTangents(float scale, bool normalize) {
  tangentScale = scale;
  normalizeTangents = normalize;
  totalLength = 0.0f;
  if (count < 2) return;  // a path needs two points

  const int last = count - 1;
  for (int i = 1; i < last; ++i) {
    tangents[i] = points[i + 1] - points[i - 1];
  }
  if (closed) {
    tangents[0] = points[1] - points[last];
    tangents[last] = points[0] - points[last - 1];
  } else {
    tangents[0] = points[1] - points[0];
    tangents[last] = points[last] - points[last - 1];
  }
  if (normalize) {
    for (int i = 0; i < count; ++i) {
      tangents[i].normalize();
      tangents[i].scaleBy(scale);
    }
  }

  // Length: walk the curve in chords no longer than sqrt(0.001), halving the
  // trial step until the chord is short enough. The final chord that reaches
  // u = 1 is not counted.
  const float step = 1.0f / static_cast<float>(count * 100);
  const ChordBounds bounds = chordBounds(*this);
  float u = 0.0f;
  Vector3 p;
  evaluate(0.0f, p);
  while (u < 1.0f) {
    float trial = step;
    const double speed = speedAt(bounds, u);
    while (u + trial < 1.0f && certainlyLonger(bounds, u, u + trial, speed, 0.001f)) trial *= 0.5f;
    float candidate;
    Vector3 q;
    for (;;) {
      candidate = u + trial;
      if (candidate > 1.0f) candidate = 1.0f;
      evaluate(candidate, q);
      if (candidate == 1.0f || (q - p).lengthSquared() <= 0.001f) break;
      trial *= 0.5f;
    }
    if (candidate < 1.0f) totalLength += distanceBetween(p, q);
    u = candidate;
    p = q;
  }
}

void SplinePath::computeSampleCount() {
  if (sampleCount != 0 || count < 2) return;

  const int last = count - 1;
  Vector3 previous;
  evaluate(0.0f, previous);
  float shortest = 0.0f;
  for (int i = 1; i <= last; ++i) {
    Vector3 current;
    evaluate(static_cast<float>(i) / static_cast<float>(last), current);
    const float d = distanceBetween(previous, current);
    if (i == 1 || d < shortest) shortest = d;
    previous = current;
  }

  const int d = static_cast<int>(
      std::cbrt(static_cast<float>(count * 256)) * totalLength / shortest);
  sampleCount = d - d % count + count;
}

void SplinePath::resampleInto(SplinePath& target) {
  const float samples = static_cast<float>(sampleCount);
  const float chord = totalLength / samples;
  const float low = chord - 0.1f;
  const float high = chord + 0.1f;
  const float newScale = static_cast<float>(count) * tangentScale / samples;

  float u = 0.0f;
  Vector3 p;
  evaluate(0.0f, p);
  while (u < 1.0f) {
    float step = 1.0f / samples;
    Vector3 q;
    for (;;) {
      evaluate(u + step, q);
      const float h = distanceBetween(p, q);
      const bool tooLong = h > high;
      const bool tooShort = h < low;
      if (tooLong) step *= 0.95f;
      if (tooShort) step *= 1.05f;
      if ((!tooLong && !tooShort) || u + step >= 1.0f) break;
    }
    u += step;
    target.addPoint(q);
    p = q;
  }

  target.computeTangents(newScale, normalizeTangents);
}
