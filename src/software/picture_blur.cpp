#include "software/picture_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "software/vector_code.h"

namespace {

constexpr int kChannels = 4;

// Two bilinear samples at -a and +a texels from a texel, summed, in terms of
// texels: near * (T[-nearOffset] + T[+nearOffset]) + far * (T[-farOffset] +
// T[+farOffset]), farOffset = nearOffset + 1 before the wrap.
struct TapPair {
  int nearOffset;
  int farOffset;
  float near;
  float far;
};

// Texture filtering weighs neighbours with 8 fractional bits; offsets reduce
// modulo the size, which a repeating picture cannot tell apart.
TapPair tapPair(float spread, int size) {
  double a = std::fabs(double(spread)) * size;
  if (!std::isfinite(a)) a = 0.0;
  double whole = std::floor(a);
  double fraction = std::round((a - whole) * 256.0) / 256.0;
  if (fraction >= 1.0) {
    whole += 1.0;
    fraction = 0.0;
  }
  const int nearOffset = int(std::fmod(whole, double(size)));
  return {nearOffset, (nearOffset + 1) % size, float(1.0 - fraction), float(fraction)};
}

inline int wrapRow(int y, int height) {
  y %= height;
  return y < 0 ? y + height : y;
}

// The two filtering loops, kept free of aliasing so they vectorise, and built
// for AVX2 too where the build carries vector code.
LUMIVAARA_VECTOR_CLONES
void filterDown(const uint8_t* __restrict nearBelow, const uint8_t* __restrict nearAbove,
                const uint8_t* __restrict farBelow, const uint8_t* __restrict farAbove,
                float nearWeight, float farWeight, float* __restrict row, int length) {
  for (int e = 0; e < length; ++e)
    row[e] = nearWeight * (float(nearBelow[e]) + float(nearAbove[e])) +
             farWeight * (float(farBelow[e]) + float(farAbove[e]));
}

LUMIVAARA_VECTOR_CLONES
void filterAcross(const float* __restrict row, int nearH, int farH, float nearWeight,
                  float farWeight, uint8_t* __restrict out, int length) {
  for (int e = 0; e < length; ++e) {
    float v = nearWeight * (row[e - nearH] + row[e + nearH]) +
              farWeight * (row[e - farH] + row[e + farH]) + 0.5f;
    v = v < 255.0f ? v : 255.0f;
    out[e] = uint8_t(int(v));
  }
}

}  // namespace

void blurRepeatingPicture(const uint8_t* src, uint8_t* dst, int width, int height,
                          float spreadS, float spreadT, float tapWeight, std::vector<float>& scratch) {
  if (width <= 0 || height <= 0) return;
  const TapPair across = tapPair(spreadS, width);
  const TapPair down = tapPair(spreadT, height);
  // The tap weight folds into the vertical weights.
  const float nearV = down.near * tapWeight;
  const float farV = down.far * tapWeight;

  const int rowLength = width * kChannels;
  const int padLength = std::max(across.farOffset, across.nearOffset) * kChannels;
  // One vertically filtered row, padded for the wrap.
  scratch.resize(size_t(rowLength + 2 * padLength));
  float* const padded = scratch.data();
  float* const row = padded + padLength;
  const int nearH = across.nearOffset * kChannels;
  const int farH = across.farOffset * kChannels;

  const auto srcRow = [&](int y) { return src + size_t(wrapRow(y, height)) * rowLength; };
  for (int y = 0; y < height; ++y) {
    filterDown(srcRow(y - down.nearOffset), srcRow(y + down.nearOffset), srcRow(y - down.farOffset),
               srcRow(y + down.farOffset), nearV, farV, row, rowLength);
    // The row repeats: its last texels pad the left, its first the right.
    for (int e = 0; e < padLength; ++e) {
      padded[e] = row[rowLength - padLength + e];
      row[rowLength + e] = row[e];
    }
    filterAcross(row, nearH, farH, across.near, across.far, dst + size_t(y) * rowLength,
                 rowLength);
  }
}

void keyedTapColumns(int width, float spreadS, std::vector<int>& columns) {
  if (width <= 0) return;
  const TapPair across = tapPair(spreadS, width);
  // A tap at +-a reads the columns at +-near and +-far: wrapped byte
  // offsets, [sign][i][x].
  const int dx[2][2] = {{-across.nearOffset, -across.farOffset},
                        {across.nearOffset, across.farOffset}};
  columns.resize(size_t(4) * width);
  for (int sx = 0; sx < 2; ++sx)
    for (int i = 0; i < 2; ++i)
      for (int x = 0; x < width; ++x) {
        const int c = (x + dx[sx][i]) % width;
        columns[size_t(sx * 2 + i) * width + x] = (c < 0 ? c + width : c) * kChannels;
      }
}

void blurKeyedRows(const uint8_t* src, uint8_t* dst, int width, int height, int rowBegin,
                   int rowEnd, float spreadS, float spreadT, float tapWeight,
                   const float (&tint)[3], const std::vector<int>& columns) {
  if (width <= 0 || height <= 0 || columns.size() < size_t(4) * width) return;
  const TapPair across = tapPair(spreadS, width);
  const TapPair down = tapPair(spreadT, height);
  // A tap at +-a weighs the texels at +-near (1 - f) and +-far (f): per
  // sign, two columns and two rows with their weights.
  const int dy[2][2] = {{-down.nearOffset, -down.farOffset}, {down.nearOffset, down.farOffset}};
  const float wx[2] = {across.near, across.far};
  const float wy[2] = {down.near, down.far};
  float scale[3];
  for (int c = 0; c < 3; ++c) scale[c] = tint[c] * tapWeight / 255.0f;
  for (int y = rowBegin; y < rowEnd; ++y) {
    const uint8_t* rows[2][2];
    for (int sy = 0; sy < 2; ++sy)
      for (int j = 0; j < 2; ++j)
        rows[sy][j] = src + size_t(wrapRow(y + dy[sy][j], height)) * width * kChannels;
    uint8_t* out = dst + size_t(y) * width * kChannels;
    for (int x = 0; x < width; ++x, out += kChannels) {
      // Alpha weighs each tap's filtered colour, as texturing then blending does.
      float sum[3] = {0, 0, 0};
      for (int sy = 0; sy < 2; ++sy) {
        for (int sx = 0; sx < 2; ++sx) {
          float colour[3] = {0, 0, 0}, alpha = 0;
          for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 2; ++i) {
              const uint8_t* t = rows[sy][j] + columns[size_t(sx * 2 + i) * width + x];
              const float w = wy[j] * wx[i];
              colour[0] += w * float(t[0]);
              colour[1] += w * float(t[1]);
              colour[2] += w * float(t[2]);
              alpha += w * float(t[3]);
            }
          }
          for (int c = 0; c < 3; ++c) sum[c] += colour[c] * alpha;
        }
      }
      for (int c = 0; c < 3; ++c) {
        const float v = sum[c] * scale[c] + 0.5f;
        out[c] = uint8_t(int(std::min(std::max(v, 0.0f), 255.0f)));
      }
      out[3] = 255;
    }
  }
}

void tintPicture(uint8_t* rgba, size_t pixels, const float (&tint)[3]) {
  // Every level's tinted value, looked up rather than multiplied per texel.
  uint8_t levels[3][256];
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) {
      const float t = float(v) * tint[c] + 0.5f;
      levels[c][v] = uint8_t(int(std::min(std::max(t, 0.0f), 255.0f)));
    }
  for (size_t i = 0; i < pixels; ++i, rgba += kChannels)
    for (int c = 0; c < 3; ++c) rgba[c] = levels[c][rgba[c]];
}
