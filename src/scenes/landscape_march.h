// The landscape's height-field march, apart from GL: for each screen column a
// ray walks over the height function with geometrically growing steps, and
// every step that climbs above what the column already shows becomes one
// strip (a quad from the previous column top up to the new row).
#pragma once

#include <cmath>

#include "math/vector3.h"
#include "software/terrain_strip.h"

constexpr float kTerrainFieldOfView = 1.570795f;  // across the 512 columns
constexpr float kTerrainFirstStep = 2.0f;
constexpr float kTerrainStepGrowth = 1.04f;
constexpr float kTerrainMaxDistance = 1536.0f;
constexpr int kTerrainTopRow = 255;

// The height term H1 + 4096 C - 25000 at ground point (x, y); always
// negative, since the camera flies above the ground.
inline float terrainHeightTerm(float x, float y) {
  const float c = std::sin(0.03f * y) + std::cos(0.025f * x);
  const float theta = 0.02f * (x + 200.0f * std::sin(0.001f * y) * std::sin(0.005f * y));
  const float h1 = (theta > 0.0f && theta < 6.28318f) ? 16000.0f * std::cos(theta) : 16000.0f;
  return h1 + 4096.0f * c - 25000.0f;
}

// The camera at scene time T (ms): y = -0.084 T, x = 100 + 50 sin(0.005 y).
Vector3 terrainCameraAt(float sceneMs);

// Heading of the centre column from the camera's (unit) forward direction.
float terrainHeading(const Vector3& forward);

// Direction angle of column i: the field of view centred on the heading.
inline float terrainColumnAngle(float heading, int column) {
  return heading - kTerrainFieldOfView * 0.5f + column * (kTerrainFieldOfView / 512.0f);
}

// Distance tint and depth of a strip at distance t.
void terrainStripShade(float t, TerrainStrip& strip);

// Marches one column from `eye` along `angle` over `height(x, y)` and writes
// its strips; returns how many. Rows are truncated towards zero; the first
// sample (t = 0) draws nothing; rows at or below 0 only raise the column top.
template <class Height>
int marchTerrainColumn(const Vector3& eye, float angle, Height height,
                       TerrainStrip* strips) {
  float stepX = kTerrainFirstStep * std::cos(angle);
  float stepY = kTerrainFirstStep * std::sin(angle);
  float stepLength = kTerrainFirstStep;
  float px = eye.x, py = eye.y;
  float qx = px, qy = py;
  float t = 0.0f;
  int top = -512;
  int count = 0;
  while (t < kTerrainMaxDistance) {
    if (t != 0.0f) {
      const int row = int(height(px, py) / t + 200.0f);
      if (row > top) {
        if (row <= 0) {
          top = row;
        } else {
          TerrainStrip& s = strips[count++];
          s.row = row < kTerrainTopRow ? row : kTerrainTopRow;
          s.top = top;
          terrainStripShade(t, s);
          s.nearS = 0.004f * px;
          s.nearT = 0.004f * py;
          s.farS = 0.004f * qx;
          s.farT = 0.004f * qy;
          top = s.row;
          // Nothing can rise above the top row, so the rest of the column
          // would only add empty strips.
          if (top == kTerrainTopRow || count == kTerrainMaxStrips) break;
        }
      }
    }
    qx = px;
    qy = py;
    stepX *= kTerrainStepGrowth;
    stepY *= kTerrainStepGrowth;
    stepLength *= kTerrainStepGrowth;
    t += stepLength;
    px += stepX;
    py += stepY;
  }
  return count;
}
