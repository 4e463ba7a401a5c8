// Per-channel difference of two RGBA pictures of the same size, alpha left
// out: how far a CPU painter lands from the rasteriser it stands in for.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

struct Difference {
  int worst = 0;
  double mean = 0;
};

inline Difference compareRgb(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  Difference d;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (i % 4 == 3) continue;
    const int e = std::abs(int(a[i]) - int(b[i]));
    d.worst = std::max(d.worst, e);
    sum += e;
  }
  d.mean = sum / double(a.size() * 3 / 4);
  return d;
}
