#include "math/two_joint_ik.h"

#include <algorithm>
#include <cmath>

#include "math/time_window.h"

void solveTwoJoint(float x, float y, float upperLength, float lowerLength,
                   float& elbowAngle, float& shoulderAngle) {
  const float d = std::sqrt(x * x + y * y);
  const float reach = upperLength + lowerLength;
  if (d > reach) {
    x = x * reach / d;
    y = y * reach / d;
  }

  float c = (x * x + y * y - upperLength * upperLength -
             lowerLength * lowerLength) /
            (2.0f * upperLength * lowerLength);
  // Rounding (or a target inside the inner radius) can push the cosine just
  // outside [-1, 1]; clamp so the chain is straight or fully folded.
  c = std::max(-1.0f, std::min(1.0f, c));
  elbowAngle = std::acos(c);
  const float elbow = elbowAngle;

  const float k1 = upperLength + lowerLength * std::cos(elbow);
  const float k2 = lowerLength * std::sin(elbow);
  shoulderAngle = angleOf(y * k1 - x * k2, x * k1 + y * k2);
}
