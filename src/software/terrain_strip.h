// One strip of the landscape's terrain as its march yields it and the
// software path paints it: a run of a column's pixels between two samples.
#pragma once

constexpr int kTerrainColumns = 512;
// Steps per column: 2.08 * 1.04^k sums past 1536 after 88 steps.
constexpr int kTerrainMaxStrips = 128;

struct TerrainStrip {
  int row;  // new column top, at most the band's top row
  int top;  // column top before this step; the strip spans top..row
  float depth;
  float red, green, blue;
  float nearS, nearT;  // texture at the new sample
  float farS, farT;    // texture at the previous sample
};
