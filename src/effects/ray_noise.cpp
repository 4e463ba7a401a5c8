#include "effects/ray_noise.h"

#include <cmath>

RayNoise makeRayNoise(const RayNoiseShape& shape) {
  const int count = shape.count;
  std::vector<float> amp(count), freq(count), phase(count);
  for (int i = 0; i < count; ++i) {
    const float f = float(i);
    amp[i] = (std::sin(std::cos(100.0f * f) * 50.0f + 200.0f * f) + std::cos(4.2f * f)) * 0.5f *
             shape.amplitude / float(count);
    const float sign = (i & 1) ? -1.0f : 1.0f;
    freq[i] = sign * float((i % shape.modulus) + 1) * float(shape.cycles) * 6.28318f;
    phase[i] = (std::sin(52.3f * f + 0.51f) + std::cos(234.2f * f - 0.354f)) * -0.8f;
  }
  auto table = std::make_shared<std::vector<int32_t>>(256 * 256);
  int32_t* cells = table->data();
  const float low = float(shape.minValue), high = float(shape.maxValue);
  for (int c = 0; c < 256; ++c) {
    for (int r = 0; r < 256; ++r) {
      float s = 0.0f;
      for (int i = 0; i < count; ++i)
        s += amp[i] * std::sin(freq[i] * float(r) * 0.00390625f + phase[i] +
                               float(c) * 0.0078125f * 3.14159f);
      float value = 256.0f * s + 256.0f;
      if (value < low) value = low;
      if (value > high) value = high;
      cells[r * 256 + c] = int32_t(value);
    }
  }
  return table;
}

RayNoise RayNoiseTables::get(const RayNoiseShape& shape) {
  for (auto& entry : made) {
    if (!(entry.first == shape)) continue;
    if (!entry.second) entry.second = makeRayNoise(shape);
    return entry.second;
  }
  made.emplace_back(shape, makeRayNoise(shape));
  return made.back().second;
}
