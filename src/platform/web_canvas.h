// The page's canvas as the demo's screen, in the browser build.
#pragma once

// Makes a WebGL 2 context on the canvas `selector` and makes it current: no
// alpha channel and a depth buffer, as the desktop's framebuffer; no
// antialiasing, which the desktop does not have either. Returns false where
// the browser offers no WebGL 2.
bool createWebGl2Context(const char* selector);

// The canvas's drawable (its width and height attributes), in pixels.
void canvasDrawableSize(const char* selector, int* width, int* height);
