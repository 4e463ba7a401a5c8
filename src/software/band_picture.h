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

// How a picture meets the frame: replacing it, replacing it only where the
// picture's alpha is not 0, or added to it, saturating.
enum class BandMode { kReplace, kKeyed, kAdd };

// Draws a band picture over the band pixel for pixel; GL state is left as
// it was.
void drawBandPicture(const uint8_t* rgba, BandMode mode);
