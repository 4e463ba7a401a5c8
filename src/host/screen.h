// The letterboxed screen: its size and the final pass that shows the band.
#pragma once

#include <vector>

struct Demo;
struct Gfx;

// Records the drawable's size. A zero height (minimised window) changes
// nothing.
void setScreenSize(Demo& demo, int width, int height);

// Creates the screen texture the final pass copies the band into.
void createScreenTexture(Demo& demo);

// The final pass: copies the band y 64..319 of the scene region into the
// screen texture, clears, blackens the client area outside the 4:3
// rectangle and shows the band across the rectangle's width and the middle
// two thirds of its height.
void presentBand(Demo& demo);

// Reads the width x height output, top row first, 3 bytes per pixel.
void readOutputPixels(Gfx& gfx, int width, int height, std::vector<unsigned char>& rgb);
