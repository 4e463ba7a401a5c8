#include "effects/light_shafts.h"

#include <GL/gl.h>

#include <cmath>

#include "math/time_window.h"
#include "platform/worker_pool.h"

// Interleaved parts of the start-up tables, for the helpers to share.
static constexpr int kTableParts = 8;

LightShafts::LightShafts(int gridWidth_, int gridHeight_, int tableWidth_, int tableHeight_,
                         float falloffRadius_, float falloffExponent_)
    : gridWidth(gridWidth_),
      gridHeight(gridHeight_),
      cellCount(gridWidth_ * gridHeight_),
      halfGridWidth(gridWidth_ / 2),
      halfGridHeight(gridHeight_ / 2),
      tableWidth(tableWidth_),
      tableHeight(tableHeight_),
      halfTableWidth(tableWidth_ / 2),
      halfTableHeight(tableHeight_ / 2),
      falloffRadius(falloffRadius_),
      falloffExponent(falloffExponent_) {
  storage_.assign(size_t(cellCount) * 4, 0);
  occlusionMask = storage_.data();
  scratch = occlusionMask + cellCount;
  shaftImage = scratch + cellCount;
  coreImage = shaftImage + cellCount;
  for (int i = 0; i < cellCount; ++i) occlusionMask[i] = 255;
  rgbImage.assign(size_t(gridWidth) * gridWidth * 3, 0);

  const size_t tableCells = size_t(tableWidth) * tableHeight;
  falloffTable.assign(tableCells, 0);
  angleTable.assign(tableCells, 0);
  ringTable.assign(tableCells, 0);
  paletteR.assign(65536, 255);
  paletteG.assign(65536, 255);
  paletteB.assign(65536, 255);

  const float hw = float(halfTableWidth);
  const float hh = float(halfTableHeight);
  // Two powers and an arctangent a cell: a large share of the start-up, so
  // the rows are spread over the helpers.
  runOnWorkers(kTableParts, [&](int part) {
    for (int k = part; k < tableHeight; k += kTableParts) {
      for (int l = 0; l < tableWidth; ++l) {
        const float x = (float(l) - hw) / hw;
        const float y = (float(k) - hh) / hh;
        const float rho = std::sqrt(x * x + y * y);
        float g = 0.2f / (std::pow(rho / falloffRadius, falloffExponent) + 1e-7f);
        if (g > 1.0f) g = 1.0f;
        const float rhoClamped = rho < 1.0f ? rho : 1.0f;
        const float f = rhoClamped > 0.0f ? 1.0f - rhoClamped : 1.0f;
        float q = 1.0f - f;
        if (q > 0.9f) q = (0.9f - q) * 15.0f + 1.0f;
        if (q < 0.0f) q = 0.0f;
        const size_t cell = size_t(k) * tableWidth + l;
        falloffTable[cell] = int32_t(f * g * 255.0f);
        ringTable[cell] = int32_t(std::pow(q, 0.75f) * 255.0f);
        angleTable[cell] = int32_t(angleOf(y, x) * 256.0f * 0.15915507752443828f) & 255;
      }
    }
  });

  GLuint name = 0;
  glGenTextures(1, &name);
  texture = name;
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, gridWidth, gridWidth, 0, GL_RGB, GL_UNSIGNED_BYTE,
               rgbImage.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

static uint8_t paletteByte(float channel, int index, int squarings) {
  float v = channel * float(index) * 0.00392156862745098f;
  for (int s = 0; s < squarings; ++s) v *= v;
  if (v < 0.0f) v = 0.0f;
  if (v > 1.0f) v = 1.0f;
  return uint8_t(v * 255.0f);
}

void LightShafts::setPalette(float r, float g, float b, int pr, int pg, int pb) {
  colour[0] = r;
  colour[1] = g;
  colour[2] = b;
  for (int i = 0; i < 256; ++i) {
    paletteR[i] = paletteByte(r, i, pr);
    paletteG[i] = paletteByte(g, i, pg);
    paletteB[i] = paletteByte(b, i, pb);
  }
}

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
  // count sines a cell, 65536 cells: spread over the helpers like the tables.
  runOnWorkers(kTableParts, [&](int part) {
    for (int c = part; c < 256; c += kTableParts) {
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
  });
  return table;
}

RayNoise RayNoiseTables::get(const RayNoiseShape& shape) {
  for (const auto& entry : made) {
    const RayNoiseShape& m = entry.first;
    if (m.count == shape.count && m.cycles == shape.cycles && m.modulus == shape.modulus &&
        m.minValue == shape.minValue && m.maxValue == shape.maxValue &&
        m.amplitude == shape.amplitude)
      return entry.second;
  }
  made.emplace_back(shape, makeRayNoise(shape));
  return made.back().second;
}

void LightShafts::fillMask(int16_t value) {
  maskFullValue = value;
  for (int i = 0; i < cellCount; ++i) occlusionMask[i] = value;
}
