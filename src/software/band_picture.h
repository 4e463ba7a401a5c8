// A CPU-painted picture of the band put into the frame 1:1: how the software
// passes hand their results back to GL.
#pragma once

#include <cstdint>

// Draws a 512 x 256 RGBA picture (row 0 at the bottom) over the band, rows
// 64..320 of the frame, pixel for pixel. With `keyed`, pixels whose alpha
// is 0 keep what the frame holds. GL state is left as it was.
void drawBandPicture(const uint8_t* rgba, bool keyed);
// The same picture added to what the band holds, saturating.
void addBandPicture(const uint8_t* rgba);
