// The spikes scene's arithmetic, apart from GL: clock, shake, growth,
// per-vertex deformation, camera and flight parameter.
#include <algorithm>
#include <cmath>

#include "math/crt_random.h"
#include "math/spline_path.h"
#include "scenes/spikes.h"

namespace {

const float kFlightPoints[9][3] = {
    {280, 10, 800}, {220, 30, 740}, {150, 44, 600}, {280, 34, 500},  {350, 3, 450},
    {420, 3, -230}, {430, 0, -360}, {120, 0, -500}, {1400, 20, -800},
};
const float kLightPoints[9][3] = {
    {-20, 10, -25}, {20, 7, -15},  {-20, 27, 25}, {30, 17, -25}, {-30, 15, 15},
    {20, -15, -25}, {-30, 12, -5}, {20, 21, 5},   {-14, 32, 25},
};

}  // namespace

void advanceSpikeClock(SpikeState& s, const SpikeScene& scene, int deltaMs) {
  if (deltaMs < 3000) s.sceneMs += float(deltaMs);
  s.seconds = s.sceneMs * 0.001f;
  // The light keeps to the raw delta, stall or not, along the closed track.
  const SplinePath& track = scene.lightTrack;
  if (track.count == 0) return;
  track.advance(s.lightTravel, 15.0f, float(deltaMs), s.lightPosition);
}

void buildSpikePaths(SpikeScene& s) {
  s.flightPath = SplinePath(10, true);
  SplinePath& a = s.flightPath;
  for (const float* p : kFlightPoints) a.addPoint(p[0], p[1], p[2]);
  a.computeTangents(5, true);
  a.computeSampleCount();

  s.lightPath = SplinePath(100, true);
  SplinePath& b = s.lightPath;
  for (const float* p : kLightPoints) b.addPoint(p[0], p[1], p[2]);
  b.computeTangents(29, true);
  b.computeSampleCount();
  s.lightTrack = SplinePath(b.sampleCount, true);
  b.resampleInto(s.lightTrack);
}

void fillShakeTable(SpikeScene& s) {
  CrtRandom random(12);
  for (Vector3& e : s.shakeTable) {
    e.x = float(random.next()) / 32768.0f;
    e.y = float(random.next()) / 32768.0f;
    e.z = float(random.next()) / 32768.0f;
  }
}

int shakeIndex(float t, int axis) {
  return int(float(axis + 1) * t * 66.15f) % kShakeEntries;
}

float spikeShake(const SpikeScene& s, float t, int spike, int axis) {
  const int e = shakeIndex(t, axis);
  float sum = 0;
  for (int k = 0; k < 4; ++k) {
    const int i = ((e - k) % kShakeEntries + kShakeEntries) % kShakeEntries;
    const Vector3& entry = s.shakeTable[i];
    sum += spike == 0 ? entry.x : spike == 1 ? entry.y : entry.z;
  }
  return s.shakeWindow.easeIn(t, 7.0f, 0.8f) * (sum / 4.0f) * 5.0f;
}

float spikeGrowthExponent(const SpikeScene& s, int i, float S) {
  const float start = s.spikeStart[i];
  const float length = s.spikeLength[i];
  if (S < start) return -1.0f;
  if (S >= start + length) return 6.0f;
  const TimeWindow w2{start, length, 5};
  const TimeWindow w3{start, 0.3f * length};
  // In double, so the two constants cancel to exactly -1 at the start.
  return float(9.0 * (double(w2.easeIn(S, 11.0f, 1.2f)) - 0.2857142857142857) +
               1.5714285714285716 * double(w3.fall(S)));
}

float spikePush(const SpikeScene& s, int i, float S) {
  const TimeWindow w2{s.spikeStart[i], s.spikeLength[i], 5};
  const float rise = w2.rise(S);
  float p = 3.5f * rise * rise * rise;
  if (S > kSpikeShakeStart) {
    const TimeWindow w1{32, 7, 7};
    p += 4.0f * w1.easeIn(S, 3.0f, 0.5f);
  }
  return p;
}

void deformSpikeVertex(Vector3& v, float g, float p, float a, float b) {
  const float r = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  // A vertex at the centre stays there; the power of its zero distance
  // would make it infinite while g is negative.
  if (r > 0.0f) {
    const float k = 7.5f * std::pow(r, 1.1f * g) + p;
    v.x *= k;
    v.y *= k;
    v.z *= k;
  }
  const float q = std::sqrt(0.03f * (v.x * v.x + v.y * v.y + v.z * v.z));
  const float sa = std::sin(a);
  v.rotateZ(0.9f * a * sa / (q + 1.0f));
  v.rotateX(0.2f * sa * (b - a) / (q + 0.5f));
  v.rotateY(0.24f * a * std::sin(a + 1.4f) / (q + 1.0f));
}

Vector3 spikeCameraPosition(const SpikeScene& s, float ms) {
  const float zoom = s.zoomWindow.fall(ms * 0.001f);
  const float Z = 60.0f * std::pow(zoom, 1.5f);
  const Vector3 p(std::cos(0.0003f * ms + 0.5f) * (30.0f - 0.5f * Z),
                  15.0f * std::sin(0.00025f * ms) * std::cos(0.00031f * ms),
                  Z + std::sin(-0.0003f * ms) * (35.0f - 0.75f * Z));
  return p * (2.5f * s.pullWindow.easeIn(ms * 0.001f, 3.0f, 0.75f) + 1.0f);
}

ViewCamera spikeCamera(const SpikeScene& s, float ms) {
  ViewCamera camera;
  camera.position = spikeCameraPosition(s, ms);
  camera.lookAt(Vector3(-10, 0, 0));
  return camera;
}

float spikeFlightParameter(float S) {
  const TimeWindow w1{32, 17};
  return 0.92f * w1.rise(S) + 0.08f;
}

float spikeLookAheadParameter(float f, int k) { return std::min(f + 0.003f * float(k), 0.999f); }
