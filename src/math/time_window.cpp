#include "math/time_window.h"

#include <algorithm>
#include <cmath>

#include "math/vector3.h"

float TimeWindow::rise(float t) const {
  if (t <= start) return 0.0f;
  if (t > start + length) return 1.0f;
  return (t - start) / length;
}

float TimeWindow::fall(float t) const {
  if (t <= start) return 1.0f;
  if (t > start + length) return 0.0f;
  return 1.0f - (t - start) / length;
}

float TimeWindow::easeIn(float t, float frequency, float exponent) const {
  if (t <= start) return 0.0f;
  if (t > start + span * length) return 1.0f;
  const float u = (t - start) / length;
  const float v = std::pow(u, exponent) *
                  (1.0f - std::cos(kMathPi * frequency * u)) * 0.5f;
  return std::min(1.0f, v);
}

float TimeWindow::ringOut(float t, float frequency, float exponent) const {
  if (t <= start) return 1.0f;
  if (t > start + span * length) return 0.0f;
  const float u = (t - start) / length;
  const float v = std::pow(1.0f - u, exponent) *
                  (1.0f + std::cos(kMathPi * frequency * u)) * 0.5f;
  return std::min(1.0f, v);
}

float angleOf(float a, float b) {
  if (b > 0.0f) return std::atan(a / b);
  if (b < 0.0f) return std::atan(a / b) + kMathPi;
  return a > 0.0f ? 1.570795f : -1.570795f;
}

float texS(float x) { return x * 0.001953125f; }

float texT(float y) { return 1.0f - y * 0.00390625f; }

float screenX(float x) { return x - 256.0f; }

float screenY(float y) { return 128.0f - y; }

float saturate255(float x, float rate) {
  return 255.0f * (1.0f - std::exp(-x * rate));
}
