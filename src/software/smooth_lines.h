// Smooth one-pixel lines blended onto an RGBA picture on the CPU, for batches
// of thousands of short lines, whose per-primitive setup dominates a software
// GL. Coverage follows Mesa's software rasteriser: one minus the distance
// from the line across it, times how much of a one-pixel span about the
// pixel centre the segment overlaps along it. The colour, its alpha scaled by
// coverage, is added as a (source alpha, one) blend does in an 8-bit
// framebuffer.
#pragma once

#include <cstdint>

#include "software/pass_shapes.h"

// Lines land in the picture where their LinePlacement puts them.

// Lines from pairs of vertices of `floatsPerVertex` floats: x, y, z, r, g, b,
// a first. Colours are clamped to [0, 1] per vertex and interpolated along
// the line lengthened by half a pixel at each end, as the rasteriser's
// widened quad does; lines are drawn in order, each rounded into the picture.
void blendSmoothLines(const float* vertices, int floatsPerVertex, int lineCount,
                      const LinePlacement& placement, uint8_t* rgba, int width, int height);
