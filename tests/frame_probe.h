// Measures of a rendered output frame, for tests that check whole pictures.
#pragma once
#include <cstdlib>
#include <set>
#include <vector>

#include "gfx/gfx.h"
#include "host/offline_host.h"

struct Frame {
  std::vector<unsigned char> rgb;  // top row first
  double mean = 0;                 // mean channel value
  size_t colours = 0;              // distinct colours
};

// Reads the current width x height output.
inline Frame grab(Gfx& gfx, int width, int height) {
  Frame f;
  readOutputPixels(gfx, width, height, f.rgb);
  std::set<unsigned> distinct;
  double sum = 0;
  for (size_t i = 0; i + 2 < f.rgb.size(); i += 3) {
    sum += f.rgb[i] + f.rgb[i + 1] + f.rgb[i + 2];
    distinct.insert(unsigned(f.rgb[i]) << 16 | unsigned(f.rgb[i + 1]) << 8 | f.rgb[i + 2]);
  }
  f.mean = sum / double(f.rgb.size());
  f.colours = distinct.size();
  return f;
}

// Mean absolute difference of two frames of the same size.
inline double difference(const Frame& a, const Frame& b) {
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  return sum / double(a.rgb.size());
}

// Mean channel value of a rectangle of the output (top row 0).
inline double regionMean(const Frame& f, int width, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      for (int k = 0; k < 3; ++k) sum += f.rgb[(size_t(y) * width + x) * 3 + k];
  return sum / double((x1 - x0) * (y1 - y0) * 3);
}
