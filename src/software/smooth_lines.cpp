#include "software/smooth_lines.h"

#include <algorithm>
#include <cmath>

#include "math/colour_levels.h"
#include "platform/worker_pool.h"

namespace {

struct Line {
  float x0, y0;
  float ux, uy;  // unit direction
  float length;
  float colourScale;  // 1 / (length + 1)
  float colour0[4], colourStep[4];  // colour at t = colour0 + t * colourStep
};

// Where a thread draws: pixel columns [columns[0], columns[1]) and rows
// [rows[0], rows[1]) of an RGBA picture `width` pixels wide.
struct Target {
  uint8_t* rgba;
  int width;
  float columns[2], rows[2];
};

// Adds a fragment at (i, j) with the given along and across distances of its
// centre from the line's start, if the line covers it.
inline void blendFragment(const Line& l, float along, float across, int i, int j,
                          const Target& target) {
  // Along the line: how much of the pixel's one-pixel span [along - 0.5,
  // along + 0.5] the segment [0, length] overlaps.
  const float alongCoverage = std::min(std::min(along, l.length - along) + 0.5f, l.length);
  const float coverage = clamp01(1.0f - std::fabs(across)) * clamp01(alongCoverage);
  if (coverage <= 0.0f) return;
  // Colours run from end to end of the line lengthened by half a pixel each way.
  const float t = clamp01((along + 0.5f) * l.colourScale);
  const float alpha = (l.colour0[3] + l.colourStep[3] * t) * coverage;
  const int alphaLevel = int(alpha * 255.0f + 0.5f);
  uint8_t* p = target.rgba + (size_t(j) * target.width + i) * 4;
  for (int c = 0; c < 3; ++c) {
    const float v = l.colour0[c] + l.colourStep[c] * t;
    const int sum = p[c] + multiplyLevels(int(v * 255.0f + 0.5f), alphaLevel);
    p[c] = uint8_t(sum < 255 ? sum : 255);
  }
}

// The pixel index range [first, last] whose centres lie strictly between
// low and high, within pixels [limits[0], limits[1]); clamped before
// converting so far-off lines stay defined; empty when last < first.
inline void centresBetween(float low, float high, const float* limits, int& first, int& last) {
  first = int(std::min(std::max(std::ceil(low - 0.5f), limits[0]), limits[1]));
  last = int(std::min(std::max(std::floor(high - 0.5f), limits[0] - 1.0f), limits[1] - 1.0f));
}

// Walks the major axis pixel by pixel and visits the pixels whose centres
// lie within one pixel of the line across it, stepping the distances.
void drawLine(const Line& l, float x1, float y1, const Target& target) {
  const bool xMajor = std::fabs(l.ux) >= std::fabs(l.uy);
  const float a0 = xMajor ? l.x0 : l.y0;
  const float a1 = xMajor ? x1 : y1;
  const float b0 = xMajor ? l.y0 : l.x0;
  const float ua = xMajor ? l.ux : l.uy;  // direction along the major axis
  const float ub = xMajor ? l.uy : l.ux;
  const float slope = ub / ua;
  // Across-distance 1 is this far along the minor axis; a covered centre
  // lies at most `spill` beyond an end along the major axis.
  const float reach = 1.0f / std::fabs(ua);
  const float spill = 0.5f * std::fabs(ua) + std::fabs(ub);
  const float* major = xMajor ? target.columns : target.rows;
  const float* minor = xMajor ? target.rows : target.columns;
  int first, last;
  centresBetween(std::min(a0, a1) - spill, std::max(a0, a1) + spill, major, first, last);
  // Minor steps change along by ub and across by -ua (x-major) or +ua.
  const float acrossStep = xMajor ? -ua : ua;
  for (int m = first; m <= last; ++m) {
    const float rm = float(m) + 0.5f - a0;
    const float b = b0 + rm * slope;
    int low, high;
    centresBetween(b - reach, b + reach, minor, low, high);
    if (low > high) continue;
    const float rk = float(low) + 0.5f - b0;
    float along = rm * ua + rk * ub;
    float across = xMajor ? rm * ub - rk * ua : rk * ua - rm * ub;
    for (int k = low; k <= high; ++k, along += ub, across += acrossStep)
      blendFragment(l, along, across, xMajor ? m : k, xMajor ? k : m, target);
  }
}

void drawLines(const float* vertices, int floatsPerVertex, int lineCount,
               const LinePlacement& placement, const Target& target) {
  for (int n = 0; n < lineCount; ++n) {
    const float* v0 = vertices + size_t(2 * n) * floatsPerVertex;
    const float* v1 = v0 + floatsPerVertex;
    Line l;
    l.x0 = v0[0] * placement.scaleX + placement.offsetX;
    l.y0 = v0[1] * placement.scaleY + placement.offsetY;
    const float x1 = v1[0] * placement.scaleX + placement.offsetX;
    const float y1 = v1[1] * placement.scaleY + placement.offsetY;
    const float dx = x1 - l.x0, dy = y1 - l.y0;
    l.length = std::sqrt(dx * dx + dy * dy);
    if (!(l.length > 0.0f) || !std::isfinite(l.length)) continue;  // no direction to draw
    l.ux = dx / l.length;
    l.uy = dy / l.length;
    l.colourScale = 1.0f / (l.length + 1.0f);
    for (int c = 0; c < 4; ++c) {
      l.colour0[c] = clamp01(v0[3 + c]);
      l.colourStep[c] = clamp01(v1[3 + c]) - l.colour0[c];
    }
    drawLine(l, x1, y1, target);
  }
}

}  // namespace

void blendSmoothLines(const float* vertices, int floatsPerVertex, int lineCount,
                      const LinePlacement& placement, uint8_t* rgba, int width, int height) {
  if (width <= 0 || height <= 0) return;
  // Each worker draws every line into its own half of the rows, so each
  // pixel still takes its fragments in line order.
  const int split = height / 2;
  runOnWorkers(2, [&](int half) {
    const Target target = {rgba, width, {0.0f, float(width)},
                           {float(half == 0 ? 0 : split), float(half == 0 ? split : height)}};
    drawLines(vertices, floatsPerVertex, lineCount, placement, target);
  });
}
