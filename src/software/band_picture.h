// The band every software pass paints: rows 64..320 of the 512 x 384 scene
// viewport at the window's origin, under the host's orthographic projection
// (x -256..256, y -192..192). Pictures of it are RGBA, row 0 at the bottom;
// putting one into the frame 1:1 is how the passes hand results to GL.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kBandWidth = 512;
constexpr int kBandHeight = 256;
constexpr size_t kBandBytes = size_t(kBandWidth) * kBandHeight * 4;
