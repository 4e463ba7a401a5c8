#include "effects/light_shafts.h"

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

void LightShafts::fillMask(int16_t value) {
  maskFullValue = value;
  for (int i = 0; i < cellCount; ++i) occlusionMask[i] = value;
}
