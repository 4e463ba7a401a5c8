// A CPU-painted picture of the band put into the frame 1:1, for effects that
// draw on the CPU what a software rasteriser draws slowly.
#pragma once

#include <GL/gl.h>

#include <cstdint>

// Draws a 512 x 256 RGBA picture (row 0 at the bottom) over the band of the
// 512 x 384 scene viewport, texel for pixel. With `keyed`, pixels whose
// alpha is 0 keep what the frame holds. `texture` is the caller's name for
// the upload, made on first use (0) and again if it was deleted. GL state
// other than that name's contents is left as it was.
void drawBandPicture(const uint8_t* rgba, bool keyed, GLuint& texture);
// The same picture added to what the band holds, saturating.
void addBandPicture(const uint8_t* rgba, GLuint& texture);
