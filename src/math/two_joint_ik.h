// Planar two-joint inverse kinematics for a chain of two segments rooted at
// the origin reaching for (x, y).
#pragma once

// Targets beyond upperLength + lowerLength are pulled onto the reach circle.
// elbowAngle: 0 for a straight chain, growing as the chain folds.
// shoulderAngle: direction of the upper segment, from +x towards +y.
// Both in radians. Targets nearer than |upperLength - lowerLength| have the
// acos argument clamped to [-1, 1] (fully folded).
void solveTwoJoint(float x, float y, float upperLength, float lowerLength,
                   float& elbowAngle, float& shoulderAngle);
