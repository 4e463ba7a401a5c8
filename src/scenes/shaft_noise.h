// The shafts' noise clock as a frame's advance moves it, apart from drawing.
#pragma once

#include "math/vector3.h"
#include "math/view_camera.h"

struct LightShafts;

// Moves the noise clock by deltaMs as a drawn frame of `light` does when it
// tests no flare: where the light at `position` shows to `camera` (as the
// drawn frame will see it). That frame then draws with noiseDeltaMs 0,
// reading the clock.
void advanceShaftNoise(const LightShafts& light, const ViewCamera& camera,
                       const Vector3& position, int deltaMs, float& noiseClock);
