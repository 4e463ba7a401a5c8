// The host: compiled-in settings, the scene and screen viewports, and the
// per-frame function shared by the window and the offline renderer.
#pragma once
#include <GL/gl.h>

// Compiled-in settings. screenWidth/Height follow every non-zero resize.
extern int screenWidth;
extern int screenHeight;
extern bool musicEnabled;
extern bool fullscreen;
extern int startOffsetMs;

extern bool quitRequested;
extern GLuint screenTexture;

// Ends the frame loop before its next frame.
void requestQuit();

// Records the client size and sets the fixed 512 x 384 scene region with its
// orthographic projection. A zero height (minimised window) changes nothing.
void setSceneViewport(int width, int height);

// The largest centred 4:3 rectangle of the client area (all of it at 4:3
// sizes), centred orthographic projection.
void setScreenViewport();

void setDefaultGlState();

// Identity projection and modelview over the saved ones, for drawing in
// normalised device coordinates; popMatrices puts both back.
void pushIdentityMatrices();
void popMatrices();

// Start-up inside a fresh context: loads everything, sets the default state
// and creates screenTexture.
void initGl();

// The final pass: copies the band y 64..319 of the scene region into
// screenTexture, clears, blackens the client area outside the 4:3 rectangle
// and shows the band across the rectangle's width and the middle two thirds
// of its height.
void presentBand();

// One frame, without the buffer swap: the scene viewport, the director for
// the time value nowMs, then the letterboxed copy of the band to the screen.
// Without `draw` only the director's state advance runs (no GL).
void renderFrame(int nowMs, bool draw = true);
