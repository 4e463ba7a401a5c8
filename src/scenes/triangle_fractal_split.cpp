// The fractal's arithmetic, apart from GL: cycle counter, root triangle,
// recursive split and the gathering of the leaf outlines.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "math/crt_random.h"
#include "math/vector3.h"
#include "scenes/triangle_fractal.h"

namespace {

constexpr float kCycleOffsetMs = 7550.0f;
constexpr int kCyclePeriodMs = 5300;
constexpr int kRestLengthMs = 2500;
constexpr int kActiveLengthMs = kCyclePeriodMs - kRestLengthMs;

float crtUnit(CrtRandom& random) { return float(random.next()) / 32768.0f; }

// Child `which` (0..3 = A..D) of `parent`: vertices and colours given as
// pairs and triples, the centroid their mean, then the child's own turn,
// scale and offset applied about that centroid.
FractalTriangle makeChild(const FractalTriangle& parent, int which, const float* v0,
                          const float* v1, const float* v2, const float* k0, const float* k1,
                          const float* k2) {
  FractalTriangle child;
  std::memcpy(child.angle, parent.angle, sizeof child.angle);
  std::memcpy(child.scale, parent.scale, sizeof child.scale);
  std::memcpy(child.offset, parent.offset, sizeof child.offset);
  const float* v[3] = {v0, v1, v2};
  const float* k[3] = {k0, k1, k2};
  const float cx = (v0[0] + v1[0] + v2[0]) / 3.0f;
  const float cy = (v0[1] + v1[1] + v2[1]) / 3.0f;
  child.centroid[0] = cx;
  child.centroid[1] = cy;
  const float angle = parent.angle[which];
  const float ca = std::cos(angle);
  const float sa = std::sin(angle);
  const float sx = parent.scale[2 * which];
  const float sy = parent.scale[2 * which + 1];
  const float ox = parent.offset[2 * which];
  const float oy = parent.offset[2 * which + 1];
  for (int i = 0; i < 3; ++i) {
    const float dx = (v[i][0] - cx) * sx;
    const float dy = (v[i][1] - cy) * sy;
    child.p[2 * i] = cx + ox + (dx * ca + dy * sa);
    child.p[2 * i + 1] = cy + oy + (dy * ca - dx * sa);
    for (int j = 0; j < 3; ++j) child.colour[3 * i + j] = k[i][j];
  }
  return child;
}

}  // namespace

int fractalCyclePosition(float floatClockMs) {
  const int ph = int(floatClockMs - kCycleOffsetMs);
  return ph % kCyclePeriodMs;
}

void stepFractalCycle(FractalCycle& c, float floatClockMs) {
  const int r = fractalCyclePosition(floatClockMs);
  c.pulsePhase = std::min(std::max(float(r - kRestLengthMs) / float(kActiveLengthMs), 0.0f), 1.0f);
  const float u = c.pulsePhase;
  const float amplitude =
      -c.pulseScale * std::sin(kMathPi * u * (1.0f + std::cos(kMathPi * u)) / 2.0f);
  c.pulseAmplitude = 0;
  if (r > kRestLengthMs) {
    if (c.halfCycleCounter % 2 == 0) ++c.halfCycleCounter;
    if (c.halfCycleCounter == 9) {
      c.halfCycleCounter = 0;
      c.pulseAmplitude = amplitude;
    } else if (c.halfCycleCounter < 5) {
      c.pulseAmplitude = amplitude;
    }
  } else if (c.halfCycleCounter % 2 == 1) {
    ++c.halfCycleCounter;
  }
}

int fractalFace(int halfCycleCounter) {
  if (halfCycleCounter == 1) return 1;
  if (halfCycleCounter == 3) return 2;
  return 0;
}

void fractalDisplacement(int counter, float u, float out[3]) {
  switch (counter) {
    case 0:
      out[0] = 0.4f, out[1] = -0.1f, out[2] = 0.1f;
      break;
    case 1:
      out[0] = 0.4f - 0.3f * u, out[1] = 0.45f * u - 0.1f, out[2] = 0.1f;
      break;
    case 2:
      out[0] = 0.1f, out[1] = 0.35f, out[2] = 0.1f;
      break;
    case 3:
      out[0] = 0.1f + 0.4f * u, out[1] = 0.35f - 0.25f * u, out[2] = 0.1f - 0.2f * u;
      break;
    default:
      out[0] = 0.5f, out[1] = 0.1f, out[2] = -0.1f;
      break;
  }
}

float fractalCrossfadeWeight(float u) {
  const float v = 0.2f / (0.501f - 0.5f * std::cos((u - 0.5f) * 6.28318f + kMathPi));
  return std::min(v, 1.0f);
}

void fractalRootTriangle(float T, FractalTriangle& t) {
  static const float kRoot[6] = {-185.6f, 0.0f, 121.6f, -153.6f, 121.6f, 153.6f};
  t.centroid[0] = t.centroid[1] = 0;
  for (int i = 0; i < 3; ++i) {
    Vector3 v(kRoot[2 * i] / 256.0f, kRoot[2 * i + 1] / 256.0f, 0);
    v.rotateZ(std::cos(0.2f * (0.32f * float(i) + T)));
    t.p[2 * i] = v.x;
    t.p[2 * i + 1] = v.y;
    t.centroid[0] += v.x / 3.0f;
    t.centroid[1] += v.y / 3.0f;
  }

  // Seeded afresh every frame, so the colours never change.
  CrtRandom random(2141);
  float r[9];
  for (float& value : r) value = crtUnit(random);
  const float colours[9] = {r[0], r[1] - 0.2f, r[2], r[3], r[4] + 0.2f, r[5], r[6], r[7], r[8]};
  std::memcpy(t.colour, colours, sizeof colours);

  static const float kScales[8] = {1.0f, 1.0f, 1.3f, 1.0f, 1.2f, 1.2f, 0.96f, 0.96f};
  std::memcpy(t.scale, kScales, sizeof kScales);
  const float s = std::sin(0.031421f * T) * std::sin(0.231f * T);
  t.angle[0] = -1.5f * std::sin(0.1f * T);
  t.angle[1] = 5.0f * std::sin(0.1f * T);
  t.angle[2] = 0.5f * s;
  t.angle[3] = -0.5f * s;
  std::fill(t.offset, t.offset + 8, 0.0f);
}

void setFractalOffsets(FractalTriangle& t, float T, float amp) {
  t.offset[0] = amp * std::cos(T);
  t.offset[1] = amp * std::sin(T);
  t.offset[2] = amp * std::cos(T + 10.471966666666667f);
  t.offset[3] = amp * std::sin(T + 10.471966666666667f);
  t.offset[4] = amp * std::cos(T + 20.943933333333334f);
  t.offset[5] = amp * std::sin(T + 20.943933333333334f);
  t.offset[6] = amp * std::cos(T + 4.188786666666666f);
  t.offset[7] = 0;
}

void drawTriangleOutline(const FractalTriangle& t, FractalLineBatch& batch) {
  if (batch.leafCount >= kFractalLeafCount) return;
  static const int kEnds[6] = {0, 1, 1, 2, 2, 0};  // p0-p1, p1-p2, p2-p0
  Vertex* out = batch.vertices + batch.leafCount * 6;
  for (int e : kEnds) {
    *out++ = Vertex{t.p[2 * e], t.p[2 * e + 1], -1.0f, t.colour[3 * e], t.colour[3 * e + 1],
                    t.colour[3 * e + 2], kFractalLineAlpha, 0.0f, 0.0f};
  }
  ++batch.leafCount;
}

void subdivideTriangle(int depth, FractalTriangle t, float a, float b, float c,
                       FractalLineBatch& batch) {
  while (depth >= 1) {
    const float* p0 = t.p;
    const float* p1 = t.p + 2;
    const float* p2 = t.p + 4;
    const float cx = t.centroid[0];
    const float cy = t.centroid[1];
    const float m02[2] = {(p0[0] + p2[0]) / 2 + a * (p1[0] - cx), (p0[1] + p2[1]) / 2 + a * (p1[1] - cy)};
    const float m01[2] = {(p0[0] + p1[0]) / 2 + b * (p2[0] - cx), (p0[1] + p1[1]) / 2 + b * (p2[1] - cy)};
    const float m12[2] = {(p1[0] + p2[0]) / 2 + c * (p0[0] - cx), (p1[1] + p2[1]) / 2 + c * (p0[1] - cy)};

    const float* c0 = t.colour;
    const float* c1 = t.colour + 3;
    const float* c2 = t.colour + 6;
    float k02[3], k01[3], k12[3];
    for (int j = 0; j < 3; ++j) {
      const float mean = (c0[j] + c1[j] + c2[j]) / 3.0f;
      k02[j] = (c0[j] + c2[j]) / 2 + (c1[j] - mean);
      k01[j] = (c0[j] + c1[j]) / 2 + (c2[j] - mean);
      k12[j] = (c1[j] + c2[j]) / 2 + (c0[j] - mean);
    }

    const FractalTriangle childA = makeChild(t, 0, p0, m01, m02, c0, k01, k02);
    const FractalTriangle childB = makeChild(t, 1, m01, p1, m12, k01, c1, k12);
    const FractalTriangle childC = makeChild(t, 2, m02, m12, p2, k02, k12, c2);
    const FractalTriangle childD = makeChild(t, 3, m02, m01, m12, k02, k01, k12);
    subdivideTriangle(depth - 1, childA, a, b, c, batch);
    subdivideTriangle(depth - 1, childB, a, b, c, batch);
    subdivideTriangle(depth - 1, childC, a, b, c, batch);
    t = childD;
    --depth;
  }
  drawTriangleOutline(t, batch);
}
