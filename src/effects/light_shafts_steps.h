// The stages of LightShafts::drawShafts, separate so each can be checked.
#pragma once

#include "effects/light_shafts.h"

// projectedX/Y and effectiveIntensity of the light at `position` seen by `camera`.
void projectShafts(const LightShafts& light, const ViewCamera& camera, const Vector3& position,
                   float visibleFlare, ShaftStep& step);

// Advances the noise clock by deltaMs at speed (nothing when deltaMs <= 0),
// wrapping its whole part modulo 255, and returns the columns.
NoiseColumns advanceNoiseClock(float& clock, int32_t deltaMs, float speed);

// Three passes of the 3x3 smoothing filter over the mask, then the zeroed
// first and last rows and the three-column ramps on both sides.
void smoothOcclusionMask(LightShafts& light);

// Masked glow into shaftImage and coreImage, around (sx, sy) in 1/256 cells.
void buildGlowImage(LightShafts& light, int32_t sx, int32_t sy, const NoiseColumns& noise);

// The zoom passes: smears shaftImage towards the light.
void runZoomPasses(LightShafts& light, int32_t sx, int32_t sy);

// Palette index of one cell after P passes, by the light's tone mode.
int32_t toneIndex(const LightShafts& light, int32_t cell, int32_t core, int32_t passes);

// Cells of rgbImage that are not black: columns x0..x1, rows y0..y1
// (inclusive); empty when x1 < x0.
struct LitBox {
  int32_t x0, y0, x1, y1;
};

// shaftImage (with coreImage) through the palette into rgbImage.
LitBox toneMapShafts(LightShafts& light);

// The part of the full-band quad that can receive light from the box: the
// box grown by one texel for the linear filter. Texture and band
// coordinates as the full quad has them there.
struct ShaftQuad {
  float s0, t0, s1, t1;  // texture coordinates
  float x0, y0, x1, y1;  // band coordinates
};
ShaftQuad shaftQuadFor(const LightShafts& light, const LitBox& box);
