// The desktop window and its OpenGL context, through SDL2.
#pragma once

#include "gfx/gl_api.h"

struct SDL_Window;

// How the window uses its display.
enum class ScreenUse {
  Desktop,  // full screen on the desktop's own mode
  Window,   // a resizable window
  Mode,     // full screen in an exact display mode
};

struct WindowRequest {
  const char* title = "";
  ScreenUse use = ScreenUse::Desktop;
  int display = 0;
  int width = 800;  // the client size when windowed, the mode when ScreenUse::Mode
  int height = 600;
  bool vsync = true;
  GlChoice gl = GlChoice::kAuto;
};

struct DesktopWindow {
  SDL_Window* window = nullptr;
  void* context = nullptr;
  GlApi api = GlApi::kDesktop;  // what the context draws with
  bool fullscreen = false;
  unsigned fullscreenFlag = 0;  // what full screen means for this window
  int display = 0;
  int windowedWidth = 800;  // the size to return to when leaving full screen
  int windowedHeight = 600;
};

// What one pass of the frame loop took from the event queue.
enum class WindowEventKind {
  None,
  Escape,
  Closed,
  Resized,
  ToggleFullscreen,
  SeekBack,     // Left arrow
  SeekForward,  // Right arrow
};
struct WindowEvent {
  WindowEventKind kind = WindowEventKind::None;
};

// Starts SDL's video. False when there is no display to open windows on
// (SDL_GetError says why), SDL's drawing-into-memory fallbacks included.
bool openVideo();
int displayCount();
// An exact width x height mode on the display, needed for a mode switch.
bool displayOffersMode(int display, int width, int height);
// Creates the window with a double-buffered RGB, 24-bit depth pixel format.
// Reports failures with the program's messages; a pixel format or context
// failure asks the loop to end after its first frame (*quitPosted).
bool createDesktopWindow(DesktopWindow& w, const WindowRequest& request, bool* quitPosted);
// Takes events until one that matters or none is left: at most one is acted on
// per frame, and a flood of mouse motion cannot delay Escape.
WindowEvent pollWindowEvent();
// Between full screen and the window the program was started with.
void toggleFullscreen(DesktopWindow& w);
// The size in pixels that GL draws into.
void drawableSize(DesktopWindow& w, int* width, int* height);
void swapWindow(DesktopWindow& w);
void closeDesktopWindow(DesktopWindow& w);
