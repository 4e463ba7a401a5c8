// The scene region and the letterboxed screen: viewports, the default GL
// state and the final pass that shows the band.
#pragma once

struct Demo;
struct Gfx;

// The fixed 512 x 384 scene region with its orthographic projection.
void setSceneRegion();

// Records the client size and sets the scene region. A zero height
// (minimised window) changes nothing.
void setSceneViewport(Demo& demo, int width, int height);

void setDefaultGlState(Gfx& gfx);

// Creates the screen texture the final pass copies the band into.
void createScreenTexture(Demo& demo);

// The final pass: copies the band y 64..319 of the scene region into the
// screen texture, clears, blackens the client area outside the 4:3
// rectangle and shows the band across the rectangle's width and the middle
// two thirds of its height.
void presentBand(Demo& demo);
