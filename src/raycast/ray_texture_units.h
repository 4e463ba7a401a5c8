// Drawing the ray grid's quads with their textures on several units at once.
// A software rasteriser copies its whole sampler state into each frame on
// every texture change, and the grid changes texture thousands of times a
// frame (glow, surface, mirror bounce). With the textures of a frame bound to
// units 0..kRayTextureUnits-1 once, a fragment program picks each quad's
// unit by a per-vertex index and adds its texel to the colour as the
// fixed-function GL_ADD environment does, so the quads go in one run.
#pragma once

#include <GL/gl.h>

constexpr int kRayTextureUnits = 8;

// The program reading units 0..units-1 (1..kRayTextureUnits): a software
// rasteriser evaluates every branch, so each unit costs a texel read per
// fragment. Compiled on first use in the current context; 0 where the
// context has no shaders or it does not compile.
GLuint rayTextureUnitProgram(int units);

// True when the fixed-function state the quads are drawn under is what the
// program reproduces: 2D texturing on unit 0, GL_ADD, no fog, no colour
// sum, no program of the caller's.
bool rayTextureUnitsFitState();
