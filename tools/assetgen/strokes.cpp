#include "strokes.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

void drawStroke(Picture& p, const Stroke& s) {
  constexpr int kSegments = 8;
  float px[kSegments + 1], py[kSegments + 1];
  px[0] = s.x;
  py[0] = s.y;
  const float step = s.length / kSegments;
  for (int k = 1; k <= kSegments; ++k) {
    const float a = s.angle + s.bend * (float(k) - 0.5f) / kSegments;
    px[k] = px[k - 1] + std::cos(a) * step;
    py[k] = py[k - 1] + std::sin(a) * step;
  }
  const float reach = std::max(s.width0, s.width1) * 0.5f + 1.0f;
  const int x0 = int(std::floor(*std::min_element(px, px + kSegments + 1) - reach));
  const int x1 = int(std::ceil(*std::max_element(px, px + kSegments + 1) + reach));
  const int y0 = int(std::floor(*std::min_element(py, py + kSegments + 1) - reach));
  const int y1 = int(std::ceil(*std::max_element(py, py + kSegments + 1) + reach));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
      float best = 0, bestT = 0;
      for (int k = 0; k < kSegments; ++k) {
        const float ex = px[k + 1] - px[k], ey = py[k + 1] - py[k];
        const float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? ((cx - px[k]) * ex + (cy - py[k]) * ey) / len2 : 0;
        t = clamp01(t);
        const float dx = cx - (px[k] + ex * t), dy = cy - (py[k] + ey * t);
        const float along = (float(k) + t) / kSegments;
        const float half = 0.5f * lerp(s.width0, s.width1, along);
        const float cover = clamp01(half + 0.5f - std::sqrt(dx * dx + dy * dy));
        if (cover > best) {
          best = cover;
          bestT = along;
        }
      }
      if (best <= 0) continue;
      Rgb& dst = p.wrapped(x, y);
      dst = mix(dst, mix(s.colour0, s.colour1, bestT), best * s.opacity);
    }
  }
}
