// The host without a window: the same start-up and frame function in an
// off-screen context, driven by a frame clock instead of the music.
#pragma once
#include <string>
#include <vector>

#include "platform/headless_context.h"

// Creates the context (at least the 512 x 384 scene region), sets the output
// size and runs the same start-up as the window.
bool startOfflineHost(HeadlessContext& ctx, int width, int height, std::string* error);

// Time value of frame `index` at `fps`: index * 1000 / fps, rounded down.
int frameTimeMs(long long index, int fps);

// Reads the width x height output, top row first, 3 bytes per pixel.
void readOutputPixels(int width, int height, std::vector<unsigned char>& rgb);
