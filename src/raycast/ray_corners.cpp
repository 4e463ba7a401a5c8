#include "raycast/ray_corners.h"

#include <cmath>

static bool agreeWithin(float a, float b) { return std::fabs(static_cast<double>(a - b)) <= 0.4; }

bool rayCornersAgree(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                     const RaySample& c3) {
  if (c0.hitObject != c1.hitObject || c0.hitObject != c2.hitObject ||
      c0.hitObject != c3.hitObject)
    return false;
  if (c0.shadowCount != c1.shadowCount || c0.shadowCount != c2.shadowCount ||
      c0.shadowCount != c3.shadowCount)
    return false;
  if (c0.bounceObject != c1.bounceObject || c0.bounceObject != c2.bounceObject ||
      c0.bounceObject != c3.bounceObject)
    return false;
  // Pairs (c0,c1), (c0,c2), (c0,c3), (c1,c3), (c1,c2), (c2,c3).
  return agreeWithin(c0.glow, c1.glow) && agreeWithin(c0.shade, c1.shade) && agreeWithin(c0.glow, c2.glow) &&
         agreeWithin(c0.shade, c2.shade) && agreeWithin(c0.glow, c3.glow) && agreeWithin(c0.shade, c3.shade) &&
         agreeWithin(c1.glow, c3.glow) && agreeWithin(c1.shade, c3.shade) && agreeWithin(c1.glow, c2.glow) &&
         agreeWithin(c1.shade, c2.shade) && agreeWithin(c2.glow, c3.glow) && agreeWithin(c2.shade, c3.shade);
}
