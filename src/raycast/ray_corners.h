// Whether a block's four corner samples are alike enough to be drawn as one
// quad: the refinement's leaf test, shared by the grid and the points traced
// ahead.
#pragma once

#include "raycast/ray_world.h"

// Leaf test of traceBlock (w <= 8 is checked by the caller): equal
// hitObject, shadowCount and bounceObject at all four corners, and
// |delta glow| <= 0.4 and |delta shade| <= 0.4 for all six pairs (double
// precision comparison).
bool rayCornersAgree(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                     const RaySample& c3);
