#include "math/spline_path.h"

#include <algorithm>
#include <cmath>

namespace {

float distanceBetween(const Vector3& a, const Vector3& b) {
  return std::sqrt((a - b).lengthSquared());
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
  float u = 0.0f;
  Vector3 p;
  evaluate(0.0f, p);
  while (u < 1.0f) {
    float trial = step;
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
